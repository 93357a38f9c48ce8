#include "screen_script.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <memory>

#include "support/scripted_platform.h"

void ScriptScreen(ScriptedPlatform& platform, std::function<void(long)> script) {
  const long base = platform.Waits();
  auto overrun = std::make_shared<bool>(false);
  platform.OnWait([&platform, base, overrun, script](long wait) {
    const long waits = wait - base;
    if (waits <= kScreenWaitLimit) {
      script(waits);
      return;
    }
    if (!*overrun) ADD_FAILURE() << "the screen was still open after " << kScreenWaitLimit << " steps";
    *overrun = true;
    platform.ReleaseAllKeys();
    platform.SetMouse(0, 0, 0);
    // Enter ends a name being typed (and plays from the menu); Escape leaves
    // the other screens.
    platform.Type(waits % 2 ? KEY_ESC : KEY_ENTER);
  });
}

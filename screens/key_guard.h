// Keys already down when a screen opens belong to the screen before it: the
// fire key still held when the last life went, or the Escape that left the
// controls screen, whose auto-repeat would otherwise type into a name or quit
// from the menu. Such a key is ignored until it has been let go once.
#pragma once

class KeyGuard {
 public:
  // Remembers every key held now. Armed before the screen fades in: a key
  // pressed during the fade is the player's answer to this screen, and one
  // tapped across the fade's end must not be taken for a held one.
  void Arm();
  // The typed key value, or 0 when its key has been held since Arm.
  int Filter(int keyValue);

 private:
  static constexpr int kScancodes = 128;
  bool stale_[kScancodes] = {};
};

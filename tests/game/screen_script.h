// Scripted input for a whole screen run through its Run... function.
#pragma once

#include <functional>

class ScriptedPlatform;

// Calls `script` at every wait of the platform with the number of waits since
// this call. A screen still open after kScreenWaitLimit waits fails the test
// and is then closed with Enter and Escape, so a script that misses its cue
// can never hang the test run.
constexpr long kScreenWaitLimit = 5000;
void ScriptScreen(ScriptedPlatform& platform, std::function<void(long)> script);

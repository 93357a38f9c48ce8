// A paused game: no logic step runs, the sound effects stop and "Paused"
// shows over the frozen scene while the process sleeps. P (unless P is a game
// key), the Pause key or the gamepad's start button plays on; Escape still
// asks the quit question. The steps owed meanwhile are dropped on resuming.
#pragma once

// True when the key value (from PollInput) asks for a pause in play.
bool IsPauseKey(int keyValue);

// Returns when the player plays on.
void RunPause();

// Where something stood at the scene's last two steps. The game moves 50
// steps a second while the display refreshes 60, 75, 144 times: a frame shown
// between two steps draws everything that moves at its place on the way from
// the one to the other, so that a steady flight moves the picture by the same
// amount at every refresh. What jumps (a new arrival, a move farther than
// anything flies in a step, a scene cut such as a wave starting) is drawn at
// its new place, never swept across the screen; the world's wrap at 4096 is
// crossed the short way.
#pragma once

class StepTrail {
 public:
  // A move farther than this in one step is a jump (the fastest beam flies
  // 30 px a step, the view 31).
  static constexpr int kLongestStep = 100;

  // The scene's step is done and the thing stands at (x, y); `cut` forgets
  // where it came from. True when it moved since the step before.
  bool Note(int x, int y, bool cut);
  // Forgets the way: until the next step is noted, the thing is drawn where
  // it stands (it has just arrived).
  void Forget() { noted_ = false; }

  // Where to draw it, now at (x, y), at the moment being drawn: on its way
  // between its last two steps when a frame between steps is drawn, else
  // where it stands. `wraps`: x is a position in the wrapping world.
  int X(int x, bool wraps) const;
  int Y(int y) const;

  // How far between the last two steps of the scene the frame being drawn
  // is: 0 at the step before, up to 1 at the last. Outside such a frame
  // (every other drawing) things are drawn where they stand.
  static void DrawBetween(double fraction);
  static void DrawAsTheyStand();
  static bool DrawingBetween();

 private:
  int Between(int from, int to, int now, bool wraps) const;

  int fromX_ = 0, fromY_ = 0, toX_ = 0, toY_ = 0;
  bool noted_ = false;
};

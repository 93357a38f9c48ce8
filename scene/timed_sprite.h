#pragma once

#include "scene/animated_sprite.h"

// An animated sprite that steps through up to 16 frames, one step per `period`
// ticks of 100 ms, and only while it is on the screen (Advance). Base of the
// enemies, humans, missiles, effect pieces and boss parts.
class TimedSprite : public AnimatedSprite {
 public:
  static constexpr int kMaxFrames = 16;

  TimedSprite() { clickable = 1; }

  void Init(int frameCount, BITMAP* const* frames, int startFrame, int period, int x, int y, int centred, int layer,
            const char* name);
  void Advance() override { StepFrame(); }
  // The animation starts again from its first frame, timed from now.
  void RestartAnimation();

  void SetFrameCount(int n) { frameCount = n; }
  void SetPeriod(int ticks) { period = ticks; }
  int GetFrame() const { return frame; }
  BITMAP* GetFrameBitmap() const { return frames[frame]; }
  // Replaces one entry of the frame list (the shown bitmap follows at the next
  // frame step).
  void SetFrameBitmap(int index, BITMAP* bmp) { frames[index] = bmp; }

  void SetDrift(int dx, int dy) {
    driftX = dx;
    driftY = dy;
  }
  int GetDriftX() const { return driftX; }
  int GetDriftY() const { return driftY; }
  void Drift() {
    if (driftX || driftY) {
      x += driftX;
      y += driftY;
    }
  }

  // Advances the animation if its period has elapsed (at most one step).
  void StepFrame();
  // Shows frame `index` of the list (an animation its owner steps itself).
  void ShowFrame(int index);

 protected:
  int frameCount = 0;
  BITMAP* frames[kMaxFrames] = {};
  int stamp = 0;
  int period = 1;
  int frame = 0;
  int driftX = 0, driftY = 0;
};

#include "scene/timed_sprite.h"

#include <allegro.h>

#include "engine/clock.h"

void TimedSprite::Init(int count, BITMAP* const* list, int startFrame, int ticks, int px, int py, int centre,
                       int layerValue, const char* text) {
  driftX = driftY = 0;
  frame = startFrame;
  stamp = TickNow();
  frameCount = count < kMaxFrames ? count : kMaxFrames;
  for (int i = 0; i < frameCount; ++i) frames[i] = list[i];
  period = ticks;
  BITMAP* first = frames[startFrame];
  AnimatedSprite::Init(first, px, py, first ? first->w : 0, first ? first->h : 0, centre, layerValue, text);
}

void TimedSprite::StepFrame() {
  if (TickElapsed(stamp, period)) {
    frame += 1;
    if (frame >= frameCount) frame = 0;
    SetBitmap(frames[frame]);
    stamp = TickNow();
  }
}

void TimedSprite::RestartAnimation() {
  frame = 0;
  if (frames[0]) SetBitmap(frames[0]);
  stamp = TickNow();
}

void TimedSprite::ShowFrame(int index) {
  if (index < 0 || index >= frameCount) return;
  frame = index;
  SetBitmap(frames[frame]);
}

#include "scene/step_trail.h"

#include <cmath>
#include <cstdlib>

#include "scene/view.h"

namespace {
bool drawingBetween = false;
double fractionDrawn = 1.0;
}  // namespace

void StepTrail::DrawBetween(double fraction) {
  drawingBetween = true;
  fractionDrawn = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
}

void StepTrail::DrawAsTheyStand() {
  drawingBetween = false;
  fractionDrawn = 1.0;
}

bool StepTrail::DrawingBetween() { return drawingBetween; }

bool StepTrail::Note(int x, int y, bool cut) {
  if (cut || !noted_) {
    fromX_ = x;
    fromY_ = y;
  } else {
    fromX_ = toX_;
    fromY_ = toY_;
  }
  toX_ = x;
  toY_ = y;
  noted_ = true;
  return fromX_ != toX_ || fromY_ != toY_;
}

int StepTrail::Between(int from, int to, int now, bool wraps) const {
  if (!drawingBetween || !noted_) return now;
  int way = to - from;
  bool acrossTheWrap = false;
  if (wraps && way > kWorldWidth / 2) {
    way -= kWorldWidth;
    acrossTheWrap = true;
  } else if (wraps && way < -kWorldWidth / 2) {
    way += kWorldWidth;
    acrossTheWrap = true;
  }
  // A jump is drawn where it landed; so is what moved after the step was
  // noted (drawn with the rest of the scene as that step left it).
  if (std::abs(way) > kLongestStep) return to;
  int at = from + static_cast<int>(std::floor(way * fractionDrawn + 0.5));
  if (acrossTheWrap) {
    if (at < 0) at += kWorldWidth;
    if (at > kWorldWidth) at -= kWorldWidth;
  }
  return at;
}

int StepTrail::X(int x, bool wraps) const { return Between(fromX_, toX_, x, wraps); }

int StepTrail::Y(int y) const { return Between(fromY_, toY_, y, false); }

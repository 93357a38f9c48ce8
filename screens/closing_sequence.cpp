#include "screens/closing_sequence.h"

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "scene/paced_loop.h"
#include "scene/view.h"
#include "scene/stage.h"

namespace {
constexpr int kStartX[ClosingSequence::kAstronauts] = {100, 400, 600};
constexpr int kStartY[ClosingSequence::kAstronauts] = {-4500, -2500, -1500};
constexpr int kHeight[ClosingSequence::kAstronauts] = {320, 340, 320};
constexpr int kFlatX[ClosingSequence::kAstronauts] = {50, 350, 550};
// The flattened picture lies this far below where the faller touched down.
constexpr int kLandingOffset[ClosingSequence::kAstronauts] = {60, 90, 120};
constexpr int kGroundY = 450;
constexpr int kSpinStep = 8;
}  // namespace

ClosingSequence::ClosingSequence() {
  background_.Init(engine.Bitmap(dat::kIntroBackground), 0, 0, 0, 0, 1024, 768, 0, "Splash");
  for (int i = 0; i < kAstronauts; ++i) {
    fallers_[i].Init(engine.Bitmap(dat::kAstronaut1 + i), kStartX[i], kStartY[i], 150, kHeight[i], 0, 1, "astro");
    flattened_[i].Init(engine.Bitmap(dat::kFlatAstronaut1 + i), kFlatX[i], 0, kHeight[i], 150, 0, 1, "astro");
  }
}

void ClosingSequence::Open() {
  // The bursts are drawn in the world; here the world starts at the corner.
  ViewX = 0;
  ViewY = 0;
  stage.Cut();
  stage.AddElement(&background_);
  for (AnimatedSprite& faller : fallers_) {
    stage.AddElement(&faller);
    engine.PlaySample(dat::kSndFalling, 0);
  }
  keys_.Arm();
  stage.FadeIn(nullptr);
}

void ClosingSequence::Land(int i) {
  AnimatedSprite& faller = fallers_[i];
  fallSpeed_[i] = 0;
  bursts_[i].Init(engine.Bitmap(dat::kAstronaut1 + i), faller.GetX(), faller.GetY(), 1, "Ow!");
  flattened_[i].SetPosition(flattened_[i].GetX(), faller.GetY() + kLandingOffset[i]);
  stage.RemoveElement(&faller);
  stage.AddElement(&flattened_[i]);
  stage.AddElement(&bursts_[i]);
  engine.PlaySample(dat::kSndOw, 0);
}

bool ClosingSequence::Step() {
  int keyValue, leftClick, rightClick, mouseX, mouseY;
  stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
  stage.ElementAt(mouseX, mouseY);
  for (int i = 0; i < kAstronauts; ++i) {
    AnimatedSprite& faller = fallers_[i];
    faller.SetPosition(faller.GetX(), faller.GetY() + fallSpeed_[i]);
    faller.SetAngle(spin_[i] << 16);
    spin_[i] += kSpinStep;
    if (spin_[i] > 255) spin_[i] = 0;
    if (fallSpeed_[i] > 0 && faller.GetY() > kGroundY) Land(i);
    // A burst takes itself off the render list when it is over.
    if (bursts_[i].IsOnList()) {
      bursts_[i].MovePieces();
      bursts_[i].Age();
    }
  }
  stage.DrawFrame();
  if (keys_.Filter(keyValue) != 0) return true;
  for (int i = 0; i < kAstronauts; ++i)
    if (fallSpeed_[i] > 0 || bursts_[i].IsOnList()) return false;
  return true;
}

void ClosingSequence::Close() {
  engine.StopSample(dat::kSndFalling);
  stage.FadeOut(nullptr);
  // A key can end the sequence with fallers still in the air and bursts still
  // flying: whatever is still shown goes.
  for (int i = 0; i < kAstronauts; ++i) {
    stage.Hide(&fallers_[i]);
    stage.Hide(&flattened_[i]);
    stage.Hide(&bursts_[i]);
  }
  stage.Hide(&background_);
}

void RunClosingSequence() {
  ClosingSequence closing;
  closing.Open();
  RunPacedLoop([&] { return closing.Step(); });
  closing.Close();
}

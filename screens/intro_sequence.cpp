#include "screens/intro_sequence.h"

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "scene/paced_loop.h"
#include "scene/stage.h"

namespace {
// Each astronaut bobs between its own two heights.
constexpr int kLowestY[IntroSequence::kAstronauts] = {405, 385, 405};
constexpr int kHighestY[IntroSequence::kAstronauts] = {420, 400, 420};
constexpr int kWalkSpeed = 6;
constexpr int kEndX = 400;
}  // namespace

IntroSequence::IntroSequence() {
  background_.Init(engine.Bitmap(dat::kIntroBackground), 0, 0, 0, 0, 1024, 768, 0, "Splash");
  plane_.Init(engine.Bitmap(dat::kPlane), 0, 468, 1024, 300, 0, 2, "Plane");
  astronauts_[0].Init(engine.Bitmap(dat::kAstronaut1), -100, 410, 150, 320, 0, 1, "astro");
  astronauts_[1].Init(engine.Bitmap(dat::kAstronaut2), 0, 390, 150, 340, 0, 1, "astro");
  astronauts_[2].Init(engine.Bitmap(dat::kAstronaut3), 100, 415, 150, 320, 0, 1, "astro");
}

void IntroSequence::Open() {
  stage.AddElement(&background_);
  stage.AddElement(&plane_);
  for (AnimatedSprite& astronaut : astronauts_) stage.AddElement(&astronaut);
  keys_.Arm();
  stage.FadeIn(nullptr);
}

bool IntroSequence::Step() {
  int keyValue, leftClick, rightClick, mouseX, mouseY;
  stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
  stage.ElementAt(mouseX, mouseY);
  for (int i = 0; i < kAstronauts; ++i) {
    AnimatedSprite& astronaut = astronauts_[i];
    astronaut.SetPosition(astronaut.GetX() + kWalkSpeed, astronaut.GetY() + verticalStep_[i]);
    if (verticalStep_[i] < 0 && astronaut.GetY() < kLowestY[i]) verticalStep_[i] = 1;
    if (verticalStep_[i] > 0 && astronaut.GetY() > kHighestY[i]) verticalStep_[i] = -1;
  }
  stage.DrawFrame();
  ++steps_;
  return keys_.Filter(keyValue) != 0 || astronauts_[0].GetX() > kEndX;
}

void IntroSequence::Close() {
  stage.FadeOut(nullptr);
  for (AnimatedSprite& astronaut : astronauts_) stage.RemoveElement(&astronaut);
  stage.RemoveElement(&plane_);
  stage.RemoveElement(&background_);
}

void RunIntro() {
  IntroSequence intro;
  intro.Open();
  RunPacedLoop([&] { return intro.Step(); });
  intro.Close();
}

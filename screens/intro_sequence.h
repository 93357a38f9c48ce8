// Before each game three astronauts walk to the right in front of a plane,
// bobbing as they go. Without a key it lasts 84 steps: it ends on the step
// astronaut 1 passes x = 400.
#pragma once

#include "scene/animated_sprite.h"
#include "scene/image_element.h"
#include "screens/key_guard.h"

class IntroSequence {
 public:
  static constexpr int kAstronauts = 3;

  IntroSequence();
  // Puts the scene on the render list and fades it in.
  void Open();
  // One step; true when the sequence ends after it (a key, or astronaut 1 past
  // x = 400). A click does not end it.
  bool Step();
  // Fades out and takes the scene off the render list.
  void Close();

  const AnimatedSprite& Astronaut(int i) const { return astronauts_[i]; }
  int Steps() const { return steps_; }

 private:
  ImageElement background_;
  AnimatedSprite plane_;
  AnimatedSprite astronauts_[kAstronauts];
  int verticalStep_[kAstronauts] = {-1, 1, -1};
  KeyGuard keys_;
  int steps_ = 0;
};

void RunIntro();

// After each game, and before the program ends, three astronauts fall from the
// sky, spinning, and burst apart with an "Ow!" as each reaches the ground,
// leaving a flattened picture behind. Without a key the third lands first
// (step 79), then the second (119) and the first (199); the sequence ends when
// the first one's burst has run its course.
#pragma once

#include "entities/explosion.h"
#include "scene/animated_sprite.h"
#include "scene/image_element.h"
#include "screens/key_guard.h"

class ClosingSequence {
 public:
  static constexpr int kAstronauts = 3;

  ClosingSequence();
  // Puts the sky and the fallers on the render list, starts the three falling
  // whistles and fades in.
  void Open();
  // One step; true when the sequence ends after it (a key, or everything
  // landed and every burst over). A click does not end it.
  bool Step();
  // Silences the whistles, fades out and takes everything of the sequence off
  // the render list.
  void Close();

  const AnimatedSprite& Faller(int i) const { return fallers_[i]; }
  const AnimatedSprite& Flattened(int i) const { return flattened_[i]; }
  const Explosion& Burst(int i) const { return bursts_[i]; }
  int FallSpeed(int i) const { return fallSpeed_[i]; }

 private:
  void Land(int i);

  ImageElement background_;
  AnimatedSprite fallers_[kAstronauts];
  AnimatedSprite flattened_[kAstronauts];
  Explosion bursts_[kAstronauts];
  int fallSpeed_[kAstronauts] = {25, 25, 25};
  int spin_[kAstronauts] = {20, 120, 200};  // 1/256 of a turn
  KeyGuard keys_;
};

void RunClosingSequence();

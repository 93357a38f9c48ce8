// The four logo words of the title and the menu slide in from the sides over
// the title picture and come to rest at x = 276 ("Ve"), 416 ("Varn"), 303
// ("Holt") and 598 ("The Game"). The slide starts at 1 px a step and gains
// 2 px a step until it runs at 11 px from the sixth step on.
#pragma once

class LogoSlide {
 public:
  // The words' start positions, off the screen; the speed is left as it is.
  static void PlaceAtStart();

  // One step of the slide for words not yet at rest, then the speed-up.
  void Step();
  int Speed() const { return speed_; }

 private:
  int speed_ = 1;
  int negativeSpeed_ = -1;
};

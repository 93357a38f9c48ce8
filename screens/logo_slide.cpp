#include "screens/logo_slide.h"

#include "scene/scene_objects.h"

void LogoSlide::PlaceAtStart() {
  logoVe.SetPosition(-200, 18);
  logoVarn.SetPosition(1200, 63);
  logoHolt.SetPosition(-800, 185);
  logoSubtitle.SetPosition(1800, 290);
}

void LogoSlide::Step() {
  // The words from the left are pushed, those from the right are moved by
  // their velocity; either way each stops on the first step past its mark.
  if (logoVe.GetX() < 270) logoVe.SetPosition(logoVe.GetX() + speed_, logoVe.GetY());
  if (logoVarn.GetX() > 418) {
    logoVarn.SetVelocity(negativeSpeed_, 0);
    logoVarn.Move();
  }
  if (logoHolt.GetX() < 295) logoHolt.SetPosition(logoHolt.GetX() + speed_, logoHolt.GetY());
  if (logoSubtitle.GetX() > 600) {
    logoSubtitle.SetVelocity(negativeSpeed_, 0);
    logoSubtitle.Move();
  }
  if (negativeSpeed_ > -10) {
    speed_ += 2;
    negativeSpeed_ -= 2;
  }
}

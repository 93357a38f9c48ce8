// The painting surface: RGBA at several times the final size. Shapes (masks)
// are painted with a colour function and a finish that gives them relief,
// a highlight and a luminous edge; Reduce() shrinks the result to the final
// picture with smooth edges.
#pragma once

#include <functional>
#include <vector>

#include "tools/art/colour.h"
#include "tools/art/mask.h"
#include "tools/art/picture.h"
#include "tools/art/rgba_picture.h"

namespace art {

// Colour of a shape at a final-pixel position.
using Shader = std::function<Rgb(float x, float y)>;

inline Shader Flat(Rgb c) {
  return [c](float, float) { return c; };
}
// Linear blend from c0 at y0 to c1 at y1.
Shader VerticalGradient(float y0, Rgb c0, float y1, Rgb c1);
Shader HorizontalGradient(float x0, Rgb c0, float x1, Rgb c1);
// Blend from `inner` at the centre to `outer` at radius r.
Shader RadialGradient(float cx, float cy, float r, Rgb inner, Rgb outer);

// How a painted shape is lit.
struct Finish {
  float bevel = 3.0f;     // final pixels over which the edge rounds off
  float relief = 0.8f;    // 0: flat colour; 1: fully lit relief
  float shine = 0.45f;    // strength of the specular highlight
  float gloss = 18.0f;    // sharpness of the highlight
  float rim = 0.0f;       // width of a bright edge line, final pixels (0: none)
  Rgb rimColour = {1, 1, 1};
  float alpha = 1.0f;     // opacity of the paint
};

inline Finish Matte(float bevel = 2.0f) { return {bevel, 0.5f, 0.1f, 8.0f, 0.0f, {1, 1, 1}, 1.0f}; }
inline Finish Glossy(float bevel = 3.0f, float rim = 0.0f, Rgb rimColour = {1, 1, 1}) {
  return {bevel, 0.85f, 0.6f, 22.0f, rim, rimColour, 1.0f};
}
inline Finish FlatPaint(float alpha = 1.0f) { return {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, {1, 1, 1}, alpha}; }

class Canvas {
 public:
  Canvas(int width, int height, int scale);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  Mask NewMask() const { return Mask(width_, height_, scale_); }

  // Paints the whole surface opaque with the shader (a background).
  void Fill(const Shader& shader);
  void Paint(const Mask& mask, const Shader& shader, const Finish& finish);
  void Paint(const Mask& mask, Rgb colour, const Finish& finish) { Paint(mask, Flat(colour), finish); }
  // A soft light around (and over) a shape, added to what is there.
  void Glow(const Mask& mask, Rgb colour, float radius, float strength);
  // A soft round light (stars, lamps), added.
  void Spot(float cx, float cy, float radius, Rgb colour, float strength);

  // Final picture. A sprite keeps see-through pixels (mask colour) where less
  // than `threshold` is covered, and blends partly covered edge pixels toward
  // the night colour; an opaque picture is laid over the night colour whole.
  Picture Reduce(bool sprite, float threshold = 0.45f) const;
  // Final picture with the coverage kept as alpha, over no background.
  RgbaPicture ReduceWithAlpha() const;

 private:
  size_t Index(int fx, int fy) const { return static_cast<size_t>(fy) * fw_ + fx; }
  // The colour sums of the fine pixels behind one final pixel, each weighted
  // by its coverage, and the coverage summed.
  Rgb SumBlock(int x, int y, float& coverage) const;
  int width_, height_, scale_, fw_, fh_;
  std::vector<float> r_, g_, b_, a_;
};

}  // namespace art

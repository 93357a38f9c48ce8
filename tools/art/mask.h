// A shape at several times the size of the final picture: one byte per fine
// sample. Shapes are given in final-pixel coordinates (the same numbers as the
// game's collision outlines) and rasterised at the finer scale, so reducing
// the picture afterwards gives smooth edges.
#pragma once

#include <functional>
#include <vector>

namespace art {

struct Pt {
  float x, y;
};

class Mask {
 public:
  Mask(int width, int height, int scale);

  int Width() const { return width_; }    // final pixels
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  int FineWidth() const { return fw_; }
  int FineHeight() const { return fh_; }

  // Drawing adds to the shape; after Cut() it removes from it until Add().
  Mask& Add() { value_ = 1; return *this; }
  Mask& Cut() { value_ = 0; return *this; }

  Mask& Polygon(const std::vector<Pt>& points);
  Mask& Ellipse(float cx, float cy, float rx, float ry, float degrees = 0);
  Mask& Circle(float cx, float cy, float r) { return Ellipse(cx, cy, r, r); }
  Mask& Capsule(Pt a, Pt b, float radius);  // a thick line with round ends
  Mask& Rect(float x0, float y0, float x1, float y1);
  Mask& RoundRect(float x0, float y0, float x1, float y1, float radius);
  // Any shape given by a test of a final-pixel position.
  Mask& Region(float x0, float y0, float x1, float y1,
               const std::function<bool(float, float)>& inside);
  // The shape of another mask of the same size (added or cut).
  Mask& Combine(const Mask& other);
  Mask& Intersect(const Mask& other);
  // A copy moved by (dx, dy) final pixels.
  Mask Shifted(float dx, float dy) const;
  // A copy mirrored left to right about the picture's centre.
  Mask Mirrored() const;

  bool At(int fx, int fy) const {
    return fx >= 0 && fy >= 0 && fx < fw_ && fy < fh_ && bits_[fy * fw_ + fx] != 0;
  }
  const unsigned char* Row(int fy) const { return &bits_[fy * fw_]; }
  // Sets (or, after Cut(), clears) one fine sample.
  void PlotFine(int fx, int fy) {
    if (fx >= 0 && fy >= 0 && fx < fw_ && fy < fh_) Set(fx, fy);
  }
  bool Empty() const;
  // Fraction of the final pixel (x, y) covered, 0..1.
  float Coverage(int x, int y) const;

 private:
  void Set(int fx, int fy) { bits_[fy * fw_ + fx] = value_; }
  int width_, height_, scale_, fw_, fh_;
  unsigned char value_ = 1;
  std::vector<unsigned char> bits_;
};

}  // namespace art

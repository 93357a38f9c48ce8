#include "tools/art/canvas.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// One pass of a box blur of radius r along rows, then along columns.
void BoxBlur(std::vector<float>& v, int w, int h, int r) {
  if (r < 1) return;
  std::vector<float> line(std::max(w, h));
  const float inv = 1.0f / (2 * r + 1);
  for (int y = 0; y < h; ++y) {
    float* row = &v[static_cast<size_t>(y) * w];
    float sum = 0;
    for (int i = -r; i <= r; ++i) sum += row[std::min(w - 1, std::max(0, i))];
    for (int x = 0; x < w; ++x) {
      line[x] = sum * inv;
      sum += row[std::min(w - 1, x + r + 1)] - row[std::max(0, x - r)];
    }
    std::copy(line.begin(), line.begin() + w, row);
  }
  for (int x = 0; x < w; ++x) {
    float sum = 0;
    for (int i = -r; i <= r; ++i) sum += v[static_cast<size_t>(std::min(h - 1, std::max(0, i))) * w + x];
    for (int y = 0; y < h; ++y) {
      line[y] = sum * inv;
      sum += v[static_cast<size_t>(std::min(h - 1, y + r + 1)) * w + x] -
             v[static_cast<size_t>(std::max(0, y - r)) * w + x];
    }
    for (int y = 0; y < h; ++y) v[static_cast<size_t>(y) * w + x] = line[y];
  }
}

struct Box {
  int x0, y0, x1, y1;  // inclusive, fine pixels
  bool empty;
};

Box Bounds(const Mask& m, int margin) {
  Box b{m.FineWidth(), m.FineHeight(), -1, -1, true};
  for (int fy = 0; fy < m.FineHeight(); ++fy) {
    const unsigned char* row = m.Row(fy);
    for (int fx = 0; fx < m.FineWidth(); ++fx) {
      if (!row[fx]) continue;
      b.x0 = std::min(b.x0, fx);
      b.x1 = std::max(b.x1, fx);
      b.y0 = std::min(b.y0, fy);
      b.y1 = std::max(b.y1, fy);
      b.empty = false;
    }
  }
  if (!b.empty) {
    b.x0 = std::max(0, b.x0 - margin);
    b.y0 = std::max(0, b.y0 - margin);
    b.x1 = std::min(m.FineWidth() - 1, b.x1 + margin);
    b.y1 = std::min(m.FineHeight() - 1, b.y1 + margin);
  }
  return b;
}

}  // namespace

Shader VerticalGradient(float y0, Rgb c0, float y1, Rgb c1) {
  return [=](float, float y) { return Mix(c0, c1, Clamp01((y - y0) / (y1 - y0))); };
}

Shader HorizontalGradient(float x0, Rgb c0, float x1, Rgb c1) {
  return [=](float x, float) { return Mix(c0, c1, Clamp01((x - x0) / (x1 - x0))); };
}

Shader RadialGradient(float cx, float cy, float r, Rgb inner, Rgb outer) {
  return [=](float x, float y) {
    float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r;
    return Mix(inner, outer, Clamp01(d));
  };
}

Canvas::Canvas(int width, int height, int scale)
    : width_(width), height_(height), scale_(scale), fw_(width * scale), fh_(height * scale) {
  size_t n = static_cast<size_t>(fw_) * fh_;
  r_.assign(n, 0);
  g_.assign(n, 0);
  b_.assign(n, 0);
  a_.assign(n, 0);
}

void Canvas::Fill(const Shader& shader) {
  const float s = static_cast<float>(scale_);
  for (int fy = 0; fy < fh_; ++fy) {
    for (int fx = 0; fx < fw_; ++fx) {
      Rgb c = shader((fx + 0.5f) / s, (fy + 0.5f) / s);
      size_t i = Index(fx, fy);
      r_[i] = c.r;
      g_[i] = c.g;
      b_[i] = c.b;
      a_[i] = 1;
    }
  }
}

void Canvas::Paint(const Mask& mask, const Shader& shader, const Finish& finish) {
  const float s = static_cast<float>(scale_);
  Box box = Bounds(mask, 2);
  if (box.empty) return;
  int w = box.x1 - box.x0 + 1, h = box.y1 - box.y0 + 1;
  auto at = [&](int x, int y) { return mask.At(box.x0 + x, box.y0 + y); };

  // Chamfer distance (3-4) from each inside sample to the nearest outside one.
  const float kFar = 1e9f;
  std::vector<float> dist(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) dist[static_cast<size_t>(y) * w + x] = at(x, y) ? kFar : 0;
  }
  auto d = [&](int x, int y) -> float {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return dist[static_cast<size_t>(y) * w + x];
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float& v = dist[static_cast<size_t>(y) * w + x];
      if (v == 0) continue;
      v = std::min({v, d(x - 1, y) + 3, d(x, y - 1) + 3, d(x - 1, y - 1) + 4, d(x + 1, y - 1) + 4});
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = w - 1; x >= 0; --x) {
      float& v = dist[static_cast<size_t>(y) * w + x];
      if (v == 0) continue;
      v = std::min({v, d(x + 1, y) + 3, d(x, y + 1) + 3, d(x + 1, y + 1) + 4, d(x - 1, y + 1) + 4});
    }
  }
  // Height of the rounded edge, smoothed so the lighting has no steps.
  const float bevelFine = std::max(1.0f, finish.bevel * s);
  std::vector<float> height(dist.size());
  for (size_t i = 0; i < dist.size(); ++i) height[i] = Smooth(0, bevelFine, dist[i] / 3.0f);
  BoxBlur(height, w, h, std::max(1, scale_ / 2));

  // Light from the upper left, in front of the picture.
  const float lx = -0.45f, ly = -0.65f, lz = 0.62f;
  const float hx = lx, hy = ly, hz = lz + 1.0f;
  const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  const float flatSpec = std::pow(hz / hl, finish.gloss);
  const float rimFine = finish.rim * s;

  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!at(x, y)) continue;
      size_t li = static_cast<size_t>(y) * w + x;
      auto hv = [&](int xx, int yy) {
        xx = std::min(w - 1, std::max(0, xx));
        yy = std::min(h - 1, std::max(0, yy));
        return height[static_cast<size_t>(yy) * w + xx];
      };
      // Slope of the surface in final pixels; the bevel rises `bevel` px.
      float gx = (hv(x + 1, y) - hv(x - 1, y)) * 0.5f * s * finish.bevel;
      float gy = (hv(x, y + 1) - hv(x, y - 1)) * 0.5f * s * finish.bevel;
      float nx = -gx, ny = -gy, nz = 1.0f;
      float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl;
      ny /= nl;
      nz /= nl;
      float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz) / lz;
      float shade = 1.0f + (diffuse - 1.0f) * finish.relief;
      float glint = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), finish.gloss);
      glint = std::max(0.0f, glint - flatSpec) * finish.shine;

      float fx = (box.x0 + x + 0.5f) / s, fy = (box.y0 + y + 0.5f) / s;
      Rgb c = shader(fx, fy) * std::max(0.0f, shade) + Rgb{glint, glint, glint};
      if (rimFine > 0) {
        float t = 1.0f - Smooth(rimFine * 0.5f, rimFine, dist[li] / 3.0f);
        c = Mix(c, finish.rimColour, t * 0.9f);
      }
      c = Clamp(c);
      size_t i = Index(box.x0 + x, box.y0 + y);
      float a = finish.alpha;
      r_[i] = c.r * a + r_[i] * (1 - a);
      g_[i] = c.g * a + g_[i] * (1 - a);
      b_[i] = c.b * a + b_[i] * (1 - a);
      a_[i] = a + a_[i] * (1 - a);
    }
  }
}

void Canvas::Glow(const Mask& mask, Rgb colour, float radius, float strength) {
  int rf = std::max(1, static_cast<int>(radius * scale_ / 2));
  Box box = Bounds(mask, rf * 3 + 2);
  if (box.empty) return;
  int w = box.x1 - box.x0 + 1, h = box.y1 - box.y0 + 1;
  std::vector<float> v(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) v[static_cast<size_t>(y) * w + x] = mask.At(box.x0 + x, box.y0 + y) ? 1.0f : 0.0f;
  }
  for (int pass = 0; pass < 3; ++pass) BoxBlur(v, w, h, rf);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float g = v[static_cast<size_t>(y) * w + x] * strength;
      if (g <= 0.002f) continue;
      size_t i = Index(box.x0 + x, box.y0 + y);
      r_[i] = std::min(1.0f, r_[i] + colour.r * g);
      g_[i] = std::min(1.0f, g_[i] + colour.g * g);
      b_[i] = std::min(1.0f, b_[i] + colour.b * g);
      a_[i] = std::max(a_[i], std::min(1.0f, g));
    }
  }
}

void Canvas::Spot(float cx, float cy, float radius, Rgb colour, float strength) {
  const float s = static_cast<float>(scale_);
  int x0 = std::max(0, static_cast<int>((cx - radius * 3) * s));
  int x1 = std::min(fw_ - 1, static_cast<int>((cx + radius * 3) * s));
  int y0 = std::max(0, static_cast<int>((cy - radius * 3) * s));
  int y1 = std::min(fh_ - 1, static_cast<int>((cy + radius * 3) * s));
  for (int fy = y0; fy <= y1; ++fy) {
    for (int fx = x0; fx <= x1; ++fx) {
      float dx = (fx + 0.5f) / s - cx, dy = (fy + 0.5f) / s - cy;
      float g = std::exp(-(dx * dx + dy * dy) / (radius * radius)) * strength;
      if (g < 0.002f) continue;
      size_t i = Index(fx, fy);
      r_[i] = std::min(1.0f, r_[i] + colour.r * g);
      g_[i] = std::min(1.0f, g_[i] + colour.g * g);
      b_[i] = std::min(1.0f, b_[i] + colour.b * g);
      a_[i] = std::max(a_[i], std::min(1.0f, g));
    }
  }
}

Rgb Canvas::SumBlock(int x, int y, float& coverage) const {
  Rgb sum{0, 0, 0};
  coverage = 0;
  for (int j = 0; j < scale_; ++j) {
    for (int i = 0; i < scale_; ++i) {
      size_t k = Index(x * scale_ + i, y * scale_ + j);
      sum.r += r_[k] * a_[k];
      sum.g += g_[k] * a_[k];
      sum.b += b_[k] * a_[k];
      coverage += a_[k];
    }
  }
  return sum;
}

Picture Canvas::Reduce(bool sprite, float threshold) const {
  Picture out(width_, height_);
  const float n = static_cast<float>(scale_ * scale_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float a = 0;
      const Rgb sum = SumBlock(x, y, a);
      a /= n;
      if (sprite && a < threshold) {
        out.SetMasked(x, y);
        continue;
      }
      // Premultiplied sums over the night colour for the uncovered share.
      Rgb c{sum.r / n, sum.g / n, sum.b / n};
      out.Set(x, y, c + pal::kNight * (1.0f - a));
    }
  }
  return out;
}

RgbaPicture Canvas::ReduceWithAlpha() const {
  RgbaPicture out(width_, height_);
  const float n = static_cast<float>(scale_ * scale_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float a = 0;
      const Rgb sum = SumBlock(x, y, a);
      // Back from the coverage-weighted sums to the colour of what is there.
      if (a > 0) out.Set(x, y, Rgb{sum.r / a, sum.g / a, sum.b / a}, a / n);
    }
  }
  return out;
}

}  // namespace art

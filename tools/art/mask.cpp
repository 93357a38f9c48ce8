#include "tools/art/mask.h"

#include <algorithm>
#include <cmath>

namespace art {

Mask::Mask(int width, int height, int scale)
    : width_(width), height_(height), scale_(scale), fw_(width * scale), fh_(height * scale),
      bits_(static_cast<size_t>(fw_) * fh_, 0) {}

Mask& Mask::Polygon(const std::vector<Pt>& points) {
  if (points.size() < 3) return *this;
  const float s = static_cast<float>(scale_);
  float minY = 1e9f, maxY = -1e9f;
  for (const Pt& p : points) {
    minY = std::min(minY, p.y * s);
    maxY = std::max(maxY, p.y * s);
  }
  int y0 = std::max(0, static_cast<int>(std::floor(minY)));
  int y1 = std::min(fh_ - 1, static_cast<int>(std::ceil(maxY)));
  std::vector<std::pair<float, int>> crossings;
  for (int fy = y0; fy <= y1; ++fy) {
    float sy = fy + 0.5f;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      Pt a = points[i], b = points[(i + 1) % points.size()];
      float ay = a.y * s, by = b.y * s;
      if ((ay <= sy && by > sy) || (by <= sy && ay > sy)) {
        float t = (sy - ay) / (by - ay);
        crossings.push_back({a.x * s + t * (b.x - a.x) * s, ay < by ? 1 : -1});
      }
    }
    std::sort(crossings.begin(), crossings.end());
    // Non-zero winding, so overlapping outlines given as one list still fill.
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      if (winding == 0) continue;
      int xa = std::max(0, static_cast<int>(std::ceil(crossings[i].first - 0.5f)));
      int xb = std::min(fw_ - 1, static_cast<int>(std::ceil(crossings[i + 1].first - 0.5f)) - 1);
      for (int fx = xa; fx <= xb; ++fx) Set(fx, fy);
    }
  }
  return *this;
}

Mask& Mask::Region(float x0, float y0, float x1, float y1,
                   const std::function<bool(float, float)>& inside) {
  const float s = static_cast<float>(scale_);
  int fx0 = std::max(0, static_cast<int>(std::floor(x0 * s)));
  int fy0 = std::max(0, static_cast<int>(std::floor(y0 * s)));
  int fx1 = std::min(fw_ - 1, static_cast<int>(std::ceil(x1 * s)));
  int fy1 = std::min(fh_ - 1, static_cast<int>(std::ceil(y1 * s)));
  for (int fy = fy0; fy <= fy1; ++fy) {
    float y = (fy + 0.5f) / s;
    for (int fx = fx0; fx <= fx1; ++fx) {
      if (inside((fx + 0.5f) / s, y)) Set(fx, fy);
    }
  }
  return *this;
}

Mask& Mask::Ellipse(float cx, float cy, float rx, float ry, float degrees) {
  float a = degrees * 3.14159265f / 180.0f, c = std::cos(a), s = std::sin(a);
  float r = std::max(rx, ry);
  return Region(cx - r, cy - r, cx + r, cy + r, [=](float x, float y) {
    float dx = x - cx, dy = y - cy;
    float u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
    return u * u + v * v <= 1.0f;
  });
}

Mask& Mask::Capsule(Pt a, Pt b, float radius) {
  float x0 = std::min(a.x, b.x) - radius, x1 = std::max(a.x, b.x) + radius;
  float y0 = std::min(a.y, b.y) - radius, y1 = std::max(a.y, b.y) + radius;
  float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  return Region(x0, y0, x1, y1, [=](float x, float y) {
    float t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::min(1.0f, std::max(0.0f, t));
    float ex = a.x + t * dx - x, ey = a.y + t * dy - y;
    return ex * ex + ey * ey <= radius * radius;
  });
}

Mask& Mask::Rect(float x0, float y0, float x1, float y1) {
  return Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

Mask& Mask::RoundRect(float x0, float y0, float x1, float y1, float radius) {
  return Region(x0, y0, x1, y1, [=](float x, float y) {
    float cx = std::min(std::max(x, x0 + radius), x1 - radius);
    float cy = std::min(std::max(y, y0 + radius), y1 - radius);
    float dx = x - cx, dy = y - cy;
    return x >= x0 && x <= x1 && y >= y0 && y <= y1 && dx * dx + dy * dy <= radius * radius;
  });
}

Mask& Mask::Combine(const Mask& other) {
  for (size_t i = 0; i < bits_.size() && i < other.bits_.size(); ++i) {
    if (other.bits_[i]) bits_[i] = value_;
  }
  return *this;
}

Mask& Mask::Intersect(const Mask& other) {
  for (size_t i = 0; i < bits_.size() && i < other.bits_.size(); ++i) {
    if (!other.bits_[i]) bits_[i] = 0;
  }
  return *this;
}

Mask Mask::Shifted(float dx, float dy) const {
  Mask out(width_, height_, scale_);
  int ox = static_cast<int>(std::lround(dx * scale_)), oy = static_cast<int>(std::lround(dy * scale_));
  for (int fy = 0; fy < fh_; ++fy) {
    for (int fx = 0; fx < fw_; ++fx) {
      if (At(fx - ox, fy - oy)) out.bits_[fy * fw_ + fx] = 1;
    }
  }
  return out;
}

Mask Mask::Mirrored() const {
  Mask out(width_, height_, scale_);
  for (int fy = 0; fy < fh_; ++fy) {
    for (int fx = 0; fx < fw_; ++fx) out.bits_[fy * fw_ + fx] = bits_[fy * fw_ + (fw_ - 1 - fx)];
  }
  return out;
}

bool Mask::Empty() const {
  return std::none_of(bits_.begin(), bits_.end(), [](unsigned char b) { return b != 0; });
}

float Mask::Coverage(int x, int y) const {
  int n = 0;
  for (int j = 0; j < scale_; ++j) {
    for (int i = 0; i < scale_; ++i) n += At(x * scale_ + i, y * scale_ + j) ? 1 : 0;
  }
  return static_cast<float>(n) / (scale_ * scale_);
}

}  // namespace art

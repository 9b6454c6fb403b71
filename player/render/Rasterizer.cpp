// The accumulation rasteriser: lines clipped to the frame deposit signed area into cells; rows
// are summed, folded by the fill rule and cleared as they are read.
#include "Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace render {

void Rasterizer::setSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  stride_ = width_ + 2;
  size_t cells = size_t(stride_) * size_t(height_);
  if (cells_.size() < cells) cells_.assign(cells, 0.0f);
  if (coverage_.size() < size_t(stride_)) coverage_.assign(stride_, 0);
  if (sums_.size() < size_t(stride_)) sums_.assign(stride_, 0.0f);
  reset();
}

void Rasterizer::reset() {
  minX_ = width_ + 1;
  maxX_ = -1;
  minY_ = height_;
  maxY_ = -1;
}

void Rasterizer::addLine(float x0, float y0, float x1, float y1) {
  if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
  // Far-off points are pulled in so no sum below overflows; no movie draws that far.
  constexpr float kFar = 4e6f;
  x0 = std::clamp(x0, -kFar, kFar);
  y0 = std::clamp(y0, -kFar, kFar);
  x1 = std::clamp(x1, -kFar, kFar);
  y1 = std::clamp(y1, -kFar, kFar);
  // Clip to the frame's rows; what lies above or below covers nothing inside.
  const float top = 0, bottom = float(height_);
  if ((y0 <= top && y1 <= top) || (y0 >= bottom && y1 >= bottom) || y0 == y1) return;
  auto xAt = [&](float y) { return x0 + (x1 - x0) * ((y - y0) / (y1 - y0)); };
  float cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
  if (cy0 < top) { cx0 = xAt(top); cy0 = top; }
  if (cy0 > bottom) { cx0 = xAt(bottom); cy0 = bottom; }
  if (cy1 < top) { cx1 = xAt(top); cy1 = top; }
  if (cy1 > bottom) { cx1 = xAt(bottom); cy1 = bottom; }
  // Split where the line crosses the frame's left and right sides: the parts outside become
  // vertical lines on the side, which leave the coverage inside unchanged.
  const float right = float(width_);
  float xs[4] = {cx0, 0, 0, cx1}, ys[4] = {cy0, 0, 0, cy1};
  int n = 1;
  auto yAtX = [&](float x) { return cy0 + (cy1 - cy0) * ((x - cx0) / (cx1 - cx0)); };
  float crossings[2];
  int c = 0;
  if ((cx0 < 0) != (cx1 < 0)) crossings[c++] = 0;
  if ((cx0 > right) != (cx1 > right)) crossings[c++] = right;
  if (c == 2 && (crossings[0] - cx0) * (cx1 - cx0) > (crossings[1] - cx0) * (cx1 - cx0)) std::swap(crossings[0], crossings[1]);
  for (int i = 0; i < c; ++i) {
    xs[n] = crossings[i];
    ys[n] = yAtX(crossings[i]);
    ++n;
  }
  xs[n] = cx1;
  ys[n] = cy1;
  for (int i = 0; i < n; ++i)
    accumulateClippedX(std::clamp(xs[i], 0.0f, right), ys[i], std::clamp(xs[i + 1], 0.0f, right), ys[i + 1]);
}

void Rasterizer::accumulateClippedX(float x0, float y0, float x1, float y1) {
  if (y0 == y1) return;
  minY_ = std::min(minY_, std::max(0, int(std::floor(std::min(y0, y1)))));
  maxY_ = std::max(maxY_, std::min(height_ - 1, int(std::ceil(std::max(y0, y1))) - 1));
  minX_ = std::min(minX_, int(std::floor(std::min(x0, x1))));
  maxX_ = std::max(maxX_, std::min(width_, int(std::floor(std::max(x0, x1))) + 1));
  accumulate(x0, y0, x1, y1);
}

// The area a line's piece in one row leaves to its right, given as the coverage C(j) it adds
// to cell j and everything after it; cells store the differences.
void Rasterizer::accumulate(float x0, float y0, float x1, float y1) {
  float direction = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    direction = -1;
  }
  if (centreSampling_) {
    crossCentres(x0, y0, x1, y1, direction);
    return;
  }
  const float dxdy = (x1 - x0) / (y1 - y0);
  const int rowFirst = std::max(0, int(std::floor(y0)));
  const int rowEnd = std::min(height_, int(std::ceil(y1)));
  for (int y = rowFirst; y < rowEnd; ++y) {
    const float rowTop = std::max(float(y), y0), rowBottom = std::min(float(y + 1), y1);
    const float d = (rowBottom - rowTop) * direction;
    if (d == 0) continue;
    const float xa = x0 + (rowTop - y0) * dxdy, xb = x0 + (rowBottom - y0) * dxdy;
    const float xl = std::min(xa, xb), xr = std::max(xa, xb);
    float* row = &cells_[size_t(y) * stride_];
    const int il = std::min(int(xl), width_);
    if (xr <= float(il + 1)) {
      const float mid = (xl + xr) * 0.5f - float(il);
      row[il] += d * (1 - mid);
      row[il + 1] += d * mid;
      continue;
    }
    const int ir = std::min(int(std::ceil(xr)) - 1, width_);
    const float slope = d / (xr - xl);  // area per unit of x
    float previous = 0;
    for (int j = il; j <= ir; ++j) {
      const float jr = float(j + 1);
      const float lo = std::max(xl, float(j)), hi = std::min(xr, jr);
      float covered = std::max(0.0f, std::min(xr, float(j)) - xl);
      if (hi > lo) covered += ((jr - lo) * (jr - lo) - (jr - hi) * (jr - hi)) * 0.5f;
      const float cover = covered * slope;
      row[j] += cover - previous;
      previous = cover;
    }
    row[ir + 1] += d - previous;
  }
}

// Each row whose centre line the edge crosses (top inclusive, bottom exclusive) gets the
// edge's winding at the first pixel whose centre lies at or right of the crossing.
void Rasterizer::crossCentres(float x0, float y0, float x1, float y1, float direction) {
  const float dxdy = (x1 - x0) / (y1 - y0);
  const int rowFirst = std::max(0, int(std::ceil(y0 - 0.5f)));
  const int rowEnd = std::min(height_, int(std::ceil(y1 - 0.5f)));
  for (int y = rowFirst; y < rowEnd; ++y) {
    const float x = x0 + (float(y) + 0.5f - y0) * dxdy;
    const int cell = std::clamp(int(std::ceil(x - 0.5f)), 0, width_);
    cells_[size_t(y) * stride_ + cell] += direction;
  }
}

void Rasterizer::coverRow(int y, int x0, int count, FillRule rule, Antialiasing aa) {
  float* row = &cells_[size_t(y) * stride_];
  // The running sum (serial), then the fill rule and the conversion (branch-free, so the
  // compiler vectorises them).
  float* sums = sums_.data();
  float sum = 0;
  for (int i = 0; i < count; ++i) {
    sum += row[x0 + i];
    sums[i] = sum;
  }
  uint8_t* out = coverage_.data();
  if (rule == FillRule::EvenOdd) {
    for (int i = 0; i < count; ++i) {
      float a = std::fabs(sums[i]);
      a -= 2.0f * float(int(a * 0.5f));
      a = 1.0f - std::fabs(1.0f - a);
      out[i] = uint8_t(int(a * 255.0f + 0.5f));
    }
  } else {
    for (int i = 0; i < count; ++i) out[i] = uint8_t(int(std::min(std::fabs(sums[i]), 1.0f) * 255.0f + 0.5f));
  }
  if (aa == Antialiasing::None) {
    for (int i = 0; i < count; ++i) out[i] = out[i] >= 128 ? 255 : 0;
  } else if (aa == Antialiasing::Coarse) {
    for (int i = 0; i < count; ++i) out[i] = uint8_t(std::min(255, ((out[i] + 32) >> 6) << 6));
  }
  std::fill(row + minX_, row + std::min(stride_, maxX_ + 2), 0.0f);
}

}  // namespace render

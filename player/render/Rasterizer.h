// Anti-aliased coverage by signed-area accumulation: each line adds the area it leaves to its
// right into a row of cells; a running sum along the row is then every pixel's exact coverage.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "PreparedShape.h"

namespace render {

enum class Antialiasing : uint8_t { None, Coarse, Exact };

class Rasterizer {
 public:
  // The frame's size; the cells are kept between draws (reallocated only when it grows).
  void setSize(int width, int height);

  // Lines in frame pixels; a shape's lines must close (each contour back to its start).
  void addLine(float x0, float y0, float x1, float y1);
  bool empty() const { return minY_ > maxY_; }

  // Without anti-aliasing the original player takes a pixel when its centre is inside, a centre
  // on a left or top edge counting as inside and one on a right or bottom edge as outside: with
  // this on, lines count crossings at pixel centres instead of depositing area.
  void setCentreSampling(bool on) { centreSampling_ = on; }

  // Calls row(y, x0, count, coverage) for each touched row with the coverage of pixels
  // x0..x0+count-1 (0..255), and clears the cells for the next shape.
  template <typename RowFunction>
  void sweep(FillRule rule, Antialiasing aa, RowFunction&& row);

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void accumulate(float x0, float y0, float x1, float y1);
  void crossCentres(float x0, float y0, float x1, float y1, float direction);
  void accumulateClippedX(float x0, float y0, float x1, float y1);
  void coverRow(int y, int x0, int count, FillRule rule, Antialiasing aa);
  void reset();

  int width_ = 0, height_ = 0, stride_ = 0;
  std::vector<float> cells_;
  std::vector<uint8_t> coverage_;
  std::vector<float> sums_;
  int minX_ = 0, maxX_ = -1, minY_ = 0, maxY_ = -1;
  bool centreSampling_ = false;
};

template <typename RowFunction>
void Rasterizer::sweep(FillRule rule, Antialiasing aa, RowFunction&& row) {
  if (empty()) return;
  const int x0 = minX_, count = std::min(maxX_, width_ - 1) - minX_ + 1;
  for (int y = minY_; y <= maxY_; ++y) {
    coverRow(y, x0, count, rule, aa);
    if (count > 0) row(y, x0, count, static_cast<const uint8_t*>(coverage_.data()));
  }
  reset();
}

}  // namespace render

// Paths taken into frame pixels and their quadratic curves cut into lines, as many as the
// curve's size on screen needs for its error to stay under a tolerance.
#pragma once

#include <vector>

#include "../swf/SwfTypes.h"
#include "PreparedShape.h"

namespace render {

// Contours as point lists in frame pixels; reused between draws.
struct Polylines {
  std::vector<Point> points;
  struct Range {
    size_t first = 0, count = 0;
    bool closed = false;
  };
  std::vector<Range> contours;
  void clear() {
    points.clear();
    contours.clear();
  }
};

void flatten(const Path& path, const swf::Matrix& toPixels, double tolerance, Polylines& out);

}  // namespace render

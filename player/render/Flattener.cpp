// Flattening: a quadratic with second difference D stays within |D| / (8 n^2) of its chords
// when cut into n equal steps, so n follows from the tolerance.
#include "Flattener.h"

#include <algorithm>
#include <cmath>

#include "MatrixMath.h"

namespace render {

void flatten(const Path& path, const swf::Matrix& toPixels, double tolerance, Polylines& out) {
  out.clear();
  for (const Contour& contour : path) {
    Polylines::Range range{out.points.size(), 0, contour.closed};
    Point pen = apply(toPixels, contour.start);
    out.points.push_back(pen);
    for (const Segment& segment : contour.segments) {
      const Point to = apply(toPixels, segment.to);
      if (segment.isCurve) {
        const Point control = apply(toPixels, segment.control);
        const double ddx = pen.x - 2 * control.x + to.x, ddy = pen.y - 2 * control.y + to.y;
        const double error = std::sqrt(ddx * ddx + ddy * ddy);
        double steps = std::ceil(std::sqrt(error / (8 * tolerance)));
        const int n = std::isfinite(steps) ? int(std::clamp(steps, 1.0, 256.0)) : 1;
        for (int i = 1; i < n; ++i) {
          const double t = double(i) / n, s = 1 - t;
          out.points.push_back({s * s * pen.x + 2 * s * t * control.x + t * t * to.x,
                                s * s * pen.y + 2 * s * t * control.y + t * t * to.y});
        }
      }
      out.points.push_back(to);
      pen = to;
    }
    range.count = out.points.size() - range.first;
    out.contours.push_back(range);
  }
}

}  // namespace render

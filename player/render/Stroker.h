// Strokes as filled pieces: one quadrilateral per line, a wedge on the outer side of each
// join (round, bevel or miter) and the caps, all wound the same way so that a non-zero fill
// of their union is the stroke, with shared sides and no seams.
#pragma once

#include <vector>

#include "../swf/SwfTypes.h"
#include "PreparedShape.h"
#include "Rasterizer.h"

namespace render {

struct StrokeGeometry {
  double width = 1;  // frame pixels
  swf::CapStyle startCap = swf::CapStyle::Round, endCap = swf::CapStyle::Round;
  swf::JoinStyle join = swf::JoinStyle::Round;
  double miterLimit = 3;
  double tolerance = 0.2;  // of the round parts, in pixels
};

class Stroker {
 public:
  // One contour's points (consecutive repeats allowed).
  void stroke(const Point* points, size_t count, bool closed, const StrokeGeometry& geometry,
              Rasterizer& rasterizer);

 private:
  void addPolygon(Rasterizer& rasterizer);
  void join(Point at, Point in, Point out, const StrokeGeometry& g, Rasterizer& r);
  void cap(Point at, Point direction, swf::CapStyle style, const StrokeGeometry& g, Rasterizer& r);
  void arc(Point center, double radius, double from, double sweep, double tolerance);

  std::vector<Point> unique_;
  std::vector<Point> polygon_;
};

}  // namespace render

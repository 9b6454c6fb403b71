// Outlines from system fonts prepared for the renderer.
#include "LayoutFont.h"

#include <algorithm>
#include <cmath>

namespace text {

render::PreparedShape prepareOutline(render::Path outline) {
  render::PreparedShape shape;
  shape.fillRule = render::FillRule::NonZero;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool first = true;
  auto extend = [&](render::Point p) {
    if (first) minX = maxX = p.x, minY = maxY = p.y, first = false;
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  };
  for (render::Contour& contour : outline) {
    contour.closed = true;
    extend(contour.start);
    for (const render::Segment& s : contour.segments) {
      if (s.isCurve) extend(s.control);
      extend(s.to);
    }
  }
  shape.bounds = {int32_t(std::floor(minX)), int32_t(std::ceil(maxX)), int32_t(std::floor(minY)),
                  int32_t(std::ceil(maxY))};
  render::ShapeLayer layer;
  layer.fill.style.color = {255, 255, 255, 255};
  layer.fill.outline = std::move(outline);
  shape.layers.push_back(std::move(layer));
  return shape;
}

}  // namespace text

// Outlines from system fonts prepared for the renderer.
#include "LayoutFont.h"

#include <algorithm>
#include <cctype>
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

// Names of fixed-pitch and serif families as movies give them; the rest read as sans serif.
FontFamily familyOf(const std::string& face) {
  std::string f;
  for (char c : face) f.push_back(char(std::tolower(static_cast<unsigned char>(c))));
  if (f == "_serif") return FontFamily::Serif;
  if (f == "_typewriter") return FontFamily::Monospace;
  if (f == "_sans") return FontFamily::Sans;
  static const char* const kSerif[] = {"times", "georgia", "serif", "garamond", "palatino", "book antiqua", "cambria"};
  static const char* const kMono[] = {"courier", "mono", "consolas", "lucida console", "typewriter", "fixedsys"};
  for (const char* m : kMono)
    if (f.find(m) != std::string::npos) return FontFamily::Monospace;
  for (const char* s : kSerif)
    if (f.find(s) != std::string::npos && f.find("sans") == std::string::npos) return FontFamily::Serif;
  return FontFamily::Sans;
}

}  // namespace text

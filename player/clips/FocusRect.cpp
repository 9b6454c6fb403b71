// The focus rectangle: bounds of the focused object on the stage, and four yellow bars drawn
// in pixels so the ring keeps its width at any scale.
#include "FocusRect.h"

#include <algorithm>

#include "ButtonObject.h"
#include "LayoutFont.h"
#include "MatrixMath.h"
#include "Transform.h"

namespace clips {

namespace {

constexpr double kThickness = 3;  // pixels
constexpr swf::Rgba kYellow{255, 255, 0, 255};

render::Contour rectangle(double x0, double y0, double x1, double y1) {
  render::Contour c;
  c.start = {x0, y0};
  for (render::Point p : {render::Point{x1, y0}, render::Point{x1, y1}, render::Point{x0, y1}, render::Point{x0, y0}})
    c.segments.push_back({{}, p, false});
  c.closed = true;
  return c;
}

}  // namespace

std::optional<Bounds> focusBounds(display::CharacterLibrary& library, const display::DisplayObject& object) {
  if (!object.parent()) return std::nullopt;  // no longer on the stage
  const swf::Matrix toStage = toRoot(object);
  Bounds b;
  if (object.kind() == display::ObjectKind::Button) {
    // A button rings its hit area, which stays put while its states change.
    for (const auto& [depth, child] : static_cast<const display::ButtonObject&>(object).hitArea().children())
      b.add(boundsOf(library, *child, display::concatenate(toStage, child->matrix())));
  } else {
    b = boundsOf(library, object, toStage);
  }
  if (b.empty || b.xMax <= b.xMin || b.yMax <= b.yMin) return std::nullopt;
  return b;
}

void drawFocusRect(render::Renderer& renderer, const Bounds& stageBounds, const swf::Matrix& view) {
  const render::Point a = render::apply(view, {stageBounds.xMin, stageBounds.yMin});
  const render::Point c = render::apply(view, {stageBounds.xMax, stageBounds.yMax});
  const double x0 = std::min(a.x, c.x), x1 = std::max(a.x, c.x), y0 = std::min(a.y, c.y), y1 = std::max(a.y, c.y);
  const double t = std::min({kThickness, (x1 - x0) / 2, (y1 - y0) / 2});
  render::Path bars = {rectangle(x0, y0, x1, y0 + t), rectangle(x0, y1 - t, x1, y1), rectangle(x0, y0 + t, x0 + t, y1 - t),
                       rectangle(x1 - t, y0 + t, x1, y1 - t)};
  renderer.drawShape(text::prepareOutline(std::move(bars)), swf::Matrix{}, display::tint(kYellow));
}

}  // namespace clips

// Hit-testing by area: crossings (even-odd) or windings (non-zero) of flattened contours, and
// distance to stroke segments.
#include "HitTest.h"

#include <algorithm>
#include <cmath>

#include "ButtonObject.h"
#include "CharacterLibrary.h"
#include "MorphShapeObject.h"
#include "SpriteObject.h"

namespace display {

namespace {

constexpr int kCurveSteps = 8;  // a quadratic as this many lines: finer than a pointer needs
constexpr int kMaxNesting = 64;

render::Point curvePoint(render::Point from, render::Point control, render::Point to, double t) {
  const double u = 1 - t;
  return {u * u * from.x + 2 * u * t * control.x + t * t * to.x, u * u * from.y + 2 * u * t * control.y + t * t * to.y};
}

// Calls `line(a, b)` for each straight piece of the contour.
template <class Line>
void forEachLine(const render::Contour& contour, Line&& line) {
  render::Point at = contour.start;
  for (const render::Segment& s : contour.segments) {
    if (!s.isCurve) {
      line(at, s.to);
    } else {
      render::Point prev = at;
      for (int i = 1; i <= kCurveSteps; ++i) {
        const render::Point next = curvePoint(at, s.control, s.to, double(i) / kCurveSteps);
        line(prev, next);
        prev = next;
      }
    }
    at = s.to;
  }
}

// The signed count of edges crossing the ray from `p` towards +x (up +1, down -1).
int winding(const render::Path& path, render::Point p) {
  int total = 0;
  for (const render::Contour& contour : path) {
    auto edge = [&](render::Point a, render::Point b) {
      if ((a.y <= p.y) == (b.y <= p.y)) return;
      const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
      if (x > p.x) total += b.y > a.y ? 1 : -1;
    };
    forEachLine(contour, edge);
    if (!contour.segments.empty() && !(contour.segments.back().to == contour.start))
      edge(contour.segments.back().to, contour.start);
  }
  return total;
}

double distanceSquared(render::Point p, render::Point a, render::Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

bool nearPath(const render::Path& path, render::Point p, double halfWidth) {
  const double limit = halfWidth * halfWidth;
  bool hit = false;
  for (const render::Contour& contour : path) {
    forEachLine(contour, [&](render::Point a, render::Point b) { hit = hit || distanceSquared(p, a, b) <= limit; });
    if (contour.segments.empty()) hit = hit || distanceSquared(p, contour.start, contour.start) <= limit;
    if (hit) return true;
  }
  return false;
}

bool inBounds(const swf::Rect& r, render::Point p) {
  return p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax;
}

bool listContains(const DisplayList& list, CharacterLibrary& library, render::Point point, int nesting);

// The clip layer that masks `depth` on this list, if any.
const DisplayObject* maskOver(const DisplayList& list, int32_t depth) {
  const DisplayObject* mask = nullptr;
  for (const auto& [d, child] : list.children()) {
    if (d >= depth) break;
    if (child->clipDepth() && child->clipDepth() >= depth) mask = child.get();
  }
  return mask;
}

bool containsAt(const DisplayObject& object, CharacterLibrary& library, render::Point point, int nesting,
                bool asMask) {
  if (nesting > kMaxNesting || (!asMask && !object.visible())) return false;
  render::Point local;
  if (!toLocal(object.matrix(), point, local)) return false;
  switch (object.kind()) {
    case ObjectKind::Shape: {
      const swf::Shape* shape = library.get<swf::Shape>(object.characterId());
      return shape && inBounds(shape->bounds, local) && shapeContains(library.preparedShape(*shape), local);
    }
    case ObjectKind::MorphShape: {
      const swf::MorphShape* morph = library.get<swf::MorphShape>(object.characterId());
      return morph && shapeContains(library.preparedMorph(*morph, object.ratio()), local);
    }
    case ObjectKind::Bitmap: {
      const swf::Bitmap* bitmap = library.get<swf::Bitmap>(object.characterId());
      return bitmap && local.x >= 0 && local.y >= 0 && local.x < bitmap->width * 20.0 && local.y < bitmap->height * 20.0;
    }
    case ObjectKind::Sprite: {
      const SpriteObject& sprite = static_cast<const SpriteObject&>(object);
      const Drawing* drawing = sprite.drawing();
      if (drawing && !drawing->empty() && shapeContains(drawing->prepared(), local)) return true;
      return listContains(sprite.children(), library, local, nesting + 1);
    }
    case ObjectKind::Button:
      return listContains(static_cast<const ButtonObject&>(object).hitArea(), library, local, nesting + 1);
    default:
      return false;
  }
}

bool underMask(const DisplayList& list, const DisplayObject& child, CharacterLibrary& library, render::Point point,
               int nesting) {
  const DisplayObject* mask = maskOver(list, child.depth());
  return !mask || containsAt(*mask, library, point, nesting, true);
}

bool listContains(const DisplayList& list, CharacterLibrary& library, render::Point point, int nesting) {
  for (auto it = list.children().rbegin(); it != list.children().rend(); ++it) {
    const DisplayObject& child = *it->second;
    if (child.clipDepth()) continue;
    if (containsAt(child, library, point, nesting, false) && underMask(list, child, library, point, nesting)) return true;
  }
  return false;
}

std::shared_ptr<ButtonObject> topButtonIn(const DisplayList& list, CharacterLibrary& library, render::Point point,
                                          int nesting) {
  if (nesting > kMaxNesting) return nullptr;
  for (auto it = list.children().rbegin(); it != list.children().rend(); ++it) {
    const std::shared_ptr<DisplayObject>& child = it->second;
    if (child->clipDepth() || !child->visible()) continue;
    std::shared_ptr<ButtonObject> found;
    if (child->kind() == ObjectKind::Button) {
      if (containsAt(*child, library, point, nesting, false)) found = std::static_pointer_cast<ButtonObject>(child);
    } else if (child->kind() == ObjectKind::Sprite) {
      render::Point local;
      if (toLocal(child->matrix(), point, local))
        found = topButtonIn(static_cast<const SpriteObject&>(*child).children(), library, local, nesting + 1);
    }
    if (found && underMask(list, *child, library, point, nesting)) return found;
  }
  return nullptr;
}

}  // namespace

bool insideClipLayer(const DisplayList& list, const DisplayObject& child, CharacterLibrary& library,
                     render::Point point) {
  return underMask(list, child, library, point, 0);
}

bool toLocal(const swf::Matrix& m, render::Point p, render::Point& local) {
  const double det = m.a * m.d - m.b * m.c;
  if (std::abs(det) < 1e-12) return false;
  const double x = p.x - m.tx, y = p.y - m.ty;
  local = {(m.d * x - m.c * y) / det, (m.a * y - m.b * x) / det};
  return true;
}

bool shapeContains(const render::PreparedShape& shape, render::Point point, double minHalfWidth) {
  for (const render::ShapeLayer& layer : shape.layers) {
    if (layer.isStroke) {
      const double halfWidth = std::max<double>(layer.stroke.style.width / 2.0, minHalfWidth);
      if (nearPath(layer.stroke.path, point, halfWidth)) return true;
    } else {
      const int w = winding(layer.fill.outline, point);
      if (shape.fillRule == render::FillRule::NonZero ? w != 0 : (w & 1) != 0) return true;
    }
  }
  return false;
}

bool objectContains(const DisplayObject& object, CharacterLibrary& library, render::Point point) {
  return containsAt(object, library, point, 0, false);
}

std::shared_ptr<ButtonObject> topButtonAt(const DisplayList& list, CharacterLibrary& library, render::Point point) {
  return topButtonIn(list, library, point, 0);
}

}  // namespace display

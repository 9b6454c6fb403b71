// Bounds and matrix arithmetic for the clips' properties and methods.
#include "ClipGeometry.h"

#include <algorithm>
#include <cmath>

#include "ButtonObject.h"
#include "EditTextObject.h"
#include "DisplayContext.h"
#include "SpriteObject.h"
#include "Transform.h"

namespace clips {

namespace {
constexpr double kPi = 3.14159265358979323846;

void addRect(Bounds* b, const swf::Rect& r, const swf::Matrix& m) {
  if (r.xMin > r.xMax || r.yMin > r.yMax) return;
  for (double x : {double(r.xMin), double(r.xMax)})
    for (double y : {double(r.yMin), double(r.yMax)}) b->add(m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty);
}

void addChildren(display::CharacterLibrary& library, const display::DisplayList& list, const swf::Matrix& m, Bounds* b) {
  for (const auto& [depth, child] : list.children())
    b->add(boundsOf(library, *child, display::concatenate(m, child->matrix())));
}
}  // namespace

void Bounds::add(double x, double y) {
  if (empty) {
    xMin = xMax = x, yMin = yMax = y;
    empty = false;
    return;
  }
  xMin = std::min(xMin, x), xMax = std::max(xMax, x);
  yMin = std::min(yMin, y), yMax = std::max(yMax, y);
}

void Bounds::add(const Bounds& other) {
  if (other.empty) return;
  add(other.xMin, other.yMin);
  add(other.xMax, other.yMax);
}

Bounds boundsOf(display::CharacterLibrary& library, const display::DisplayObject& object, const swf::Matrix& m) {
  Bounds b;
  const swf::CharacterId id = object.characterId();
  switch (object.kind()) {
    case display::ObjectKind::Shape:
      if (auto* shape = library.get<swf::Shape>(id)) addRect(&b, shape->bounds, m);
      break;
    case display::ObjectKind::MorphShape:
      if (auto* morph = library.get<swf::MorphShape>(id)) addRect(&b, morph->startBounds, m);
      break;
    case display::ObjectKind::Bitmap:
      if (auto* bitmap = library.get<swf::Bitmap>(id))
        addRect(&b, swf::Rect{0, int32_t(bitmap->width * 20), 0, int32_t(bitmap->height * 20)}, m);
      break;
    case display::ObjectKind::Sprite: {
      const auto& sprite = static_cast<const display::SpriteObject&>(object);
      if (const display::Drawing* drawing = sprite.drawing())
        if (std::optional<swf::Rect> drawn = drawing->bounds()) addRect(&b, *drawn, m);
      addChildren(sprite.context().library(), sprite.children(), m, &b);  // a loaded movie's own
      break;
    }
    case display::ObjectKind::Button:
      addChildren(library, static_cast<const display::ButtonObject&>(object).children(), m, &b);
      break;
    case display::ObjectKind::EditText: {  // its bounds grow with auto-size, so asking may lay it out
      auto& field = const_cast<display::EditTextObject&>(static_cast<const display::EditTextObject&>(object));
      addRect(&b, field.state().bounds(), m);
      break;
    }
    default: break;
  }
  return b;
}

swf::Matrix toRoot(const display::DisplayObject& object) {
  swf::Matrix m = object.matrix();
  int guard = 0;
  for (const display::DisplayObject* p = object.parent(); p && p->parent() && guard < 256; p = p->parent(), ++guard)
    m = display::concatenate(p->matrix(), m);
  return m;
}

swf::Matrix inverse(const swf::Matrix& m) {
  double det = m.a * m.d - m.b * m.c;
  if (det == 0) return swf::Matrix{1, 0, 0, 1, -m.tx, -m.ty};
  swf::Matrix r;
  r.a = m.d / det, r.b = -m.b / det, r.c = -m.c / det, r.d = m.a / det;
  r.tx = -(r.a * m.tx + r.c * m.ty);
  r.ty = -(r.b * m.tx + r.d * m.ty);
  return r;
}

double scaleX(const swf::Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b); }
double scaleY(const swf::Matrix& m) {
  double s = std::sqrt(m.c * m.c + m.d * m.d);
  return m.a * m.d - m.b * m.c < 0 ? -s : s;  // a mirrored clip reads as a negative y scale
}
double rotationDegrees(const swf::Matrix& m) { return std::atan2(m.b, m.a) * 180 / kPi; }

swf::Matrix withScaleRotation(const swf::Matrix& m, double sx, double sy, double degrees) {
  double r = degrees * kPi / 180, cos = std::cos(r), sin = std::sin(r);
  swf::Matrix out = m;
  out.a = sx * cos, out.b = sx * sin, out.c = -sy * sin, out.d = sy * cos;
  return out;
}

}  // namespace clips

// The display properties of a clip (_x, _alpha, _currentframe, ...): one getter and setter
// pair each, read from and written to the instance on the display list. A detached clip reads
// them as undefined and ignores writes.
#include <cmath>
#include <cctype>

#include "ClipGeometry.h"
#include "ClipStage.h"
#include "EditTextObject.h"
#include "SpriteObject.h"

namespace clips {

namespace {

using avm1::Value;
using Get = Value (*)(ClipObject&, avm1::Machine&);
using Set = void (*)(ClipObject&, avm1::Machine&, const Value&);

double twipsToPixels(double t) { return t / 20.0; }
// A number written to a property: NaN and infinities leave it as it was.
bool finite(avm1::Machine& m, const Value& v, double* out) {
  *out = m.toNumber(v);
  return std::isfinite(*out);
}
display::DisplayObject& d(ClipObject& c) { return *c.display(); }

Value getX(ClipObject& c, avm1::Machine&) { return Value(twipsToPixels(d(c).matrix().tx)); }
Value getY(ClipObject& c, avm1::Machine&) { return Value(twipsToPixels(d(c).matrix().ty)); }
void setX(ClipObject& c, avm1::Machine& m, const Value& v) {
  double x;
  if (!finite(m, v, &x)) return;
  swf::Matrix matrix = d(c).matrix();
  matrix.tx = std::round(x * 20);
  d(c).setMatrix(matrix);
}
void setY(ClipObject& c, avm1::Machine& m, const Value& v) {
  double y;
  if (!finite(m, v, &y)) return;
  swf::Matrix matrix = d(c).matrix();
  matrix.ty = std::round(y * 20);
  d(c).setMatrix(matrix);
}
Value getXScale(ClipObject& c, avm1::Machine&) { return Value(c.transform().scaleX * 100); }
Value getYScale(ClipObject& c, avm1::Machine&) { return Value(std::fabs(c.transform().scaleY) * 100); }
void setXScale(ClipObject& c, avm1::Machine& m, const Value& v) {
  double s;
  if (!finite(m, v, &s)) return;
  ClipObject::Transform t = c.transform();
  t.scaleX = s / 100;
  c.setTransform(t);
}
void setYScale(ClipObject& c, avm1::Machine& m, const Value& v) {
  double s;
  if (!finite(m, v, &s)) return;
  ClipObject::Transform t = c.transform();
  t.scaleY = s / 100;
  c.setTransform(t);
}
Value getRotation(ClipObject& c, avm1::Machine&) { return Value(c.transform().rotation); }
void setRotation(ClipObject& c, avm1::Machine& m, const Value& v) {
  double r;
  if (!finite(m, v, &r)) return;
  r = std::fmod(r, 360);
  if (r > 180) r -= 360;
  else if (r < -180) r += 360;
  ClipObject::Transform t = c.transform();
  t.rotation = r;
  c.setTransform(t);
}
Value getAlpha(ClipObject& c, avm1::Machine&) { return Value(d(c).colorTransform().aMult * 100.0 / 256); }
void setAlpha(ClipObject& c, avm1::Machine& m, const Value& v) {
  double a;
  if (!finite(m, v, &a)) return;
  swf::ColorTransform ct = d(c).colorTransform();
  ct.aMult = static_cast<int16_t>(std::clamp(a * 256 / 100, -32768.0, 32767.0));
  d(c).setColorTransform(ct);
}
Value getVisible(ClipObject& c, avm1::Machine&) { return Value(d(c).visible()); }
void setVisible(ClipObject& c, avm1::Machine& m, const Value& v) {
  if (v.isString() || v.isNumber()) {
    double n = m.toNumber(v);
    if (std::isnan(n)) return;  // text that is no number leaves it as it was
    return d(c).setVisible(n != 0);
  }
  d(c).setVisible(m.toBoolean(v));
}
Value bound(ClipObject& c, bool width) {
  Bounds b = boundsOf(c.stage().player().library(), d(c), d(c).matrix());
  if (b.empty) return Value(0);
  return Value(twipsToPixels(width ? b.xMax - b.xMin : b.yMax - b.yMin));
}
Value getWidth(ClipObject& c, avm1::Machine&) { return bound(c, true); }
Value getHeight(ClipObject& c, avm1::Machine&) { return bound(c, false); }
// A new width or height scales the clip so its unrotated bounds take that size.
void setSize(ClipObject& c, avm1::Machine& m, const Value& v, bool width) {
  double size;
  if (!finite(m, v, &size)) return;
  if (d(c).kind() == display::ObjectKind::EditText) {  // a field's box takes the size; its scale stays
    text::EditTextState& field = static_cast<display::EditTextObject&>(d(c)).state();
    swf::Rect box = field.bounds();
    const int32_t twips = int32_t(std::round(std::max(size, 0.0) * 20));
    (width ? box.xMax : box.yMax) = (width ? box.xMin : box.yMin) + twips;
    field.setBounds(box);
    return;
  }
  Bounds local = boundsOf(c.stage().player().library(), d(c), swf::Matrix{});
  double extent = width ? local.xMax - local.xMin : local.yMax - local.yMin;
  if (local.empty || extent <= 0) return;
  ClipObject::Transform t = c.transform();
  (width ? t.scaleX : t.scaleY) = size * 20 / extent;
  c.setTransform(t);
}
void setWidth(ClipObject& c, avm1::Machine& m, const Value& v) { setSize(c, m, v, true); }
void setHeight(ClipObject& c, avm1::Machine& m, const Value& v) { setSize(c, m, v, false); }
Value getCurrentFrame(ClipObject& c, avm1::Machine&) {
  return Value(c.sprite() ? double(std::max<uint16_t>(c.sprite()->currentFrame(), 1)) : 1.0);
}
Value getTotalFrames(ClipObject& c, avm1::Machine&) { return Value(c.sprite() ? double(c.sprite()->totalFrames()) : 1.0); }
Value getName(ClipObject& c, avm1::Machine&) { return Value(d(c).parent() ? d(c).name() : std::string()); }
void setName(ClipObject& c, avm1::Machine& m, const Value& v) {
  d(c).setName(m.toString(v));
  c.refreshPath();
}
Value getTarget(ClipObject& c, avm1::Machine&) { return Value(c.slashPath()); }
Value getParent(ClipObject& c, avm1::Machine&) {
  display::SpriteObject* parent = d(c).parent();
  if (!parent) return Value();
  avm1::ObjectRef object = scriptObjectOf(c.stage(), *parent);
  return object ? Value(object) : Value();
}
// A clip of a loaded movie answers that movie's URL.
Value getUrl(ClipObject& c, avm1::Machine&) {
  const display::SpriteObject* s = c.sprite() ? c.sprite() : c.display()->parent();
  const LoadedMovie* movie = s ? c.stage().loads().movieOfContext(s->context()) : nullptr;
  return Value(movie ? movie->url : c.stage().url);
}
Value getDropTarget(ClipObject& c, avm1::Machine&) { return Value(c.dropTarget); }
// The pointer in the clip's own pixels.
Value getXMouse(ClipObject& c, avm1::Machine&) {
  swf::Matrix m = inverse(toRoot(d(c)));
  const render::Point p = c.stage().pointer;
  return Value(std::round((m.a * p.x + m.c * p.y + m.tx) / 20));
}
Value getYMouse(ClipObject& c, avm1::Machine&) {
  swf::Matrix m = inverse(toRoot(d(c)));
  const render::Point p = c.stage().pointer;
  return Value(std::round((m.b * p.x + m.d * p.y + m.ty) / 20));
}
Value getQuality(ClipObject&, avm1::Machine&) { return Value("HIGH"); }
Value getOne(ClipObject&, avm1::Machine&) { return Value(1); }
Value getBufferTime(ClipObject&, avm1::Machine&) { return Value(5); }
void ignore(ClipObject&, avm1::Machine&, const Value&) {}

struct PropertyRow {
  const char* name;
  Get get;
  Set set;
};
const PropertyRow kProperties[] = {
    {"_x", getX, setX}, {"_y", getY, setY}, {"_xscale", getXScale, setXScale},
    {"_yscale", getYScale, setYScale}, {"_currentframe", getCurrentFrame, ignore},
    {"_totalframes", getTotalFrames, ignore}, {"_alpha", getAlpha, setAlpha},
    {"_visible", getVisible, setVisible}, {"_width", getWidth, setWidth},
    {"_height", getHeight, setHeight}, {"_rotation", getRotation, setRotation},
    {"_target", getTarget, ignore}, {"_framesloaded", getTotalFrames, ignore},
    {"_name", getName, setName}, {"_droptarget", getDropTarget, ignore}, {"_url", getUrl, ignore},
    {"_highquality", getOne, ignore}, {"_focusrect", getOne, ignore},
    {"_soundbuftime", getBufferTime, ignore}, {"_quality", getQuality, ignore},
    {"_xmouse", getXMouse, ignore}, {"_ymouse", getYMouse, ignore}, {"_parent", getParent, ignore},
};

}  // namespace

int clipPropertyIndex(const std::string& name) {
  for (size_t i = 0; i < std::size(kProperties); ++i) {
    const char* p = kProperties[i].name;
    size_t n = 0;
    for (; p[n] && n < name.size(); ++n)
      if (std::tolower(static_cast<unsigned char>(name[n])) != p[n]) break;
    if (!p[n] && n == name.size()) return static_cast<int>(i);
  }
  return -1;
}

void installClipProperties(ClipStage& stage, std::vector<avm1::ObjectRef>* getters, std::vector<avm1::ObjectRef>* setters) {
  avm1::Machine& m = stage.machine();
  for (const PropertyRow& row : kProperties) {
    Get get = row.get;
    Set set = row.set;
    getters->push_back(m.newFunction([get](avm1::Machine& m, const Value& self, const avm1::Args&) {
      ClipObject* clip = asClip(self);
      return clip && clip->display() ? get(*clip, m) : Value();
    }));
    setters->push_back(m.newFunction([set](avm1::Machine& m, const Value& self, const avm1::Args& args) {
      ClipObject* clip = asClip(self);
      if (clip && clip->display()) set(*clip, m, args.empty() ? Value() : args[0]);
      return Value();
    }));
  }
}

}  // namespace clips

// MovieClip.prototype's drawing API: lineStyle, beginFill, beginGradientFill, beginBitmapFill,
// moveTo, lineTo, curveTo, endFill and clear, drawing into the clip's display::Drawing.
#include <algorithm>
#include <cmath>

#include "ClipStage.h"
#include "SpriteObject.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

constexpr size_t kMaxGradientStops = 15;

double number(Machine& m, const Value& v) {
  double n = m.toNumber(v);
  return std::isnan(n) ? 0 : n;
}
uint32_t rgbOf(Machine& m, const Value& v) { return static_cast<uint32_t>(avm1::toInt32(m.toNumber(v))); }
// Alphas are percentages, 0 to 100.
uint8_t alphaOf(Machine& m, const Value& v) {
  return static_cast<uint8_t>(std::clamp(number(m, v), 0.0, 100.0) / 100.0 * 255.0);
}
swf::Rgba color(uint32_t rgb, uint8_t alpha) {
  return swf::Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha};
}
render::Point pixels(Machine& m, const Value& x, const Value& y) {
  return render::Point{m.toNumber(x) * 20, m.toNumber(y) * 20};
}
std::string textOf(Machine& m, const Args& args, size_t i) { return i < args.size() ? m.toString(args[i]) : std::string(); }
Value field(Machine& m, const avm1::ObjectRef& o, const char* name) { return o->get(m, name); }

// A matrix object: {a, b, c, d, tx, ty} with the translation in pixels, or
// {matrixType: "box", x, y, w, h, r}, the gradient square stretched over that box.
swf::Matrix gradientMatrix(Machine& m, const Value& v) {
  swf::Matrix out;
  avm1::ObjectRef o = m.toObject(v);
  if (!o) return out;
  if (m.toString(field(m, o, "matrixType")) == "box") {
    double w = m.toNumber(field(m, o, "w")), h = m.toNumber(field(m, o, "h")), r = m.toNumber(field(m, o, "r"));
    double x = m.toNumber(field(m, o, "x")), y = m.toNumber(field(m, o, "y"));
    const double sx = w / 1638.4, sy = h / 1638.4;
    out.a = std::cos(r) * sx, out.b = std::sin(r) * sx, out.c = -std::sin(r) * sy, out.d = std::cos(r) * sy;
    out.tx = (x + w / 2) * 20, out.ty = (y + h / 2) * 20;
    return out;
  }
  out.a = m.toNumber(field(m, o, "a")), out.b = m.toNumber(field(m, o, "b"));
  out.c = m.toNumber(field(m, o, "c")), out.d = m.toNumber(field(m, o, "d"));
  out.tx = m.toNumber(field(m, o, "tx")) * 20, out.ty = m.toNumber(field(m, o, "ty")) * 20;
  return out;
}

size_t lengthOf(Machine& m, const avm1::ObjectRef& o) {
  double n = o ? m.toNumber(o->get(m, "length")) : 0;
  return std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min(n, 1e6));
}

// Colours, alphas and ratios of equal length, ratios within 0..255; none when they are not.
std::optional<std::vector<swf::GradientStop>> stopsOf(Machine& m, const Value& colors, const Value& alphas,
                                                      const Value& ratios) {
  avm1::ObjectRef c = m.toObject(colors), a = m.toObject(alphas), r = m.toObject(ratios);
  const size_t n = lengthOf(m, c);
  if (n != lengthOf(m, a) || n != lengthOf(m, r)) return std::nullopt;
  std::vector<swf::GradientStop> stops;
  for (size_t i = 0; i < n && i < kMaxGradientStops; ++i) {
    const std::string key = std::to_string(i);
    const double ratio = m.toNumber(r->get(m, key));
    if (!(ratio > -1 && ratio < 256)) return std::nullopt;
    stops.push_back(swf::GradientStop{static_cast<uint8_t>(ratio), color(rgbOf(m, c->get(m, key)), alphaOf(m, a->get(m, key)))});
  }
  return stops;
}

void lineStyle(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.empty()) return d.setLine(std::nullopt);
  swf::LineStyle style;
  style.width = static_cast<uint16_t>(std::round(std::clamp(number(m, args[0]), 0.0, 255.0) * 20));
  style.color = args.size() > 1 ? color(rgbOf(m, args[1]), args.size() > 2 ? alphaOf(m, args[2]) : 255) : swf::Rgba{0, 0, 0, 255};
  style.pixelHinting = args.size() > 3 && m.toBoolean(args[3]);
  const std::string scale = textOf(m, args, 4);
  style.noHScale = scale == "none" || scale == "horizontal";
  style.noVScale = scale == "none" || scale == "vertical";
  const std::string caps = textOf(m, args, 5);
  style.startCap = style.endCap = caps == "square" ? swf::CapStyle::Square : caps == "none" ? swf::CapStyle::None : swf::CapStyle::Round;
  const std::string joint = textOf(m, args, 6);
  style.join = joint == "miter" ? swf::JoinStyle::Miter : joint == "bevel" ? swf::JoinStyle::Bevel : swf::JoinStyle::Round;
  if (args.size() > 7) style.miterLimit = std::clamp(number(m, args[7]), 0.0, 255.0);
  style.noClose = true;
  d.setLine(style);
}

void beginFill(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.empty()) return d.setFill(std::nullopt);
  swf::FillStyle style;
  style.color = color(rgbOf(m, args[0]), args.size() > 1 ? alphaOf(m, args[1]) : 255);
  d.setFill(style);
}

void beginGradientFill(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.empty() || args[0].isUndefined()) return d.setFill(std::nullopt);
  if (args.size() < 5 || args.size() > 8 || (args.size() > 5 && m.rules().version() < 8)) return;
  const std::string type = m.toString(args[0]);
  if (type != "linear" && type != "radial") return;
  std::optional<std::vector<swf::GradientStop>> stops = stopsOf(m, args[1], args[2], args[3]);
  if (!stops) return;
  swf::FillStyle style;
  style.gradient.stops = std::move(*stops);
  style.gradient.matrix = gradientMatrix(m, args[4]);
  const std::string spread = textOf(m, args, 5);
  style.gradient.spread = spread == "reflect" ? swf::SpreadMode::Reflect : spread == "repeat" ? swf::SpreadMode::Repeat : swf::SpreadMode::Pad;
  style.gradient.interpolation = textOf(m, args, 6) == "linearRGB" ? swf::Interpolation::LinearRgb : swf::Interpolation::Rgb;
  const double focal = args.size() > 7 ? std::clamp(number(m, args[7]), -1.0, 1.0) : 0;
  style.gradient.focalPoint = focal;
  style.kind = type == "linear" ? swf::FillKind::LinearGradient : focal == 0 ? swf::FillKind::RadialGradient : swf::FillKind::FocalGradient;
  d.setFill(style);
}

// Without BitmapData the bitmap is named by its export name in the library.
void beginBitmapFill(ClipStage& stage, Machine& m, display::Drawing& d, const Args& args, display::SpriteObject& s) {
  swf::CharacterId id = args.empty() ? 0 : stage.exported(m.toString(args[0]));
  if (!id || !s.context().library().get<swf::Bitmap>(id)) return d.setFill(std::nullopt);
  swf::FillStyle style;
  style.bitmapId = id;
  swf::Matrix m20 = args.size() > 1 && args[1].isObject() ? gradientMatrix(m, args[1]) : swf::Matrix{};
  style.bitmapMatrix = swf::Matrix{m20.a * 20, m20.b * 20, m20.c * 20, m20.d * 20, m20.tx, m20.ty};
  const bool repeat = args.size() <= 2 || m.toBoolean(args[2]);
  const bool smooth = args.size() > 3 && m.toBoolean(args[3]);
  style.kind = repeat ? (smooth ? swf::FillKind::RepeatingBitmap : swf::FillKind::RepeatingBitmapHard)
                      : (smooth ? swf::FillKind::ClippedBitmap : swf::FillKind::ClippedBitmapHard);
  d.setFill(style);
}

void moveTo(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.size() >= 2) d.moveTo(pixels(m, args[0], args[1]));
}
void lineTo(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.size() >= 2) d.lineTo(pixels(m, args[0], args[1]));
}
void curveTo(ClipStage&, Machine& m, display::Drawing& d, const Args& args) {
  if (args.size() >= 4) d.curveTo(pixels(m, args[0], args[1]), pixels(m, args[2], args[3]));
}
void endFill(ClipStage&, Machine&, display::Drawing& d, const Args&) { d.setFill(std::nullopt); }
void clear(ClipStage&, Machine&, display::Drawing& d, const Args&) { d.clear(); }

using Method = void (*)(ClipStage&, Machine&, display::Drawing&, const Args&);
struct MethodRow {
  const char* name;
  Method method;
};
const MethodRow kMethods[] = {
    {"lineStyle", lineStyle}, {"beginFill", beginFill}, {"beginGradientFill", beginGradientFill},
    {"moveTo", moveTo}, {"lineTo", lineTo}, {"curveTo", curveTo}, {"endFill", endFill}, {"clear", clear},
};

}  // namespace

void installDrawingMethods(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.prototypeOf("MovieClip");
  if (!proto) return;
  ClipStage* at = &stage;
  auto sprite = [](const Value& self) -> display::SpriteObject* {
    ClipObject* clip = asClip(self);
    return clip ? clip->sprite() : nullptr;
  };
  for (const MethodRow& row : kMethods) {
    Method method = row.method;
    proto->define(m, row.name, Value(m.newFunction(whileStageLives(stage, [method, at, sprite](Machine& mm, const Value& self, const Args& args) {
      if (display::SpriteObject* s = sprite(self)) method(*at, mm, s->drawing(), args);
      return Value();
    }))), avm1::kDontEnum);
  }
  proto->define(m, "beginBitmapFill", Value(m.newFunction(whileStageLives(stage, [at, sprite](Machine& mm, const Value& self, const Args& args) {
    if (display::SpriteObject* s = sprite(self)) beginBitmapFill(*at, mm, s->drawing(), args, *s);
    return Value();
  }))), avm1::kDontEnum);
}

}  // namespace clips

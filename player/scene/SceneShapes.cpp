// Outlines to shape records: absolute points rounded to twips first, so edges chain without
// drift and each closed outline ends exactly where it began.
#include "SceneShapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scene {
namespace {

constexpr double kTwips = 20;
constexpr double kPi = 3.14159265358979323846;
constexpr double kGradientSquare = 32768;  // the gradient square's side in twips

int32_t toTwips(double pixels) { return static_cast<int32_t>(std::lround(pixels * kTwips)); }

struct Box {
  double xMin = std::numeric_limits<double>::max(), yMin = xMin;
  double xMax = std::numeric_limits<double>::lowest(), yMax = xMax;
  void add(double x, double y) {
    xMin = std::min(xMin, x);
    yMin = std::min(yMin, y);
    xMax = std::max(xMax, x);
    yMax = std::max(yMax, y);
  }
  bool empty() const { return xMin > xMax; }
};

Box boundsOf(const std::vector<PathStep>& path) {
  Box box;
  for (const PathStep& s : path) {
    if (s.kind == PathStep::Close) continue;
    box.add(s.x, s.y);
    if (s.kind == PathStep::Curve) box.add(s.cx, s.cy);
  }
  if (box.empty()) box = Box{0, 0, 0, 0};
  return box;
}

swf::Rect twipsRect(const Box& b, double grow) {
  return swf::Rect{toTwips(b.xMin - grow), toTwips(b.xMax + grow), toTwips(b.yMin - grow), toTwips(b.yMax + grow)};
}

swf::FillStyle fillStyle(const Paint& p, const Box& b) {
  swf::FillStyle f;
  double w = (b.xMax - b.xMin) * kTwips, h = (b.yMax - b.yMin) * kTwips;
  double centerX = (b.xMin + b.xMax) / 2 * kTwips, centerY = (b.yMin + b.yMax) / 2 * kTwips;
  switch (p.kind) {
    case PaintKind::Solid:
      f.kind = swf::FillKind::Solid;
      f.color = p.color;
      return f;
    case PaintKind::Bitmap:
      f.kind = p.repeat ? (p.smooth ? swf::FillKind::RepeatingBitmap : swf::FillKind::RepeatingBitmapHard)
                        : (p.smooth ? swf::FillKind::ClippedBitmap : swf::FillKind::ClippedBitmapHard);
      f.bitmapId = p.bitmapId;
      f.bitmapMatrix = swf::Matrix{w / p.bitmapWidth, 0, 0, h / p.bitmapHeight, b.xMin * kTwips, b.yMin * kTwips};
      return f;
    default:
      break;
  }
  f.kind = p.kind == PaintKind::Linear   ? swf::FillKind::LinearGradient
           : p.kind == PaintKind::Radial ? swf::FillKind::RadialGradient
                                         : swf::FillKind::FocalGradient;
  // The gradient square scaled over the bounds, turned about their centre.
  double sx = w / kGradientSquare, sy = h / kGradientSquare;
  double angle = p.angleDegrees * kPi / 180;
  double cosA = std::cos(angle), sinA = std::sin(angle);
  f.gradient.matrix = swf::Matrix{cosA * sx, sinA * sx, -sinA * sy, cosA * sy, centerX, centerY};
  f.gradient.spread = p.spread;
  f.gradient.stops = p.stops;
  f.gradient.focalPoint = p.focalPoint;
  return f;
}

bool anyAlpha(const Paint& p) {
  if (p.kind == PaintKind::Solid) return p.color.a != 255;
  return std::any_of(p.stops.begin(), p.stops.end(), [](const swf::GradientStop& s) { return s.color.a != 255; });
}

int neededVersion(const std::optional<Paint>& fill, const std::optional<Stroke>& stroke) {
  int version = 1;
  if (fill && anyAlpha(*fill)) version = 3;
  if (stroke && stroke->color.a != 255) version = 3;
  if (fill && (fill->kind == PaintKind::Focal || (fill->kind != PaintKind::Solid && fill->kind != PaintKind::Bitmap &&
                                                   fill->spread != swf::SpreadMode::Pad)))
    version = 4;
  return version;
}

}  // namespace

std::vector<PathStep> rectPath(double x, double y, double w, double h) {
  return {{PathStep::Move, x, y}, {PathStep::Line, x + w, y}, {PathStep::Line, x + w, y + h},
          {PathStep::Line, x, y + h}, {PathStep::Close}};
}

std::vector<PathStep> ellipsePath(double cx, double cy, double rx, double ry) {
  // Eight quadratic arcs; each control point lies where the tangents of its ends meet.
  std::vector<PathStep> path{{PathStep::Move, cx + rx, cy}};
  double reach = 1 / std::cos(kPi / 8);
  for (int k = 1; k <= 8; ++k) {
    double mid = (k - 0.5) * kPi / 4, end = k * kPi / 4;
    PathStep s{PathStep::Curve, cx + rx * std::cos(end), cy + ry * std::sin(end)};
    s.cx = cx + rx * reach * std::cos(mid);
    s.cy = cy + ry * reach * std::sin(mid);
    path.push_back(s);
  }
  path.push_back({PathStep::Close});
  return path;
}

swf::Shape buildShape(swf::CharacterId id, const std::vector<PathStep>& path, const std::optional<Paint>& fill,
                      const std::optional<Stroke>& stroke, int forcedVersion) {
  swf::Shape shape;
  shape.id = id;
  shape.version = static_cast<uint8_t>(forcedVersion ? forcedVersion : neededVersion(fill, stroke));
  Box box = boundsOf(path);
  shape.edgeBounds = twipsRect(box, 0);
  shape.bounds = twipsRect(box, stroke ? stroke->width / 2 : 0);
  if (fill) shape.fills.push_back(fillStyle(*fill, box));
  if (stroke) {
    swf::LineStyle line;
    line.width = static_cast<uint16_t>(std::clamp<long>(toTwips(stroke->width), 0, 65535));
    line.color = stroke->color;
    shape.lines.push_back(line);
  }
  int32_t penX = 0, penY = 0, startX = 0, startY = 0;
  bool styled = false;
  for (const PathStep& s : path) {
    int32_t x = toTwips(s.x), y = toTwips(s.y);
    switch (s.kind) {
      case PathStep::Move: {
        swf::StyleChange change;
        change.moveTo = std::make_pair(x, y);
        if (!styled) {
          if (fill) change.fill1 = 1;
          if (stroke) change.line = 1;
          styled = true;
        }
        shape.records.push_back(change);
        startX = penX = x;
        startY = penY = y;
        break;
      }
      case PathStep::Line:
        shape.records.push_back(swf::StraightEdge{x - penX, y - penY});
        penX = x;
        penY = y;
        break;
      case PathStep::Curve: {
        int32_t cx = toTwips(s.cx), cy = toTwips(s.cy);
        shape.records.push_back(swf::CurvedEdge{cx - penX, cy - penY, x - cx, y - cy});
        penX = x;
        penY = y;
        break;
      }
      case PathStep::Close:
        if (penX != startX || penY != startY) shape.records.push_back(swf::StraightEdge{startX - penX, startY - penY});
        penX = startX;
        penY = startY;
        break;
    }
  }
  return shape;
}

}  // namespace scene

// prepareMorphShape: a morph's start and end records and styles interpolated at a ratio, edge
// for edge, into the shape builder.
#include <cmath>

#include "PreparedShape.h"
#include "ShapeBuilder.h"

namespace render {

namespace {

double lerp(double a, double b, double t) { return a + (b - a) * t; }
Point lerp(Point a, Point b, double t) { return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)}; }
uint8_t lerpByte(uint8_t a, uint8_t b, double t) { return uint8_t(std::lround(lerp(a, b, t))); }

swf::Rgba lerp(const swf::Rgba& a, const swf::Rgba& b, double t) {
  return {lerpByte(a.r, b.r, t), lerpByte(a.g, b.g, t), lerpByte(a.b, b.b, t), lerpByte(a.a, b.a, t)};
}
swf::Matrix lerp(const swf::Matrix& a, const swf::Matrix& b, double t) {
  return {lerp(a.a, b.a, t), lerp(a.b, b.b, t), lerp(a.c, b.c, t),
          lerp(a.d, b.d, t), lerp(a.tx, b.tx, t), lerp(a.ty, b.ty, t)};
}
int32_t lerpInt(int32_t a, int32_t b, double t) { return int32_t(std::lround(lerp(a, b, t))); }
swf::Rect lerp(const swf::Rect& a, const swf::Rect& b, double t) {
  return {lerpInt(a.xMin, b.xMin, t), lerpInt(a.xMax, b.xMax, t), lerpInt(a.yMin, b.yMin, t),
          lerpInt(a.yMax, b.yMax, t)};
}

swf::FillStyle lerp(const swf::FillStyle& a, const swf::FillStyle& b, double t) {
  swf::FillStyle out = a;
  out.color = lerp(a.color, b.color, t);
  out.bitmapMatrix = lerp(a.bitmapMatrix, b.bitmapMatrix, t);
  out.gradient.matrix = lerp(a.gradient.matrix, b.gradient.matrix, t);
  out.gradient.focalPoint = lerp(a.gradient.focalPoint, b.gradient.focalPoint, t);
  for (size_t i = 0; i < out.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
    const swf::GradientStop& end = b.gradient.stops[i];
    out.gradient.stops[i].ratio = lerpByte(a.gradient.stops[i].ratio, end.ratio, t);
    out.gradient.stops[i].color = lerp(a.gradient.stops[i].color, end.color, t);
  }
  return out;
}

swf::LineStyle lerp(const swf::LineStyle& a, const swf::LineStyle& b, double t) {
  swf::LineStyle out = a;
  out.width = uint16_t(std::lround(lerp(a.width, b.width, t)));
  out.color = lerp(a.color, b.color, t);
  if (a.fill && b.fill) out.fill = lerp(*a.fill, *b.fill, t);
  return out;
}

// One edge as a start and end point with an optional control; a straight edge paired with a
// curve becomes a curve through its midpoint.
struct AbsoluteEdge {
  Point control, to;
  bool isCurve = false;
};
AbsoluteEdge absolute(const swf::ShapeRecord& record, Point pen) {
  if (const auto* line = std::get_if<swf::StraightEdge>(&record)) {
    Point to{pen.x + line->dx, pen.y + line->dy};
    return {lerp(pen, to, 0.5), to, false};
  }
  const auto& curve = std::get<swf::CurvedEdge>(record);
  Point control{pen.x + curve.controlDx, pen.y + curve.controlDy};
  return {control, {control.x + curve.anchorDx, control.y + curve.anchorDy}, true};
}

}  // namespace

PreparedShape prepareMorphShape(const swf::MorphShape& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  std::vector<swf::FillStyle> fills;
  for (const swf::MorphFillStyle& fill : morph.fills) fills.push_back(lerp(fill.start, fill.end, t));
  std::vector<swf::LineStyle> lines;
  for (const swf::MorphLineStyle& line : morph.lines) lines.push_back(lerp(line.start, line.end, t));

  ShapeBuilder builder(FillRule::EvenOdd);
  builder.newStyles(std::move(fills), std::move(lines));
  const std::vector<swf::ShapeRecord>& ends = morph.endRecords;
  size_t endIndex = 0;
  Point startPen, endPen;
  for (const swf::ShapeRecord& record : morph.startRecords) {
    if (const auto* change = std::get_if<swf::StyleChange>(&record)) {
      // The end records repeat the start's moves as style changes of their own.
      std::optional<Point> endMove;
      if (endIndex < ends.size()) {
        if (const auto* endChange = std::get_if<swf::StyleChange>(&ends[endIndex])) {
          if (endChange->moveTo) endMove = Point{double(endChange->moveTo->first), double(endChange->moveTo->second)};
          if (change->moveTo || endMove) ++endIndex;
        }
      }
      if (change->moveTo || endMove) {
        if (change->moveTo) startPen = {double(change->moveTo->first), double(change->moveTo->second)};
        if (endMove) endPen = *endMove;
        builder.moveTo(lerp(startPen, endPen, t));
      }
      if (change->fill0) builder.setFill0(*change->fill0);
      if (change->fill1) builder.setFill1(*change->fill1);
      if (change->line) builder.setLine(*change->line);
      continue;
    }
    while (endIndex < ends.size() && std::holds_alternative<swf::StyleChange>(ends[endIndex])) {
      const auto& endChange = std::get<swf::StyleChange>(ends[endIndex++]);
      if (endChange.moveTo) endPen = {double(endChange.moveTo->first), double(endChange.moveTo->second)};
    }
    AbsoluteEdge from = absolute(record, startPen);
    // Missing end edges: the start edge stands for its end too.
    AbsoluteEdge to = endIndex < ends.size() ? absolute(ends[endIndex++], endPen) : from;
    startPen = from.to;
    endPen = to.to;
    Point anchor = lerp(from.to, to.to, t);
    if (from.isCurve || to.isCurve) builder.curveTo(lerp(from.control, to.control, t), anchor);
    else builder.lineTo(anchor);
  }
  return builder.finish(lerp(morph.startBounds, morph.endBounds, t));
}

}  // namespace render

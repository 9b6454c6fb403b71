// prepareShape and prepareGlyph: a shape's relative records walked into the shape builder.
#include <cmath>

#include "PreparedShape.h"
#include "ShapeBuilder.h"

namespace render {

namespace {

void walkRecords(const std::vector<swf::ShapeRecord>& records, ShapeBuilder& builder) {
  Point pen;
  for (const swf::ShapeRecord& record : records) {
    if (const auto* change = std::get_if<swf::StyleChange>(&record)) {
      if (change->hasNewStyles) builder.newStyles(change->fills, change->lines);
      if (change->moveTo) {
        pen = {double(change->moveTo->first), double(change->moveTo->second)};
        builder.moveTo(pen);
      }
      if (change->fill0) builder.setFill0(*change->fill0);
      if (change->fill1) builder.setFill1(*change->fill1);
      if (change->line) builder.setLine(*change->line);
    } else if (const auto* line = std::get_if<swf::StraightEdge>(&record)) {
      pen = {pen.x + line->dx, pen.y + line->dy};
      builder.lineTo(pen);
    } else if (const auto* curve = std::get_if<swf::CurvedEdge>(&record)) {
      Point control{pen.x + curve->controlDx, pen.y + curve->controlDy};
      pen = {control.x + curve->anchorDx, control.y + curve->anchorDy};
      builder.curveTo(control, pen);
    }
  }
}

}  // namespace

PreparedShape prepareShape(const swf::Shape& shape) {
  ShapeBuilder builder(shape.usesFillWindingRule ? FillRule::NonZero : FillRule::EvenOdd);
  builder.newStyles(shape.fills, shape.lines);
  walkRecords(shape.records, builder);
  return builder.finish(shape.bounds);
}

PreparedShape prepareGlyph(const swf::Shape& glyph) {
  ShapeBuilder builder(FillRule::EvenOdd);
  swf::FillStyle white;
  white.color = {255, 255, 255, 255};
  builder.newStyles({white}, {});
  walkRecords(glyph.records, builder);
  return builder.finish(glyph.bounds);
}

}  // namespace render

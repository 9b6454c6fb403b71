// Morph styles and gradients carry start and end values side by side; the end edges follow the
// start edges at the offset the tag gives.
#include "MorphRecords.h"

#include "BasicRecords.h"
#include "ShapeRecords.h"
#include "StyleRecords.h"

#include <algorithm>

namespace swf {

namespace {

void readMorphGradient(BitReader& in, Gradient& start, Gradient& end) {
  start.matrix = readMatrix(in);
  end.matrix = readMatrix(in);
  uint8_t flags = in.u8();
  uint8_t spread = flags >> 6;
  start.spread = end.spread = spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad;
  start.interpolation = end.interpolation =
      ((flags >> 4) & 3) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
  unsigned count = flags & 0x0F;
  for (unsigned i = 0; i < count && in.ok(); ++i) {
    GradientStop a, b;
    a.ratio = in.u8();
    a.color = readRgba(in);
    b.ratio = in.u8();
    b.color = readRgba(in);
    start.stops.push_back(a);
    end.stops.push_back(b);
  }
}

}  // namespace

MorphFillStyle readMorphFillStyle(BitReader& in) {
  MorphFillStyle fill;
  // Morph shapes came with SWF 3 and their bitmaps are smoothed by their type alone.
  std::optional<FillKind> kind = fillKindFor(in.u8(), 8);
  if (!kind) {
    in.fail();
    return fill;
  }
  fill.start.kind = fill.end.kind = *kind;
  if (*kind == FillKind::Solid) {
    fill.start.color = readRgba(in);
    fill.end.color = readRgba(in);
  } else if (fill.start.isGradient()) {
    readMorphGradient(in, fill.start.gradient, fill.end.gradient);
    if (*kind == FillKind::FocalGradient) {
      fill.start.gradient.focalPoint = std::clamp(in.fixed8(), -1.0, 1.0);
      fill.end.gradient.focalPoint = std::clamp(in.fixed8(), -1.0, 1.0);
    }
  } else {
    fill.start.bitmapId = fill.end.bitmapId = in.u16();
    fill.start.bitmapMatrix = readMatrix(in);
    fill.end.bitmapMatrix = readMatrix(in);
  }
  return fill;
}

MorphLineStyle readMorphLineStyle(BitReader& in, uint8_t morphVersion) {
  MorphLineStyle line;
  line.start.width = in.u16();
  line.end.width = in.u16();
  if (morphVersion < 2) {
    line.start.color = readRgba(in);
    line.end.color = readRgba(in);
    return line;
  }
  uint16_t startWidth = line.start.width, endWidth = line.end.width;
  bool hasFill = readLineStyleFlags(in, line.start);
  line.end = line.start;
  line.end.width = endWidth;
  line.start.width = startWidth;
  if (hasFill) {
    MorphFillStyle fill = readMorphFillStyle(in);
    if (fill.start.kind == FillKind::Solid) {
      line.start.color = fill.start.color;
      line.end.color = fill.end.color;
    } else {
      line.start.fill = fill.start;
      line.end.fill = fill.end;
    }
  } else {
    line.start.color = readRgba(in);
    line.end.color = readRgba(in);
  }
  return line;
}

std::optional<MorphShape> readDefineMorphShape(BitReader& in, uint8_t version, uint8_t swfVersion) {
  MorphShape morph;
  morph.id = in.u16();
  morph.version = version;
  morph.startBounds = readRect(in);
  morph.endBounds = readRect(in);
  morph.startEdgeBounds = morph.startBounds;
  morph.endEdgeBounds = morph.endBounds;
  if (version >= 2) {
    morph.startEdgeBounds = readRect(in);
    morph.endEdgeBounds = readRect(in);
    uint8_t flags = in.u8();
    morph.usesNonScalingStrokes = flags & 0x02;
    morph.usesScalingStrokes = flags & 0x01;
  }
  uint32_t endEdgesOffset = in.u32();
  size_t endEdgesAt = in.position() + endEdgesOffset;

  size_t fillCount = readStyleCount(in, true);
  morph.fills.reserve(std::min(fillCount, in.remaining()));
  for (size_t i = 0; i < fillCount && in.ok(); ++i) morph.fills.push_back(readMorphFillStyle(in));
  size_t lineCount = readStyleCount(in, true);
  morph.lines.reserve(std::min(lineCount, in.remaining() / 4));
  for (size_t i = 0; i < lineCount && in.ok(); ++i) morph.lines.push_back(readMorphLineStyle(in, version));

  StyleContext context{static_cast<uint8_t>(version == 1 ? 3 : 4), swfVersion};
  if (!readShape(in, context, morph.startRecords)) return std::nullopt;
  // The end edges start where the offset says; a wrong offset falls back to what follows.
  if (endEdgesAt > in.position() && endEdgesAt < in.position() + in.remaining()) {
    in.skip(endEdgesAt - in.position());
  }
  // The end edges' bit counts are written as zero: they never change styles.
  in.u8();
  if (!readShapeRecords(in, context, 0, 0, morph.endRecords)) return std::nullopt;
  return morph;
}

}  // namespace swf

// Fill styles, gradients and line styles of the shape tags, read field by field as the file
// lays them out.
#include "StyleRecords.h"

#include "BasicRecords.h"

#include <algorithm>

namespace swf {

namespace {

Rgba readShapeColor(BitReader& in, const StyleContext& context) {
  return context.shapeVersion >= 3 ? readRgba(in) : readRgb(in);
}

}  // namespace

std::optional<FillKind> fillKindFor(uint8_t type, uint8_t swfVersion) {
  switch (type) {
    case 0x00: return FillKind::Solid;
    case 0x10: return FillKind::LinearGradient;
    case 0x12: return FillKind::RadialGradient;
    case 0x13: return FillKind::FocalGradient;  // honoured in every shape version, as the player does
    case 0x40: return swfVersion >= 8 ? FillKind::RepeatingBitmap : FillKind::RepeatingBitmapHard;
    case 0x41: return swfVersion >= 8 ? FillKind::ClippedBitmap : FillKind::ClippedBitmapHard;
    case 0x42: return FillKind::RepeatingBitmapHard;
    case 0x43: return FillKind::ClippedBitmapHard;
    default: return std::nullopt;
  }
}

Gradient readGradient(BitReader& in, const StyleContext& context) {
  Gradient g;
  g.matrix = readMatrix(in);
  uint8_t flags = in.u8();
  uint8_t spread = flags >> 6;
  g.spread = spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad;
  g.interpolation = ((flags >> 4) & 3) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
  unsigned count = flags & 0x0F;
  g.stops.reserve(count);
  for (unsigned i = 0; i < count && in.ok(); ++i) {
    GradientStop stop;
    stop.ratio = in.u8();
    stop.color = readShapeColor(in, context);
    g.stops.push_back(stop);
  }
  return g;
}

FillStyle readFillStyle(BitReader& in, const StyleContext& context) {
  FillStyle fill;
  uint8_t type = in.u8();
  std::optional<FillKind> kind = fillKindFor(type, context.swfVersion);
  if (!kind) {
    in.fail();
    return fill;
  }
  fill.kind = *kind;
  if (fill.kind == FillKind::Solid) {
    fill.color = readShapeColor(in, context);
  } else if (fill.isGradient()) {
    fill.gradient = readGradient(in, context);
    if (fill.kind == FillKind::FocalGradient) fill.gradient.focalPoint = std::clamp(in.fixed8(), -1.0, 1.0);
    if (fill.gradient.stops.empty()) {
      fill = FillStyle{};
      fill.color = Rgba{0, 0, 0, 255};
    }
  } else {
    fill.bitmapId = in.u16();
    fill.bitmapMatrix = readMatrix(in);
  }
  return fill;
}

size_t readStyleCount(BitReader& in, bool extended) {
  size_t count = in.u8();
  if (count == 0xFF && extended) count = in.u16();
  return count;
}

std::vector<FillStyle> readFillStyles(BitReader& in, const StyleContext& context) {
  size_t count = readStyleCount(in, context.shapeVersion >= 2);
  std::vector<FillStyle> fills;
  fills.reserve(std::min(count, in.remaining()));  // each style takes at least one byte
  for (size_t i = 0; i < count && in.ok(); ++i) {
    FillStyle fill = readFillStyle(in, context);
    if (in.ok()) fills.push_back(std::move(fill));
  }
  return fills;
}

bool readLineStyleFlags(BitReader& in, LineStyle& style) {
  // Cap and join value 3 is reserved; the player draws it as round.
  auto cap = [](uint32_t v) { return v <= 2 ? static_cast<CapStyle>(v) : CapStyle::Round; };
  style.startCap = cap(in.ubits(2));
  uint32_t join = in.ubits(2);
  style.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
  bool hasFill = in.bit();
  style.noHScale = in.bit();
  style.noVScale = in.bit();
  style.pixelHinting = in.bit();
  in.ubits(5);
  style.noClose = in.bit();
  style.endCap = cap(in.ubits(2));
  if (style.join == JoinStyle::Miter) style.miterLimit = in.fixed8();
  return hasFill;
}

LineStyle readLineStyle(BitReader& in, const StyleContext& context) {
  LineStyle line;
  line.width = in.u16();
  if (context.shapeVersion < 4) {
    line.color = readShapeColor(in, context);
    return line;
  }
  if (readLineStyleFlags(in, line)) {
    FillStyle fill = readFillStyle(in, context);
    if (fill.kind == FillKind::Solid) {
      line.color = fill.color;  // a solid fill is just a colour
    } else {
      line.fill = fill;
    }
  } else {
    line.color = readRgba(in);
  }
  return line;
}

std::vector<LineStyle> readLineStyles(BitReader& in, const StyleContext& context) {
  size_t count = readStyleCount(in, context.shapeVersion >= 2);
  std::vector<LineStyle> lines;
  lines.reserve(std::min(count, in.remaining() / 3));  // each style takes at least three bytes
  for (size_t i = 0; i < count && in.ok(); ++i) {
    LineStyle line = readLineStyle(in, context);
    if (in.ok()) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace swf

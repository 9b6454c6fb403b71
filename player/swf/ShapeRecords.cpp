// SHAPERECORDs: straight and curved edges, style changes (with new styles and new bit counts)
// and the DefineShape tags that carry them.
#include "ShapeRecords.h"

#include "BasicRecords.h"

namespace swf {

namespace {

StraightEdge readStraightEdge(BitReader& in, unsigned bits) {
  StraightEdge edge;
  if (in.bit()) {  // general line
    edge.dx = in.sbits(bits);
    edge.dy = in.sbits(bits);
  } else if (in.bit()) {  // vertical
    edge.dy = in.sbits(bits);
  } else {
    edge.dx = in.sbits(bits);
  }
  return edge;
}

CurvedEdge readCurvedEdge(BitReader& in, unsigned bits) {
  CurvedEdge edge;
  edge.controlDx = in.sbits(bits);
  edge.controlDy = in.sbits(bits);
  edge.anchorDx = in.sbits(bits);
  edge.anchorDy = in.sbits(bits);
  return edge;
}

}  // namespace

bool readShapeRecords(BitReader& in, const StyleContext& context, unsigned fillBits, unsigned lineBits,
                      std::vector<ShapeRecord>& out) {
  in.align();
  while (in.ok()) {
    if (in.bit()) {  // edge
      bool straight = in.bit();
      unsigned bits = in.ubits(4) + 2;
      if (straight) {
        out.push_back(readStraightEdge(in, bits));
      } else {
        out.push_back(readCurvedEdge(in, bits));
      }
      continue;
    }
    uint32_t flags = in.ubits(5);
    if (flags == 0) break;  // end of shape
    StyleChange change;
    if (flags & 0x01) {
      unsigned bits = in.ubits(5);
      int32_t x = in.sbits(bits);
      int32_t y = in.sbits(bits);
      change.moveTo = std::pair{x, y};
    }
    if (flags & 0x02) change.fill0 = in.ubits(fillBits);
    if (flags & 0x04) change.fill1 = in.ubits(fillBits);
    if (flags & 0x08) change.line = in.ubits(lineBits);
    // New styles are only defined for DefineShape2 and later, but files in the wild carry them
    // in DefineShape too and the player reads them.
    if (flags & 0x10) {
      change.hasNewStyles = true;
      change.fills = readFillStyles(in, context);
      change.lines = readLineStyles(in, context);
      uint8_t counts = in.u8();
      fillBits = counts >> 4;
      lineBits = counts & 0x0F;
    }
    if (in.ok()) out.push_back(std::move(change));
  }
  in.align();
  return in.ok();
}

bool readShape(BitReader& in, const StyleContext& context, std::vector<ShapeRecord>& out) {
  uint8_t counts = in.u8();
  return readShapeRecords(in, context, counts >> 4, counts & 0x0F, out);
}

std::optional<Shape> readDefineShape(BitReader& in, uint8_t version, uint8_t swfVersion) {
  Shape shape;
  shape.id = in.u16();
  shape.version = version;
  shape.bounds = readRect(in);
  shape.edgeBounds = shape.bounds;
  if (version >= 4) {
    shape.edgeBounds = readRect(in);
    uint8_t flags = in.u8();
    shape.usesFillWindingRule = flags & 0x04;
    shape.usesNonScalingStrokes = flags & 0x02;
    shape.usesScalingStrokes = flags & 0x01;
  }
  StyleContext context{version, swfVersion};
  shape.fills = readFillStyles(in, context);
  shape.lines = readLineStyles(in, context);
  if (!readShape(in, context, shape.records)) return std::nullopt;
  return shape;
}

}  // namespace swf

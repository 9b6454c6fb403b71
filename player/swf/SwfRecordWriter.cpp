// The bit-level records of SWF as the writer lays them out. Values that do not fit a field are
// made to fit the way the format allows (long edges split, bits widened), never truncated.
#include "SwfRecordWriter.h"

#include <algorithm>
#include <cmath>

namespace swf {

void BitWriter::bits(int count, uint32_t value) {
  for (int i = count - 1; i >= 0; --i) {
    if (bit_ == 0) out_.push_back(0);
    if ((value >> i) & 1) out_.back() |= static_cast<uint8_t>(0x80 >> bit_);
    bit_ = (bit_ + 1) % 8;
  }
}

void BitWriter::u8(uint8_t v) {
  align();
  out_.push_back(v);
}

void BitWriter::u16(uint16_t v) {
  u8(static_cast<uint8_t>(v & 0xFF));
  u8(static_cast<uint8_t>(v >> 8));
}

void BitWriter::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

void BitWriter::bytes(const std::vector<uint8_t>& data) {
  align();
  out_.insert(out_.end(), data.begin(), data.end());
}

void BitWriter::string(const std::string& text) {
  align();
  for (char c : text) {
    if (c == '\0') break;  // the record ends at the first null
    out_.push_back(static_cast<uint8_t>(c));
  }
  out_.push_back(0);
}

int signedBits(int32_t value) {
  uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return unsignedBits(magnitude) + 1;
}

int unsignedBits(uint32_t value) {
  int n = 0;
  while (value) {
    ++n;
    value >>= 1;
  }
  return n;
}

namespace {

int signedBitsOf(std::initializer_list<int32_t> values) {
  int n = 1;
  for (int32_t v : values) n = std::max(n, signedBits(v));
  return n;
}

int32_t fixed16(double v) {
  double scaled = std::round(v * 65536.0);
  return static_cast<int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0));
}

int32_t twips(double v) {
  return static_cast<int32_t>(std::clamp(std::round(v), -1073741824.0, 1073741823.0));
}

void writeGradient(BitWriter& w, const Gradient& g, bool focal, int shapeVersion) {
  writeMatrix(w, g.matrix);
  size_t count = std::min<size_t>(g.stops.size(), 15);
  w.bits(2, static_cast<uint32_t>(g.spread) & 3);
  w.bits(2, static_cast<uint32_t>(g.interpolation) & 3);
  w.bits(4, static_cast<uint32_t>(count));
  for (size_t i = 0; i < count; ++i) {
    w.u8(g.stops[i].ratio);
    shapeVersion >= 3 ? writeRgba(w, g.stops[i].color) : writeRgb(w, g.stops[i].color);
  }
  if (focal) {
    double f = std::clamp(g.focalPoint, -128.0, 127.99);
    w.u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(f * 256))));
  }
}

void writeFillStyle(BitWriter& w, const FillStyle& fill, int shapeVersion) {
  w.u8(static_cast<uint8_t>(fill.kind));
  if (fill.kind == FillKind::Solid) {
    shapeVersion >= 3 ? writeRgba(w, fill.color) : writeRgb(w, fill.color);
  } else if (fill.isGradient()) {
    writeGradient(w, fill.gradient, fill.kind == FillKind::FocalGradient, shapeVersion);
  } else {
    w.u16(fill.bitmapId);
    writeMatrix(w, fill.bitmapMatrix);
  }
}

void writeCount(BitWriter& w, size_t count) {
  if (count < 0xFF) {
    w.u8(static_cast<uint8_t>(count));
  } else {
    w.u8(0xFF);
    w.u16(static_cast<uint16_t>(std::min<size_t>(count, 0xFFFF)));
  }
}

void writeLineStyle(BitWriter& w, const LineStyle& line, int shapeVersion) {
  w.u16(line.width);
  if (shapeVersion < 4) {
    shapeVersion == 3 ? writeRgba(w, line.color) : writeRgb(w, line.color);
    return;
  }
  w.bits(2, static_cast<uint32_t>(line.startCap));
  w.bits(2, static_cast<uint32_t>(line.join));
  w.flag(line.fill.has_value());
  w.flag(line.noHScale);
  w.flag(line.noVScale);
  w.flag(line.pixelHinting);
  w.bits(5, 0);
  w.flag(line.noClose);
  w.bits(2, static_cast<uint32_t>(line.endCap));
  if (line.join == JoinStyle::Miter)
    w.u16(static_cast<uint16_t>(std::clamp(std::lround(line.miterLimit * 256), 0L, 65535L)));
  if (line.fill) {
    writeFillStyle(w, *line.fill, shapeVersion);
  } else {
    writeRgba(w, line.color);
  }
}

// A straight edge's deltas take at most 17 bits; longer edges go as several.
constexpr int32_t kEdgeLimit = 65535;

void writeStraight(BitWriter& w, int32_t dx, int32_t dy) {
  if (std::abs(dx) > kEdgeLimit || std::abs(dy) > kEdgeLimit) {
    int32_t hx = dx / 2, hy = dy / 2;
    writeStraight(w, hx, hy);
    writeStraight(w, dx - hx, dy - hy);
    return;
  }
  int n = signedBitsOf({dx, dy, 1});
  w.bits(2, 3);  // edge, straight
  w.bits(4, static_cast<uint32_t>(n - 2));
  bool general = dx != 0 && dy != 0;
  w.flag(general);
  if (general) {
    w.bits(n, static_cast<uint32_t>(dx));
    w.bits(n, static_cast<uint32_t>(dy));
  } else {
    w.flag(dx == 0);  // vertical
    w.bits(n, static_cast<uint32_t>(dx == 0 ? dy : dx));
  }
}

void writeCurve(BitWriter& w, int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
  if (std::max({std::abs(cx), std::abs(cy), std::abs(ax), std::abs(ay)}) > kEdgeLimit) {
    // Split at the middle (de Casteljau) into two curves with half the reach.
    double p1x = cx, p1y = cy, p2x = cx + double(ax), p2y = cy + double(ay);
    int32_t q0x = twips(p1x / 2), q0y = twips(p1y / 2);
    int32_t rx = twips((2 * p1x + p2x) / 4), ry = twips((2 * p1y + p2y) / 4);
    int32_t q1x = twips((p1x + p2x) / 2), q1y = twips((p1y + p2y) / 2);
    writeCurve(w, q0x, q0y, rx - q0x, ry - q0y);
    writeCurve(w, q1x - rx, q1y - ry, twips(p2x) - q1x, twips(p2y) - q1y);
    return;
  }
  int n = signedBitsOf({cx, cy, ax, ay, 1});
  w.bits(2, 2);  // edge, curved
  w.bits(4, static_cast<uint32_t>(n - 2));
  for (int32_t v : {cx, cy, ax, ay}) w.bits(n, static_cast<uint32_t>(v));
}

struct StyleBits {
  int fill = 0, line = 0;
};

void writeStyleBits(BitWriter& w, const StyleBits& b) {
  w.bits(4, static_cast<uint32_t>(std::min(b.fill, 15)));
  w.bits(4, static_cast<uint32_t>(std::min(b.line, 15)));
}

bool fits(std::optional<uint32_t> index, int bits) {
  return !index || unsignedBits(*index) <= bits;
}

void writeStyleChange(BitWriter& w, const StyleChange& sc, StyleBits& bits, int shapeVersion) {
  bool indicesFit = fits(sc.fill0, bits.fill) && fits(sc.fill1, bits.fill) && fits(sc.line, bits.line);
  if (sc.hasNewStyles && !indicesFit) {
    // The indices of a record with new styles use the old widths; when they do not fit, the
    // new styles go first in a record of their own.
    StyleChange stylesOnly;
    stylesOnly.hasNewStyles = true;
    stylesOnly.fills = sc.fills;
    stylesOnly.lines = sc.lines;
    writeStyleChange(w, stylesOnly, bits, shapeVersion);
    StyleChange rest = sc;
    rest.hasNewStyles = false;
    rest.fills.clear();
    rest.lines.clear();
    writeStyleChange(w, rest, bits, shapeVersion);
    return;
  }
  if (!sc.hasNewStyles && !sc.line && !sc.fill1 && !sc.fill0 && !sc.moveTo) return;  // would end the shape
  w.flag(false);  // not an edge
  w.flag(sc.hasNewStyles);
  w.flag(sc.line.has_value());
  w.flag(sc.fill1.has_value());
  w.flag(sc.fill0.has_value());
  w.flag(sc.moveTo.has_value());
  if (sc.moveTo) {
    int n = signedBitsOf({sc.moveTo->first, sc.moveTo->second});
    w.bits(5, static_cast<uint32_t>(n));
    w.bits(n, static_cast<uint32_t>(sc.moveTo->first));
    w.bits(n, static_cast<uint32_t>(sc.moveTo->second));
  }
  if (sc.fill0) w.bits(bits.fill, *sc.fill0);
  if (sc.fill1) w.bits(bits.fill, *sc.fill1);
  if (sc.line) w.bits(bits.line, *sc.line);
  if (sc.hasNewStyles) {
    writeFillStyles(w, sc.fills, shapeVersion);
    writeLineStyles(w, sc.lines, shapeVersion);
    bits = {unsignedBits(static_cast<uint32_t>(sc.fills.size())), unsignedBits(static_cast<uint32_t>(sc.lines.size()))};
    writeStyleBits(w, bits);
  }
}

}  // namespace

void writeRect(BitWriter& w, const Rect& r) {
  int n = signedBitsOf({r.xMin, r.xMax, r.yMin, r.yMax});
  w.bits(5, static_cast<uint32_t>(n));
  for (int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) w.bits(n, static_cast<uint32_t>(v));
  w.align();
}

void writeMatrix(BitWriter& w, const Matrix& m) {
  bool scale = m.a != 1 || m.d != 1;
  w.flag(scale);
  if (scale) {
    int32_t a = fixed16(m.a), d = fixed16(m.d);
    int n = signedBitsOf({a, d});
    w.bits(5, static_cast<uint32_t>(n));
    w.bits(n, static_cast<uint32_t>(a));
    w.bits(n, static_cast<uint32_t>(d));
  }
  bool rotate = m.b != 0 || m.c != 0;
  w.flag(rotate);
  if (rotate) {
    int32_t b = fixed16(m.b), c = fixed16(m.c);
    int n = signedBitsOf({b, c});
    w.bits(5, static_cast<uint32_t>(n));
    w.bits(n, static_cast<uint32_t>(b));
    w.bits(n, static_cast<uint32_t>(c));
  }
  int32_t tx = twips(m.tx), ty = twips(m.ty);
  int n = tx == 0 && ty == 0 ? 0 : signedBitsOf({tx, ty});
  w.bits(5, static_cast<uint32_t>(n));
  w.bits(n, static_cast<uint32_t>(tx));
  w.bits(n, static_cast<uint32_t>(ty));
  w.align();
}

void writeColorTransformWithAlpha(BitWriter& w, const ColorTransform& cx) {
  auto fit = [](int16_t v) { return static_cast<int32_t>(std::clamp<int16_t>(v, -16384, 16383)); };
  std::initializer_list<int32_t> mult = {fit(cx.rMult), fit(cx.gMult), fit(cx.bMult), fit(cx.aMult)};
  std::initializer_list<int32_t> add = {fit(cx.rAdd), fit(cx.gAdd), fit(cx.bAdd), fit(cx.aAdd)};
  bool hasMult = cx.rMult != 256 || cx.gMult != 256 || cx.bMult != 256 || cx.aMult != 256;
  bool hasAdd = cx.rAdd || cx.gAdd || cx.bAdd || cx.aAdd;
  int n = 1;
  if (hasMult) n = std::max(n, signedBitsOf(mult));
  if (hasAdd) n = std::max(n, signedBitsOf(add));
  w.flag(hasAdd);
  w.flag(hasMult);
  w.bits(4, static_cast<uint32_t>(n));
  if (hasMult)
    for (int32_t v : mult) w.bits(n, static_cast<uint32_t>(v));
  if (hasAdd)
    for (int32_t v : add) w.bits(n, static_cast<uint32_t>(v));
  w.align();
}

void writeRgb(BitWriter& w, const Rgba& c) {
  w.u8(c.r);
  w.u8(c.g);
  w.u8(c.b);
}

void writeRgba(BitWriter& w, const Rgba& c) {
  writeRgb(w, c);
  w.u8(c.a);
}

void writeFillStyles(BitWriter& w, const std::vector<FillStyle>& fills, int shapeVersion) {
  writeCount(w, fills.size());
  for (const FillStyle& f : fills) writeFillStyle(w, f, shapeVersion);
}

void writeLineStyles(BitWriter& w, const std::vector<LineStyle>& lines, int shapeVersion) {
  writeCount(w, lines.size());
  for (const LineStyle& l : lines) writeLineStyle(w, l, shapeVersion);
}

void writeShapeWithStyle(BitWriter& w, const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines,
                         const std::vector<ShapeRecord>& records, int shapeVersion) {
  writeFillStyles(w, fills, shapeVersion);
  writeLineStyles(w, lines, shapeVersion);
  StyleBits bits{unsignedBits(static_cast<uint32_t>(fills.size())), unsignedBits(static_cast<uint32_t>(lines.size()))};
  writeStyleBits(w, bits);
  for (const ShapeRecord& record : records) {
    if (const auto* sc = std::get_if<StyleChange>(&record)) {
      writeStyleChange(w, *sc, bits, shapeVersion);
    } else if (const auto* s = std::get_if<StraightEdge>(&record)) {
      writeStraight(w, s->dx, s->dy);
    } else if (const auto* c = std::get_if<CurvedEdge>(&record)) {
      writeCurve(w, c->controlDx, c->controlDy, c->anchorDx, c->anchorDy);
    }
  }
  w.bits(6, 0);  // end of shape
  w.align();
}

}  // namespace swf

// Writing SWF records bit-packed as the format lays them out: RECT, MATRIX, CXFORMWITHALPHA,
// colours, fill and line style arrays, gradients and shape records. The inverse of the reader.
#pragma once

#include "SwfTypes.h"

#include <cstdint>
#include <vector>

namespace swf {

// Bits most significant first; byte-aligned writes flush the partial byte.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void bits(int count, uint32_t value);
  void flag(bool on) { bits(1, on ? 1 : 0); }
  void align() { bit_ = 0; }
  void u8(uint8_t v);
  void u16(uint16_t v);
  void u32(uint32_t v);
  void bytes(const std::vector<uint8_t>& data);
  void string(const std::string& text);  // null-terminated

 private:
  std::vector<uint8_t>& out_;
  int bit_ = 0;  // bits used of the last byte; 0 when aligned
};

// Width of a signed field that holds every value (at least 1), and of an unsigned one.
int signedBits(int32_t value);
int unsignedBits(uint32_t value);

void writeRect(BitWriter& w, const Rect& rect);
void writeMatrix(BitWriter& w, const Matrix& matrix);
void writeColorTransformWithAlpha(BitWriter& w, const ColorTransform& cx);
void writeRgb(BitWriter& w, const Rgba& color);
void writeRgba(BitWriter& w, const Rgba& color);

// shapeVersion 1..4 decides colour widths, extended counts, gradients' SWF 8 fields and
// LINESTYLE2.
void writeFillStyles(BitWriter& w, const std::vector<FillStyle>& fills, int shapeVersion);
void writeLineStyles(BitWriter& w, const std::vector<LineStyle>& lines, int shapeVersion);

// SHAPEWITHSTYLE: the styles, the bit counts, the records and the end record.
void writeShapeWithStyle(BitWriter& w, const std::vector<FillStyle>& fills,
                         const std::vector<LineStyle>& lines, const std::vector<ShapeRecord>& records,
                         int shapeVersion);

}  // namespace swf

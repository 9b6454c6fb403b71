// RECT, MATRIX, CXFORM(WITHALPHA), RGB and RGBA: bit-packed records start on a byte boundary
// and leave the reader on the next one.
#include "BasicRecords.h"

namespace swf {

Rect readRect(BitReader& in) {
  in.align();
  unsigned bits = in.ubits(5);
  Rect r;
  r.xMin = in.sbits(bits);
  r.xMax = in.sbits(bits);
  r.yMin = in.sbits(bits);
  r.yMax = in.sbits(bits);
  in.align();
  return r;
}

Matrix readMatrix(BitReader& in) {
  in.align();
  Matrix m;
  if (in.bit()) {  // scale
    unsigned bits = in.ubits(5);
    m.a = in.fbits(bits);
    m.d = in.fbits(bits);
  }
  if (in.bit()) {  // rotate and skew
    unsigned bits = in.ubits(5);
    m.b = in.fbits(bits);
    m.c = in.fbits(bits);
  }
  unsigned bits = in.ubits(5);
  m.tx = in.sbits(bits);
  m.ty = in.sbits(bits);
  in.align();
  return m;
}

ColorTransform readColorTransform(BitReader& in, bool withAlpha) {
  in.align();
  ColorTransform t;
  bool hasAdd = in.bit();
  bool hasMult = in.bit();
  unsigned bits = in.ubits(4);
  // Fields are at most 15 bits wide, so they fit the 16-bit members.
  if (hasMult) {
    t.rMult = static_cast<int16_t>(in.sbits(bits));
    t.gMult = static_cast<int16_t>(in.sbits(bits));
    t.bMult = static_cast<int16_t>(in.sbits(bits));
    if (withAlpha) t.aMult = static_cast<int16_t>(in.sbits(bits));
  }
  if (hasAdd) {
    t.rAdd = static_cast<int16_t>(in.sbits(bits));
    t.gAdd = static_cast<int16_t>(in.sbits(bits));
    t.bAdd = static_cast<int16_t>(in.sbits(bits));
    if (withAlpha) t.aAdd = static_cast<int16_t>(in.sbits(bits));
  }
  in.align();
  return t;
}

Rgba readRgb(BitReader& in) {
  Rgba c;
  c.r = in.u8();
  c.g = in.u8();
  c.b = in.u8();
  return c;
}

Rgba readRgba(BitReader& in) {
  Rgba c = readRgb(in);
  c.a = in.u8();
  return c;
}

}  // namespace swf

// Matrix and colour-transform arithmetic for walking the display tree.
#include "Transform.h"

#include <algorithm>
#include <cstdint>

namespace display {

swf::Matrix concatenate(const swf::Matrix& o, const swf::Matrix& i) {
  swf::Matrix m;
  m.a = o.a * i.a + o.c * i.b;
  m.b = o.b * i.a + o.d * i.b;
  m.c = o.a * i.c + o.c * i.d;
  m.d = o.b * i.c + o.d * i.d;
  m.tx = o.a * i.tx + o.c * i.ty + o.tx;
  m.ty = o.b * i.tx + o.d * i.ty + o.ty;
  return m;
}

namespace {

int16_t held(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

// One channel: (v * im / 256 + ia) * om / 256 + oa.
void channel(int16_t om, int16_t oa, int16_t im, int16_t ia, int16_t& mult, int16_t& add) {
  mult = held(int64_t(om) * im / 256);
  add = held(int64_t(ia) * om / 256 + oa);
}

}  // namespace

swf::ColorTransform concatenate(const swf::ColorTransform& o, const swf::ColorTransform& i) {
  if (o.isIdentity()) return i;
  if (i.isIdentity()) return o;
  swf::ColorTransform t;
  channel(o.rMult, o.rAdd, i.rMult, i.rAdd, t.rMult, t.rAdd);
  channel(o.gMult, o.gAdd, i.gMult, i.gAdd, t.gMult, t.gAdd);
  channel(o.bMult, o.bAdd, i.bMult, i.bAdd, t.bMult, t.bAdd);
  channel(o.aMult, o.aAdd, i.aMult, i.aAdd, t.aMult, t.aAdd);
  return t;
}

swf::Matrix scaleMatrix(double sx, double sy) {
  swf::Matrix m;
  m.a = sx;
  m.d = sy;
  return m;
}

swf::Matrix stageView(const swf::Rect& frameRect, double scale) {
  swf::Matrix m = scaleMatrix(scale / 20.0, scale / 20.0);
  m.tx = -frameRect.xMin * scale / 20.0;
  m.ty = -frameRect.yMin * scale / 20.0;
  return m;
}

swf::ColorTransform tint(swf::Rgba color) {
  swf::ColorTransform t;
  t.rMult = t.gMult = t.bMult = 0;
  t.rAdd = color.r;
  t.gAdd = color.g;
  t.bAdd = color.b;
  t.aMult = int16_t(color.a + (color.a >> 7));  // 255 -> 256
  return t;
}

}  // namespace display

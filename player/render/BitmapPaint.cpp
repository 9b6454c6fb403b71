// Bitmaps as paint: each frame pixel's centre taken back into the bitmap, sampled nearest or
// bilinear, repeated or clamped at the edges (a clipped fill stretches its edge pixels).
#include <cmath>

#include "Blend.h"
#include "ColorMath.h"
#include "MatrixMath.h"
#include "Paint.h"

namespace render {

namespace {

inline int wrap(int i, int size) {
  i %= size;
  return i < 0 ? i + size : i;
}
template <bool Repeat>
inline int place(int i, int size) {
  if constexpr (Repeat) return wrap(i, size);
  return std::clamp(i, 0, size - 1);
}
// A coordinate kept inside int range before flooring (far-off pixels clamp or wrap alike).
inline int floorToInt(double v) { return int(std::floor(std::clamp(v, -1e9, 1e9))); }

}  // namespace

bool BitmapPaint::set(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, bool repeat, bool smooth,
                      const swf::ColorTransform& colorTransform) {
  if (bitmap.width == 0 || bitmap.height == 0 || bitmap.width > 0x7FFF || bitmap.height > 0x7FFF ||
      bitmap.rgba.size() < size_t(bitmap.width) * bitmap.height * 4)
    return false;
  const std::optional<swf::Matrix> inverse = invert(toPixels);
  if (!inverse) return false;
  bitmap_ = &bitmap;
  fromPixels_ = *inverse;
  repeat_ = repeat;
  smooth_ = smooth;
  colorTransform_ = colorTransform;
  return true;
}

template <bool Repeat>
void BitmapPaint::sampleNearest(double u, double v, double du, double dv, int count, uint32_t* out) const {
  const int w = int(bitmap_->width), h = int(bitmap_->height);
  const auto* pixels = reinterpret_cast<const uint8_t*>(bitmap_->rgba.data());
  for (int i = 0; i < count; ++i, u += du, v += dv) {
    const int px = place<Repeat>(floorToInt(u), w), py = place<Repeat>(floorToInt(v), h);
    const uint8_t* p = pixels + (size_t(py) * w + px) * 4;
    out[i] = packPixel(p[0], p[1], p[2], p[3]);
  }
}

namespace {

// a + (b - a) * f / 256 per channel, rounded, two channels at a time; f in 0..256.
inline uint32_t lerpPixel(uint32_t a, uint32_t b, uint32_t f) {
  const uint32_t g = 256 - f;
  const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
  const uint32_t ga = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) & 0xFF00FF00u;
  return rb | ga;
}

inline uint32_t load(const uint8_t* p) {
  return packPixel(p[0], p[1], p[2], p[3]);
}

// 16.16 fixed point, kept far from overflow.
inline int64_t fixed(double v) { return int64_t(std::clamp(v, -1e9, 1e9) * 65536.0); }

}  // namespace

template <bool Repeat>
void BitmapPaint::sampleBilinear(double u, double v, double du, double dv, int count, uint32_t* out) const {
  const int w = int(bitmap_->width), h = int(bitmap_->height);
  const uint8_t* pixels = bitmap_->rgba.data();
  const size_t stride = size_t(w) * 4;
  // Sampling between pixel centres: shift by half a pixel.
  int64_t fu = fixed(u - 0.5), fv = fixed(v - 0.5);
  const int64_t fdu = fixed(du), fdv = fixed(dv);
  for (int i = 0; i < count; ++i, fu += fdu, fv += fdv) {
    const int x0 = int(fu >> 16), y0 = int(fv >> 16);
    const uint32_t fx = uint32_t(fu >> 8) & 0xFF, fy = uint32_t(fv >> 8) & 0xFF;
    uint32_t p00, p01, p10, p11;
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < w && y0 + 1 < h) {  // inside: no edge rule to apply
      const uint8_t* p = pixels + size_t(y0) * stride + size_t(x0) * 4;
      p00 = load(p);
      p01 = load(p + 4);
      p10 = load(p + stride);
      p11 = load(p + stride + 4);
    } else {
      const size_t xa = size_t(place<Repeat>(x0, w)) * 4, xb = size_t(place<Repeat>(x0 + 1, w)) * 4;
      const uint8_t* ra = pixels + size_t(place<Repeat>(y0, h)) * stride;
      const uint8_t* rb = pixels + size_t(place<Repeat>(y0 + 1, h)) * stride;
      p00 = load(ra + xa);
      p01 = load(ra + xb);
      p10 = load(rb + xa);
      p11 = load(rb + xb);
    }
    out[i] = lerpPixel(lerpPixel(p00, p01, fx), lerpPixel(p10, p11, fx), fy);
  }
}

void BitmapPaint::paintRow(int y, int x, int count, uint32_t* out) const {
  const swf::Matrix& m = fromPixels_;
  const double u = m.a * (x + 0.5) + m.c * (y + 0.5) + m.tx;
  const double v = m.b * (x + 0.5) + m.d * (y + 0.5) + m.ty;
  if (smooth_) {
    if (repeat_) sampleBilinear<true>(u, v, m.a, m.b, count, out);
    else sampleBilinear<false>(u, v, m.a, m.b, count, out);
  } else {
    if (repeat_) sampleNearest<true>(u, v, m.a, m.b, count, out);
    else sampleNearest<false>(u, v, m.a, m.b, count, out);
  }
  if (colorTransform_.isIdentity()) return;
  if (onlyScalesAlpha(colorTransform_)) {
    const uint32_t f = uint32_t(colorTransform_.aMult * 255 / 256);
    for (int i = 0; i < count; ++i) out[i] = scalePixel(out[i], f);
    return;
  }
  for (int i = 0; i < count; ++i) out[i] = transformPremultiplied(out[i], colorTransform_);
}

}  // namespace render

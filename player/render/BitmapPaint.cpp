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

template <bool Repeat>
void BitmapPaint::sampleBilinear(double u, double v, double du, double dv, int count, uint32_t* out) const {
  const int w = int(bitmap_->width), h = int(bitmap_->height);
  const auto* pixels = reinterpret_cast<const uint8_t*>(bitmap_->rgba.data());
  auto fetch = [&](int x, int y) {
    const uint8_t* p = pixels + (size_t(place<Repeat>(y, h)) * w + place<Repeat>(x, w)) * 4;
    return packPixel(p[0], p[1], p[2], p[3]);
  };
  for (int i = 0; i < count; ++i, u += du, v += dv) {
    const double su = u - 0.5, sv = v - 0.5;
    const int x0 = floorToInt(su), y0 = floorToInt(sv);
    const uint32_t fx = uint32_t((su - std::floor(su)) * 255 + 0.5);
    const uint32_t fy = uint32_t((sv - std::floor(sv)) * 255 + 0.5);
    const uint32_t top = scalePixel(fetch(x0, y0), 255 - fx) + scalePixel(fetch(x0 + 1, y0), fx);
    const uint32_t bottom = scalePixel(fetch(x0, y0 + 1), 255 - fx) + scalePixel(fetch(x0 + 1, y0 + 1), fx);
    out[i] = scalePixel(top, 255 - fy) + scalePixel(bottom, fy);
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

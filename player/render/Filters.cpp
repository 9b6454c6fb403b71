// Filters as the original player draws them: box blurs of the given width repeated once per
// pass, on premultiplied channels; shadows and glows from the blurred alpha, tinted, offset,
// and put under (or inside) the object.
#include "Filters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Blend.h"

namespace render {

namespace {

// Little-endian fields of a filter's record; reads past its end give zero.
struct FieldReader {
  const std::vector<uint8_t>& bytes;
  size_t at = 0;
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
    return v;
  }
  uint8_t byte() { return at < bytes.size() ? bytes[at++] : (at++, uint8_t(0)); }
  double fixed() { return int32_t(u32()) / 65536.0; }
  double fixed8() {
    const uint16_t v = uint16_t(byte() | byte() << 8);
    return int16_t(v) / 256.0;
  }
  float f32() {
    const uint32_t v = u32();
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
  }
  swf::Rgba rgba() { return {byte(), byte(), byte(), byte()}; }
};

struct Shadow {
  swf::Rgba color{0, 0, 0, 255};
  double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 1;
  bool inner = false, knockout = false, hideObject = false;
  int passes = 1;
  // The flag byte drop shadows and glows share: inner, knockout, composite source, passes.
  void setFlags(uint8_t flags) {
    inner = flags & 0x80;
    knockout = flags & 0x40;
    hideObject = !(flags & 0x20);
    passes = std::max(1, flags & 0x1F);
  }
};

// One plane of floats over the frame.
struct Plane {
  int width = 0, height = 0;
  std::vector<float> v;
  float& at(int x, int y) { return v[size_t(y) * width + x]; }
};

// A box of `size` pixels centred on each pixel, with fractional ends: the mean over
// [x + 0.5 - size/2, x + 0.5 + size/2] of the line read as constant per pixel.
void boxLine(float* line, int count, int step, double size, std::vector<double>& prefix, std::vector<float>& out) {
  prefix.assign(size_t(count) + 1, 0.0);
  for (int i = 0; i < count; ++i) prefix[i + 1] = prefix[i] + line[size_t(i) * step];
  auto integral = [&](double t) {
    if (t <= 0) return 0.0;
    if (t >= count) return prefix[count];
    const int i = int(t);
    return prefix[i] + (t - i) * line[size_t(i) * step];
  };
  out.resize(count);
  const double half = size / 2;
  for (int x = 0; x < count; ++x) out[x] = float((integral(x + 0.5 + half) - integral(x + 0.5 - half)) / size);
  for (int x = 0; x < count; ++x) line[size_t(x) * step] = out[x];
}

void blurPlane(Plane& p, double sizeX, double sizeY, int passes) {
  std::vector<double> prefix;
  std::vector<float> out;
  for (int pass = 0; pass < passes; ++pass) {
    if (sizeX > 1)
      for (int y = 0; y < p.height; ++y) boxLine(&p.at(0, y), p.width, 1, sizeX, prefix, out);
    if (sizeY > 1)
      for (int x = 0; x < p.width; ++x) boxLine(&p.at(x, 0), p.height, p.width, sizeY, prefix, out);
  }
}

Plane channel(const Frame& f, int shift) {
  Plane p{int(f.width), int(f.height), {}};
  p.v.resize(f.pixels.size());
  for (size_t i = 0; i < f.pixels.size(); ++i) p.v[i] = float((f.pixels[i] >> shift) & 0xFF) / 255.f;
  return p;
}

void blur(Frame& layer, double sizeX, double sizeY, int passes) {
  if (sizeX <= 1 && sizeY <= 1) return;
  Plane planes[4] = {channel(layer, 0), channel(layer, 8), channel(layer, 16), channel(layer, 24)};
  for (Plane& p : planes) blurPlane(p, sizeX, sizeY, passes);
  for (size_t i = 0; i < layer.pixels.size(); ++i) {
    auto byte = [&](int c) { return uint8_t(std::lround(std::clamp(planes[c].v[i], 0.f, 1.f) * 255)); };
    const uint8_t a = byte(3);
    layer.pixels[i] = packPixel(std::min(byte(0), a), std::min(byte(1), a), std::min(byte(2), a), a);
  }
}

void shadow(Frame& layer, const Shadow& s, double scale) {
  const int width = int(layer.width), height = int(layer.height);
  const Plane source = channel(layer, 24);
  // The alpha the shadow is made from, moved by its offset (whole pixels).
  const int dx = int(std::lround(std::cos(s.angle) * s.distance * scale));
  const int dy = int(std::lround(std::sin(s.angle) * s.distance * scale));
  Plane cast{width, height, std::vector<float>(source.v.size(), s.inner ? 1.f : 0.f)};
  for (int y = 0; y < height; ++y) {
    const int sy = y - dy;
    if (sy < 0 || sy >= height) continue;
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx;
      if (sx < 0 || sx >= width) continue;
      const float a = source.v[size_t(sy) * width + sx];
      cast.at(x, y) = s.inner ? 1.f - a : a;
    }
  }
  blurPlane(cast, s.blurX * scale, s.blurY * scale, s.passes);
  const float colorAlpha = s.color.a / 255.f;
  for (size_t i = 0; i < layer.pixels.size(); ++i) {
    const float objectAlpha = source.v[i];
    float alpha = std::min(1.f, cast.v[i] * float(s.strength)) * colorAlpha;
    if (s.inner) alpha *= objectAlpha;
    else if (s.knockout) alpha *= 1.f - objectAlpha;
    const uint32_t tint = packPixel(uint8_t(std::lround(s.color.r * alpha)), uint8_t(std::lround(s.color.g * alpha)),
                                    uint8_t(std::lround(s.color.b * alpha)), uint8_t(std::lround(255 * alpha)));
    const uint32_t object = layer.pixels[i];
    if (s.knockout || s.hideObject) layer.pixels[i] = tint;
    else layer.pixels[i] = s.inner ? over(tint, object) : over(object, tint);
  }
}

// The colour matrix on straight colours in 0..255: four rows of five (the last an offset).
void colorMatrix(Frame& layer, const float (&m)[20]) {
  for (uint32_t& p : layer.pixels) {
    const Pixel px = unpackPixel(p);
    const float a = px.a;
    const float straight[4] = {a ? px.r * 255.f / a : 0.f, a ? px.g * 255.f / a : 0.f, a ? px.b * 255.f / a : 0.f, a};
    float out[4];
    for (int row = 0; row < 4; ++row) {
      const float* r = m + row * 5;
      out[row] = std::clamp(r[0] * straight[0] + r[1] * straight[1] + r[2] * straight[2] + r[3] * straight[3] + r[4],
                            0.f, 255.f);
    }
    const float alpha = out[3] / 255.f;
    auto byte = [](float v) { return uint8_t(std::lround(v)); };
    p = packPixel(byte(out[0] * alpha), byte(out[1] * alpha), byte(out[2] * alpha), byte(out[3]));
  }
}

}  // namespace

namespace {

// How far filters may carry ink beyond the object: their blur and offset, in frame pixels.
double reach(const std::vector<swf::Filter>& filters, double scale) {
  double total = 2;
  for (const swf::Filter& filter : filters) {
    FieldReader in{filter.bytes};
    if (filter.type == 0 || filter.type == 2) in.rgba();
    if (filter.type > 2) continue;
    const double blur = std::max(std::fabs(in.fixed()), std::fabs(in.fixed()));
    double distance = 0;
    if (filter.type == 0) {
      in.fixed();
      distance = std::fabs(in.fixed());
    }
    total += (blur * 15 / 2 + distance) * scale;  // at most 15 passes
  }
  return std::min(total, 1e6);
}

void applyInPlace(const std::vector<swf::Filter>& filters, Frame& layer, double scale);

}  // namespace

// Filters work on the part of the layer the object and what it casts can reach: the rest of
// a frame-sized layer stays transparent and costs nothing.
void applyFilters(const std::vector<swf::Filter>& filters, Frame& layer, double scale) {
  if (layer.pixels.empty() || filters.empty() || !(scale > 0) || !std::isfinite(scale)) return;
  const int width = int(layer.width), height = int(layer.height);
  int x0 = width, y0 = height, x1 = -1, y1 = -1;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = layer.pixels.data() + size_t(y) * width;
    for (int x = 0; x < width; ++x)
      if (row[x]) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = y;
      }
  }
  if (x1 < 0) return;  // nothing drawn: nothing to filter
  const int margin = int(std::ceil(reach(filters, scale)));
  x0 = std::max(0, x0 - margin);
  y0 = std::max(0, y0 - margin);
  x1 = std::min(width - 1, x1 + margin);
  y1 = std::min(height - 1, y1 + margin);
  Frame part;
  part.width = uint32_t(x1 - x0 + 1);
  part.height = uint32_t(y1 - y0 + 1);
  part.pixels.resize(size_t(part.width) * part.height);
  for (int y = y0; y <= y1; ++y)
    std::copy_n(layer.pixels.data() + size_t(y) * width + x0, part.width, part.pixels.data() + size_t(y - y0) * part.width);
  applyInPlace(filters, part, scale);
  for (int y = y0; y <= y1; ++y)
    std::copy_n(part.pixels.data() + size_t(y - y0) * part.width, part.width, layer.pixels.data() + size_t(y) * width + x0);
}

namespace {

void applyInPlace(const std::vector<swf::Filter>& filters, Frame& layer, double scale) {
  for (const swf::Filter& filter : filters) {
    FieldReader in{filter.bytes};
    switch (filter.type) {
      case 0: {  // drop shadow
        Shadow s;
        s.color = in.rgba();
        s.blurX = in.fixed();
        s.blurY = in.fixed();
        s.angle = in.fixed();
        s.distance = in.fixed();
        s.strength = in.fixed8();
        s.setFlags(in.byte());
        shadow(layer, s, scale);
        break;
      }
      case 1: {  // blur
        const double x = in.fixed(), y = in.fixed();
        const int passes = std::max(1, in.byte() >> 3);
        blur(layer, x * scale, y * scale, std::min(passes, 15));
        break;
      }
      case 2: {  // glow: a shadow that is not moved
        Shadow s;
        s.color = in.rgba();
        s.blurX = in.fixed();
        s.blurY = in.fixed();
        s.strength = in.fixed8();
        s.setFlags(in.byte());
        shadow(layer, s, scale);
        break;
      }
      case 6: {  // colour matrix
        float m[20];
        for (float& v : m) v = in.f32();
        bool finite = true;
        for (float v : m) finite = finite && std::isfinite(v);
        if (finite) colorMatrix(layer, m);
        break;
      }
      default: break;
    }
  }
}

}  // namespace
}  // namespace render

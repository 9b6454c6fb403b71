// The blend modes' arithmetic, per channel on premultiplied values in 0..1: the separable
// modes mix the source and backdrop where both are present and keep each where only it is.
#include "BlendModes.h"

#include <algorithm>
#include <cmath>

#include "Blend.h"

namespace render {

namespace {

struct Colour {
  float r, g, b, a;
};

Colour unpackColour(uint32_t p) {
  const Pixel px = unpackPixel(p);
  return {px.r / 255.f, px.g / 255.f, px.b / 255.f, px.a / 255.f};
}

uint32_t packColour(const Colour& c) {
  auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.f, 1.f) * 255)); };
  const uint8_t a = byte(c.a);
  auto channel = [&](float v) { return std::min(byte(v), a); };  // premultiplied: never above alpha
  return packPixel(channel(c.r), channel(c.g), channel(c.b), a);
}

// The mixed term of a separable mode where source (s, sa) meets backdrop (d, da).
using Mix = float (*)(float s, float sa, float d, float da);

float multiply(float s, float, float d, float) { return s * d; }
float screen(float s, float sa, float d, float da) { return s * da + d * sa - s * d; }
float lighten(float s, float sa, float d, float da) { return std::max(s * da, d * sa); }
float darken(float s, float sa, float d, float da) { return std::min(s * da, d * sa); }
float difference(float s, float sa, float d, float da) { return s * da + d * sa - 2 * std::min(s * da, d * sa); }
float hardLight(float s, float sa, float d, float da) {
  return 2 * s <= sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
}
float overlay(float s, float sa, float d, float da) { return hardLight(d, da, s, sa); }

Colour separable(Mix mix, const Colour& s, const Colour& d) {
  auto channel = [&](float sc, float dc) { return mix(sc, s.a, dc, d.a) + sc * (1 - d.a) + dc * (1 - s.a); };
  return {channel(s.r, d.r), channel(s.g, d.g), channel(s.b, d.b), s.a + d.a * (1 - s.a)};
}

Mix separableMix(swf::BlendMode mode) {
  switch (mode) {
    case swf::BlendMode::Multiply: return multiply;
    case swf::BlendMode::Screen: return screen;
    case swf::BlendMode::Lighten: return lighten;
    case swf::BlendMode::Darken: return darken;
    case swf::BlendMode::Difference: return difference;
    case swf::BlendMode::Overlay: return overlay;
    case swf::BlendMode::HardLight: return hardLight;
    default: return nullptr;
  }
}

uint32_t blendPixel(swf::BlendMode mode, Mix mix, uint32_t src, uint32_t dst) {
  if (mix) return packColour(separable(mix, unpackColour(src), unpackColour(dst)));
  const Colour s = unpackColour(src), d = unpackColour(dst);
  switch (mode) {
    case swf::BlendMode::Add:
      return packColour({s.r + d.r, s.g + d.g, s.b + d.b, s.a + d.a});
    case swf::BlendMode::Subtract:
      return packColour({d.r - s.r, d.g - s.g, d.b - s.b, s.a + d.a * (1 - s.a)});
    case swf::BlendMode::Invert: {
      // The backdrop inverted where the layer covers it; the layer's own colour is not shown.
      auto invert = [&](float dc) { return (d.a - dc) * s.a + dc * (1 - s.a); };
      return packColour({invert(d.r), invert(d.g), invert(d.b), d.a});
    }
    case swf::BlendMode::Alpha: return scalePixel(dst, src >> 24);
    case swf::BlendMode::Erase: return scalePixel(dst, 255 - (src >> 24));
    default: return over(src, dst);
  }
}

}  // namespace

void blendLayer(swf::BlendMode mode, const Frame& layer, Frame& below, const Box& box) {
  if (layer.width != below.width || layer.height != below.height || box.empty()) return;
  const Mix mix = separableMix(mode);
  for (int y = box.y0; y < box.y1; ++y) {
    const uint32_t* src = layer.pixels.data() + size_t(y) * layer.width;
    uint32_t* dst = below.pixels.data() + size_t(y) * below.width;
    for (int x = box.x0; x < box.x1; ++x) {
      if (src[x] == 0) continue;  // what the layer leaves untouched stays as it is
      dst[x] = blendPixel(mode, mix, src[x], dst[x]);
    }
  }
}

}  // namespace render

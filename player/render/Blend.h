// Premultiplied 8-bit arithmetic on packed pixels, two channels at a time: scaling by a
// coverage or alpha, and source-over.
#pragma once

#include <cstdint>

namespace render {

// p * f / 255 per channel, rounded; f in 0..255.
inline uint32_t scalePixel(uint32_t p, uint32_t f) {
  uint32_t rb = (p & 0x00FF00FFu) * f + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  uint32_t ga = ((p >> 8) & 0x00FF00FFu) * f + 0x00800080u;
  ga = (ga + ((ga >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ga;
}

inline uint32_t over(uint32_t src, uint32_t dst) {
  return src + scalePixel(dst, 255 - (src >> 24));
}

// One row: src (premultiplied) scaled by coverage, over dst.
inline void compositeRow(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t c = coverage[i];
    if (c == 0) continue;
    const uint32_t s = c == 255 ? src[i] : scalePixel(src[i], c);
    dst[i] = over(s, dst[i]);
  }
}

inline void compositeSolid(uint32_t* dst, uint32_t color, const uint8_t* coverage, int count) {
  const bool opaque = (color >> 24) == 255;
  for (int i = 0; i < count; ++i) {
    const uint32_t c = coverage[i];
    if (c == 255 && opaque) dst[i] = color;
    else if (c) dst[i] = over(scalePixel(color, c), dst[i]);
  }
}

}  // namespace render

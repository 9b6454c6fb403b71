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

// One row: src (premultiplied) scaled by coverage, over dst. Branch-free so it vectorises.
inline void compositeRow(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, int count) {
  for (int i = 0; i < count; ++i) dst[i] = over(scalePixel(src[i], coverage[i]), dst[i]);
}

inline void compositeSolid(uint32_t* dst, uint32_t color, const uint8_t* coverage, int count) {
  if ((color >> 24) == 255) {
    for (int i = 0; i < count; ++i) {
      // Runs of full cover take the colour as it is.
      if (coverage[i] == 255) {
        dst[i] = color;
        continue;
      }
      dst[i] = over(scalePixel(color, coverage[i]), dst[i]);
    }
    return;
  }
  for (int i = 0; i < count; ++i) dst[i] = over(scalePixel(color, coverage[i]), dst[i]);
}

}  // namespace render

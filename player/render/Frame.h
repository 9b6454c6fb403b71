// The picture a renderer draws into: premultiplied 32-bit RGBA, row after row, no padding.
// Each pixel is one uint32_t whose bytes in memory are R, G, B, A (little-endian: r | g<<8 ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render {

struct Pixel {  // premultiplied
  uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

inline uint32_t packPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}
inline Pixel unpackPixel(uint32_t p) {
  return {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)};
}

struct Frame {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // width * height
  Pixel at(uint32_t x, uint32_t y) const { return unpackPixel(pixels[size_t(y) * width + x]); }
};

}  // namespace render

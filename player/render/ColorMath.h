// Colour transforms on straight and premultiplied colours, and premultiplying.
#pragma once

#include <algorithm>
#include <cstdint>

#include "../swf/SwfTypes.h"
#include "Frame.h"

namespace render {

inline uint8_t transformChannel(int value, int mult, int add) {
  return uint8_t(std::clamp(value * mult / 256 + add, 0, 255));
}

inline swf::Rgba transformColor(const swf::Rgba& c, const swf::ColorTransform& t) {
  return {transformChannel(c.r, t.rMult, t.rAdd), transformChannel(c.g, t.gMult, t.gAdd),
          transformChannel(c.b, t.bMult, t.bAdd), transformChannel(c.a, t.aMult, t.aAdd)};
}

inline uint32_t premultiply(const swf::Rgba& c) {
  auto mul = [&](uint8_t v) { return uint8_t((v * c.a + 127) / 255); };
  return packPixel(mul(c.r), mul(c.g), mul(c.b), c.a);
}

// A premultiplied pixel through a colour transform: straightened, transformed, premultiplied.
inline uint32_t transformPremultiplied(uint32_t p, const swf::ColorTransform& t) {
  const Pixel px = unpackPixel(p);
  if (px.a == 0 && t.rAdd <= 0 && t.gAdd <= 0 && t.bAdd <= 0 && t.aAdd <= 0) return 0;
  auto straight = [&](uint8_t v) { return px.a ? uint8_t(std::min(255, (v * 255 + px.a / 2) / px.a)) : uint8_t(0); };
  return premultiply(transformColor({straight(px.r), straight(px.g), straight(px.b), px.a}, t));
}

// True when the transform only scales alpha (a fade): premultiplied pixels then just scale.
inline bool onlyScalesAlpha(const swf::ColorTransform& t) {
  return t.rMult == 256 && t.gMult == 256 && t.bMult == 256 && !t.rAdd && !t.gAdd && !t.bAdd &&
         !t.aAdd && t.aMult >= 0 && t.aMult <= 256;
}

}  // namespace render

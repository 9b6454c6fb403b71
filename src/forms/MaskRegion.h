// Window shapes from pictures: a bitmap from a BMP file's bytes, and the region of a bitmap's
// pixels that count as inside.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace lumo {

// A device-dependent bitmap of a Windows bitmap file ("BM"), or null.
HBITMAP bitmapFromFileBytes(const std::vector<uint8_t>& file);

// Every pixel for which `inside(colour 0x00RRGGBB)` holds, as one-pixel-high runs; the region
// data is built in chunks of 100 rectangles. Null when the bitmap cannot be read.
HRGN regionFromBitmap(HBITMAP bitmap, const std::function<bool(uint32_t)>& inside);

// Not pure black: the rule of mask pictures.
inline bool notBlack(uint32_t colour) { return (colour & 0xFFFFFF) != 0; }

}  // namespace lumo

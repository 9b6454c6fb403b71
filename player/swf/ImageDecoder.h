// Decodes the JPEG, PNG and GIF data that bitmap tags hold into straight RGBA, within a pixel
// budget so a forged header cannot make it allocate without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace swf {

// The player's own limit on a bitmap's pixels (16,777,215); larger bitmaps are not drawn.
inline constexpr uint64_t kMaxBitmapPixels = 0xFFFFFF;

struct DecodedImage {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // straight alpha, width * height * 4
};

// nullopt when the data does not decode or has more than kMaxBitmapPixels pixels or none.
std::optional<DecodedImage> decodeImage(const uint8_t* data, size_t size);

}  // namespace swf

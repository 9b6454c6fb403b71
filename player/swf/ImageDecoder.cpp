// A thin adapter over stb_image: checks the size from the header before decoding and copies
// the pixels into our own buffer.
#include "ImageDecoder.h"

#include "StbConfig.h"

#include <climits>
#include <memory>

namespace swf {

std::optional<DecodedImage> decodeImage(const uint8_t* data, size_t size) {
  if (size == 0 || size > INT_MAX) return std::nullopt;
  int width = 0, height = 0, channels = 0;
  const auto* bytes = reinterpret_cast<const stbi_uc*>(data);
  const int length = static_cast<int>(size);
  if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) return std::nullopt;
  if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxBitmapPixels)
    return std::nullopt;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load_from_memory(bytes, length, &width, &height, &channels, 4),
                                                   stbi_image_free);
  if (!pixels) return std::nullopt;
  DecodedImage image;
  image.width = static_cast<uint32_t>(width);
  image.height = static_cast<uint32_t>(height);
  image.rgba.assign(pixels.get(), pixels.get() + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  return image;
}

}  // namespace swf

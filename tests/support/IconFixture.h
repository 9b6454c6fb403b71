// An .ico file made in memory for tests: one 32-bit image per size, every pixel one colour,
// so a test can tell by a pixel which icon Windows loaded.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace lumo::test {

inline void appendLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// `argb` is each pixel as 0xAARRGGBB.
inline std::string solidIcon(std::initializer_list<std::uint32_t> sizes, std::uint32_t argb) {
  std::string images;
  std::string directory;
  appendLe(directory, 0, 2);
  appendLe(directory, 1, 2);
  appendLe(directory, static_cast<std::uint32_t>(sizes.size()), 2);
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
  for (const std::uint32_t size : sizes) {
    std::string image;
    appendLe(image, 40, 4);
    appendLe(image, size, 4);
    appendLe(image, size * 2, 4);  // colour and mask rows
    appendLe(image, 1, 2);
    appendLe(image, 32, 2);
    for (int i = 0; i < 6; ++i) appendLe(image, 0, 4);
    for (std::uint32_t p = 0; p < size * size; ++p) appendLe(image, argb, 4);
    const std::uint32_t maskStride = (size + 31) / 32 * 4;
    image.append(maskStride * size, '\0');  // all opaque
    directory += static_cast<char>(size & 0xFF);
    directory += static_cast<char>(size & 0xFF);
    directory += '\0';
    directory += '\0';
    appendLe(directory, 1, 2);
    appendLe(directory, 32, 2);
    appendLe(directory, static_cast<std::uint32_t>(image.size()), 4);
    appendLe(directory, offset, 4);
    offset += static_cast<std::uint32_t>(image.size());
    images += image;
  }
  return directory + images;
}

}  // namespace lumo::test

// Mask pictures from the record: a header that claims more than the file holds is refused
// rather than read past the file's end.
#include "forms/MaskRegion.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumo {
namespace {

// A 24-bit BMP file of `width` x `height` whose pixel bytes are cut to `pixelBytes`.
std::vector<uint8_t> bmpFile(LONG width, LONG height, size_t pixelBytes) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::vector<uint8_t> bytes(sizeof(file) + sizeof(info) + pixelBytes, 0xFF);
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  return bytes;
}

TEST(MaskPicture, AHeaderClaimingMorePixelsThanTheFileHoldsIsRefused) {
  struct Case {
    LONG width, height;
    size_t pixelBytes;
    bool accepted;
  } cases[] = {
      {4, 2, 2 * 12, true},          // rows of 12 bytes, already a multiple of four
      {3, 2, 2 * 12, true},          // 9 bytes a row padded to 12
      {3, -2, 2 * 12, true},         // top-down
      {3, 2, 2 * 12 - 1, false},     // one byte short
      {4000, 4000, 16, false},       // a header claiming 48 MB from a tiny file
      {0x40000000, 1, 16, false},    // a width whose row size needs 64 bits
      {0, 2, 16, false},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = bitmapFromFileBytes(bmpFile(c.width, c.height, c.pixelBytes));
    EXPECT_EQ(bitmap != nullptr, c.accepted) << c.width << " x " << c.height << ", " << c.pixelBytes << " bytes";
    if (bitmap) DeleteObject(bitmap);
  }
}

}  // namespace
}  // namespace lumo

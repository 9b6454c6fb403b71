// The render tool's PNG writer: what it writes decodes back to the same pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "../../../player/swf/ImageDecoder.h"
#include "../../../player/tool/PngWriter.h"

TEST(PngWriter, WritesPixelsThatDecodeBackUnchanged) {
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                                     1, 2, 3, 4,     250, 251, 252, 253, 9, 9, 9, 255};
  const std::string path = ::testing::TempDir() + "display-png-writer.png";
  ASSERT_TRUE(tool::writePng(path, 3, 2, rgba));
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  std::optional<swf::DecodedImage> image = swf::decodeImage(bytes.data(), bytes.size());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 3u);
  EXPECT_EQ(image->height, 2u);
  EXPECT_EQ(image->rgba, rgba);
  EXPECT_FALSE(tool::writePng(path, 4, 2, rgba));  // too few pixels for the size
}

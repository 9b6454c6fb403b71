// The bitmap tags decoded to premultiplied RGBA: DefineBits (with the movie's JPEGTables),
// DefineBitsJPEG2/3/4 (JPEG, PNG or GIF; 3 and 4 with a zlib alpha plane) and
// DefineBitsLossless 1-2 (colour-mapped, 15-bit and 32-bit pixels).
#pragma once

#include "BitReader.h"
#include "SwfTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace swf {

struct BitmapResult {
  CharacterId id = 0;
  std::optional<Bitmap> bitmap;  // none when the tag does not decode
  std::string problem;           // why not, or what was drawn differently (empty when all is well)
};

BitmapResult readDefineBits(BitReader& in, const std::vector<uint8_t>& jpegTables);
BitmapResult readDefineBitsJpeg(BitReader& in, uint8_t version);      // 2, 3 or 4
BitmapResult readDefineBitsLossless(BitReader& in, uint8_t version);  // 1 or 2

}  // namespace swf

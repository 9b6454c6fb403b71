// Bitmap tags into premultiplied RGBA. JPEG colours under an alpha plane are premultiplied in
// the file already; PNG and GIF are straight and are premultiplied here; Lossless2's pixels
// and colour tables are premultiplied already. Colours above their alpha are clamped to it, as
// the player draws them.
#include "BitmapTags.h"

#include "ImageDecoder.h"
#include "Inflate.h"
#include "JpegData.h"

#include <algorithm>

namespace swf {

namespace {

uint8_t premultiply(uint8_t c, uint8_t a) { return static_cast<uint8_t>((c * a + 127) / 255); }

void premultiplyAll(std::vector<uint8_t>& rgba) {
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    uint8_t a = rgba[i + 3];
    if (a == 255) continue;
    for (size_t k = 0; k < 3; ++k) rgba[i + k] = premultiply(rgba[i + k], a);
  }
}

Bitmap toBitmap(CharacterId id, DecodedImage&& image) {
  Bitmap bitmap;
  bitmap.id = id;
  bitmap.width = image.width;
  bitmap.height = image.height;
  bitmap.rgba = std::move(image.rgba);
  return bitmap;
}

// JPEG data (cleaned first), or PNG or GIF in DefineBitsJPEG2 and later; `alpha` is the zlib
// alpha plane of DefineBitsJPEG3/4, used for JPEG data only.
void decodeEncoded(BitmapResult& result, const uint8_t* data, size_t size, const uint8_t* alpha, size_t alphaSize) {
  ImageFormat format = imageFormatOf(data, size);
  if (format == ImageFormat::Unknown) {
    result.problem = "image data is neither JPEG, PNG nor GIF";
    return;
  }
  std::optional<DecodedImage> image;
  if (format == ImageFormat::Jpeg) {
    std::vector<uint8_t> jpeg = cleanJpeg(data, size);
    if (huffmanTablesAreSound(jpeg.data(), jpeg.size())) image = decodeImage(jpeg.data(), jpeg.size());
  } else {
    image = decodeImage(data, size);
  }
  if (!image) {
    result.problem = "image data does not decode";
    return;
  }
  if (format != ImageFormat::Jpeg) {
    premultiplyAll(image->rgba);
  } else if (alpha && alphaSize > 0) {
    size_t pixels = static_cast<size_t>(image->width) * image->height;
    Inflated plane = inflateBounded(alpha, alphaSize, pixels);
    if (plane.bytes.size() == pixels) {
      for (size_t i = 0; i < pixels; ++i) {
        uint8_t a = plane.bytes[i];
        uint8_t* px = &image->rgba[i * 4];
        for (size_t k = 0; k < 3; ++k) px[k] = std::min(px[k], a);
        px[3] = a;
      }
    } else {
      result.problem = "alpha plane is short; drawn opaque";
    }
  }
  result.bitmap = toBitmap(result.id, std::move(*image));
}

}  // namespace

BitmapResult readDefineBits(BitReader& in, const std::vector<uint8_t>& jpegTables) {
  BitmapResult result;
  result.id = in.u16();
  if (!in.ok()) {
    result.problem = "tag is cut short";
    return result;
  }
  std::vector<uint8_t> jpeg = glueJpegTables(jpegTables, in.current(), in.remaining());
  decodeEncoded(result, jpeg.data(), jpeg.size(), nullptr, 0);
  return result;
}

BitmapResult readDefineBitsJpeg(BitReader& in, uint8_t version) {
  BitmapResult result;
  result.id = in.u16();
  if (version == 2) {
    if (!in.ok()) {
      result.problem = "tag is cut short";
      return result;
    }
    decodeEncoded(result, in.current(), in.remaining(), nullptr, 0);
    return result;
  }
  uint32_t imageSize = in.u32();
  if (version >= 4) in.u16();  // deblocking filter strength: a decoder hint we do not use
  if (!in.ok() || imageSize > in.remaining()) {
    result.problem = "tag is cut short";
    return result;
  }
  const uint8_t* image = in.current();
  in.skip(imageSize);
  decodeEncoded(result, image, imageSize, in.current(), in.remaining());
  return result;
}

BitmapResult readDefineBitsLossless(BitReader& in, uint8_t version) {
  BitmapResult result;
  result.id = in.u16();
  uint8_t format = in.u8();
  uint32_t width = in.u16();
  uint32_t height = in.u16();
  size_t paletteEntries = format == 3 ? size_t{in.u8()} + 1 : 0;
  if (!in.ok()) {
    result.problem = "tag is cut short";
    return result;
  }
  const bool alpha = version == 2;
  if (format != 3 && format != 5 && !(format == 4 && !alpha)) {
    result.problem = "unknown pixel format " + std::to_string(format);
    return result;
  }
  if (width == 0 || height == 0 || uint64_t{width} * height > kMaxBitmapPixels) {
    result.problem = "bitmap size " + std::to_string(width) + "x" + std::to_string(height) + " is not drawn";
    return result;
  }
  const size_t entrySize = alpha ? 4 : 3;
  const size_t paletteSize = paletteEntries * entrySize;
  // Rows are padded to four bytes.
  const size_t stride = format == 3 ? (width + 3) & ~size_t{3} : format == 4 ? (width * 2 + 3) & ~size_t{3} : width * 4;
  const size_t needed = paletteSize + stride * height;
  Inflated data = inflateBounded(in.current(), in.remaining(), needed);
  if (data.bytes.size() < needed) {
    result.problem = "pixel data is short";
    return result;
  }
  const uint8_t* src = data.bytes.data();

  Bitmap bitmap;
  bitmap.id = result.id;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.rgba.resize(size_t{width} * height * 4);
  uint8_t* out = bitmap.rgba.data();
  auto put = [&out](uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    out[0] = std::min(r, a);
    out[1] = std::min(g, a);
    out[2] = std::min(b, a);
    out[3] = a;
    out += 4;
  };
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = src + paletteSize + y * stride;
    for (uint32_t x = 0; x < width; ++x) {
      if (format == 3) {
        size_t index = row[x];
        if (index >= paletteEntries) {
          put(0, 0, 0, alpha ? 0 : 255);  // outside the table: transparent, or black when opaque
          continue;
        }
        const uint8_t* entry = src + index * entrySize;
        put(entry[0], entry[1], entry[2], alpha ? entry[3] : 255);
      } else if (format == 4) {
        unsigned pixel = (row[x * 2] << 8) | row[x * 2 + 1];
        auto channel = [pixel](unsigned shift) { return static_cast<uint8_t>((((pixel >> shift) & 0x1F) * 255 + 15) / 31); };
        put(channel(10), channel(5), channel(0), 255);
      } else {
        const uint8_t* px = row + x * 4;
        put(px[1], px[2], px[3], alpha ? px[0] : 255);
      }
    }
  }
  result.bitmap = std::move(bitmap);
  return result;
}

}  // namespace swf

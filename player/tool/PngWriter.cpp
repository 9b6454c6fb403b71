// Writes straight RGBA pixels as a PNG: signature, IHDR, one IDAT of rows with filter 0, IEND.
#include "PngWriter.h"

#include <zlib.h>

#include <fstream>

namespace tool {

namespace {

void putBigEndian(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
  putBigEndian(out, uint32_t(body.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  const uLong crc = crc32(0L, out.data() + typeAt, uInt(out.size() - typeAt));
  putBigEndian(out, uint32_t(crc));
}

}  // namespace

bool writePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
  const size_t rowBytes = size_t(width) * 4;
  if (rgba.size() != rowBytes * height) return false;
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * height);
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), rgba.begin() + ptrdiff_t(y * rowBytes), rgba.begin() + ptrdiff_t((y + 1) * rowBytes));
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK) return false;
  packed.resize(packedSize);

  std::vector<uint8_t> header;
  putBigEndian(header, width);
  putBigEndian(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive, no interlace

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(file, "IHDR", header);
  putChunk(file, "IDAT", packed);
  putChunk(file, "IEND", {});
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  return bool(out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size())));
}

}  // namespace tool

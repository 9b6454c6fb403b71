#include "FileChecks.h"

#include <cstdlib>

namespace lumo::builder {

namespace {

using Span = std::span<const std::uint8_t>;

std::uint32_t u16(Span b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t u32(Span b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

std::optional<std::string> checkMovie(Span b) {
  if (b.size() < 8) return "is not a Flash movie: shorter than an SWF header";
  const bool signature = (b[0] == 'F' || b[0] == 'C' || b[0] == 'Z') && b[1] == 'W' && b[2] == 'S';
  if (!signature) return "is not a Flash movie: it does not begin with FWS, CWS or ZWS";
  if (b[3] == 0) return "is not a Flash movie: SWF version 0";
  return std::nullopt;
}

// The runtime passes the 40-byte header that follows the file header to CreateDIBitmap and
// takes the pixels at the file header's offset: check exactly what it will use.
std::optional<std::string> checkBitmap(Span b, bool directOnly) {
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return "is not a BMP image: it does not begin with BM";
  if (b.size() < 14 + 40) return "is not a usable BMP image: truncated header";
  const std::uint32_t headerSize = u32(b, 14);
  if (headerSize < 40) return "is not a usable BMP image: old-style header (save it as a Windows 3 or later BMP)";
  const auto width = static_cast<std::int32_t>(u32(b, 18));
  const auto height = static_cast<std::int32_t>(u32(b, 22));
  const std::uint32_t planes = u16(b, 26);
  const std::uint32_t bits = u16(b, 28);
  const std::uint32_t compression = u32(b, 30);
  if (width <= 0 || height == 0 || height == INT32_MIN) return "is not a usable BMP image: bad width or height";
  if (planes != 1) return "is not a usable BMP image: plane count is not 1";
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return "is not a usable BMP image: unsupported bits per pixel";
  }
  if (directOnly && bits < 16) return "uses a colour palette: save it with 16, 24 or 32 bits per pixel";
  if (compression != 0 && compression != 3) return "is not a usable BMP image: compressed pixels are not supported";
  const std::uint64_t offset = u32(b, 10);
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t pixels = stride * static_cast<std::uint64_t>(std::llabs(height));
  if (offset < 14 + headerSize || offset + pixels > b.size()) {
    return "is not a usable BMP image: the pixel data is missing or truncated";
  }
  return std::nullopt;
}

std::optional<std::string> checkIcon(Span b) {
  if (b.size() < 6 || u16(b, 0) != 0 || u16(b, 2) != 1) return "is not an ICO icon file";
  const std::uint32_t count = u16(b, 4);
  if (count == 0) return "is not a usable icon: it holds no images";
  if (b.size() < 6 + 16 * static_cast<std::size_t>(count)) return "is not a usable icon: truncated directory";
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    const std::uint64_t size = u32(b, entry + 8);
    const std::uint64_t offset = u32(b, entry + 12);
    if (size < 8 || offset + size > b.size()) return "is not a usable icon: image " + std::to_string(i) + " is truncated";
    const bool png = b[offset] == 0x89 && b[offset + 1] == 'P' && b[offset + 2] == 'N' && b[offset + 3] == 'G';
    if (!png && u32(b, static_cast<std::size_t>(offset)) != 40) {
      return "is not a usable icon: image " + std::to_string(i) + " is neither a bitmap nor PNG";
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> checkFile(Span bytes, FileCheck check) {
  switch (check) {
    case FileCheck::None: return std::nullopt;
    case FileCheck::Movie: return checkMovie(bytes);
    case FileCheck::Bitmap: return checkBitmap(bytes, false);
    case FileCheck::DirectBitmap: return checkBitmap(bytes, true);
    case FileCheck::Icon: return checkIcon(bytes);
    case FileCheck::Dll:
      if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z') return "is not a Windows DLL: no MZ header";
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace lumo::builder

#include "RecordFormat.h"

namespace lumo::record {

namespace {
// The marker 14 09 13 49 49 13 09 14, XORed with 0xFF.
constexpr std::array<std::uint8_t, 8> kMaskedMarker = {0xEB, 0xF6, 0xEC, 0xB6, 0xB6, 0xEC, 0xF6, 0xEB};
}  // namespace

std::array<std::uint8_t, 8> marker() {
  std::array<std::uint8_t, 8> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // volatile keeps the compiler from folding the plain marker into the image.
    volatile std::uint8_t masked = kMaskedMarker[i];
    bytes[i] = static_cast<std::uint8_t>(masked ^ 0xFF);
  }
  return bytes;
}

void transformText(std::span<std::uint8_t> bytes) {
  const std::size_t n = bytes.size();
  const std::size_t blocks = n / 512;
  const std::size_t rest = n % 512;
  // One byte per full 512-byte block, then every byte of the tail. In a text of over 256 KiB
  // the position 513·i runs past the end; those blocks keep their bytes.
  for (std::size_t i = 0; i < blocks && 513 * i < n; ++i) {
    bytes[513 * i] ^= static_cast<std::uint8_t>(K0 + K1 * i);
  }
  for (std::size_t j = 0; j < rest; ++j) {
    bytes[512 * blocks + j] ^= static_cast<std::uint8_t>(K0 + rest + K1 * j);
  }
}

void transformBlock(std::span<std::uint8_t> bytes, BlockKind kind) {
  const auto base = static_cast<std::uint8_t>((bytes.size() % 256) + static_cast<std::uint8_t>(kind));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] ^= static_cast<std::uint8_t>(K1 * i + base);
  }
}

}  // namespace lumo::record

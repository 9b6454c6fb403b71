// The byte format of the project settings record shared by the runtime and the builder:
// the marker, the scrambling constants and the text and block transformations.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lumo::record {

constexpr int kHighestRecordVersion = 11;
constexpr int kHighestFormVersion = 10;

// The 8 bytes that precede the record. The runtime image must never hold them in a row (the
// search takes the first occurrence in the file), so only a masked copy is compiled in.
std::array<std::uint8_t, 8> marker();

// Scrambling constants, all arithmetic modulo 256.
constexpr std::uint8_t K0 = 0x5A;  // texts
constexpr std::uint8_t K1 = 0x3D;  // position step of every transformation
constexpr std::uint8_t K2 = 0xA7;  // movie and previewMovie
constexpr std::uint8_t K3 = 0x1C;  // scrambled blobs: extensions and library files
constexpr std::uint8_t K4 = 0x6E;  // splashImage
constexpr std::uint8_t K5 = 0xC3;  // trayIconImage

// A form's mask picture is a bitmap like the splash picture and shares its constant.
enum class BlockKind : std::uint8_t { Movie = K2, Blob = K3, Splash = K4, Mask = K4, TrayIcon = K5 };

// The built-in key text of protected strings: 17 ASCII characters, no terminator.
constexpr char kProtectedKeyText[] = "Lumo projector 3!";
static_assert(sizeof(kProtectedKeyText) - 1 == 17);

// Both transformations are XORs, so the same call scrambles and unscrambles.
void transformText(std::span<std::uint8_t> bytes);
void transformBlock(std::span<std::uint8_t> bytes, BlockKind kind);

// The largest unpacked size a packed block may claim; anything above is a corrupt record.
constexpr std::int64_t kMaxUnpackedLength = 1ll << 30;

}  // namespace lumo::record

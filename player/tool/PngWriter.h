// Writes straight RGBA pixels as an 8-bit RGBA PNG, deflated with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tool {

// `rgba` holds width * height * 4 bytes, straight alpha, rows top to bottom. False when the
// file cannot be written.
bool writePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba);

}  // namespace tool

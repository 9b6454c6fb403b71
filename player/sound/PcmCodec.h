// SWF's uncompressed sound: 8-bit samples are unsigned, 16-bit ones little-endian (the
// "native" format was written on little-endian machines, and players read it so).
#pragma once

#include <cstdint>
#include <vector>

#include "Samples.h"

namespace sound {

// Whole frames only: a trailing partial frame is dropped.
void decodePcm(const uint8_t* data, size_t size, bool sixteenBit, Samples& out);
std::vector<uint8_t> encodePcm(const Samples& samples, bool sixteenBit);

}  // namespace sound

// SWF's own ADPCM: packets of 4096 samples per channel, each opening with a 16-bit sample and a
// 6-bit step index per channel, then 2- to 5-bit codes, channels interleaved, most significant
// bit first. The encoder makes fixtures for tests and the movie tool.
#pragma once

#include <cstdint>
#include <vector>

#include "Samples.h"

namespace sound {

// Decodes one ADPCM body (a DefineSound's data or one stream block) and appends to `out`,
// whose channel count must be set. A truncated packet gives the samples it holds.
void decodeAdpcm(const uint8_t* data, size_t size, Samples& out);
std::vector<uint8_t> encodeAdpcm(const Samples& samples, unsigned bitsPerCode);

}  // namespace sound

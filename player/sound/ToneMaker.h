// Sine tones and their encodings, for the movie tool's sound lines and the tests that listen:
// a tone of known frequency and amplitude in each format the player decodes itself.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Samples.h"
#include "SoundRecords.h"

namespace sound {

// `frames` samples per channel; the right channel (stereo) is the same tone.
Samples sineTone(uint32_t rate, uint8_t channels, double frequency, double amplitude, size_t frames);

// DefineSound data for PCM (either byte order) and ADPCM (4-bit codes); nothing for the others.
std::optional<std::vector<uint8_t>> encodeSoundData(const Samples& samples, const swf::SoundFormat& format);

// The whole DefineSound body.
std::vector<uint8_t> defineSoundBody(swf::CharacterId id, const swf::SoundFormat& format, uint32_t sampleCount,
                                     const std::vector<uint8_t>& data);

}  // namespace sound

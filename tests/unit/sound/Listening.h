// What the sound tests hear: the mixer's output recorded, its level and pitch measured, and
// MP3 fixtures encoded with LAME.
#pragma once

#include <cstdint>
#include <vector>

#include "Mixer.h"
#include "Samples.h"

namespace listening {

// `frames` stereo frames of the mixer's output.
std::vector<int16_t> record(sound::Mixer& mixer, size_t frames);

struct Measure {
  double peak = 0;       // largest magnitude
  double frequency = 0;  // from rising zero crossings, Hz at 44.1 kHz
};
// One channel (0 left, 1 right) of interleaved stereo, from `first` to `last` frames.
Measure measure(const std::vector<int16_t>& stereo, int channel, size_t first, size_t last);

// MP3 frames of the samples at their rate (LAME, 128 kbit/s).
std::vector<uint8_t> encodeMp3(const sound::Samples& samples);

}  // namespace listening

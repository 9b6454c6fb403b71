// Decoded sound: signed 16-bit samples, channels interleaved, at the sound's own rate.
// What every decoder produces and the mixer plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

struct Samples {
  uint32_t rate = 44100;
  uint8_t channels = 1;  // 1 or 2
  std::vector<int16_t> data;

  size_t frames() const { return channels ? data.size() / channels : 0; }
};

}  // namespace sound

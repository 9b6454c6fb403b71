// Uncompressed sound in and out.
#include "PcmCodec.h"

namespace sound {

void decodePcm(const uint8_t* data, size_t size, bool sixteenBit, Samples& out) {
  const size_t bytesPerFrame = (sixteenBit ? 2u : 1u) * out.channels;
  const size_t count = (size / bytesPerFrame) * out.channels;
  out.data.reserve(out.data.size() + count);
  for (size_t i = 0; i < count; ++i) {
    if (sixteenBit) out.data.push_back(static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
    else out.data.push_back(static_cast<int16_t>((data[i] - 128) << 8));
  }
}

std::vector<uint8_t> encodePcm(const Samples& samples, bool sixteenBit) {
  std::vector<uint8_t> out;
  out.reserve(samples.data.size() * (sixteenBit ? 2 : 1));
  for (int16_t s : samples.data) {
    if (sixteenBit) {
      out.push_back(static_cast<uint8_t>(s & 0xFF));
      out.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    } else {
      out.push_back(static_cast<uint8_t>((s >> 8) + 128));
    }
  }
  return out;
}

}  // namespace sound

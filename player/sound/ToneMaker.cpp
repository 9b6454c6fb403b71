// Tones, and the uncompressed and ADPCM encodings of them.
#include "ToneMaker.h"

#include <cmath>

#include "AdpcmCodec.h"
#include "PcmCodec.h"

namespace sound {

Samples sineTone(uint32_t rate, uint8_t channels, double frequency, double amplitude, size_t frames) {
  Samples tone;
  tone.rate = rate;
  tone.channels = channels;
  tone.data.reserve(frames * channels);
  const double pi = std::acos(-1.0);
  for (size_t i = 0; i < frames; ++i) {
    const auto s = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * pi * frequency * double(i) / rate)));
    for (uint8_t c = 0; c < channels; ++c) tone.data.push_back(s);
  }
  return tone;
}

std::optional<std::vector<uint8_t>> encodeSoundData(const Samples& samples, const swf::SoundFormat& format) {
  switch (format.codec) {
    case swf::SoundCodec::PcmNative:
    case swf::SoundCodec::PcmLittle: return encodePcm(samples, format.sixteenBit);
    case swf::SoundCodec::Adpcm: return encodeAdpcm(samples, 4);
    default: return std::nullopt;
  }
}

std::vector<uint8_t> defineSoundBody(swf::CharacterId id, const swf::SoundFormat& format, uint32_t sampleCount,
                                     const std::vector<uint8_t>& data) {
  std::vector<uint8_t> body;
  body.reserve(7 + data.size());
  for (uint8_t b : {uint8_t(id), uint8_t(id >> 8), swf::soundFormatByte(format), uint8_t(sampleCount),
                    uint8_t(sampleCount >> 8), uint8_t(sampleCount >> 16), uint8_t(sampleCount >> 24)})
    body.push_back(b);
  for (uint8_t b : data) body.push_back(b);
  return body;
}

}  // namespace sound

// Volume scaling of wave-out buffers as a pure function, and the per-handle records.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/WaveVolume.h"

namespace lumo {
namespace {

std::vector<uint8_t> samples16(std::initializer_list<int16_t> values) {
  std::vector<uint8_t> bytes(values.size() * 2);
  std::memcpy(bytes.data(), values.begin(), bytes.size());
  return bytes;
}

TEST(LoaderWaveVolume, ScalesSamplesByVolume) {
  struct Case {
    const char* what;
    std::vector<uint8_t> input;
    unsigned bytesPerSample;
    uint16_t volume;
    std::vector<uint8_t> expected;
  };
  const Case cases[] = {
      {"full volume leaves 16-bit samples", samples16({32767, -32768, 1, -1}), 2, 65535,
       samples16({32767, -32768, 1, -1})},
      {"half volume rounds toward zero", samples16({1000, -1000, 3, -3, 32767, -32768}), 2, 32768,
       samples16({500, -500, 1, -1, 16383, -16384})},
      {"zero volume silences 16-bit", samples16({1234, -1234}), 2, 0, samples16({0, 0})},
      {"8-bit samples scale around 128", {255, 0, 128, 192}, 1, 32768, {191, 64, 128, 160}},
      {"8-bit at zero volume is silence", {255, 0, 17}, 1, 0, {128, 128, 128}},
      {"a trailing half sample is kept", {0x10, 0x27, 0x7F}, 2, 32768, {0x88, 0x13, 0x7F}},
      {"unknown sample size is left alone", {1, 2, 3, 4}, 0, 100, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> buffer = c.input;
    scaleSamples(buffer.data(), buffer.size(), c.bytesPerSample, c.volume);
    EXPECT_EQ(buffer, c.expected) << c.what;
  }
}

TEST(LoaderWaveVolume, SoundOffWritesSilence) {
  WaveOutState state;
  const auto handle8 = reinterpret_cast<HWAVEOUT>(8);
  const auto handle16 = reinterpret_cast<HWAVEOUT>(16);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
  state.opened(handle8, format);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  state.opened(handle16, format);
  EXPECT_EQ(state.bytesPerSample(handle8), 1u);
  EXPECT_EQ(state.bytesPerSample(handle16), 2u);
  EXPECT_EQ(state.format(handle16)->size(), sizeof(PCMWAVEFORMAT));

  state.setEnabled(false);
  std::vector<uint8_t> eight{1, 2, 250};
  std::vector<uint8_t> sixteen = samples16({300, -300});
  state.prepare(handle8, eight.data(), eight.size());
  state.prepare(handle16, sixteen.data(), sixteen.size());
  EXPECT_EQ(eight, (std::vector<uint8_t>{128, 128, 128}));
  EXPECT_EQ(sixteen, samples16({0, 0}));

  state.setEnabled(true);
  state.setVolume(32768);
  sixteen = samples16({300, -300});
  state.prepare(handle16, sixteen.data(), sixteen.size());
  EXPECT_EQ(sixteen, samples16({150, -150}));

  state.closed(handle16);
  EXPECT_FALSE(state.bytesPerSample(handle16));
  EXPECT_FALSE(state.format(handle16));
  sixteen = samples16({300, -300});
  state.prepare(handle16, sixteen.data(), sixteen.size());  // forgotten: left alone
  EXPECT_EQ(sixteen, samples16({300, -300}));
}

}  // namespace
}  // namespace lumo

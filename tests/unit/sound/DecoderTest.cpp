// Each format the player decodes, heard through the mixer: a sine of known pitch and level
// comes out at 44.1 kHz with that pitch and level; refused codecs say why; bad data is harmless.
#include <gtest/gtest.h>

#include "AdpcmCodec.h"
#include "Listening.h"
#include "Mixer.h"
#include "SoundDecoder.h"
#include "ToneMaker.h"

namespace {

using swf::SoundCodec;

struct ToneCase {
  const char* name;
  SoundCodec codec;
  uint32_t rate;
  bool stereo;
  bool sixteenBit;
  double levelTolerance;  // fraction of the amplitude
};

constexpr double kAmplitude = 16000;
constexpr double kPitch = 441;

const ToneCase kCases[] = {
    {"pcm_little_44k_mono_16", SoundCodec::PcmLittle, 44100, false, true, 0.01},
    {"pcm_native_22k_stereo_16", SoundCodec::PcmNative, 22050, true, true, 0.01},
    {"pcm_little_11k_mono_8", SoundCodec::PcmLittle, 11025, false, false, 0.02},
    {"pcm_native_5k_stereo_8", SoundCodec::PcmNative, 5512, true, false, 0.04},
    {"adpcm_44k_stereo", SoundCodec::Adpcm, 44100, true, true, 0.05},
    {"adpcm_22k_mono", SoundCodec::Adpcm, 22050, false, true, 0.05},
    {"adpcm_5k_mono", SoundCodec::Adpcm, 5512, false, true, 0.08},
    {"mp3_44k_stereo", SoundCodec::Mp3, 44100, true, true, 0.08},
    {"mp3_22k_mono", SoundCodec::Mp3, 22050, false, true, 0.08},
    {"mp3_11k_mono", SoundCodec::Mp3, 11025, false, true, 0.08},
};

swf::DefineSound defineTone(const ToneCase& c, size_t frames) {
  swf::DefineSound define;
  define.id = 1;
  define.format = {c.codec, c.rate, c.sixteenBit, c.stereo};
  define.sampleCount = uint32_t(frames);
  const sound::Samples tone = sound::sineTone(c.rate, c.stereo ? 2 : 1, kPitch, kAmplitude, frames);
  if (c.codec == SoundCodec::Mp3) {
    define.data = {0, 0};  // no seek samples
    std::vector<uint8_t> mp3 = listening::encodeMp3(tone);
    define.data.insert(define.data.end(), mp3.begin(), mp3.end());
  } else {
    define.data = *sound::encodeSoundData(tone, define.format);
  }
  return define;
}

class ToneThroughMixer : public testing::TestWithParam<ToneCase> {};

TEST_P(ToneThroughMixer, KeepsPitchAndLevelOnBothSides) {
  const ToneCase& c = GetParam();
  const size_t frames = c.rate / 2;  // half a second
  std::string why;
  std::optional<sound::Samples> decoded = sound::decodeSound(defineTone(c, frames), why);
  ASSERT_TRUE(decoded) << why;
  if (c.codec == SoundCodec::Mp3) EXPECT_LE(decoded->frames(), frames);
  else EXPECT_EQ(decoded->frames(), frames);
  EXPECT_EQ(decoded->channels, c.stereo ? 2 : 1);

  sound::Mixer mixer;
  ASSERT_NE(mixer.play(std::make_shared<sound::Samples>(*decoded), {}), 0u);
  const std::vector<int16_t> heard = listening::record(mixer, 22050);
  for (int channel : {0, 1}) {
    const listening::Measure m = listening::measure(heard, channel, 4410, 17640);
    EXPECT_NEAR(m.peak, kAmplitude, kAmplitude * c.levelTolerance) << "channel " << channel;
    EXPECT_NEAR(m.frequency, kPitch, kPitch * 0.01) << "channel " << channel;
  }
  // Half a second at any rate is 22050 output frames; the voice has ended by then or just after.
  listening::record(mixer, 4096);
  EXPECT_EQ(mixer.voiceCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneThroughMixer, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ToneCase>& info) { return info.param.name; });

TEST(SoundDecoder, RefusesNellymoserAndSpeexWithTheReason) {
  for (SoundCodec codec : {SoundCodec::Nellymoser, SoundCodec::Nellymoser8k, SoundCodec::Speex}) {
    swf::DefineSound define;
    define.format.codec = codec;
    define.data.assign(100, 0x55);
    std::string why;
    EXPECT_FALSE(sound::decodeSound(define, why));
    EXPECT_NE(why.find(sound::codecName(codec)), std::string::npos) << why;
  }
}

TEST(SoundDecoder, MalformedDataGivesWhatItHoldsOrNothing) {
  std::string why;
  swf::DefineSound define;
  define.format = {SoundCodec::Adpcm, 22050, true, true};
  define.data = {0xC0, 0x12, 0x34};  // a header cut short
  EXPECT_FALSE(sound::decodeSound(define, why));
  define.format.codec = SoundCodec::Mp3;
  define.data.assign(600, 0xFF);  // sync words and nothing else
  define.data[0] = 0x40;          // a seek larger than what decodes
  EXPECT_FALSE(sound::decodeSound(define, why));
  define.format = {SoundCodec::PcmLittle, 44100, true, true};
  define.data = {1, 2, 3};  // less than one stereo frame
  EXPECT_FALSE(sound::decodeSound(define, why));
}

TEST(AdpcmCodec, EveryCodeSizeRoundTripsCloseToTheSource) {
  const sound::Samples tone = sound::sineTone(22050, 1, kPitch, kAmplitude, 9000);  // crosses a packet edge
  for (unsigned bits : {2u, 3u, 4u, 5u}) {
    const std::vector<uint8_t> data = sound::encodeAdpcm(tone, bits);
    sound::Samples decoded;
    decoded.channels = 1;
    sound::decodeAdpcm(data.data(), data.size(), decoded);
    // The last byte's padding bits may read as one more code; DefineSound's count trims it.
    ASSERT_GE(decoded.frames(), tone.frames()) << bits << " bits";
    ASSERT_LE(decoded.frames(), tone.frames() + 1) << bits << " bits";
    double worst = 0;
    for (size_t i = 0; i < tone.data.size(); ++i) worst = std::max(worst, std::abs(double(decoded.data[i] - tone.data[i])));
    // Fewer bits follow the wave more loosely; two bits barely keep up with this slope.
    EXPECT_LT(worst, bits == 2 ? 9000 : bits == 3 ? 3000 : 1200) << bits << " bits";
  }
}

}  // namespace

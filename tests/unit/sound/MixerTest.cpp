// The mixer's voice controls, heard: volume, pan and channel transforms, envelopes, in and out
// points with loops, and streams that wait for data.
#include <gtest/gtest.h>

#include "Listening.h"
#include "Mixer.h"
#include "ToneMaker.h"

namespace {

constexpr double kAmplitude = 16000;

std::shared_ptr<const sound::Samples> tone(uint8_t channels, size_t frames = 44100, uint32_t rate = 44100) {
  return std::make_shared<sound::Samples>(sound::sineTone(rate, channels, 441, kAmplitude, frames));
}

struct TransformCase {
  const char* name;
  uint8_t channels;
  sound::ChannelTransform transform;
  double left, right;  // expected levels as fractions
};

// ActionScript's setVolume(50), setPan(-100) and setPan(50), and setTransform swapping sides of
// a stereo sound whose right channel is silent.
const TransformCase kTransforms[] = {
    {"volume_half", 1, {1, 0, 0, 1, 0.5}, 0.5, 0.5},
    {"pan_left", 1, {1, 0, 0, 0, 1}, 1, 0},
    {"pan_right_half", 2, {0.5, 0, 0, 1, 1}, 0.5, 1},
    {"swap_sides", 2, {0, 1, 0, 0, 1}, 0, 1},
};

TEST(MixerTransform, ScalesAndRoutesEachSide) {
  for (const TransformCase& c : kTransforms) {
    sound::Mixer mixer;
    std::shared_ptr<sound::Samples> source = std::make_shared<sound::Samples>(*tone(c.channels));
    if (std::string(c.name) == "swap_sides")
      for (size_t i = 1; i < source->data.size(); i += 2) source->data[i] = 0;  // right silent
    const sound::VoiceId voice = mixer.play(source, {});
    mixer.setTransform(voice, c.transform);
    const std::vector<int16_t> heard = listening::record(mixer, 8820);
    EXPECT_NEAR(listening::measure(heard, 0, 0, 8820).peak, kAmplitude * c.left, 200) << c.name;
    EXPECT_NEAR(listening::measure(heard, 1, 0, 8820).peak, kAmplitude * c.right, 200) << c.name;
  }
}

TEST(MixerEnvelope, RampsEachSideBetweenPoints) {
  sound::Mixer mixer;
  sound::PlayOptions options;
  // Left fades in over the first 0.2 s; right holds at a quarter.
  options.envelope = {{0, 0, 8192}, {8820, 32768, 8192}};
  mixer.play(tone(1), options);
  const std::vector<int16_t> heard = listening::record(mixer, 17640);
  EXPECT_LT(listening::measure(heard, 0, 0, 400).peak, kAmplitude * 0.05);
  EXPECT_NEAR(listening::measure(heard, 0, 4310, 4510).peak, kAmplitude * 0.5, kAmplitude * 0.03);
  EXPECT_NEAR(listening::measure(heard, 0, 8820, 17640).peak, kAmplitude, 100);
  EXPECT_NEAR(listening::measure(heard, 1, 0, 17640).peak, kAmplitude / 4, 100);
}

TEST(MixerPoints, PlaysFromInToOutPointAsManyTimesAsLooped) {
  sound::Mixer mixer;
  sound::PlayOptions options;
  options.inPoint44 = 4410;
  options.outPoint44 = 8820;  // a tenth of a second, given at 44.1 kHz even for a 22 kHz sound
  options.loops = 3;
  const sound::VoiceId voice = mixer.play(tone(1, 22050, 22050), options);
  listening::record(mixer, 13200);
  std::vector<int16_t> heard;
  EXPECT_TRUE(mixer.active(voice));
  heard = listening::record(mixer, 2048);
  EXPECT_FALSE(mixer.active(voice));
  EXPECT_EQ(mixer.takeFinished(), std::vector<sound::VoiceId>{voice});
  // Three tenths of a second in all: silence follows within this buffer.
  EXPECT_GT(listening::measure(heard, 0, 0, 20).peak, 0);
  EXPECT_EQ(listening::measure(heard, 0, 40, 2048).peak, 0);
}

TEST(MixerVoices, StopsByTagAndOwnerAndReportsOnlyWhatEnded) {
  sound::Mixer mixer;
  int owner = 0;
  const sound::VoiceId a = mixer.play(tone(1), {}, 7);
  const sound::VoiceId b = mixer.play(tone(1), {}, 8, &owner);
  EXPECT_TRUE(mixer.playingTag(7));
  mixer.stopTag(7);
  EXPECT_FALSE(mixer.active(a));
  EXPECT_TRUE(mixer.active(b));
  mixer.stopOwner(&owner);
  EXPECT_EQ(mixer.voiceCount(), 0u);
  EXPECT_TRUE(mixer.takeFinished().empty());
  std::vector<int16_t> silence = listening::record(mixer, 100);
  EXPECT_EQ(listening::measure(silence, 0, 0, 100).peak, 0);
}

TEST(MixerStream, WaitsForBlocksAndCountsOnlyWhatItPlayed) {
  sound::Mixer mixer;
  const sound::VoiceId stream = mixer.openStream(11025, 1, nullptr);
  mixer.append(stream, sound::sineTone(11025, 1, 441, kAmplitude, 1102));  // 0.1 s
  EXPECT_EQ(mixer.buffered(stream), 1102u);
  listening::record(mixer, 8820);  // 0.2 s asked for
  EXPECT_TRUE(mixer.active(stream));
  EXPECT_NEAR(double(mixer.played(stream)), 4408, 8);
  EXPECT_EQ(mixer.buffered(stream), 0u);
  mixer.append(stream, sound::sineTone(11025, 1, 441, kAmplitude, 1102));
  const std::vector<int16_t> heard = listening::record(mixer, 4410);
  EXPECT_NEAR(listening::measure(heard, 0, 0, 4000).peak, kAmplitude, 300);
}

}  // namespace

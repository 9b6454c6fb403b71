// A movie's sound tags played by its timelines: StartSound with its sync flags, StartSound2 by
// export name, button sounds, refused codecs, and a stream fed frame by frame in step.
#include <gtest/gtest.h>

#include "../display/MovieFixture.h"
#include "Listening.h"
#include "MoviePlayer.h"
#include "PointerTracker.h"
#include "MovieSounds.h"
#include "TagCodes.h"
#include "ToneMaker.h"

namespace {

constexpr double kAmplitude = 12000;
const swf::SoundFormat kPcm11Mono{swf::SoundCodec::PcmLittle, 11025, true, false};

void defineTone(fixture::Movie& movie, swf::CharacterId id, swf::SoundFormat format = kPcm11Mono,
                double frequency = 441) {
  const sound::Samples tone = sound::sineTone(11025, 1, frequency, kAmplitude, 5512);
  std::vector<uint8_t> data = sound::encodeSoundData(tone, kPcm11Mono).value();
  movie.add(swf::RawCharacter{id, swf::tag::kDefineSound, sound::defineSoundBody(id, format, 5512, data)});
}

// Out of line: GCC's flow analysis otherwise warns about the variant's other alternatives.
[[gnu::noinline]] void addSoundTag(swf::Frame& frame, uint16_t code, std::vector<uint8_t> body) {
  frame.tags.emplace_back(std::in_place_type<swf::SoundTag>, swf::SoundTag{code, std::move(body)});
}

swf::StartSound startSound(swf::CharacterId id, swf::SoundInfo info = {}) { return {id, swf::writeSoundInfo(info)}; }

struct Playing {
  explicit Playing(fixture::Movie& movie) : player(movie.data), sounds(movie.data, mixer) {
    player.attachSounds(&sounds);
  }
  sound::Mixer mixer;
  display::MoviePlayer player;
  sound::MovieSounds sounds;
};

TEST(MovieSounds, StartSoundHonoursNoMultipleAndStop) {
  fixture::Movie movie;
  defineTone(movie, 5);
  swf::SoundInfo noMultiple, stop;
  noMultiple.noMultiple = true;
  stop.stop = true;
  movie.frame(1).tags.push_back(startSound(5));
  movie.frame(2).tags.push_back(startSound(5, noMultiple));
  movie.frame(3).tags.push_back(startSound(5));
  movie.frame(4).tags.push_back(startSound(5, stop));
  Playing p(movie);
  const size_t expected[] = {1, 1, 2, 0};
  for (size_t voices : expected) {
    p.player.advance();
    EXPECT_EQ(p.mixer.voiceCount(), voices) << "frame " << p.player.root().currentFrame();
  }
  EXPECT_EQ(p.sounds.takeNotes(), (std::vector<std::string>{"sound-start 5", "sound-start 5"}));
}

TEST(MovieSounds, StartSound2FindsTheSoundByExportNameAndButtonsByTransition) {
  fixture::Movie movie;
  defineTone(movie, 5);
  movie.data->exports.push_back({5, "Tone"});
  std::vector<uint8_t> body{'t', 'o', 'n', 'e', 0};
  const std::vector<uint8_t> info = swf::writeSoundInfo({});
  body.insert(body.end(), info.begin(), info.end());
  addSoundTag(movie.frame(1), swf::tag::kStartSound2, body);
  // DefineButtonSound for button 9: sound 5 only on idle to over-up.
  movie.data->characterInfo.push_back({9, swf::tag::kDefineButtonSound, {9, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0}});
  Playing p(movie);
  p.player.advance();
  EXPECT_EQ(p.mixer.voiceCount(), 1u);
  p.sounds.buttonTransition(9, 0);
  EXPECT_EQ(p.mixer.voiceCount(), 1u);
  p.sounds.buttonTransition(9, 1);
  EXPECT_EQ(p.mixer.voiceCount(), 2u);
  const std::vector<int16_t> heard = listening::record(p.mixer, 4410);
  EXPECT_NEAR(listening::measure(heard, 0, 100, 4410).peak, 2 * kAmplitude, 400);  // two alike, in phase
}

// A one-state button (shape 10 in every state) placed at depth 1, with its four sounds.
void addSoundedButton(fixture::Movie& movie, const std::vector<uint8_t>& buttonSound) {
  movie.add(fixture::rectangle(10, 20, 20, {255, 0, 0, 255}));
  // DefineButton2 9: no menu, no actions; one record (all states, shape 10, depth 1).
  movie.add(swf::RawCharacter{9, swf::tag::kDefineButton2, {9, 0, 0, 0, 0, 0x0F, 10, 0, 1, 0, 0, 0, 0}});
  movie.data->characterInfo.push_back({9, swf::tag::kDefineButtonSound, buttonSound});
  movie.frame(1).tags.push_back(fixture::place(1, 9));
}

TEST(MovieSounds, ButtonStateChangesPlayTheirSoundsWithTheirInfo) {
  fixture::Movie movie;
  // Roll out 441 Hz, roll over 882 Hz, press 1225 Hz at half level by its envelope, release
  // none; drags and release outside have no sound of their own.
  const double kPitch[] = {441, 882, 1225};
  for (swf::CharacterId id = 5; id <= 7; ++id) defineTone(movie, id, kPcm11Mono, kPitch[id - 5]);
  swf::SoundInfo halved;
  halved.envelope = {{0, 16384, 16384}};
  std::vector<uint8_t> body{9, 0, 5, 0};
  const std::vector<uint8_t> plain = swf::writeSoundInfo({}), half = swf::writeSoundInfo(halved);
  body.insert(body.end(), plain.begin(), plain.end());
  body.insert(body.end(), {6, 0});
  body.insert(body.end(), plain.begin(), plain.end());
  body.insert(body.end(), {7, 0});
  body.insert(body.end(), half.begin(), half.end());
  body.insert(body.end(), {0, 0});
  addSoundedButton(movie, body);
  Playing p(movie);
  p.player.advance();
  auto button = std::dynamic_pointer_cast<display::ButtonObject>(p.player.root().children().children().at(1));
  ASSERT_TRUE(button);
  display::PointerTracker tracker;
  enum Step { Over, Out, Press, Release };
  const struct {
    Step step;
    bool onButton;
    double pitch, level;  // 0: silence
  } steps[] = {
      {Over, true, 882, kAmplitude},     {Press, true, 1225, kAmplitude / 2}, {Over, false, 0, 0},
      {Over, true, 0, 0},                {Release, true, 0, 0},               {Out, false, 441, kAmplitude},
      {Over, true, 882, kAmplitude},     {Press, true, 1225, kAmplitude / 2}, {Release, false, 0, 0},
  };
  int n = 0;
  for (const auto& s : steps) {
    const std::shared_ptr<display::ButtonObject> target = s.onButton ? button : nullptr;
    if (s.step == Press) tracker.press(target);
    else if (s.step == Release) tracker.release(target);
    else tracker.move(target);
    // Each sound lasts half a second: a second's listening hears it whole and ends it.
    const std::vector<int16_t> heard = listening::record(p.mixer, 44100);
    const listening::Measure m = listening::measure(heard, 0, 0, 11025);
    EXPECT_NEAR(m.peak, s.level, 300) << "step " << n;
    if (s.pitch > 0) {
      EXPECT_NEAR(m.frequency, s.pitch, 4) << "step " << n;
    }
    ++n;
  }
}

TEST(MovieSounds, RefusedCodecIsNotedOnceAndEndedSoundsAreNoted) {
  fixture::Movie movie;
  defineTone(movie, 5);
  defineTone(movie, 6, {swf::SoundCodec::Nellymoser, 11025, true, false});
  movie.frame(1).tags.push_back(startSound(6));
  movie.frame(1).tags.push_back(startSound(5));
  movie.frame(2).tags.push_back(startSound(6));
  Playing p(movie);
  p.player.advance();
  p.player.advance();
  listening::record(p.mixer, 44100);
  EXPECT_EQ(p.sounds.takeNotes(), (std::vector<std::string>{"sound-refused 6 \"Nellymoser is not decoded\"",
                                                             "sound-start 5", "sound-end 5"}));
}

TEST(MovieSounds, StreamBlocksPlayInStepWithTheFrames) {
  fixture::Movie movie;
  movie.data->frameRate = 10;
  const std::vector<uint8_t> headBody{swf::soundFormatByte(kPcm11Mono), swf::soundFormatByte(kPcm11Mono), 0x4E, 0x04};
  addSoundTag(movie.frame(1), swf::tag::kSoundStreamHead2, headBody);
  // Twenty frames, each a tenth of a second of the tone (1102 or 1103 samples, as authoring
  // tools split 11025 a second into ten blocks).
  const sound::Samples tone = sound::sineTone(11025, 1, 441, kAmplitude, 22050);
  for (size_t frame = 1, at = 0; frame <= 20; ++frame) {
    const size_t next = frame * 11025 / 10;
    sound::Samples block{11025, 1, {tone.data.begin() + std::ptrdiff_t(at), tone.data.begin() + std::ptrdiff_t(next)}};
    addSoundTag(movie.frame(frame), swf::tag::kSoundStreamBlock, sound::encodeSoundData(block, kPcm11Mono).value());
    at = next;
  }
  Playing p(movie);
  std::vector<int16_t> heard;
  for (int frame = 1; frame <= 15; ++frame) {
    p.player.advance();
    const std::vector<int16_t> part = listening::record(p.mixer, 4410);
    heard.insert(heard.end(), part.begin(), part.end());
    const std::optional<double> lead = p.sounds.streamLead(&p.player.root());
    ASSERT_TRUE(lead);
    EXPECT_NEAR(*lead, 0, 0.05) << "frame " << frame;
  }
  const listening::Measure m = listening::measure(heard, 1, 0, heard.size() / 2);
  EXPECT_NEAR(m.peak, kAmplitude, 200);
  EXPECT_NEAR(m.frequency, 441, 3);
  // A stopped timeline feeds nothing more: the stream falls behind its frames no further, and
  // the audio heard ahead of the frames shows as a negative lead.
  p.player.root().stop();
  p.player.advance();
  listening::record(p.mixer, 4410);
  EXPECT_NEAR(*p.sounds.streamLead(&p.player.root()), 0, 0.05);
}

}  // namespace

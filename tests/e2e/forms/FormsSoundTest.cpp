// A movie's sound heard through a real projector: the player mixes it and writes it through
// waveOut, which the runtime's host hooks; the test machine's device takes the writes, and the
// player's record of each buffer as written is measured here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Compiler.h"
#include "FormsFixture.h"
#include "support/WindowMode.h"

namespace lumo::e2e {
namespace {

// Half a second of a 441 Hz sine at 12000, stored as ADPCM at 22 kHz; it starts in frame 1 and
// again, half as loud on the left by its envelope, in frame 3, where the movie stops.
constexpr char kScene[] =
    "tone 1 adpcm 22050 16 mono 441 500 12000\n"
    "start-sound 1\n"
    "frame\n"
    "frame\n"
    "start-sound 1 envelope 0:16384:32768\n"
    "action 0700\n"  // stop: the movie does not loop back to frame 1
    "frame\n";

struct Heard {
  double leftPeak = 0, rightPeak = 0;
  double frequency = 0;  // of the left channel, from rising zero crossings
  size_t soundingFrames = 0;  // frames that are not silent
};

Heard listen(const std::vector<int16_t>& stereo, size_t first, size_t last) {
  Heard h;
  size_t crossings = 0, firstCrossing = 0, lastCrossing = 0;
  for (size_t i = first; i < last && 2 * i + 1 < stereo.size(); ++i) {
    h.leftPeak = std::max(h.leftPeak, std::abs(double(stereo[2 * i])));
    h.rightPeak = std::max(h.rightPeak, std::abs(double(stereo[2 * i + 1])));
    if (i > first && stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) {
      if (crossings++ == 0) firstCrossing = i;
      lastCrossing = i;
    }
  }
  if (crossings > 1) h.frequency = double(crossings - 1) * 44100.0 / double(lastCrossing - firstCrossing);
  return h;
}

TEST(FormsSound, EventSoundsReachTheWaveOutputMixedAndEnveloped) {
  FormsProjector projector({{L"sound.swf", "log started\n", 8, "--size 100x100 --rate 10 --scene scene.txt"}},
                           R"({"title": "Sound", "forms": [
                              {"name": "main", "windowTitle": "sound", "movie": "sound.swf",
                               "width": 100, "height": 100, "visibleAtStart": true}]})",
                           {{L"scene.txt", kScene}});
  ASSERT_TRUE(projector.built());
  const std::wstring record = projector.folder().file(L"sound.raw");
  SetEnvironmentVariableW(L"LUMO_PLAYER_SOUND_RECORD", record.c_str());
  const bool started = projector.start();
  SetEnvironmentVariableW(L"LUMO_PLAYER_SOUND_RECORD", nullptr);
  ASSERT_TRUE(started);
  ASSERT_TRUE(projector.waitFor("sound-device 44100 2 16")) << "the wave output did not open";
  // Both plays end: the device took every buffer and gave it back.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    size_t ends = 0;
    for (const std::string& line : projector.transcript()) ends += line == "sound-end 1";
    if (ends == 2) break;
    Sleep(50);
  }
  projector.process().kill();

  std::ifstream in(std::filesystem::path(record), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(bytes.size() % 4096, 0u) << "whole buffers of 1024 stereo 16-bit frames";
  std::vector<int16_t> stereo(bytes.size() / 2);
  std::memcpy(stereo.data(), bytes.data(), bytes.size());
  const size_t frames = stereo.size() / 2;
  // Where each play starts: the first sounding frame, and the first after a long silence or a
  // jump in level (the two plays may overlap or not, by how fast the device takes buffers).
  size_t first = 0;
  while (first < frames && stereo[2 * first] == 0 && stereo[2 * first + 1] == 0) ++first;
  ASSERT_LT(first, frames) << "nothing but silence was written";
  const Heard opening = listen(stereo, first + 441, first + 4410);
  EXPECT_NEAR(opening.rightPeak, 12000, 700);
  EXPECT_NEAR(opening.frequency, 441, 5);
  const Heard all = listen(stereo, first, frames);
  // Two plays of 22050 frames each at most at 12000 per channel each: where they overlap the
  // right side sums to twice the level, the left (halved in the second) to one and a half.
  EXPECT_LE(all.rightPeak, 24000 + 1000);
  EXPECT_LE(all.leftPeak, 18000 + 1000);
  size_t sounding = 0;
  for (size_t i = first; i < frames; ++i) sounding += stereo[2 * i] != 0 || stereo[2 * i + 1] != 0;
  EXPECT_GE(sounding, 22050u) << "at least one whole play";
  EXPECT_LE(sounding, 44100u + 1024u) << "no more than two plays";
  // The second play's left side is half its right: somewhere the right is louder than the
  // left by more than the first play alone could make it.
  bool halved = false;
  for (size_t i = first; i < frames && !halved; ++i)
    halved = std::abs(stereo[2 * i + 1]) > 9000 && std::abs(stereo[2 * i]) < std::abs(stereo[2 * i + 1]) * 0.6 &&
             std::abs(stereo[2 * i + 1]) - std::abs(stereo[2 * i]) > 3000;
  EXPECT_TRUE(halved) << "the envelope's halved left side was not heard";
}

// A Sound object attaches the exported tone, plays it at half volume panned hard left, and hears
// onSoundComplete with the sound's duration.
TEST(FormsSound, ASoundObjectPlaysAnExportedSoundAndHearsItsEnd) {
  const std::vector<uint8_t> code = as2c::compileActions(
      "var s = new Sound(this); s.attachSound(\"beep\"); s.setVolume(50); s.setPan(-100);"
      "s.onSoundComplete = function() { trace(\"complete \" + s.duration + \" \" + s.getVolume()); };"
      "s.start(); stop();", 8);
  std::string scene = "tone 1 pcm-le 44100 16 mono 441 300 12000\nexport 1 beep\naction ";
  for (uint8_t b : code) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", b);
    scene += hex;
  }
  scene += "\nframe\n";
  FormsProjector projector({{L"object.swf", "log started\n", 8, "--size 100x100 --rate 10 --scene scene.txt"}},
                           R"({"title": "Sound", "forms": [
                              {"name": "main", "windowTitle": "sound", "movie": "object.swf",
                               "width": 100, "height": 100, "visibleAtStart": true}]})",
                           {{L"scene.txt", scene}});
  ASSERT_TRUE(projector.built());
  const std::wstring record = projector.folder().file(L"sound.raw");
  SetEnvironmentVariableW(L"LUMO_PLAYER_SOUND_RECORD", record.c_str());
  const bool started = projector.start();
  SetEnvironmentVariableW(L"LUMO_PLAYER_SOUND_RECORD", nullptr);
  ASSERT_TRUE(started);
  EXPECT_TRUE(projector.waitFor("trace \"complete 300 50\"", 20000));
  projector.process().kill();

  std::ifstream in(std::filesystem::path(record), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> stereo(bytes.size() / 2);
  std::memcpy(stereo.data(), bytes.data(), stereo.size() * 2);
  const Heard heard = listen(stereo, 0, stereo.size() / 2);
  EXPECT_NEAR(heard.leftPeak, 6000, 100);
  EXPECT_EQ(heard.rightPeak, 0);
}

}  // namespace
}  // namespace lumo::e2e

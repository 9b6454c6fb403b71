// Sound.loadSound through the movie's sound bridge: MP3 files served by a stand-in for the
// player's loads, reported a frame later (onID3, onLoad), played as event or streaming sounds
// and heard in the mixer; files that are missing or no MP3 fail without a voice.
#include <gtest/gtest.h>

#include <map>

#include "../display/MovieFixture.h"
#include "Compiler.h"
#include "Listening.h"
#include "Machine.h"
#include "Mp3File.h"
#include "MovieSoundBridge.h"
#include "ToneMaker.h"
#include "globals/Globals.h"

namespace {

constexpr double kAmplitude = 12000;

class TraceHost : public avm1::Host {
 public:
  std::string out;
  void trace(const std::string& line) override { out += line + "\n"; }
  void getUrl(const std::string&, const std::string&) override {}
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return {}; }
};

// An ID3v2.3 tag of text frames (ISO-8859-1), put before MP3 frames.
std::vector<uint8_t> id3Tag(const std::vector<std::pair<std::string, std::string>>& frames) {
  std::vector<uint8_t> body;
  for (const auto& [id, text] : frames) {
    body.insert(body.end(), id.begin(), id.end());
    const uint32_t size = uint32_t(text.size() + 1);
    body.insert(body.end(), {uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size), 0, 0, 0});
    body.insert(body.end(), text.begin(), text.end());
  }
  const size_t n = body.size();
  std::vector<uint8_t> tag{'I', 'D', '3', 3, 0, 0, uint8_t(n >> 21 & 0x7F), uint8_t(n >> 14 & 0x7F),
                           uint8_t(n >> 7 & 0x7F), uint8_t(n & 0x7F)};
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

struct Loading {
  Loading() {
    const std::vector<uint8_t> mp3 = listening::encodeMp3(sound::sineTone(44100, 1, 441, kAmplitude, 22050));
    files["tone.mp3"] = mp3;
    files["tagged.mp3"] = id3Tag({{"TIT2", "Tone"}, {"TPE1", "Lumo"}});
    files["tagged.mp3"].insert(files["tagged.mp3"].end(), mp3.begin(), mp3.end());
    files["junk.mp3"] = std::vector<uint8_t>(3000, 0x55);
    machine.setSoundBridge(&bridge);
    bridge.setRequest([this](int id, const std::string& url) {
      auto it = files.find(url);
      bridge.loaded(id, it == files.end() ? std::nullopt : std::optional(it->second));
    });
  }
  std::string run(const std::string& source) {
    machine.runActions(std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(source, 8), 8}), machine.root());
    return take();
  }
  std::string take() {
    std::string out;
    out.swap(host.out);
    return out;
  }
  // One frame later: the loads are reported, then `seconds` of output are heard.
  std::vector<int16_t> frame(double seconds) {
    bridge.deliverLoads(machine);
    const std::vector<int16_t> heard = listening::record(mixer, size_t(seconds * 44100));
    sounds.takeNotes();
    for (sound::VoiceId voice : sounds.takeEnded()) avm1::soundCompleted(machine, voice);
    return heard;
  }
  double number(const std::string& name) { return machine.getVariable(name).number(); }

  std::map<std::string, std::vector<uint8_t>> files;
  fixture::Movie movie;
  sound::Mixer mixer;
  sound::MovieSounds sounds{movie.data, mixer};
  clips::MovieSoundBridge bridge{[this] { return &sounds; }, mixer};
  TraceHost host;
  avm1::Machine machine{8, host};
};

TEST(LoadSound, EventSoundLoadsThenStartsAndCompletes) {
  Loading l;
  // Starts asked for while the file loads play once it is there; onLoad comes a frame later.
  EXPECT_EQ(l.run("var s = new Sound(); s.onLoad = function(ok) { trace('load ' + ok + ' ' + s.getBytesTotal());"
                  " d = s.duration; }; s.onSoundComplete = function() { trace('complete ' + s.position); };"
                  "trace(s.getBytesTotal()); s.loadSound('tone.mp3', false); trace(s.duration + ' ' + s.getBytesLoaded());"
                  "s.start();"),
            "undefined\n0 0\n");
  EXPECT_EQ(l.mixer.voiceCount(), 0u);
  const std::vector<int16_t> heard = l.frame(0.2);
  EXPECT_EQ(l.take(), "load true " + std::to_string(l.files["tone.mp3"].size()) + "\n");
  // Half a second of tone, give or take the encoder's delay and padding the file keeps.
  EXPECT_NEAR(l.number("d"), 520, 40);
  const listening::Measure m = listening::measure(heard, 0, 4410, 8820);
  EXPECT_NEAR(m.peak, kAmplitude, 600);
  EXPECT_NEAR(m.frequency, 441, 4);
  l.frame(1);
  EXPECT_EQ(l.take(), "complete " + std::to_string(int(l.number("d"))) + "\n");
}

TEST(LoadSound, StreamingSoundPlaysWhenItArrivesAndId3ComesFirst) {
  Loading l;
  l.run("var s = new Sound(); s.onID3 = function() { trace('id3 ' + s.id3.songname + ' ' + s.id3.TPE1 + ' ' +"
        " s.getDuration()); }; s.onLoad = function(ok) { trace('load ' + ok + ' ' + (s.getDuration() > 0)); };"
        "s.loadSound('tagged.mp3', true);");
  const std::vector<int16_t> heard = l.frame(0.2);
  EXPECT_EQ(l.take(), "id3 Tone Lumo 0\nload true true\n");
  EXPECT_NEAR(listening::measure(heard, 1, 4410, 8820).frequency, 441, 4);
}

TEST(LoadSound, BadFilesFailAndOnlyTheLatestLoadReports) {
  Loading l;
  l.run("function watch(s, name) { s.onLoad = function(ok) { trace(name + ' ' + ok + ' ' + s.duration); }; }"
        "var a = new Sound(); watch(a, 'missing'); a.loadSound('nowhere.mp3', false); a.start();"
        "var b = new Sound(); watch(b, 'junk'); b.loadSound('junk.mp3', true);"
        "var c = new Sound(); watch(c, 'replaced'); c.loadSound('junk.mp3', false); c.loadSound('tone.mp3', false);");
  l.frame(0.1);
  EXPECT_EQ(l.take(), "missing false 0\njunk false 0\nreplaced true " + std::to_string(int(l.number("c.duration"))) + "\n");
  EXPECT_EQ(l.mixer.voiceCount(), 0u);
}

TEST(LoadSound, Id3TextFramesInTheirEncodings) {
  // UTF-16 with a byte order mark, then a comment with a description before its text.
  std::vector<uint8_t> tag{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};
  const std::vector<uint8_t> frames[] = {
      {'T', 'I', 'T', '2', 0, 0, 0, 7, 0, 0, 1, 0xFF, 0xFE, 'H', 0, 0xE9, 0},
      {'C', 'O', 'M', 'M', 0, 0, 0, 10, 0, 0, 3, 'e', 'n', 'g', 'd', 0, 'N', 'i', 'c', 'e'},
      {'T', 'Y', 'E', 'R', 0, 0, 0, 50, 0, 0, 0, '1', '9'},  // runs past the tag: dropped
  };
  for (const auto& f : frames) tag.insert(tag.end(), f.begin(), f.end());
  tag[9] = uint8_t(tag.size() - 10 - 13);
  const std::optional<sound::Id3Frames> id3 = sound::readId3(tag);
  ASSERT_TRUE(id3);
  EXPECT_EQ(*id3, (sound::Id3Frames{{"TIT2", "H\xC3\xA9"}, {"COMM", "Nice"}}));
  EXPECT_FALSE(sound::readId3({'I', 'D'}));
}

}  // namespace

// The Sound class against a recording sound bridge: what a script asks of the player's sound,
// what it reads back, and onSoundComplete when the player reports a voice ended.
#include "Compiler.h"
#include "Machine.h"
#include "globals/Globals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TraceHost : public avm1::Host {
 public:
  std::string out;
  void trace(const std::string& line) override { out += line + "\n"; }
  void getUrl(const std::string&, const std::string&) override {}
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return {}; }
};

class RecordingBridge : public avm1::SoundBridge {
 public:
  std::vector<std::string> calls;
  int exportedSound(const std::string& name) override { return name == "beep" ? 7 : 0; }
  double durationMs(int sound) override { return sound == 7 ? 1500.4 : 0; }
  uint32_t start(int sound, double offset, int loops) override {
    calls.push_back("start " + std::to_string(sound) + " " + std::to_string(int(offset * 1000)) + " " +
                    std::to_string(loops));
    return 41;
  }
  void stopVoice(uint32_t voice) override { calls.push_back("stopVoice " + std::to_string(voice)); }
  void stopSound(int sound) override { calls.push_back("stopSound " + std::to_string(sound)); }
  void stopAll() override { calls.push_back("stopAll"); }
  double positionMs(uint32_t voice) override { return voice == 41 ? 250.7 : 0; }
  void shape(uint32_t voice, const avm1::SoundTransform& t, double volume) override {
    calls.push_back("shape " + std::to_string(voice) + " " + std::to_string(int(t.ll)) + " " + std::to_string(int(t.lr)) +
                    " " + std::to_string(int(t.rl)) + " " + std::to_string(int(t.rr)) + " " + std::to_string(int(volume)));
  }
};

struct SoundRun {
  TraceHost host;
  RecordingBridge bridge;
  avm1::Machine machine{8, host};
  explicit SoundRun(bool withBridge = true) {
    if (withBridge) machine.setSoundBridge(&bridge);
  }
  std::string operator()(const std::string& source) {
    machine.runActions(std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(source, 8), 8}), machine.root());
    return host.out;
  }
};

TEST(Avm1Sound, DrivesThePlayersSoundAndReadsItBack) {
  SoundRun run;
  EXPECT_EQ(run("var s = new Sound(this); s.attachSound(\"nothing\"); s.start(); trace(s.duration);"
                "s.attachSound(\"beep\"); trace(s.duration); s.setVolume(50); s.start(0.5, 3);"
                "trace(s.position); trace(s.getVolume()); s.setPan(-40); trace(s.getPan());"
                "s.setTransform({ll: 20, rl: 80}); var t = s.getTransform(); trace(t.ll + \",\" + t.lr + \",\" + t.rl + \",\" + t.rr);"
                "s.stop(); s.stop(\"beep\"); new Sound().stop(); for (var k in s) trace(k);"),
            "undefined\n1500\n250\n50\n-40\n20,0,80,60\n");
  EXPECT_EQ(run.bridge.calls, (std::vector<std::string>{"start 7 500 3", "shape 41 100 0 0 100 50",
                                                         "shape 41 100 0 0 60 50", "shape 41 20 0 80 60 50",
                                                         "stopVoice 41", "stopSound 7", "stopAll"}));
}

TEST(Avm1Sound, VolumeBelongsToTheTargetAndAMissingTargetHasNone) {
  SoundRun run;
  // Sounds without a target share one volume; one whose target is not there attaches, starts
  // and reads nothing. Levels are 32-bit: what does not fit reads as the least.
  EXPECT_EQ(run("var a = new Sound(); var b = new Sound(); a.setVolume(30); trace(b.getVolume());"
                "var c = new Sound('nowhere'); c.attachSound('beep'); c.start(); c.setVolume(5);"
                "trace(c.getVolume() + ' ' + c.duration + ' ' + a.getVolume());"
                "a.setVolume(2147483648); trace(b.getVolume()); a.setPan(NaN); trace(a.getPan());"),
            "30\nundefined undefined 30\n-2147483648\n2147483448\n");
  EXPECT_TRUE(run.bridge.calls.empty());
}

TEST(Avm1Sound, OnSoundCompleteRunsWhenThePlayerReportsTheEnd) {
  SoundRun run;
  run("var s = new Sound(); s.attachSound(\"beep\"); s.onSoundComplete = function() { trace(\"done \" + (this == s)); };"
      "s.start();");
  avm1::soundCompleted(run.machine, 40);  // not its voice
  avm1::soundCompleted(run.machine, 41);
  avm1::soundCompleted(run.machine, 41);  // reported once only
  EXPECT_EQ(run.host.out, "done true\n");
}

TEST(Avm1Sound, WithoutAPlayerItIsSilent) {
  SoundRun run(false);
  EXPECT_EQ(run("var s = new Sound(); s.attachSound(\"beep\"); s.start(); s.stop();"
                "trace(s.duration + \" \" + s.position + \" \" + s.getVolume() + \" \" + s.getPan());"),
            "undefined undefined 100 0\n");
}

}  // namespace

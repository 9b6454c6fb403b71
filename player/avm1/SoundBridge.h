// What ActionScript 2's Sound class asks of the player around the machine: sounds by export
// name, voices started, stopped and shaped, and their positions. The player reports a voice
// that ended with soundCompleted (globals/Globals.h), which calls the object's onSoundComplete,
// and a file that loaded (or failed to) with soundLoaded, which calls onID3 and onLoad.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace avm1 {

// setTransform's percentages: how much of each input channel reaches each output channel.
struct SoundTransform {
  double ll = 100, lr = 0, rl = 0, rr = 100;
};

// What a loaded MP3 file reports: its size and its ID3v2 tag's text frames (frame id, UTF-8).
struct LoadedSound {
  bool success = false;
  bool streaming = false;
  double bytes = 0;
  bool hasId3 = false;
  std::vector<std::pair<std::string, std::string>> id3;
};

class SoundBridge {
 public:
  virtual ~SoundBridge() = default;
  virtual int exportedSound(const std::string& name) = 0;  // 0 when the movie exports none by that name
  virtual double durationMs(int sound) = 0;
  // 0 when nothing started. The offset is in seconds into the sound.
  virtual uint32_t start(int sound, double offsetSeconds, int loops) = 0;
  virtual void stopVoice(uint32_t voice) = 0;
  virtual void stopSound(int sound) = 0;
  virtual void stopAll() = 0;
  virtual double positionMs(uint32_t voice) = 0;
  virtual void shape(uint32_t voice, const SoundTransform& transform, double volume) = 0;
  // loadSound: an MP3 file by URL under a new sound id, given at once; the player reports the
  // end with soundLoaded (globals/Globals.h), never from inside this call. 0: nothing loads.
  virtual int loadSound(const std::string& /*url*/, bool /*streaming*/) { return 0; }
};

}  // namespace avm1

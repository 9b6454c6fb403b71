// What ActionScript 2's Sound class asks of the player around the machine: sounds by export
// name, voices started, stopped and shaped, and their positions. The player reports a voice
// that ended with soundCompleted (globals/Globals.h), which calls the object's onSoundComplete.
#pragma once

#include <cstdint>
#include <string>

namespace avm1 {

// setTransform's percentages: how much of each input channel reaches each output channel.
struct SoundTransform {
  double ll = 100, lr = 0, rl = 0, rr = 100;
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
};

}  // namespace avm1

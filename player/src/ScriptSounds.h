// The sound bridge of the player's AVM1 machine: ActionScript's Sound objects play the movie's
// exported sounds through the movie's sounds and the player's mixer.
#pragma once

#include "Mixer.h"
#include "SoundBridge.h"

class MovieView;

class ScriptSounds final : public avm1::SoundBridge {
 public:
  ScriptSounds(MovieView& view, sound::Mixer& mixer) : view_(view), mixer_(mixer) {}

  int exportedSound(const std::string& name) override;
  double durationMs(int sound) override;
  uint32_t start(int sound, double offsetSeconds, int loops) override;
  void stopVoice(uint32_t voice) override { mixer_.stop(voice); }
  void stopSound(int sound) override { mixer_.stopTag(static_cast<uint32_t>(sound)); }
  void stopAll() override { mixer_.stopAll(); }
  double positionMs(uint32_t voice) override { return mixer_.positionMs(voice); }
  void shape(uint32_t voice, const avm1::SoundTransform& transform, double volume) override;

 private:
  MovieView& view_;
  sound::Mixer& mixer_;
};

// ActionScript's Sound objects on a movie's sounds and the player's mixer: exported sounds by
// name, voices started, stopped and shaped, and MP3 files that loadSound fetches through the
// player, decoded here and reported to the machine on the next frame.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Machine.h"
#include "Mixer.h"
#include "MovieSounds.h"
#include "SoundBridge.h"

namespace clips {

class MovieSoundBridge : public avm1::SoundBridge {
 public:
  // The movie's sounds may change under the bridge (another movie loaded): it asks each time.
  using SoundsOf = std::function<sound::MovieSounds*()>;
  // Fetches `url` for sound `sound`; the player answers with loaded(), at once or later.
  using Request = std::function<void(int sound, const std::string& url)>;

  MovieSoundBridge(SoundsOf sounds, sound::Mixer& mixer) : sounds_(std::move(sounds)), mixer_(mixer) {}
  void setRequest(Request request) { request_ = std::move(request); }

  int exportedSound(const std::string& name) override;
  double durationMs(int sound) override;
  uint32_t start(int sound, double offsetSeconds, int loops) override;
  void stopVoice(uint32_t voice) override { mixer_.stop(voice); }
  void stopSound(int sound) override { mixer_.stopTag(static_cast<uint32_t>(sound)); }
  void stopAll() override { mixer_.stopAll(); }
  double positionMs(uint32_t voice) override { return mixer_.positionMs(voice); }
  void shape(uint32_t voice, const avm1::SoundTransform& transform, double volume) override;
  int loadSound(const std::string& url, bool streaming) override;

  // The bytes of a requested file; nothing when it could not be read.
  void loaded(int sound, const std::optional<std::vector<uint8_t>>& bytes);
  // Tells the machine of the files that arrived since the last call (onID3, onLoad), and of
  // those its handlers load that arrive meanwhile.
  void deliverLoads(avm1::Machine& machine);

 private:
  SoundsOf sounds_;
  sound::Mixer& mixer_;
  Request request_;
  std::map<int, bool> requested_;  // sound id: streaming
  std::vector<std::pair<int, avm1::LoadedSound>> arrived_;
};

}  // namespace clips

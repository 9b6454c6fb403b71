// One movie's sounds between its timelines and the mixer: DefineSound decoded once on first
// use, StartSound and StartSound2 with their sound info, each timeline's stream sound fed
// block by block, button sounds, and how far a stream's frames run ahead of its audio.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Mixer.h"
#include "SoundDecoder.h"
#include "SwfMovieData.h"

namespace sound {

class MovieSounds {
 public:
  MovieSounds(std::shared_ptr<const swf::MovieData> movie, Mixer& mixer);

  // A frame tag a timeline runs; tags that are not about sound are ignored.
  void frameTag(const void* timeline, const swf::FrameTag& tag);
  // Starts (or, with the stop flag, stops) a defined sound as StartSound does.
  // Ids past the character range are sounds added by addSound.
  VoiceId start(uint32_t id, const swf::SoundInfo& info, const void* owner = nullptr);
  // A button's state change: 0 over-up to idle, 1 idle to over-up, 2 over-up to over-down,
  // 3 over-down to over-up.
  void buttonTransition(swf::CharacterId button, int transition);
  // The timeline is gone: its stream ends with it.
  void timelineGone(const void* timeline);

  // The decoded sound of a DefineSound id; nullptr when there is none or it does not decode.
  std::shared_ptr<const Samples> sound(uint32_t id);
  // An id of its own for a sound from outside the movie (Sound.loadSound's files), past the
  // character range; it has no samples until setSound gives them.
  uint32_t addSound();
  void setSound(uint32_t id, std::shared_ptr<const Samples> samples);
  std::optional<swf::CharacterId> exportedSound(std::string_view name) const;

  // How many frames the timeline's stream blocks lead the audio heard so far; nothing while the
  // timeline has no stream playing.
  std::optional<double> streamLead(const void* timeline) const;

  // Lines for the transcript since the last call: refused codecs, sounds started and ended.
  std::vector<std::string> takeNotes();
  // Voices of started sounds that ended by themselves, gathered by takeNotes.
  std::vector<VoiceId> takeEnded();
  Mixer& mixer() { return mixer_; }

 private:
  struct Stream {
    swf::SoundStreamHead head;
    std::unique_ptr<StreamDecoder> decoder;
    VoiceId voice = 0;
    uint64_t blocks = 0;  // blocks fed since the voice opened
  };
  void streamHead(const void* timeline, const std::vector<uint8_t>& body);
  void streamBlock(const void* timeline, const std::vector<uint8_t>& body);

  std::shared_ptr<const swf::MovieData> movie_;
  Mixer& mixer_;
  std::map<swf::CharacterId, std::shared_ptr<const Samples>> decoded_;
  std::map<swf::CharacterId, std::string> refused_;
  std::map<const void*, Stream> streams_;
  std::map<VoiceId, uint32_t> voiceSounds_;
  std::map<uint32_t, std::shared_ptr<const Samples>> added_;
  uint32_t nextAdded_ = 0x10000;
  std::vector<std::string> notes_;
  std::vector<VoiceId> ended_;
};

}  // namespace sound

// Mixes every playing sound into one stream of 44.1 kHz stereo 16-bit samples: event sounds
// with in and out points, loops, envelopes and a per-voice transform, and stream sounds that
// the timeline feeds block by block.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Samples.h"

namespace sound {

using VoiceId = uint32_t;

struct EnvelopePoint {
  uint32_t position44 = 0;       // output samples since the voice started
  uint16_t left = 32768, right = 32768;  // 32768 is full level
};

struct PlayOptions {
  uint32_t inPoint44 = 0;  // in 44.1 kHz samples of the sound, whatever its rate
  std::optional<uint32_t> outPoint44;
  uint32_t loops = 1;
  std::vector<EnvelopePoint> envelope;
};

// How each input channel reaches each output channel, as fractions (ActionScript's
// setTransform percentages over 100), times the voice's volume.
struct ChannelTransform {
  double leftToLeft = 1, leftToRight = 0, rightToLeft = 0, rightToRight = 1;
  double volume = 1;
};

class Mixer {
 public:
  static constexpr uint32_t kRate = 44100;

  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // `tag` groups voices for stop-by-sound and no-multiple (a sound's character id); `owner`
  // for stopping what one timeline or object started.
  VoiceId play(std::shared_ptr<const Samples> sound, const PlayOptions& options, uint32_t tag = 0,
               const void* owner = nullptr);
  // A stream waits for data when it runs dry instead of ending, until closed.
  VoiceId openStream(uint32_t rate, uint8_t channels, const void* owner);
  void append(VoiceId stream, const Samples& block);

  void stop(VoiceId voice);
  void stopTag(uint32_t tag);
  void stopOwner(const void* owner);
  void stopAll();
  bool active(VoiceId voice) const;
  bool playingTag(uint32_t tag) const;
  size_t voiceCount() const { return voices_.size(); }

  void setTransform(VoiceId voice, const ChannelTransform& transform);
  // Output samples a voice has sounded (a stream's count stands still while it waits for data).
  uint64_t played(VoiceId voice) const;
  // Source frames of a stream not yet played.
  uint64_t buffered(VoiceId voice) const;
  // The voice's position in its sound, in milliseconds.
  double positionMs(VoiceId voice) const;

  // Adds `frames` stereo frames (interleaved, left first) of every voice; silence when none.
  void mix(int16_t* out, size_t frames);
  // Voices that ended by themselves since the last call, oldest first.
  std::vector<VoiceId> takeFinished();

 private:
  struct Voice;
  Voice* find(VoiceId id);
  const Voice* find(VoiceId id) const;
  void mixVoice(Voice& voice, std::vector<float>& accumulator, size_t frames);

  std::vector<std::unique_ptr<Voice>> voices_;
  std::vector<VoiceId> finished_;
  VoiceId nextId_ = 1;
};

}  // namespace sound

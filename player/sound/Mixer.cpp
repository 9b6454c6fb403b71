// Linear-interpolating resampling to 44.1 kHz, loops between the in and out points, envelopes
// by output position, and a float accumulator clamped once per output sample.
#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace sound {

struct Mixer::Voice {
  VoiceId id = 0;
  uint32_t tag = 0;
  const void* owner = nullptr;
  std::shared_ptr<const Samples> sound;  // event sounds
  std::shared_ptr<Samples> stream;       // stream sounds, growing
  size_t streamBase = 0;                 // stream frames dropped from the front
  bool streaming = false;
  PlayOptions options;
  ChannelTransform transform;
  uint64_t position = 0;  // source frames, 32.32 fixed point (streams: from the stream's start)
  uint64_t step = 0;
  uint64_t start = 0, end = 0;  // the play range in source frames (event sounds)
  uint32_t loopsLeft = 1;
  uint64_t played = 0;

  const Samples& source() const { return streaming ? *stream : *sound; }
};

namespace {

constexpr uint64_t kOne = uint64_t(1) << 32;
// A stream keeps a second of played samples at most before dropping them.
constexpr size_t kStreamKeep = 44100;

// The envelope's level for one channel at an output position: linear between points, held
// before the first and after the last.
double envelopeLevel(const std::vector<EnvelopePoint>& envelope, uint64_t at, bool left) {
  if (envelope.empty()) return 1;
  auto level = [&](const EnvelopePoint& p) { return (left ? p.left : p.right) / 32768.0; };
  if (at <= envelope.front().position44) return level(envelope.front());
  for (size_t i = 1; i < envelope.size(); ++i) {
    const EnvelopePoint& a = envelope[i - 1];
    const EnvelopePoint& b = envelope[i];
    if (at < b.position44) {
      const double t = double(at - a.position44) / double(b.position44 - a.position44);
      return level(a) + (level(b) - level(a)) * t;
    }
  }
  return level(envelope.back());
}

}  // namespace

Mixer::Mixer() = default;
Mixer::~Mixer() = default;

VoiceId Mixer::play(std::shared_ptr<const Samples> sound, const PlayOptions& options, uint32_t tag,
                    const void* owner) {
  if (!sound || sound->frames() == 0 || sound->rate == 0 || options.loops == 0) return 0;
  auto voice = std::make_unique<Voice>();
  voice->id = nextId_++;
  voice->tag = tag;
  voice->owner = owner;
  voice->options = options;
  voice->step = (uint64_t(sound->rate) << 32) / kRate;
  const uint64_t frames = sound->frames();
  auto toSource = [&](uint32_t at44) { return std::min<uint64_t>(uint64_t(at44) * sound->rate / kRate, frames); };
  voice->start = toSource(options.inPoint44);
  voice->end = options.outPoint44 ? toSource(*options.outPoint44) : frames;
  if (voice->end <= voice->start) return 0;
  voice->position = voice->start << 32;
  voice->loopsLeft = options.loops;
  voice->sound = std::move(sound);
  voices_.push_back(std::move(voice));
  return voices_.back()->id;
}

VoiceId Mixer::openStream(uint32_t rate, uint8_t channels, const void* owner) {
  if (rate == 0 || (channels != 1 && channels != 2)) return 0;
  auto voice = std::make_unique<Voice>();
  voice->id = nextId_++;
  voice->owner = owner;
  voice->streaming = true;
  voice->stream = std::make_shared<Samples>();
  voice->stream->rate = rate;
  voice->stream->channels = channels;
  voice->step = (uint64_t(rate) << 32) / kRate;
  voices_.push_back(std::move(voice));
  return voices_.back()->id;
}

void Mixer::append(VoiceId id, const Samples& block) {
  Voice* voice = find(id);
  if (!voice || !voice->streaming) return;
  Samples& stream = *voice->stream;
  if (block.channels == stream.channels) {
    stream.data.insert(stream.data.end(), block.data.begin(), block.data.end());
  } else if (block.channels == 1) {  // a mono block into a stereo stream
    for (int16_t s : block.data) stream.data.insert(stream.data.end(), {s, s});
  } else {
    for (size_t i = 0; i + 1 < block.data.size(); i += 2)
      stream.data.push_back(static_cast<int16_t>((block.data[i] + block.data[i + 1]) / 2));
  }
}

Mixer::Voice* Mixer::find(VoiceId id) {
  for (auto& v : voices_)
    if (v->id == id) return v.get();
  return nullptr;
}
const Mixer::Voice* Mixer::find(VoiceId id) const {
  for (const auto& v : voices_)
    if (v->id == id) return v.get();
  return nullptr;
}

void Mixer::stop(VoiceId id) {
  std::erase_if(voices_, [&](const auto& v) { return v->id == id; });
}
void Mixer::stopTag(uint32_t tag) {
  std::erase_if(voices_, [&](const auto& v) { return !v->streaming && v->tag == tag; });
}
void Mixer::stopOwner(const void* owner) {
  std::erase_if(voices_, [&](const auto& v) { return v->owner == owner; });
}
void Mixer::stopAll() { voices_.clear(); }

bool Mixer::active(VoiceId id) const { return find(id) != nullptr; }
bool Mixer::playingTag(uint32_t tag) const {
  return std::any_of(voices_.begin(), voices_.end(), [&](const auto& v) { return !v->streaming && v->tag == tag; });
}

void Mixer::setTransform(VoiceId id, const ChannelTransform& transform) {
  if (Voice* voice = find(id)) voice->transform = transform;
}

uint64_t Mixer::played(VoiceId id) const {
  const Voice* voice = find(id);
  return voice ? voice->played : 0;
}

uint64_t Mixer::buffered(VoiceId id) const {
  const Voice* voice = find(id);
  if (!voice || !voice->streaming) return 0;
  const uint64_t total = voice->streamBase + voice->stream->frames();
  const uint64_t at = voice->position >> 32;
  return total > at ? total - at : 0;
}

double Mixer::positionMs(VoiceId id) const {
  const Voice* voice = find(id);
  if (!voice) return 0;
  return double(voice->position >> 32) * 1000.0 / voice->source().rate;
}

void Mixer::mixVoice(Voice& voice, std::vector<float>& accumulator, size_t frames) {
  const Samples& source = voice.source();
  const unsigned channels = source.channels;
  const ChannelTransform& t = voice.transform;
  for (size_t i = 0; i < frames; ++i) {
    uint64_t index = voice.position >> 32;
    uint64_t end = voice.streaming ? voice.streamBase + source.frames() : voice.end;
    if (index >= end) {
      if (voice.streaming) return;  // waits for the next block
      if (--voice.loopsLeft == 0) {
        voice.loopsLeft = 0;
        return;
      }
      voice.position = voice.start << 32;
      index = voice.start;
    }
    const double fraction = double(voice.position & (kOne - 1)) / double(kOne);
    const uint64_t base = voice.streaming ? voice.streamBase : 0;
    const size_t here = size_t(index - base);
    const size_t next = index + 1 < end ? here + 1 : here;
    auto at = [&](size_t frame, unsigned channel) {
      return double(source.data[frame * channels + std::min(channel, channels - 1)]);
    };
    const double left = at(here, 0) + (at(next, 0) - at(here, 0)) * fraction;
    const double right = at(here, 1) + (at(next, 1) - at(here, 1)) * fraction;
    const double envLeft = envelopeLevel(voice.options.envelope, voice.played, true);
    const double envRight = envelopeLevel(voice.options.envelope, voice.played, false);
    // A mono sound is heard as the same sample on both input channels.
    const double outLeft = left * t.leftToLeft + right * t.rightToLeft;
    const double outRight = left * t.leftToRight + right * t.rightToRight;
    accumulator[2 * i] += static_cast<float>(outLeft * envLeft * t.volume);
    accumulator[2 * i + 1] += static_cast<float>(outRight * envRight * t.volume);
    voice.position += voice.step;
    ++voice.played;
  }
}

void Mixer::mix(int16_t* out, size_t frames) {
  std::vector<float> accumulator(frames * 2, 0.0f);
  for (auto& voice : voices_) mixVoice(*voice, accumulator, frames);
  for (size_t i = 0; i < frames * 2; ++i)
    out[i] = static_cast<int16_t>(std::clamp(std::lround(accumulator[i]), -32768L, 32767L));
  // Ended event sounds go; streams drop what they played long ago.
  for (auto it = voices_.begin(); it != voices_.end();) {
    Voice& voice = **it;
    if (!voice.streaming && voice.loopsLeft == 0) {
      finished_.push_back(voice.id);
      it = voices_.erase(it);
      continue;
    }
    if (voice.streaming) {
      const uint64_t at = voice.position >> 32;
      if (at > voice.streamBase + kStreamKeep) {
        const size_t drop = size_t(at - voice.streamBase - kStreamKeep / 2);
        Samples& s = *voice.stream;
        s.data.erase(s.data.begin(), s.data.begin() + std::ptrdiff_t(std::min(drop * s.channels, s.data.size())));
        voice.streamBase += drop;
      }
    }
    ++it;
  }
}

std::vector<VoiceId> Mixer::takeFinished() {
  std::vector<VoiceId> done;
  done.swap(finished_);
  return done;
}

}  // namespace sound

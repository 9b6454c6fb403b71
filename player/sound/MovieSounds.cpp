// Sound tags to mixer voices.
#include "MovieSounds.h"

#include <algorithm>

#include "TagCodes.h"

namespace sound {

namespace {

PlayOptions optionsOf(const swf::SoundInfo& info) {
  PlayOptions options;
  options.inPoint44 = info.inPoint44.value_or(0);
  options.outPoint44 = info.outPoint44;
  options.loops = std::max<uint32_t>(info.loops, 1);
  for (const swf::SoundEnvelopePoint& p : info.envelope) options.envelope.push_back({p.position44, p.left, p.right});
  return options;
}

}  // namespace

MovieSounds::MovieSounds(std::shared_ptr<const swf::MovieData> movie, Mixer& mixer)
    : movie_(std::move(movie)), mixer_(mixer) {}

uint32_t MovieSounds::addSound() {
  added_[nextAdded_] = nullptr;
  return nextAdded_++;
}

void MovieSounds::setSound(uint32_t id, std::shared_ptr<const Samples> samples) {
  if (auto it = added_.find(id); it != added_.end()) it->second = std::move(samples);
}

std::shared_ptr<const Samples> MovieSounds::sound(uint32_t id) {
  if (id > 0xFFFF) {
    auto it = added_.find(id);
    return it == added_.end() ? nullptr : it->second;
  }
  if (auto it = decoded_.find(id); it != decoded_.end()) return it->second;
  if (refused_.count(id)) return nullptr;
  auto it = movie_->characters.find(id);
  const auto* raw = it == movie_->characters.end() || !it->second ? nullptr : std::get_if<swf::RawCharacter>(it->second.get());
  if (!raw || raw->tagCode != swf::tag::kDefineSound) return nullptr;
  std::string why = "malformed";
  std::optional<swf::DefineSound> define = swf::readDefineSound(raw->body);
  std::optional<Samples> samples = define ? decodeSound(*define, why) : std::nullopt;
  if (!samples) {
    refused_[id] = why;
    notes_.push_back("sound-refused " + std::to_string(id) + " \"" + why + "\"");
    return nullptr;
  }
  auto shared = std::make_shared<const Samples>(std::move(*samples));
  decoded_[id] = shared;
  return shared;
}

std::optional<swf::CharacterId> MovieSounds::exportedSound(std::string_view name) const {
  for (const swf::ExportedAsset& e : movie_->exports) {
    if (e.name.size() != name.size()) continue;
    // Export names are matched without regard to ASCII case, as the linkage is.
    if (std::equal(e.name.begin(), e.name.end(), name.begin(),
                   [](char a, char b) { return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b)); }))
      return e.id;
  }
  return std::nullopt;
}

VoiceId MovieSounds::start(uint32_t id, const swf::SoundInfo& info, const void* owner) {
  if (info.stop) {
    mixer_.stopTag(id);
    return 0;
  }
  if (info.noMultiple && mixer_.playingTag(id)) return 0;
  std::shared_ptr<const Samples> samples = sound(id);
  if (!samples) return 0;
  const VoiceId voice = mixer_.play(samples, optionsOf(info), id, owner);
  if (voice) {
    voiceSounds_[voice] = id;
    notes_.push_back("sound-start " + std::to_string(id));
  }
  return voice;
}

void MovieSounds::frameTag(const void* timeline, const swf::FrameTag& tag) {
  if (const auto* startSound = std::get_if<swf::StartSound>(&tag)) {
    swf::BitReader in(startSound->soundInfo.data(), startSound->soundInfo.size());
    if (std::optional<swf::SoundInfo> info = swf::readSoundInfo(in)) start(startSound->soundId, *info);
    return;
  }
  const auto* soundTag = std::get_if<swf::SoundTag>(&tag);
  if (!soundTag) return;
  switch (soundTag->code) {
    case swf::tag::kStartSound2:
      if (std::optional<swf::StartSound2> s = swf::readStartSound2(soundTag->body))
        if (std::optional<swf::CharacterId> id = exportedSound(s->className)) start(*id, s->info);
      break;
    case swf::tag::kSoundStreamHead:
    case swf::tag::kSoundStreamHead2: streamHead(timeline, soundTag->body); break;
    case swf::tag::kSoundStreamBlock: streamBlock(timeline, soundTag->body); break;
    default: break;
  }
}

void MovieSounds::streamHead(const void* timeline, const std::vector<uint8_t>& body) {
  std::optional<swf::SoundStreamHead> head = swf::readSoundStreamHead(body);
  if (!head) return;
  // A timeline that loops meets its head again: the stream it started goes on.
  if (auto it = streams_.find(timeline); it != streams_.end() && it->second.head.stream == head->stream) return;
  Stream stream;
  stream.head = *head;
  stream.decoder = std::make_unique<StreamDecoder>(*head);
  if (!stream.decoder->supported())
    notes_.push_back(std::string("sound-refused stream \"") + codecName(head->stream.codec) + " is not decoded\"");
  if (auto it = streams_.find(timeline); it != streams_.end()) mixer_.stop(it->second.voice);
  streams_[timeline] = std::move(stream);
}

void MovieSounds::streamBlock(const void* timeline, const std::vector<uint8_t>& body) {
  auto it = streams_.find(timeline);
  if (it == streams_.end() || !it->second.decoder->supported()) return;
  Stream& stream = it->second;
  if (!stream.voice || !mixer_.active(stream.voice)) {
    stream.voice = mixer_.openStream(stream.decoder->rate(), stream.decoder->channels(), timeline);
    stream.blocks = 0;
  }
  Samples block;
  block.rate = stream.decoder->rate();
  block.channels = stream.decoder->channels();
  stream.decoder->block(body, block);
  mixer_.append(stream.voice, block);
  ++stream.blocks;
}

void MovieSounds::buttonTransition(swf::CharacterId button, int transition) {
  if (transition < 0 || transition > 3) return;
  for (const swf::RawCharacter& info : movie_->characterInfo) {
    if (info.tagCode != swf::tag::kDefineButtonSound || info.id != button) continue;
    if (std::optional<swf::DefineButtonSound> sounds = swf::readDefineButtonSound(info.body)) {
      const swf::ButtonSound& s = sounds->sounds[size_t(transition)];
      if (s.soundId) start(s.soundId, s.info);
    }
    return;
  }
}

void MovieSounds::timelineGone(const void* timeline) {
  auto it = streams_.find(timeline);
  if (it == streams_.end()) return;
  mixer_.stop(it->second.voice);
  streams_.erase(it);
}

std::optional<double> MovieSounds::streamLead(const void* timeline) const {
  auto it = streams_.find(timeline);
  if (it == streams_.end() || !it->second.voice || !mixer_.active(it->second.voice) || movie_->frameRate <= 0)
    return std::nullopt;
  const double heard = double(mixer_.played(it->second.voice)) * movie_->frameRate / Mixer::kRate;
  return double(it->second.blocks) - heard;
}

std::vector<VoiceId> MovieSounds::takeEnded() {
  std::vector<VoiceId> ended;
  ended.swap(ended_);
  return ended;
}

std::vector<std::string> MovieSounds::takeNotes() {
  for (VoiceId voice : mixer_.takeFinished()) {
    auto it = voiceSounds_.find(voice);
    if (it == voiceSounds_.end()) continue;
    notes_.push_back("sound-end " + std::to_string(it->second));
    ended_.push_back(voice);
    voiceSounds_.erase(it);
  }
  std::vector<std::string> notes;
  notes.swap(notes_);
  return notes;
}

}  // namespace sound

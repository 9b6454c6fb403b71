// Sound objects' requests turned into the movie's sounds and mixer voices; loaded files
// decoded whole and handed to the machine a frame later, as the original player's loads are.
#include "MovieSoundBridge.h"

#include <algorithm>

#include "globals/Globals.h"
#include "Mp3File.h"

namespace clips {

int MovieSoundBridge::exportedSound(const std::string& name) {
  sound::MovieSounds* sounds = sounds_();
  if (!sounds) return 0;
  std::optional<swf::CharacterId> id = sounds->exportedSound(name);
  return id && sounds->sound(*id) ? *id : 0;
}

double MovieSoundBridge::durationMs(int id) {
  sound::MovieSounds* sounds = sounds_();
  std::shared_ptr<const sound::Samples> samples = sounds && id > 0 ? sounds->sound(static_cast<uint32_t>(id)) : nullptr;
  return samples && samples->rate ? double(samples->frames()) * 1000.0 / samples->rate : 0;
}

uint32_t MovieSoundBridge::start(int id, double offsetSeconds, int loops) {
  sound::MovieSounds* sounds = sounds_();
  if (!sounds || id <= 0) return 0;
  swf::SoundInfo info;
  if (offsetSeconds > 0) info.inPoint44 = static_cast<uint32_t>(std::min(offsetSeconds * 44100.0, 4.0e9));
  info.loops = static_cast<uint16_t>(std::clamp(loops, 1, 65535));
  return sounds->start(static_cast<uint32_t>(id), info);
}

void MovieSoundBridge::shape(uint32_t voice, const avm1::SoundTransform& t, double volume) {
  // Scripts may set any 32-bit level: past ten times full scale nothing more is heard anyway.
  const auto gain = [](double percent) { return std::clamp(percent, -1000.0, 1000.0) / 100; };
  mixer_.setTransform(voice, {gain(t.ll), gain(t.lr), gain(t.rl), gain(t.rr), std::max(0.0, gain(volume))});
}

int MovieSoundBridge::loadSound(const std::string& url, bool streaming) {
  sound::MovieSounds* sounds = sounds_();
  if (!sounds || !request_) return 0;
  const int id = static_cast<int>(sounds->addSound());
  requested_[id] = streaming;
  request_(id, url);
  return id;
}

void MovieSoundBridge::loaded(int id, const std::optional<std::vector<uint8_t>>& bytes) {
  auto it = requested_.find(id);
  if (it == requested_.end()) return;
  avm1::LoadedSound result;
  result.streaming = it->second;
  requested_.erase(it);
  sound::MovieSounds* sounds = sounds_();
  if (bytes && sounds) {
    if (std::optional<sound::Mp3File> file = sound::decodeMp3File(*bytes)) {
      sounds->setSound(static_cast<uint32_t>(id), std::make_shared<const sound::Samples>(std::move(file->samples)));
      result.success = true;
      result.bytes = double(bytes->size());
      result.hasId3 = file->hasId3;
      result.id3 = std::move(file->id3);
    }
  }
  arrived_.emplace_back(id, std::move(result));
}

void MovieSoundBridge::deliverLoads(avm1::Machine& machine) {
  // Handlers may load again: files that are there at once are reported in the same pass, up to
  // a bound, so a script that loads from every onLoad cannot hold the frame forever.
  for (int round = 0; round < 64 && !arrived_.empty(); ++round) {
    std::vector<std::pair<int, avm1::LoadedSound>> arrived;
    arrived.swap(arrived_);
    for (const auto& [id, result] : arrived) avm1::soundLoaded(machine, id, result);
  }
}

}  // namespace clips

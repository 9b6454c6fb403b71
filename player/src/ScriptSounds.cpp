// Sound objects' requests turned into the movie's sounds and mixer voices.
#include "ScriptSounds.h"

#include <algorithm>
#include <cmath>

#include "MovieSounds.h"
#include "MovieView.h"

int ScriptSounds::exportedSound(const std::string& name) {
  sound::MovieSounds* sounds = view_.sounds();
  if (!sounds) return 0;
  std::optional<swf::CharacterId> id = sounds->exportedSound(name);
  return id && sounds->sound(*id) ? *id : 0;
}

double ScriptSounds::durationMs(int id) {
  sound::MovieSounds* sounds = view_.sounds();
  std::shared_ptr<const sound::Samples> samples = sounds ? sounds->sound(static_cast<swf::CharacterId>(id)) : nullptr;
  return samples && samples->rate ? double(samples->frames()) * 1000.0 / samples->rate : 0;
}

uint32_t ScriptSounds::start(int id, double offsetSeconds, int loops) {
  sound::MovieSounds* sounds = view_.sounds();
  if (!sounds) return 0;
  swf::SoundInfo info;
  if (offsetSeconds > 0) info.inPoint44 = static_cast<uint32_t>(std::min(offsetSeconds * 44100.0, 4.0e9));
  info.loops = static_cast<uint16_t>(std::clamp(loops, 1, 65535));
  return sounds->start(static_cast<swf::CharacterId>(id), info);
}

void ScriptSounds::shape(uint32_t voice, const avm1::SoundTransform& t, double volume) {
  mixer_.setTransform(voice, {t.ll / 100, t.lr / 100, t.rl / 100, t.rr / 100, volume / 100});
}

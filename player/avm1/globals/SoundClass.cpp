// Sound: attachSound by export name, start with an offset and loops, stop, volume, pan and
// channel transforms, position and duration, onSoundComplete. The machine's sound bridge does
// the playing; without one (a movie played without a player) the methods answer as silent.
#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

// Each Sound's state lives in hidden properties: scripts enumerate none of them.
constexpr const char* kSoundId = "$soundId";
constexpr const char* kVoice = "$voice";
constexpr const char* kVolume = "$volume";
constexpr const char* kTarget = "$target";
constexpr const char* kTransform[] = {"$ll", "$lr", "$rl", "$rr"};

double hidden(Machine& m, const Value& self, const char* name, double fallback) {
  if (!self.isObject()) return fallback;
  Value v = self.object()->get(m, name);
  return v.isNumber() ? v.number() : fallback;
}

void setHidden(Machine& m, const Value& self, const char* name, double value) {
  if (self.isObject()) self.object()->define(m, name, Value(value), kDontEnum);
}

SoundTransform transformOf(Machine& m, const Value& self) {
  return {hidden(m, self, kTransform[0], 100), hidden(m, self, kTransform[1], 0), hidden(m, self, kTransform[2], 0),
          hidden(m, self, kTransform[3], 100)};
}

void setTransform(Machine& m, const Value& self, const SoundTransform& t) {
  const double values[] = {t.ll, t.lr, t.rl, t.rr};
  for (size_t i = 0; i < 4; ++i) setHidden(m, self, kTransform[i], values[i]);
}

// Sends the object's volume and transform to its playing voice.
void reshape(Machine& m, const Value& self) {
  SoundBridge* bridge = m.soundBridge();
  const auto voice = static_cast<uint32_t>(hidden(m, self, kVoice, 0));
  if (bridge && voice) bridge->shape(voice, transformOf(m, self), hidden(m, self, kVolume, 100));
}

}  // namespace

void installSoundClass(Machine& m) {
  auto proto = m.newObject();
  defineClass(m, "Sound", [](Machine& mm, const Value& self, const Args& args) {
    // A Sound made for a clip controls that clip's sounds; one without stops everything.
    if (!arg(args, 0).isUndefined()) setHidden(mm, self, kTarget, 1);
    return Value();
  }, proto);
  defineMethod(m, proto, "attachSound", [](Machine& mm, const Value& self, const Args& args) {
    SoundBridge* bridge = mm.soundBridge();
    const int id = bridge ? bridge->exportedSound(mm.toString(arg(args, 0))) : 0;
    if (id) setHidden(mm, self, kSoundId, id);
    return Value();
  });
  defineMethod(m, proto, "start", [](Machine& mm, const Value& self, const Args& args) {
    SoundBridge* bridge = mm.soundBridge();
    const int id = static_cast<int>(hidden(mm, self, kSoundId, 0));
    if (!bridge || !id) return Value();
    const double offset = std::max(0.0, args.empty() ? 0.0 : mm.toNumber(args[0]));
    const double loops = args.size() > 1 ? mm.toNumber(args[1]) : 1;
    const uint32_t voice =
        bridge->start(id, std::isfinite(offset) ? offset : 0, std::isfinite(loops) && loops >= 1 ? int(loops) : 1);
    if (!voice) return Value();
    setHidden(mm, self, kVoice, voice);
    if (self.isObject()) mm.soundVoices()[voice] = self.object();
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "stop", [](Machine& mm, const Value& self, const Args& args) {
    SoundBridge* bridge = mm.soundBridge();
    if (!bridge) return Value();
    if (!args.empty()) {
      if (int id = bridge->exportedSound(mm.toString(args[0]))) bridge->stopSound(id);
    } else if (hidden(mm, self, kTarget, 0) && hidden(mm, self, kVoice, 0)) {
      bridge->stopVoice(static_cast<uint32_t>(hidden(mm, self, kVoice, 0)));
    } else {
      bridge->stopAll();
    }
    return Value();
  });
  defineMethod(m, proto, "setVolume", [](Machine& mm, const Value& self, const Args& args) {
    const double v = mm.toNumber(arg(args, 0));
    setHidden(mm, self, kVolume, std::isfinite(v) ? v : 0);
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "getVolume",
               [](Machine& mm, const Value& self, const Args&) { return Value(hidden(mm, self, kVolume, 100)); });
  defineMethod(m, proto, "setPan", [](Machine& mm, const Value& self, const Args& args) {
    double pan = mm.toNumber(arg(args, 0));
    pan = std::isfinite(pan) ? std::clamp(pan, -100.0, 100.0) : 0;
    // Panning to one side turns the other down: -100 is the left alone, 100 the right alone.
    setTransform(mm, self, {pan > 0 ? 100 - pan : 100, 0, 0, pan < 0 ? 100 + pan : 100});
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "getPan", [](Machine& mm, const Value& self, const Args&) {
    const SoundTransform t = transformOf(mm, self);
    return Value(t.ll != 100 ? 100 - t.ll : t.rr - 100);
  });
  defineMethod(m, proto, "setTransform", [](Machine& mm, const Value& self, const Args& args) {
    if (!arg(args, 0).isObject()) return Value();
    ObjectRef o = args[0].object();
    SoundTransform t = transformOf(mm, self);
    double* fields[] = {&t.ll, &t.lr, &t.rl, &t.rr};
    const char* names[] = {"ll", "lr", "rl", "rr"};
    for (size_t i = 0; i < 4; ++i) {
      Value v = o->get(mm, names[i]);
      if (!v.isUndefined()) *fields[i] = mm.toNumber(v);
    }
    setTransform(mm, self, t);
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "getTransform", [](Machine& mm, const Value& self, const Args&) {
    const SoundTransform t = transformOf(mm, self);
    ObjectRef o = mm.newObject();
    o->set(mm, "ll", Value(t.ll));
    o->set(mm, "lr", Value(t.lr));
    o->set(mm, "rl", Value(t.rl));
    o->set(mm, "rr", Value(t.rr));
    return Value(o);
  });
  // position and duration read as properties, in whole milliseconds.
  ObjectRef position = m.newFunction([](Machine& mm, const Value& self, const Args&) {
    SoundBridge* bridge = mm.soundBridge();
    const auto voice = static_cast<uint32_t>(hidden(mm, self, kVoice, 0));
    return Value(bridge && voice ? std::floor(bridge->positionMs(voice)) : 0.0);
  });
  ObjectRef duration = m.newFunction([](Machine& mm, const Value& self, const Args&) {
    SoundBridge* bridge = mm.soundBridge();
    const int id = static_cast<int>(hidden(mm, self, kSoundId, 0));
    return Value(bridge && id ? std::floor(bridge->durationMs(id)) : 0.0);
  });
  for (auto [name, getter] : {std::pair{"position", position}, std::pair{"duration", duration}}) {
    proto->addProperty(m, name, getter, nullptr);
    if (Property* p = proto->findOwn(m, name)) p->flags |= kDontEnum | kDontDelete;
  }
}

void soundCompleted(Machine& m, uint32_t voice) {
  auto it = m.soundVoices().find(voice);
  if (it == m.soundVoices().end()) return;
  ObjectRef sound = it->second;
  m.soundVoices().erase(it);
  // The position stays at the end; a handler may start the sound again.
  m.runScript([&] { m.callMethod(Value(sound), "onSoundComplete", {}); });
}

}  // namespace avm1

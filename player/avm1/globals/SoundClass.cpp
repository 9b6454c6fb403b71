// Sound: attachSound by export name, loadSound of MP3 files, start with an offset and loops,
// stop, volume, pan and channel transforms, position and duration, onSoundComplete, onID3 and
// onLoad. The machine's sound bridge does the playing; without one (a movie played without a
// player) the methods answer as silent.
#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

// Each Sound's state lives in hidden properties: scripts enumerate none of them.
constexpr const char* kSoundId = "$soundId";
constexpr const char* kVoice = "$voice";
constexpr const char* kTarget = "$target";  // the constructor's argument, when it had one
// Volume and transform belong to the target clip (or to one stand-in for every Sound made
// without a target), so each Sound on the same clip reads what another set.
constexpr const char* kVolume = "$volume";
constexpr const char* kTransform[] = {"$ll", "$lr", "$rl", "$rr"};
constexpr const char* kUntargeted = "$soundOwner";  // on _global
constexpr const char* kLoading = "$loading";    // a loadSound file not yet there
constexpr const char* kQueued = "$queued";      // starts asked for meanwhile: offset, loops, ...
constexpr const char* kLastPosition = "$position";  // where the last voice ended or stopped
constexpr const char* kBytes = "$bytes";
constexpr const char* kLoads = "$soundLoads";   // on _global: each loading Sound by its sound id
constexpr const char* kScriptId3 = "$scriptId3";
constexpr const char* kReadings = "$readings";  // on the prototype: position and duration are there  // the script put its own id3 there before loading

// ID3v2 frames that Sound.id3 also gives under a plain name.
constexpr std::pair<const char*, const char*> kId3Names[] = {
    {"COMM", "comment"}, {"TALB", "album"}, {"TCON", "genre"}, {"TIT2", "songname"},
    {"TPE1", "artist"},  {"TRCK", "track"}, {"TYER", "year"}};

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

bool hasTarget(Machine& m, const Value& self) {
  return self.isObject() && !self.object()->get(m, kTarget).isUndefined();
}

// A target path ("mc", "_level0.mc.inner", "/mc/inner", "_root.mc") from _level0, walked
// inside the running script rather than as a script of its own.
Value clipAtPath(Machine& m, const std::string& path) {
  if (path.rfind("_level", 0) == 0 && path.size() > 6 && path[6] != '0')
    return m.getVariable(path);  // other levels: asking here would make them
  Value at(m.root());
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find_first_of("./:", begin);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(begin, end - begin);
    begin = end + 1;
    if (part.empty() || part == "_root" || part == "_level0") continue;
    if (!at.isObject()) return Value();
    at = at.object()->get(m, part);
  }
  return at;
}

// The clip whose sound the Sound controls; none while nothing answers to its target's path (a
// clip renamed is lost, one made again under the name is found, as is a variable by that name).
ObjectRef ownerOf(Machine& m, const Value& self) {
  if (!self.isObject()) return nullptr;
  Value target = self.object()->get(m, kTarget);
  if (target.isUndefined()) {
    Value all = m.global()->get(m, kUntargeted);
    if (all.isObject()) return all.object();
    ObjectRef owner = m.newObject();
    m.global()->define(m, kUntargeted, Value(owner), kDontEnum);
    return owner;
  }
  Value found = clipAtPath(m, m.toString(target));
  return found.isObject() && found.object()->isClip() ? found.object() : nullptr;
}

// The player keeps volume and pan as 32-bit integers: what does not fit reads as the least.
double toPlayerInt(double v) {
  return std::isfinite(v) && v > -2147483649.0 && v < 2147483648.0 ? std::trunc(v) : -2147483648.0;
}

// Sends the owner's volume and transform to the Sound's playing voice.
void reshape(Machine& m, const Value& self) {
  SoundBridge* bridge = m.soundBridge();
  const auto voice = static_cast<uint32_t>(hidden(m, self, kVoice, 0));
  ObjectRef owner = bridge && voice ? ownerOf(m, self) : nullptr;
  if (owner) bridge->shape(voice, transformOf(m, Value(owner)), hidden(m, Value(owner), kVolume, 100));
}

ObjectRef loadingSounds(Machine& m) {
  Value v = m.global()->get(m, kLoads);
  if (v.isObject()) return v.object();
  ObjectRef loads = m.newObject();
  m.global()->define(m, kLoads, Value(loads), kDontEnum);
  return loads;
}

void startVoice(Machine& m, const Value& self, double offset, double loops) {
  SoundBridge* bridge = m.soundBridge();
  const int id = static_cast<int>(hidden(m, self, kSoundId, 0));
  if (!bridge || !id) return;
  const uint32_t voice =
      bridge->start(id, std::isfinite(offset) ? offset : 0, std::isfinite(loops) && loops >= 1 ? int(loops) : 1);
  if (!voice) return;
  setHidden(m, self, kVoice, voice);
  if (self.isObject()) m.soundVoices()[voice] = self.object();
  reshape(m, self);
}

double positionMs(Machine& m, const Value& self) {
  SoundBridge* bridge = m.soundBridge();
  const auto voice = static_cast<uint32_t>(hidden(m, self, kVoice, 0));
  if (bridge && voice && m.soundVoices().count(voice)) return std::floor(bridge->positionMs(voice));
  return hidden(m, self, kLastPosition, 0);
}

double durationMs(Machine& m, const Value& self) {
  SoundBridge* bridge = m.soundBridge();
  const int id = static_cast<int>(hidden(m, self, kSoundId, 0));
  if (!bridge || !id || hidden(m, self, kLoading, 0)) return 0;
  return std::round(bridge->durationMs(id));
}

// position and duration: undefined for a Sound with no sound or no target clip.
Value positionOf(Machine& m, const Value& self) {
  if (!hidden(m, self, kSoundId, 0) || !ownerOf(m, self)) return Value();
  return Value(positionMs(m, self));
}
Value durationOf(Machine& m, const Value& self) {
  if (!hidden(m, self, kSoundId, 0) || !ownerOf(m, self)) return Value();
  return Value(durationMs(m, self));
}

// position and duration read as properties, in whole milliseconds. The player puts them on the
// prototype when a Sound first takes a sound: what a script gave a Sound before then stays its
// own, what it gives later is ignored.
void installReadings(Machine& m) {
  ObjectRef proto = m.prototypeOf("Sound");
  if (!proto || proto->findOwnAnyVersion(m, kReadings)) return;
  proto->define(m, kReadings, Value(1), kDontEnum);
  ObjectRef position =
      m.newFunction([](Machine& mm, const Value& self, const Args&) { return Value(positionOf(mm, self)); });
  ObjectRef duration =
      m.newFunction([](Machine& mm, const Value& self, const Args&) { return Value(durationOf(mm, self)); });
  ObjectRef ignore = m.newFunction([](Machine&, const Value&, const Args&) { return Value(); });
  for (auto [name, getter] : {std::pair{"position", position}, std::pair{"duration", duration}}) {
    proto->addProperty(m, name, getter, ignore);
    if (Property* p = proto->findOwn(m, name)) p->flags |= kDontEnum | kDontDelete;
  }
}

}  // namespace

void installSoundClass(Machine& m) {
  auto proto = m.newObject();
  defineClass(m, "Sound", [](Machine& mm, const Value& self, const Args& args) {
    // A Sound made for a clip controls that clip's sounds; one without stops everything.
    // The target is kept as a path, as clip references are: another object is asked its name once.
    const Value target = arg(args, 0);
    if (!target.isUndefined() && self.isObject()) {
      const bool clip = target.isObject() && target.object()->isClip();
      self.object()->define(mm, kTarget, Value(clip ? target.object()->clipPath : mm.toString(target)), kDontEnum);
    }
    return Value();
  }, proto);
  defineMethod(m, proto, "attachSound", [](Machine& mm, const Value& self, const Args& args) {
    installReadings(mm);
    SoundBridge* bridge = mm.soundBridge();
    // A Sound whose target clip cannot be found takes no sound and starts none.
    const int id = bridge && ownerOf(mm, self) ? bridge->exportedSound(mm.toString(arg(args, 0))) : 0;
    if (id) setHidden(mm, self, kSoundId, id);
    return Value();
  });
  defineMethod(m, proto, "start", [](Machine& mm, const Value& self, const Args& args) {
    const double offset = std::max(0.0, args.empty() ? 0.0 : mm.toNumber(args[0]));
    const double loops = args.size() > 1 ? mm.toNumber(args[1]) : 1;
    if (hidden(mm, self, kLoading, 0) && self.isObject()) {
      // The file is still on its way: the start waits for it.
      Value queued = self.object()->get(mm, kQueued);
      ObjectRef list = queued.isObject() ? queued.object() : mm.newArray();
      const double n = mm.toNumber(list->get(mm, "length"));
      list->set(mm, std::to_string(int(n)), Value(offset));
      list->set(mm, std::to_string(int(n) + 1), Value(loops));
      self.object()->define(mm, kQueued, Value(list), kDontEnum);
      return Value();
    }
    if (ownerOf(mm, self)) startVoice(mm, self, offset, loops);
    return Value();
  });
  defineMethod(m, proto, "loadSound", [](Machine& mm, const Value& self, const Args& args) {
    installReadings(mm);
    SoundBridge* bridge = mm.soundBridge();
    if (!bridge || !self.isObject()) return Value();
    const int id = bridge->loadSound(mm.toString(arg(args, 0)), mm.toBoolean(arg(args, 1)));
    if (!id) return Value();
    setHidden(mm, self, kSoundId, id);
    setHidden(mm, self, kLoading, 1);
    setHidden(mm, self, kBytes, 0);
    self.object()->remove(mm, kQueued);
    setHidden(mm, self, kScriptId3, self.object()->findOwn(mm, "id3") ? 1 : 0);
    loadingSounds(mm)->define(mm, std::to_string(id), self, kDontEnum);
    return Value();
  });
  // Bytes as the file arrives; a Sound that loads nothing has none to count.
  for (const char* name : {"getBytesLoaded", "getBytesTotal"}) {
    defineMethod(m, proto, name, [](Machine& mm, const Value& self, const Args&) {
      const double bytes = hidden(mm, self, kBytes, -1);
      return bytes < 0 ? Value() : Value(bytes);
    });
  }
  // Nothing sets these two; they exist from SWF 6 on, with the loading methods.
  for (const char* name : {"setDuration", "setPosition"})
    defineMethod(m, proto, name, [](Machine&, const Value&, const Args&) { return Value(); });
  defineMethod(m, proto, "getPosition",
               [](Machine& mm, const Value& self, const Args&) { return Value(positionOf(mm, self)); });
  defineMethod(m, proto, "getDuration",
               [](Machine& mm, const Value& self, const Args&) { return Value(durationOf(mm, self)); });
  defineMethod(m, proto, "stop", [](Machine& mm, const Value& self, const Args& args) {
    SoundBridge* bridge = mm.soundBridge();
    if (!bridge) return Value();
    if (!args.empty()) {
      if (int id = bridge->exportedSound(mm.toString(args[0]))) bridge->stopSound(id);
    } else if (hasTarget(mm, self) && hidden(mm, self, kVoice, 0)) {
      setHidden(mm, self, kLastPosition, positionMs(mm, self));
      bridge->stopVoice(static_cast<uint32_t>(hidden(mm, self, kVoice, 0)));
    } else {
      bridge->stopAll();
    }
    return Value();
  });
  defineMethod(m, proto, "setVolume", [](Machine& mm, const Value& self, const Args& args) {
    if (ObjectRef owner = ownerOf(mm, self)) {
      // No argument is 0; NaN is not.
      setHidden(mm, Value(owner), kVolume, args.empty() ? 0 : toPlayerInt(mm.toNumber(args[0])));
      reshape(mm, self);
    }
    return Value();
  });
  defineMethod(m, proto, "getVolume", [](Machine& mm, const Value& self, const Args&) {
    ObjectRef owner = ownerOf(mm, self);
    return owner ? Value(hidden(mm, Value(owner), kVolume, 100)) : Value();
  });
  defineMethod(m, proto, "setPan", [](Machine& mm, const Value& self, const Args& args) {
    ObjectRef owner = ownerOf(mm, self);
    if (!owner) return Value();
    const double pan = args.empty() ? 0 : toPlayerInt(mm.toNumber(args[0]));
    // Panning to one side turns the other down: -100 is the left alone, 100 the right alone.
    setTransform(mm, Value(owner), {pan >= 0 ? 100 - pan : 100, 0, 0, pan < 0 ? 100 + pan : 100});
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "getPan", [](Machine& mm, const Value& self, const Args&) {
    ObjectRef owner = ownerOf(mm, self);
    if (!owner) return Value();
    const SoundTransform t = transformOf(mm, Value(owner));
    return Value(t.ll != 100 ? 100 - std::abs(t.ll) : std::abs(t.rr) - 100);
  });
  defineMethod(m, proto, "setTransform", [](Machine& mm, const Value& self, const Args& args) {
    ObjectRef owner = ownerOf(mm, self);
    if (!owner || !arg(args, 0).isObject()) return Value();
    ObjectRef o = args[0].object();
    SoundTransform t = transformOf(mm, Value(owner));
    double* fields[] = {&t.ll, &t.lr, &t.rl, &t.rr};
    const char* names[] = {"ll", "lr", "rl", "rr"};
    for (size_t i = 0; i < 4; ++i) {
      // Only the object's own fields count, not what its prototype gives.
      if (!o->findOwn(mm, names[i])) continue;
      if (Value v = o->get(mm, names[i]); !v.isUndefined()) *fields[i] = toInt32(mm.toNumber(v));
    }
    setTransform(mm, Value(owner), t);
    reshape(mm, self);
    return Value();
  });
  defineMethod(m, proto, "getTransform", [](Machine& mm, const Value& self, const Args&) {
    ObjectRef owner = ownerOf(mm, self);
    if (!owner) return Value();
    const SoundTransform t = transformOf(mm, Value(owner));
    ObjectRef o = mm.newObject();
    o->set(mm, "ll", Value(t.ll));
    o->set(mm, "lr", Value(t.lr));
    o->set(mm, "rr", Value(t.rr));
    o->set(mm, "rl", Value(t.rl));
    return Value(o);
  });
  // position and duration read as properties, in whole milliseconds.
  constexpr unsigned kFromSwf6 = 0x80;  // ASSetPropFlags: hidden from SWF 5
  for (const char* name : {"getDuration", "setDuration", "getPosition", "setPosition", "loadSound", "getBytesLoaded",
                           "getBytesTotal"})
    if (Property* p = proto->findOwnAnyVersion(m, name)) p->flags |= kFromSwf6;
}

void soundCompleted(Machine& m, uint32_t voice) {
  auto it = m.soundVoices().find(voice);
  if (it == m.soundVoices().end()) return;
  ObjectRef sound = it->second;
  const Value self(sound);
  setHidden(m, self, kLastPosition, durationMs(m, self));
  m.soundVoices().erase(it);
  // The position stays at the end; a handler may start the sound again.
  m.runScript([&] { m.callMethod(Value(sound), "onSoundComplete", {}); });
}

void soundLoaded(Machine& m, int sound, const LoadedSound& loaded) {
  ObjectRef loads = loadingSounds(m);
  const std::string key = std::to_string(sound);
  const Value self = loads->get(m, key);
  loads->remove(m, key);
  // A later loadSound on the same object took this one's place.
  if (!self.isObject() || hidden(m, self, kSoundId, 0) != sound) return;
  m.runScript([&] {
    const bool scriptId3 = hidden(m, self, kScriptId3, 0) != 0;
    if (loaded.success && loaded.hasId3) {
      // No prototype: it reads as undefined in a string. Each frame's plain name comes first;
      // comments gather in an array, the plain name keeping the last.
      ObjectRef id3 = m.newObject();
      id3->setProto(m, nullptr);
      for (const auto& [frame, text] : loaded.id3) {
        for (const auto& [id, name] : kId3Names)
          if (frame == id) id3->set(m, name, Value(text));
        if (frame != "COMM") {
          id3->set(m, frame, Value(text));
          continue;
        }
        Value comments = id3->get(m, frame);
        if (!comments.isObject()) {
          comments = Value(m.newArray());
          id3->set(m, frame, comments);
        }
        const double n = m.toNumber(comments.object()->get(m, "length"));
        comments.object()->set(m, std::to_string(int(n)), Value(text));
      }
      // Once given, scripts cannot replace it; one the script put there first stays instead.
      if (!scriptId3) self.object()->define(m, "id3", Value(id3), kReadOnly);
      m.callMethod(self, "onID3", {Value(true)});
    }
    setHidden(m, self, kLoading, 0);
    setHidden(m, self, kBytes, loaded.bytes);
    Value queued = self.object()->get(m, kQueued);
    self.object()->remove(m, kQueued);
    if (loaded.success) {
      if (loaded.streaming) startVoice(m, self, 0, 1);
      if (queued.isObject()) {
        const int n = static_cast<int>(m.toNumber(queued.object()->get(m, "length")));
        for (int i = 0; i + 1 < n; i += 2)
          startVoice(m, self, m.toNumber(queued.object()->get(m, std::to_string(i))),
                     m.toNumber(queued.object()->get(m, std::to_string(i + 1))));
      }
    }
    m.callMethod(self, "onLoad", {Value(loaded.success)});
  });
}

}  // namespace avm1

// MovieClipLoader: a broadcaster (its own first listener) that loads movies into clips or
// levels and tells its listeners how the load goes. loadClip gives true when the target
// exists, getProgress the target's bytes, and unloadClip empties it.
#include <cmath>

#include "ClipStage.h"
#include "ScriptClasses.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

// A target as loadClip takes it: a clip, a path, or a level number.
Value targetOf(Machine& m, const Value& target) {
  if (target.isObject()) return asClip(target) ? target : Value();
  if (target.isNumber()) {
    const double level = std::floor(target.number());
    return std::isfinite(level) && level >= 0 ? Value(m.level(int(level))) : Value();
  }
  if (target.isString()) {
    Value found = m.getVariable(target.string());
    return asClip(found) ? found : Value();
  }
  return Value();
}

}  // namespace

void installMovieClipLoaderClass(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.newObject();
  Value broadcaster = m.global()->get(m, "AsBroadcaster");
  avm1::defineClass(m, "MovieClipLoader", [broadcaster](Machine& mm, const Value& self, const Args&) {
    if (!self.isObject() || !broadcaster.isObject()) return Value();
    mm.callMethod(broadcaster, "initialize", {self});
    mm.callMethod(self, "addListener", {self});
    return Value();
  }, proto);
  constexpr unsigned kBuiltIn = avm1::kDontEnum | avm1::kDontDelete;
  // The movie loads as loadMovie would load it into the target, the loader hearing of it.
  ClipStage* at = &stage;
  proto->define(m, "loadClip", Value(m.newFunction(whileStageLives(stage, [at](Machine& mm, const Value& self, const Args& args) {
    if (args.size() < 2) return Value();
    if (!args[0].isString()) return Value(false);
    Value target = targetOf(mm, args[1]);
    if (!target.isObject()) return Value(false);
    avm1::ObjectRef listener = self.isObject() ? self.object() : nullptr;
    if (args[1].isNumber()) at->loads().loadIntoLevel(args[0].string(), int(std::floor(args[1].number())), listener);
    else at->loads().loadIntoClip(args[0].string(), target.object(), listener);
    return Value(true);
  }))), kBuiltIn);
  proto->define(m, "unloadClip", Value(m.newFunction(whileStageLives(stage, [at](Machine& mm, const Value&, const Args& args) {
    Value target = targetOf(mm, avm1::arg(args, 0));
    if (!target.isObject()) return Value(false);
    if (avm1::arg(args, 0).isNumber()) at->loads().unloadLevel(int(std::floor(args[0].number())));
    else at->loads().unloadClip(target.object());
    return Value(true);
  }))), kBuiltIn);
  proto->define(m, "getProgress", Value(m.newFunction([](Machine& mm, const Value&, const Args& args) {
    Value target = targetOf(mm, avm1::arg(args, 0));
    if (!target.isObject()) return Value();
    avm1::ObjectRef progress = mm.newObject();
    progress->set(mm, "bytesLoaded", mm.callMethod(target, "getBytesLoaded", {}));
    progress->set(mm, "bytesTotal", mm.callMethod(target, "getBytesTotal", {}));
    return Value(progress);
  })), kBuiltIn);
}

}  // namespace clips

// Color: a clip's colour transform by script. new Color(target) keeps the target (a clip or its
// path, found again on each call); setRGB, getRGB, setTransform and getTransform.
#include <cmath>

#include "ClipStage.h"
#include "ScriptClasses.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

display::DisplayObject* targetOf(Machine& m, const Value& self) {
  if (!self.isObject()) return nullptr;
  Value target = self.object()->get(m, "target");
  if (target.isUndefined()) return nullptr;
  if (!target.isObject()) {
    std::string path = m.toString(target);
    if (path.empty()) return nullptr;
    target = m.getVariable(path);
  }
  ClipObject* clip = asClip(target);
  return clip ? clip->display() : nullptr;
}

// Numbers wrap to 16 bits as the player stores them.
int16_t wrap16(double n) { return static_cast<int16_t>(static_cast<uint16_t>(avm1::toInt32(n))); }

Value setRGB(Machine& m, const Value& self, const Args& args) {
  display::DisplayObject* d = targetOf(m, self);
  if (!d) return Value();
  const uint32_t rgb = uint32_t(avm1::toInt32(m.toNumber(avm1::arg(args, 0))));
  swf::ColorTransform ct = d->colorTransform();
  ct.rMult = ct.gMult = ct.bMult = 0;
  ct.rAdd = int16_t((rgb >> 16) & 0xff);
  ct.gAdd = int16_t((rgb >> 8) & 0xff);
  ct.bAdd = int16_t(rgb & 0xff);
  d->setColorTransform(ct);
  return Value();
}

Value getRGB(Machine& m, const Value& self, const Args&) {
  display::DisplayObject* d = targetOf(m, self);
  if (!d) return Value();
  const swf::ColorTransform& ct = d->colorTransform();
  const int32_t rgb = int32_t(uint32_t(int32_t(ct.rAdd)) << 16) | int32_t(uint32_t(int32_t(ct.gAdd)) << 8) | ct.bAdd;
  return Value(double(rgb));
}

// Only the values the object has itself change; multipliers are percentages.
Value setTransform(Machine& m, const Value& self, const Args& args) {
  display::DisplayObject* d = targetOf(m, self);
  Value from = avm1::arg(args, 0);
  if (!d || !from.isObject()) return Value();
  const avm1::ObjectRef& o = from.object();
  swf::ColorTransform ct = d->colorTransform();
  struct Field {
    const char* name;
    int16_t* out;
    bool percent;
  };
  const Field fields[] = {{"ra", &ct.rMult, true}, {"ga", &ct.gMult, true}, {"ba", &ct.bMult, true},
                          {"aa", &ct.aMult, true}, {"rb", &ct.rAdd, false}, {"gb", &ct.gAdd, false},
                          {"bb", &ct.bAdd, false}, {"ab", &ct.aAdd, false}};
  for (const Field& f : fields) {
    if (!o->findOwn(m, f.name)) continue;
    const double n = m.toNumber(o->get(m, f.name));
    *f.out = wrap16(f.percent ? n * 256 / 100 : n);
  }
  d->setColorTransform(ct);
  return Value();
}

Value getTransform(Machine& m, const Value& self, const Args&) {
  display::DisplayObject* d = targetOf(m, self);
  if (!d) return Value();
  const swf::ColorTransform& ct = d->colorTransform();
  avm1::ObjectRef out = m.newObject();
  out->set(m, "ra", Value(ct.rMult * 100.0 / 256));
  out->set(m, "ga", Value(ct.gMult * 100.0 / 256));
  out->set(m, "ba", Value(ct.bMult * 100.0 / 256));
  out->set(m, "aa", Value(ct.aMult * 100.0 / 256));
  out->set(m, "rb", Value(int(ct.rAdd)));
  out->set(m, "gb", Value(int(ct.gAdd)));
  out->set(m, "bb", Value(int(ct.bAdd)));
  out->set(m, "ab", Value(int(ct.aAdd)));
  return Value(out);
}

}  // namespace

void installColorClass(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.newObject();
  avm1::defineClass(m, "Color", [](Machine& mm, const Value& self, const Args& args) {
    if (self.isObject())
      self.object()->define(mm, "target", avm1::arg(args, 0), avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
    return Value();
  }, proto);
  constexpr unsigned kBuiltIn = avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly;
  proto->define(m, "setRGB", Value(m.newFunction(setRGB)), kBuiltIn);
  proto->define(m, "setTransform", Value(m.newFunction(setTransform)), kBuiltIn);
  proto->define(m, "getRGB", Value(m.newFunction(getRGB)), kBuiltIn);
  proto->define(m, "getTransform", Value(m.newFunction(getTransform)), kBuiltIn);
}

}  // namespace clips

// Boolean: the constructor and its wrapper's toString and valueOf.
#include "Globals.h"

namespace avm1 {

namespace {
bool primitive(Machine& m, const Value& self) {
  if (self.isObject() && self.object()->className == "Boolean") return self.object()->primitive.number() != 0;
  return m.toBoolean(self);
}
}  // namespace

void installBooleanClass(Machine& m) {
  auto proto = m.newObject();
  defineClass(m, "Boolean", [](Machine& mm, const Value& self, const Args& args) {
    Value b(!args.empty() && mm.toBoolean(args[0]));
    if (mm.isConstructing(self)) {
      self.object()->className = "Boolean";
      self.object()->primitive = b;
      return self;
    }
    return b;
  }, proto);
  defineMethod(m, proto, "valueOf", [](Machine& mm, const Value& self, const Args&) {
    return Value(primitive(mm, self));
  });
  defineMethod(m, proto, "toString", [](Machine& mm, const Value& self, const Args&) {
    return Value(primitive(mm, self) ? "true" : "false");
  });
}

}  // namespace avm1

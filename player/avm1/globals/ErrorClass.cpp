// Error: a message on the instance when one is given, "Error" from the prototype otherwise;
// toString gives the message.
#include "Globals.h"

namespace avm1 {

void installErrorClass(Machine& m) {
  auto proto = m.newObject();
  defineClass(m, "Error", [](Machine& mm, const Value& self, const Args& args) {
    if (self.isObject() && !arg(args, 0).isUndefined()) self.object()->set(mm, "message", args[0]);
    return Value();
  }, proto);
  proto->define(m, "message", Value("Error"));
  proto->define(m, "name", Value("Error"));
  defineMethod(m, proto, "toString", [](Machine& mm, const Value& self, const Args&) {
    return self.isObject() ? self.object()->get(mm, "message") : Value();
  });
}

}  // namespace avm1

// Function.prototype.call and apply. `this` is the first argument as an object (a primitive
// boxed, _global for none), and the function runs as a method one level up, for its `super`.
#include "Globals.h"

namespace avm1 {

namespace {
Value thisOf(Machine& m, const Args& args) {
  ObjectRef o = m.toObject(arg(args, 0));
  return Value(o ? o : m.global());
}
}  // namespace

void installFunctionClass(Machine& m) {
  ObjectRef proto = m.prototypeOf("Function");
  defineMethod(m, proto, "call", [](Machine& mm, const Value& self, const Args& args) {
    return mm.call(self, thisOf(mm, args), Args(args.begin() + (args.empty() ? 0 : 1), args.end()), 1);
  });
  defineMethod(m, proto, "apply", [](Machine& mm, const Value& self, const Args& args) {
    Args list;
    Value array = arg(args, 1);
    if (array.isObject()) {
      double n = mm.toNumber(array.object()->get(mm, "length"));
      for (int i = 0; i < n; ++i) list.push_back(array.object()->get(mm, std::to_string(i)));
    }
    return mm.call(self, thisOf(mm, args), list, 1);
  });
}

}  // namespace avm1

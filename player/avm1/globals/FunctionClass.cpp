// Function.prototype.call and apply.
#include "Globals.h"

namespace avm1 {

void installFunctionClass(Machine& m) {
  ObjectRef proto = m.prototypeOf("Function");
  defineMethod(m, proto, "call", [](Machine& mm, const Value& self, const Args& args) {
    return mm.call(self, arg(args, 0), Args(args.begin() + (args.empty() ? 0 : 1), args.end()));
  });
  defineMethod(m, proto, "apply", [](Machine& mm, const Value& self, const Args& args) {
    Args list;
    Value array = arg(args, 1);
    if (array.isObject()) {
      double n = mm.toNumber(array.object()->get(mm, "length"));
      for (int i = 0; i < n; ++i) list.push_back(array.object()->get(mm, std::to_string(i)));
    }
    return mm.call(self, arg(args, 0), list);
  });
}

}  // namespace avm1

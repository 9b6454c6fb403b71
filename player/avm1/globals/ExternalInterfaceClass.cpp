// ExternalInterface: call goes out through the host; addCallback registers a function the
// container may call. Both answer only code of SWF 8 and later movies.
#include "Globals.h"

namespace avm1 {

void installExternalInterfaceClass(Machine& m) {
  if (!m.rules().hasExternalInterface()) return;
  ObjectRef ei = m.newObject();
  m.global()->define(m, "flash", Value(m.newObject()), kDontEnum);
  ObjectRef flash = m.global()->get(m, "flash").object();
  ObjectRef external = m.newObject();
  flash->define(m, "external", Value(external));
  external->define(m, "ExternalInterface", Value(ei));
  ei->define(m, "available", Value(true));
  defineMethod(m, ei, "call", [](Machine& mm, const Value&, const Args& args) {
    if (args.empty()) return Value::null();
    return mm.host().externalCall(mm.toString(args[0]), Args(args.begin() + 1, args.end()));
  });
  defineMethod(m, ei, "addCallback", [](Machine& mm, const Value&, const Args& args) {
    Value function = arg(args, 2);
    if (args.size() < 3 || !function.isObject() || !function.object()->isFunction()) return Value(false);
    mm.callbacks()[mm.toString(args[0])] = {args[1], function};
    return Value(true);
  });
}

}  // namespace avm1

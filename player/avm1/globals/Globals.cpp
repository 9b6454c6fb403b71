#include "Globals.h"

namespace avm1 {

Value arg(const Args& args, size_t i) { return i < args.size() ? args[i] : Value(); }

void defineMethod(Machine& m, const ObjectRef& on, const std::string& name, NativeFunction f) {
  on->define(m, name, Value(m.newFunction(std::move(f))), kDontEnum);
}

ObjectRef defineClass(Machine& m, const std::string& name, NativeFunction ctor, ObjectRef proto) {
  ObjectRef fn = m.newFunction(std::move(ctor));
  proto->define(m, "constructor", Value(fn), kDontEnum);
  fn->define(m, "prototype", Value(proto), kDontEnum | kDontDelete);
  m.global()->define(m, name, Value(fn), kDontEnum);
  return fn;
}

void installGlobals(Machine& m) {
  installObjectClass(m);  // first: every other object's prototype chain ends here
  installFunctionClass(m);
  installArrayClass(m);
  installStringClass(m);
  installNumberClass(m);
  installBooleanClass(m);
  installMathClass(m);
  installSystemClass(m);
  installExternalInterfaceClass(m);
  installGlobalFunctions(m);
  installErrorClass(m);
  installAsBroadcasterClass(m);
  installSoundClass(m);
}

}  // namespace avm1

// Object: the root prototype, addProperty, hasOwnProperty, watch-free basics, and the
// undocumented ASSetPropFlags that movies use to hide their own members.
#include "Globals.h"

namespace avm1 {

namespace {
Value assetPropFlags(Machine& m, const Value&, const Args& args) {
  Value target = arg(args, 0);
  if (!target.isObject()) return Value();
  ObjectRef o = target.object();
  unsigned set = static_cast<unsigned>(toInt32(m.toNumber(arg(args, 2))));
  unsigned clear = static_cast<unsigned>(toInt32(m.toNumber(arg(args, 3))));
  std::vector<std::string> names;
  Value list = arg(args, 1);
  if (list.isNullish()) {
    for (Property* p : o->ownProperties()) names.push_back(p->name);
  } else if (list.isObject()) {
    double n = m.toNumber(list.object()->get(m, "length"));
    for (int i = 0; i < n; ++i) names.push_back(m.toString(list.object()->get(m, std::to_string(i))));
  } else {
    std::string text = m.toString(list);
    for (size_t at = 0; at <= text.size();) {
      size_t comma = text.find(',', at);
      if (comma == std::string::npos) comma = text.size();
      names.push_back(text.substr(at, comma - at));
      at = comma + 1;
    }
  }
  for (const std::string& name : names)
    if (Property* p = o->findOwn(m, name)) p->flags = (p->flags & ~clear) | (set & 7);
  return Value();
}
}  // namespace

void installObjectClass(Machine& m) {
  auto proto = std::make_shared<Object>();
  // Function.prototype must exist before the first native function is made.
  auto functionProto = std::make_shared<Object>();
  functionProto->setProto(m, proto);
  auto objectCtor = std::make_shared<FunctionObject>([](Machine& mm, const Value& self, const Args& args) {
    Value a = arg(args, 0);
    if (a.isObject()) return a;
    if (!a.isNullish()) {  // Object("text") boxes the primitive as String("text") would
      Value boxed = mm.construct(mm.global()->get(mm, a.isString() ? "String" : a.isNumber() ? "Number" : "Boolean"), {a});
      if (boxed.isObject()) return boxed;
    }
    return mm.isConstructing(self) ? self : Value(mm.newObject());
  });
  objectCtor->setProto(m, functionProto);
  objectCtor->constructsOwnObject = true;
  objectCtor->define(m, "prototype", Value(ObjectRef(proto)), kDontEnum | kDontDelete);
  proto->define(m, "constructor", Value(ObjectRef(objectCtor)), kDontEnum);
  m.global()->define(m, "Object", Value(ObjectRef(objectCtor)), kDontEnum);
  auto functionCtor = std::make_shared<FunctionObject>([](Machine&, const Value& self, const Args&) { return self; });
  functionCtor->setProto(m, functionProto);
  functionCtor->define(m, "prototype", Value(ObjectRef(functionProto)), kDontEnum | kDontDelete);
  m.global()->define(m, "Function", Value(ObjectRef(functionCtor)), kDontEnum);

  defineMethod(m, proto, "toString", [](Machine&, const Value& self, const Args&) {
    return Value(self.isObject() && self.object()->isFunction() ? "[type Function]" : "[object Object]");
  });
  defineMethod(m, proto, "valueOf", [](Machine&, const Value& self, const Args&) { return self; });
  defineMethod(m, proto, "hasOwnProperty", [](Machine& mm, const Value& self, const Args& args) {
    return Value(self.isObject() && self.object()->findOwn(mm, mm.toString(arg(args, 0))) != nullptr);
  });
  defineMethod(m, proto, "isPropertyEnumerable", [](Machine& mm, const Value& self, const Args& args) {
    Property* p = self.isObject() ? self.object()->findOwn(mm, mm.toString(arg(args, 0))) : nullptr;
    return Value(p && !(p->flags & kDontEnum));
  });
  defineMethod(m, proto, "isPrototypeOf", [](Machine& mm, const Value& self, const Args& args) {
    Value v = arg(args, 0);
    if (!self.isObject() || !v.isObject()) return Value(false);
    for (ObjectRef o = v.object()->proto(mm); o; o = o->proto(mm))
      if (o == self.object()) return Value(true);
    return Value(false);
  });
  defineMethod(m, proto, "addProperty", [](Machine& mm, const Value& self, const Args& args) {
    if (!self.isObject()) return Value(false);
    Value get = arg(args, 1), set = arg(args, 2);
    return Value(self.object()->addProperty(mm, mm.toString(arg(args, 0)),
                                           get.isObject() ? get.object() : nullptr,
                                           set.isObject() ? set.object() : nullptr));
  });
  m.global()->define(m, "ASSetPropFlags", Value(m.newFunction(assetPropFlags)), kDontEnum);
}

}  // namespace avm1

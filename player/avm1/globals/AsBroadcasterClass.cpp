// AsBroadcaster: initialize(o) gives o a hidden _listeners array and addListener,
// removeListener and broadcastMessage, which call the named method on every listener.
#include "Globals.h"

namespace avm1 {

namespace {
Value listeners(Machine& m, const Value& self) {
  return self.isObject() ? self.object()->get(m, "_listeners") : Value();
}
double length(Machine& m, const Value& list) { return m.toNumber(list.object()->get(m, "length")); }

Value addListener(Machine& m, const Value& self, const Args& args) {
  Value list = listeners(m, self), listener = arg(args, 0);
  if (!list.isObject()) return Value(true);
  for (int i = 0; i < length(m, list); ++i)
    if (m.looseEquals(list.object()->get(m, std::to_string(i)), listener)) {
      list.object()->set(m, std::to_string(i), listener);
      return Value(true);
    }
  m.callMethod(list, "push", {listener});
  return Value(true);
}

Value removeListener(Machine& m, const Value& self, const Args& args) {
  Value list = listeners(m, self), listener = arg(args, 0);
  if (!list.isObject()) return Value(false);
  for (int i = 0; i < length(m, list); ++i)
    if (m.looseEquals(list.object()->get(m, std::to_string(i)), listener)) {
      m.callMethod(list, "splice", {Value(i), Value(1)});
      return Value(true);
    }
  return Value(false);
}

Value broadcastMessage(Machine& m, const Value& self, const Args& args) {
  if (args.empty() || args[0].isUndefined()) return Value();
  std::string event = m.toString(args[0]);
  Args rest(args.begin() + 1, args.end());
  Value list = listeners(m, self);
  if (!list.isObject()) return Value(true);
  double n = length(m, list);
  for (int i = 0; i < n; ++i) {
    Value listener = list.object()->get(m, std::to_string(i));
    if (listener.isObject()) m.callMethod(listener, event, rest);
  }
  return Value(true);
}
}  // namespace

void installAsBroadcasterClass(Machine& m) {
  ObjectRef broadcaster = defineClass(m, "AsBroadcaster", [](Machine&, const Value&, const Args&) {
    return Value();
  }, m.newObject());
  ObjectRef add = m.newFunction(addListener), remove = m.newFunction(removeListener),
            broadcast = m.newFunction(broadcastMessage);
  for (auto [name, f] : {std::pair{"addListener", add}, {"removeListener", remove}, {"broadcastMessage", broadcast}})
    broadcaster->define(m, name, Value(f), kDontEnum | kDontDelete);
  defineMethod(m, broadcaster, "initialize", [add, remove, broadcast](Machine& mm, const Value&, const Args& args) {
    Value target = arg(args, 0);
    if (!target.isObject()) return Value();
    ObjectRef o = target.object();
    o->define(mm, "broadcastMessage", Value(broadcast), kDontEnum | kDontDelete);
    o->define(mm, "addListener", Value(add), kDontEnum | kDontDelete);
    o->define(mm, "removeListener", Value(remove), kDontEnum | kDontDelete);
    o->define(mm, "_listeners", Value(mm.newArray()), kDontEnum | kDontDelete);
    return Value();
  });
  broadcaster->findOwn(m, "initialize")->flags = kDontEnum | kDontDelete;
}

}  // namespace avm1

#include "Machine.h"

#include "Activation.h"

#include <cmath>

namespace avm1 {

namespace {
constexpr int kMaxCallDepth = 256;  // the player's recursion limit

enum Function2Flags : uint16_t {
  kPreloadThis = 1, kSuppressThis = 2, kPreloadArguments = 4, kSuppressArguments = 8,
  kPreloadSuper = 16, kSuppressSuper = 32, kPreloadRoot = 64, kPreloadParent = 128,
  kPreloadGlobal = 256,
};
}  // namespace

Machine::Machine(int version, Host& host) : rules_(version), host_(host) {
  global_ = std::make_shared<Object>();
  installGlobals(*this);
}

ObjectRef Machine::level(int n) {
  ObjectRef& level = levels_[n];
  if (!level) {
    level = newObject();
    level->className = "MovieClip";
  }
  return level;
}

void Machine::beginScript() {
  deadline_ = std::chrono::steady_clock::now() + scriptLimit_;
}

void Machine::checkDeadline() {
  if (std::chrono::steady_clock::now() > deadline_) throw ScriptTimeout();
}

void Machine::runActions(std::shared_ptr<const Code> code, const ObjectRef& timeline) {
  beginScript();
  try {
    auto scope = std::make_shared<Scope>(Scope{global_, nullptr});
    scope = std::make_shared<Scope>(Scope{timeline, scope});
    Activation a(*this, code, scope, Value(timeline), timeline, globalRegisters, 4);
    a.run(0, code->bytes.size());
  } catch (const ScriptThrow& e) {
    host_.trace("Error: " + toString(e.value));
  } catch (const ScriptTimeout&) {
    timedOut_ = true;
    host_.trace("A script has been running too long and was stopped");
  }
}

namespace {
// Runs `body` with an activation whose scope is _level0 over _global, reporting what escapes.
template <typename Body>
void atTopLevel(Machine& m, const ObjectRef& global, Body body) {
  static const auto empty = std::make_shared<const Code>(Code{});
  m.beginScript();
  try {
    auto scope = std::make_shared<Scope>(Scope{global, nullptr});
    scope = std::make_shared<Scope>(Scope{m.root(), scope});
    Activation a(m, empty, scope, Value(m.root()), m.root(), m.globalRegisters, 4);
    body(a);
  } catch (const ScriptThrow& e) {
    m.host().trace("Error: " + m.toString(e.value));
  } catch (const ScriptTimeout&) {
    m.host().trace("A script has been running too long and was stopped");
  }
}
}  // namespace

Value Machine::getVariable(const std::string& path) {
  Value result;
  atTopLevel(*this, global_, [&](Activation& a) { result = a.variable(path); });
  return result;
}

void Machine::setVariable(const std::string& path, const Value& value) {
  atTopLevel(*this, global_, [&](Activation& a) { a.setVariable(path, value); });
}

Value Machine::call(const Value& function, const Value& self, const Args& args) {
  if (!function.isObject() || !function.object()->isFunction()) return Value();
  auto* f = static_cast<FunctionObject*>(function.object().get());
  if (depth >= kMaxCallDepth) return Value();
  struct Depth { int& d; Depth(int& x) : d(++x) {} ~Depth() { --d; } } guard(depth);
  if (f->native()) return f->native()(*this, self, args);
  const ScriptFunction& s = f->script();
  auto activationObject = std::make_shared<Object>();
  auto scope = std::make_shared<Scope>(Scope{activationObject, s.scope});
  ObjectRef argumentsArray = newArray(args);
  argumentsArray->define(*this, "callee", function, kDontEnum);
  std::vector<Value> local;
  Value* registers = globalRegisters;
  size_t registerCount = 4;
  ObjectRef timeline = root();
  if (s.isFunction2) {
    local.resize(std::max<size_t>(s.registerCount, 1));
    registers = local.data();
    registerCount = local.size();
    size_t next = 1;
    auto preload = [&](uint16_t flag, const Value& v) {
      if ((s.flags & flag) && next < registerCount) registers[next++] = v;
    };
    Value super;
    if (self.isObject())
      if (ObjectRef p = self.object()->proto(*this)) super = p->get(*this, "__constructor__");
    preload(kPreloadThis, self);
    preload(kPreloadArguments, Value(argumentsArray));
    preload(kPreloadSuper, super);
    preload(kPreloadRoot, Value(root()));
    preload(kPreloadParent, Value(root()->get(*this, "_parent")));
    preload(kPreloadGlobal, Value(global_));
    if (!(s.flags & kSuppressArguments)) activationObject->define(*this, "arguments", Value(argumentsArray));
    if (!(s.flags & kSuppressSuper)) activationObject->define(*this, "super", super);
  } else {
    activationObject->define(*this, "arguments", Value(argumentsArray));
  }
  for (size_t i = 0; i < s.params.size(); ++i) {
    Value v = i < args.size() ? args[i] : Value();
    if (s.isFunction2 && s.params[i].reg && s.params[i].reg < registerCount) registers[s.params[i].reg] = v;
    else activationObject->define(*this, s.params[i].name, v);
  }
  Activation a(*this, s.code, scope, self.isObject() ? self : Value(global_), timeline, registers,
               registerCount);
  a.useConstants(s.constants);
  return a.run(s.begin, s.end);
}

Value Machine::construct(const Value& constructor, const Args& args) {
  if (!constructor.isObject() || !constructor.object()->isFunction()) return Value();
  auto* f = static_cast<FunctionObject*>(constructor.object().get());
  ObjectRef o = newObject();
  Value proto = constructor.object()->get(*this, "prototype");
  o->setProto(*this, proto.isObject() ? proto.object() : nullptr);
  o->define(*this, "__constructor__", constructor, kDontEnum);
  if (rules_.version() < 7) o->define(*this, "constructor", constructor, kDontEnum);
  Value result = call(constructor, Value(o), args);
  if (f->constructsOwnObject && result.isObject()) return result;
  return Value(o);
}

Value Machine::callMethod(const Value& target, const std::string& name, const Args& args) {
  if (!target.isObject()) return Value();
  return call(target.object()->get(*this, name), target, args);
}

Value Machine::toPrimitive(const Value& v) {
  if (!v.isObject()) return v;
  ObjectRef o = v.object();
  if (o->className == "Date") return Value(toString(v));
  Value result = callMethod(v, "valueOf", {});
  if (!result.isObject()) return result;
  return Value(toString(v));
}

std::string Machine::toString(const Value& v) {
  if (!v.isObject()) return primitiveToString(v, rules_);
  Value method = v.object()->get(*this, "toString");
  if (method.isObject() && method.object()->isFunction()) {
    Value r = call(method, v, {});
    if (!r.isObject()) return primitiveToString(r, rules_);
  }
  return primitiveToString(v, rules_);
}

double Machine::toNumber(const Value& v) {
  if (!v.isObject()) return avm1::toNumber(v, rules_);
  Value p = callMethod(v, "valueOf", {});
  if (p.isObject()) return NAN;
  return avm1::toNumber(p, rules_);
}

bool Machine::looseEquals(const Value& a, const Value& b) {
  using K = Value::Kind;
  if (a.kind() == b.kind()) return strictEquals(a, b);
  if (a.isNullish() && b.isNullish()) return true;
  if (a.isNullish() || b.isNullish()) return false;
  if (a.kind() == K::Boolean) return looseEquals(Value(a.number()), b);
  if (b.kind() == K::Boolean) return looseEquals(a, Value(b.number()));
  if (a.isObject() && b.isObject()) return a.object() == b.object();
  if (a.isObject()) return looseEquals(toPrimitive(a), b);
  if (b.isObject()) return looseEquals(a, toPrimitive(b));
  return toNumber(a) == toNumber(b);
}

ObjectRef Machine::prototypeOf(const std::string& globalClass) {
  Value ctor = global_->get(*this, globalClass);
  if (!ctor.isObject()) return nullptr;
  Value proto = ctor.object()->get(*this, "prototype");
  return proto.isObject() ? proto.object() : nullptr;
}

ObjectRef Machine::newObject() {
  auto o = std::make_shared<Object>();
  if (ObjectRef proto = prototypeOf("Object")) o->setProto(*this, proto);
  return o;
}

ObjectRef Machine::newArray(const Args& items) {
  auto o = std::make_shared<Object>();
  o->makeArray();
  o->className = "Array";
  if (ObjectRef proto = prototypeOf("Array")) o->setProto(*this, proto);
  o->define(*this, "length", Value(0), kDontEnum | kDontDelete);
  for (size_t i = 0; i < items.size(); ++i) o->set(*this, std::to_string(i), items[i]);
  return o;
}

namespace {
ObjectRef withPrototype(Machine& m, ObjectRef fn) {
  if (ObjectRef proto = m.prototypeOf("Function")) fn->setProto(m, proto);
  return fn;
}
}  // namespace

ObjectRef Machine::newFunction(NativeFunction f) {
  return withPrototype(*this, std::make_shared<FunctionObject>(std::move(f)));
}

ObjectRef Machine::newFunction(ScriptFunction f) {
  ObjectRef fn = withPrototype(*this, std::make_shared<FunctionObject>(std::move(f)));
  ObjectRef proto = newObject();
  proto->define(*this, "constructor", Value(fn), kDontEnum);
  fn->define(*this, "prototype", Value(proto), kDontEnum);
  return fn;
}

int Machine::addInterval(Value function, Value self, std::string method, Args args, double ms) {
  int id = nextIntervalId_++;
  double period = std::max(ms, 10.0);  // the player's floor for short periods
  intervals_[id] = Interval{std::move(function), std::move(self), std::move(method),
                            std::move(args), period, nowMs_ + period};
  return id;
}

bool Machine::clearInterval(int id) { return intervals_.erase(id) > 0; }

void Machine::runDueIntervals(double nowMs) {
  nowMs_ = nowMs;
  std::vector<int> due;
  for (auto& [id, interval] : intervals_)
    if (interval.nextMs <= nowMs) due.push_back(id);
  for (int id : due) {
    auto it = intervals_.find(id);
    if (it == intervals_.end()) continue;  // an earlier one cleared it
    it->second.nextMs = nowMs + it->second.periodMs;
    Interval copy = it->second;
    beginScript();
    try {
      if (copy.method.empty()) call(copy.function, copy.self, copy.args);
      else callMethod(copy.self, copy.method, copy.args);
    } catch (const ScriptThrow& e) {
      host_.trace("Error: " + toString(e.value));
    } catch (const ScriptTimeout&) {
      timedOut_ = true;
      host_.trace("A script has been running too long and was stopped");
    }
  }
}

Value Machine::callExported(const std::string& name, const Args& args) {
  auto it = callbacks_.find(name);
  if (it == callbacks_.end()) return Value();
  beginScript();
  try {
    return call(it->second.second, it->second.first, args);
  } catch (const ScriptThrow& e) {
    host_.trace("Error: " + toString(e.value));
  } catch (const ScriptTimeout&) {
    timedOut_ = true;
    host_.trace("A script has been running too long and was stopped");
  }
  return Value();
}

}  // namespace avm1

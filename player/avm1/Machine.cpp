#include "Machine.h"

#include "Activation.h"

#include <cmath>

namespace avm1 {

namespace {
constexpr int kMaxCallDepth = 254;  // nested script functions beyond this stop the action list

enum Function2Flags : uint16_t {
  kPreloadThis = 1, kSuppressThis = 2, kPreloadArguments = 4, kSuppressArguments = 8,
  kPreloadSuper = 16, kSuppressSuper = 32, kPreloadRoot = 64, kPreloadParent = 128,
  kPreloadGlobal = 256,
};
}  // namespace

Machine::Machine(int version, Host& host) : rules_(version), host_(host) {
  global_ = std::make_shared<Object>();
  installGlobals(*this);
  if (Value string = global_->get(*this, "String"); string.isObject()) stringClass_ = string.object();
}

ObjectRef Machine::level(int n) {
  ObjectRef& level = levels_[n];
  if (!level) {
    level = newObject();
    if (ObjectRef clipProto = prototypeOf("MovieClip")) level->setProto(*this, clipProto);
    level->className = "MovieClip";
    level->clipPath = "_level" + std::to_string(n);
    level->define(*this, "_parent", Value(), kDontEnum);  // a level has none, whatever prototypes say
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
  runScript([&] {
    auto scope = std::make_shared<Scope>(Scope{global_, nullptr});
    scope = std::make_shared<Scope>(Scope{timeline, scope, true});
    Activation a(*this, code, scope, Value(timeline), timeline, globalRegisters, 4);
    a.run(0, code->bytes.size());
  });
}

namespace {
// Runs `body` with an activation whose scope is _level0 over _global, reporting what escapes.
template <typename Body>
void atTopLevel(Machine& m, const ObjectRef& global, Body body) {
  static const auto empty = std::make_shared<const Code>(Code{});
  m.runScript([&] {
    auto scope = std::make_shared<Scope>(Scope{global, nullptr});
    scope = std::make_shared<Scope>(Scope{m.root(), scope, true});
    Activation a(m, empty, scope, Value(m.root()), m.root(), m.globalRegisters, 4);
    body(a);
  });
}
}  // namespace

Value Machine::getVariable(const std::string& path) {
  Value result;
  atTopLevel(*this, global_, [&](Activation& a) { result = a.valueAtPath(path); });
  return result;
}

void Machine::setVariable(const std::string& path, const Value& value) {
  atTopLevel(*this, global_, [&](Activation& a) { a.assignPath(path, value); });
}

ObjectRef Machine::superBase(const SuperObject& super) {
  ObjectRef base = super.self;
  for (int i = 0; base && i < super.depth; ++i) base = base->proto(*this);
  return base;
}

Value Machine::call(const Value& function, const Value& self, const Args& args, int methodDepth) {
  if (!function.isObject()) return Value();
  // super(...) runs the constructor one level above the method that holds it.
  if (auto* super = function.object()->asSuper()) {
    ObjectRef base = superBase(*super);
    if (!base) return Value();
    return callConstructor(base->get(*this, "__constructor__"), super->self, args, super->depth + 1);
  }
  if (!function.object()->isFunction()) return Value();
  auto* f = static_cast<FunctionObject*>(function.object().get());
  if (f->native()) {
    if (!constructing_ || !self.isObject() || self.object() != constructing_) return f->native()(*this, self, args);
    // Only this call sees it: the calls it makes in turn are plain ones.
    ObjectRef made = constructing_, outerNative = constructingNative_;
    constructing_ = nullptr;
    constructingNative_ = made;
    Value result = f->native()(*this, self, args);
    constructing_ = made;
    constructingNative_ = outerNative;
    return result;
  }
  // Script functions nest 255 deep at most; past that the whole action list stops.
  if (depth >= kMaxCallDepth) throw RecursionLimit();
  struct Depth { int& d; Depth(int& x) : d(++x) {} ~Depth() { --d; } } guard(depth);
  // The body's own calls are plain ones: constructing_ is moved out (left null) until it returns.
  struct Restore { ObjectRef& slot; ObjectRef value; ~Restore() { slot = std::move(value); } } notConstructing{constructing_, std::move(constructing_)};
  struct Callee {
    Value& current; Value outer;
    Callee(Value& c, const Value& f) : current(c), outer(f) { std::swap(current, outer); }
    ~Callee() { current = std::move(outer); }
  } callee(callee_, function);
  const ScriptFunction& s = f->script();
  // The activation object holds the locals not kept in registers; many bodies have none.
  auto scope = std::make_shared<Scope>(Scope{nullptr, s.scope, false, true});
  auto locals = [&scope]() -> Object& {
    if (!scope->object) scope->object = std::make_shared<Object>();
    return *scope->object;
  };
  // `arguments` is made only for a body that can see it.
  ObjectRef argumentsArray;
  if ((s.flags & kPreloadArguments) || !(s.flags & kSuppressArguments)) {
    argumentsArray = newArray(args);
    argumentsArray->define(*this, "callee", function, kDontEnum);
    argumentsArray->define(*this, "caller", callee.outer.isObject() ? callee.outer : Value::null(), kDontEnum);
  }
  Value super;
  if (self.isObject() && !(s.flags & kSuppressSuper))
    super = Value(ObjectRef(std::make_shared<SuperObject>(self.object(), methodDepth)));
  struct Local {
    Machine& m; std::vector<Value> values;
    ~Local() { m.giveValues(std::move(values)); }
  } local{*this, {}};
  Value* registers = globalRegisters;
  size_t registerCount = 4;
  // A function's timeline is the clip whose code defined it.
  ObjectRef timeline;
  for (Scope* at = s.scope.get(); at && !timeline; at = at->parent.get())
    if (at->target) timeline = at->object;
  if (!timeline) timeline = root();
  // Preloads fill registers from 1 in this order; a suppressed `this` or `super` that is also
  // preloaded leaves its register undefined, a preloaded `arguments` wins over suppression.
  if (s.isFunction2) {
    local.values = takeValues();
    local.values.resize(std::max<size_t>(s.registerCount, 1));
    registers = local.values.data();
    registerCount = local.values.size();
  }
  size_t next = 1;
  auto preload = [&](uint16_t flag, const Value& v) {
    if (!(s.flags & flag)) return false;
    if (next < registerCount) registers[next] = v;
    ++next;
    return true;
  };
  preload(kPreloadThis, (s.flags & kSuppressThis) ? Value() : self);
  if (!preload(kPreloadArguments, Value(argumentsArray)) && !(s.flags & kSuppressArguments))
    locals().define(*this, "arguments", Value(argumentsArray));
  if (!preload(kPreloadSuper, super) && !super.isUndefined()) locals().define(*this, "super", super);
  if (s.flags & kPreloadRoot) preload(kPreloadRoot, Value(root()));
  if (s.flags & kPreloadParent)
    if (Value parent = timeline->get(*this, "_parent"); parent.isObject()) preload(kPreloadParent, parent);
  if (s.flags & kPreloadGlobal) preload(kPreloadGlobal, Value(global_));
  for (size_t i = 0; i < s.params.size(); ++i) {
    Value v = i < args.size() ? args[i] : Value();
    if (s.isFunction2 && s.params[i].reg && s.params[i].reg < registerCount) registers[s.params[i].reg] = v;
    else locals().define(*this, s.params[i].name, v);
  }
  // A function body runs under SWF 5 rules at least: a SWF 4 movie's own code has no functions.
  struct Rules {
    VersionRules& current; VersionRules outer;
    ~Rules() { current = outer; }
  } rules{rules_, rules_};
  if (rules_.version() < 5) rules_ = VersionRules(5);
  Activation a(*this, s.code, std::move(scope), self, std::move(timeline), registers, registerCount);
  a.useConstants(s.constants);
  return a.run(s.begin, s.end);
}

Value Machine::propertyCall(const Object* owner, const std::string& name, const Value& function,
                           const Value& self, const Args& args, const Value* fallback, int methodDepth) {
  auto key = std::make_pair(owner, rules_.nameKey(name));
  int& nested = propertyDepth_[key];
  if (nested >= 65) return fallback ? *fallback : Value();
  ++nested;
  struct Leave {
    std::map<std::pair<const Object*, std::string>, int>& depths; std::pair<const Object*, std::string> key;
    ~Leave() { if (--depths[key] == 0) depths.erase(key); }
  } leave{propertyDepth_, key};
  return call(function, self, args, methodDepth);
}

Value Machine::construct(const Value& constructor, const Args& args) {
  if (!constructor.isObject() || !constructor.object()->isFunction()) return Value();
  auto* f = static_cast<FunctionObject*>(constructor.object().get());
  ObjectRef o = newObject();
  Value proto = constructor.object()->get(*this, "prototype");
  o->setProto(*this, proto.isObject() ? proto.object() : nullptr);
  o->define(*this, "__constructor__", constructor, kDontEnum);
  if (rules_.version() < 7) o->define(*this, "constructor", constructor, kDontEnum);
  Value result = callConstructor(constructor, o, args, 1);
  if (f->constructsOwnObject && result.isObject()) return result;
  return Value(o);
}

// A constructor runs on the object being made; a native one tells a `new` (or a subclass's
// super(...)) from a plain call by isConstructing.
Value Machine::callConstructor(const Value& constructor, const ObjectRef& self, const Args& args, int depth) {
  ObjectRef outer = constructing_;
  constructing_ = self;
  struct Restore { ObjectRef& slot; ObjectRef value; ~Restore() { slot = value; } } restore{constructing_, outer};
  return call(constructor, Value(self), args, depth);
}

// A method through super is looked up above the super's level and runs on the object itself.
Value Machine::callMethod(const Value& target, const std::string& name, const Args& args) {
  return callFound(target, name, args, true);
}

bool Machine::primitiveStringMethod(const std::string& name, Value* function) {
  std::string key = rules_.nameKey(name);
  if (key == "__proto__" || key == "__constructor__" || key == "constructor" || key == "length") return false;
  Value string;
  if (!stringClass_ || !global_->tryGet(*this, "String", &string) || string.object() != stringClass_) return false;
  Value proto;
  int level = 0;
  if (!stringClass_->findData(*this, "prototype", &proto, &level) || !proto.isObject()) return false;
  if (!proto.object()->findData(*this, name, function, &level) || !function->isObject()) return false;
  auto* f = function->object()->isFunction() ? static_cast<FunctionObject*>(function->object().get()) : nullptr;
  return f && f->acceptsPrimitiveSelf;
}

// valueOf and toString asked for by a conversion: found without __resolve, as the player does.
Value Machine::callConversion(const Value& target, const std::string& name) {
  return callFound(target, name, {}, false);
}

Value Machine::callFound(const Value& target, const std::string& name, const Args& args, bool resolve) {
  if (!target.isObject()) return Value();
  if (auto* super = target.object()->asSuper()) {
    ObjectRef base = superBase(*super);
    ObjectRef above = base ? base->proto(*this) : nullptr;
    if (!above) return Value();
    Value self(super->self);
    return call(above->getAs(*this, name, self, super->depth + 1, resolve), self, args, super->depth + 1);
  }
  return call(target.object()->getAs(*this, name, target, 0, resolve), target, args);
}

// valueOf for objects (toString for a Date); an object that stays an object is kept, for the
// caller to turn into text. A clip whose valueOf gives nothing reads as its path.
Value Machine::toPrimitive(const Value& v) {
  if (!v.isObject()) return v;
  const ObjectRef& o = v.object();
  if (o->className == "Date" && rules_.version() > 5) {
    Value text = callConversion(v, "toString");
    return text.isObject() ? v : text;
  }
  Value result = callConversion(v, "valueOf");
  if (o->isClip()) return result.isUndefined() ? Value(o->clipPath) : v;
  return result.isObject() ? v : result;
}

// The number hint: valueOf only, never toString; clips are not numbers.
Value Machine::toPrimitiveNumber(const Value& v) {
  if (!v.isObject() || v.object()->isClip()) return v;
  return callConversion(v, "valueOf");
}

std::string Machine::toString(const Value& v) {
  if (!v.isObject()) return primitiveToString(v, rules_);
  const ObjectRef& o = v.object();
  if (o->className == "String" && o->primitive.isString()) return o->primitive.string();  // no toString call
  if (o->isClip()) return o->clipPath;
  Value text = callConversion(v, "toString");
  if (text.isString()) return text.string();
  return o->isFunction() ? "[type Function]" : "[type Object]";
}

// A primitive is boxed by its class's constructor on _global, as the player boxes it (a movie
// may replace that constructor); undefined and null have no object.
ObjectRef Machine::toObject(const Value& v) {
  if (v.isObject()) return v.object();
  const char* cls = nullptr;
  switch (v.kind()) {
    case Value::Kind::String: cls = "String"; break;
    case Value::Kind::Number: cls = "Number"; break;
    case Value::Kind::Boolean: cls = "Boolean"; break;
    default: return nullptr;
  }
  Value boxed = construct(global_->get(*this, cls), {v});
  return boxed.isObject() ? boxed.object() : nullptr;
}

std::string Machine::textOf(const Value& v) {
  try {
    return toString(v);
  } catch (const ScriptThrow&) {
  } catch (const ScriptTimeout&) {
  } catch (const RecursionLimit&) {
  }
  return v.isObject() && v.object()->isFunction() ? "[type Function]" : "[type Object]";
}

double Machine::toNumberSlow(const Value& v) {
  if (!v.isObject()) return avm1::toNumber(v, rules_);
  return avm1::toNumber(toPrimitiveNumber(v), rules_);
}

// The abstract equality of ==. SWF 5 asks valueOf of both sides first, even of two objects.
bool Machine::looseEquals(const Value& left, const Value& right) {
  using K = Value::Kind;
  Value a = left, b = right;
  if (rules_.version() <= 5) {
    b = toPrimitiveNumber(right);
    a = toPrimitiveNumber(left);
  }
  if (a.isNullish() && b.isNullish()) return true;
  if (a.kind() == b.kind()) return avm1::strictEquals(a, b);
  if (a.kind() == K::Boolean) return looseEquals(Value(a.number()), b);
  if (b.kind() == K::Boolean) return looseEquals(a, Value(b.number()));
  if (a.isNumber() && b.isString()) return a.number() == avm1::toNumber(b, rules_);
  if (a.isString() && b.isNumber()) return avm1::toNumber(a, rules_) == b.number();
  if (a.isObject() && !b.isObject()) {
    Value p = toPrimitiveNumber(a);
    return !p.isObject() && looseEquals(b, p);
  }
  if (b.isObject() && !a.isObject()) {
    Value p = toPrimitiveNumber(b);
    return !p.isObject() && looseEquals(a, p);
  }
  return false;
}

// a < b for Less2 and Greater: strings compare as strings, the rest as numbers, NaN gives
// undefined; an object whose valueOf gives an object compares false.
Value Machine::lessThan(const Value& left, const Value& right) {
  Value a = toPrimitiveNumber(left);
  if (a.isObject() && !a.object()->isClip()) return Value(false);
  Value b = toPrimitiveNumber(right);
  if (b.isObject() && !b.object()->isClip()) return Value(false);
  if (a.isString() && b.isString()) return Value(a.string() < b.string());
  double na = avm1::toNumber(a, rules_), nb = avm1::toNumber(b, rules_);
  if (std::isnan(na) || std::isnan(nb)) return Value();
  return Value(na < nb);
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
  // A new array has no setters or watchers of its own to run: its elements are stored directly.
  for (size_t i = 0; i < items.size(); ++i) o->define(*this, std::to_string(i), items[i]);
  if (!items.empty()) o->define(*this, "length", Value(static_cast<double>(items.size())), kDontEnum | kDontDelete);
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
  fn->define(*this, "prototype", Value(proto), kDontEnum | kDontDelete);
  return fn;
}

int Machine::addInterval(Value function, Value self, std::string method, Args args, double ms, bool once) {
  int id = nextIntervalId_++;
  double period = std::max(ms, 10.0);  // the player's floor for short periods
  intervals_[id] = Interval{std::move(function), std::move(self), std::move(method),
                            std::move(args), period, nowMs_ + period, once};
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
    if (copy.once) intervals_.erase(it);
    if (display_ && copy.self.isObject() && copy.self.object()->isClip() && display_->removed(copy.self.object())) {
      intervals_.erase(id);
      continue;
    }
    runScript([&] {
      if (copy.method.empty()) call(copy.function, copy.self, copy.args);
      else callMethod(copy.self, copy.method, copy.args);
    });
  }
}

Value Machine::callExported(const std::string& name, const Args& args) {
  auto it = callbacks_.find(name);
  if (it == callbacks_.end()) return Value();
  Value result;
  runScript([&] { result = call(it->second.second, it->second.first, args); });
  return result;
}

}  // namespace avm1

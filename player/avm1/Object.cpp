#include "Object.h"

#include "Machine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>

namespace avm1 {

namespace {
constexpr int kMaxChain = 256;  // a cycle through __proto__ stops here, as in the player

// An element name as the player reads one: optional leading spaces and sign, then decimal
// digits, wrapping to a 32-bit integer ("4294967297" is element 1).
bool arrayIndex(const std::string& name, int32_t* index) {
  size_t i = 0;
  while (i < name.size() && std::isspace(static_cast<unsigned char>(name[i]))) ++i;
  bool negative = i < name.size() && name[i] == '-';
  if (i < name.size() && (name[i] == '-' || name[i] == '+')) ++i;
  if (i == name.size()) return false;
  uint32_t n = 0;
  for (; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
    n = n * 10 + static_cast<uint32_t>(name[i] - '0');
  }
  *index = static_cast<int32_t>(negative ? 0u - n : n);
  return true;
}
}  // namespace

Object::Registry& Object::registry() {
  thread_local Registry live;
  return live;
}

Object::Object() {
  Registry& r = registry();
  nextLive_ = r.first;
  if (r.first) r.first->prevLive_ = this;
  r.first = this;
  ++r.count;
  ++r.made;
}

Object::~Object() {
  Registry& r = registry();
  if (prevLive_) prevLive_->nextLive_ = nextLive_;
  else r.first = nextLive_;
  if (nextLive_) nextLive_->prevLive_ = prevLive_;
  --r.count;
}

size_t Object::liveCount() { return registry().count; }
size_t Object::madeSinceCollection() { return registry().made; }

void Object::visitReferences(ReferenceVisitor& visitor) const {
  for (const Property& p : properties_) {
    if (p.value.isObject()) visitor.object(p.value.object());
    if (p.getter) visitor.object(p.getter);
    if (p.setter) visitor.object(p.setter);
  }
  for (const auto& [name, watcher] : watchers_) {
    if (watcher.callback) visitor.object(watcher.callback);
    if (watcher.userData.isObject()) visitor.object(watcher.userData.object());
  }
  for (const ObjectRef& o : interfaces)
    if (o) visitor.object(o);
  if (primitive.isObject()) visitor.object(primitive.object());
}

// Moved out first and released on return: what they free may reach back here.
void Object::dropReferences() {
  std::vector<Property> properties = std::move(properties_);
  auto watchers = std::move(watchers_);
  auto implemented = std::move(interfaces);
  Value held = std::move(primitive);
  properties_.clear();
  index_.clear();
  watchers_.clear();
  interfaces.clear();
  primitive = Value();
  holes_ = 0;
  protoSlot_ = lengthSlot_ = kUnknownSlot;
  elements_.clear();
}

void Object::makeArray() {
  isArray_ = true;
  elements_.clear();
  for (size_t at = 0; at < properties_.size(); ++at)
    if (!properties_[at].deleted) elements_.added(properties_[at].name, at);
}

Property* Object::findOwn(Machine& m, const std::string& name) {
  Property* p = findOwnAnyVersion(m, name);
  return p && !(p->flags & m.rules().hiddenPropertyFlags()) ? p : nullptr;
}

Property* Object::findOwnAnyVersion(Machine& m, const std::string& name) {
  const VersionRules& rules = m.rules();
  auto it = rules.isOwnKey(name) ? index_.find(name) : index_.find(rules.nameKey(name));
  return it == index_.end() ? nullptr : &properties_[it->second];
}

// `__proto__` is read at each step of every inherited lookup, and an array's `length` at each
// element write: their places are remembered.
Property* Object::protoProperty(Machine& m) {
  static const std::string name = "__proto__";
  return rememberedProperty(m, protoSlot_, name);
}

Property* Object::lengthProperty(Machine& m) {
  static const std::string name = "length";
  return rememberedProperty(m, lengthSlot_, name);
}

Property* Object::rememberedProperty(Machine& m, size_t& slot, const std::string& name) {
  if (slot == kUnknownSlot) {
    auto it = index_.find(name);
    slot = it == index_.end() ? kNoSlot : it->second;
  }
  if (slot == kNoSlot) return nullptr;
  Property* p = &properties_[slot];
  return p->flags & m.rules().hiddenPropertyFlags() ? nullptr : p;
}

Property* Object::findOwnElement(Machine& m, uint32_t index, bool* known) {
  size_t at = ElementTable::npos;
  *known = isArray_ && elements_.find(index, &at);
  if (!*known || at == ElementTable::npos) return nullptr;
  Property* p = &properties_[at];
  return p->flags & m.rules().hiddenPropertyFlags() ? nullptr : p;
}

// What set() and setData() do to such an element when keeping `length` changes nothing.
bool Object::setElementInPlace(Machine& m, uint32_t index, const Value& value) {
  bool known = false;
  Property* p = findOwnElement(m, index, &known);
  if (!p || p->getter || p->setter || (p->flags & kReadOnly) || !watchers_.empty()) return false;
  Property* length = lengthProperty(m);
  if (!length || !length->value.isNumber() || static_cast<int64_t>(index) >= toInt32(length->value.number()))
    return false;
  p->value = value;
  return true;
}

bool Object::appendElement(Machine& m, uint32_t index, const Value& value) {
  size_t at = 0;  // not even a hidden element of that name
  if (!isArray_ || !elements_.find(index, &at) || at != ElementTable::npos || index >= 2147483647u) return false;
  Property* length = lengthProperty(m);
  if (!length || !length->value.isNumber() || toInt32(length->value.number()) != static_cast<int32_t>(index))
    return false;
  length->value = Value(static_cast<double>(index) + 1);
  define(m, std::to_string(index), value);
  return true;
}

bool Object::keepLength(Machine& m, int32_t wanted) {
  Property* length = isArray_ ? lengthProperty(m) : nullptr;
  if (!length || (length->flags & kReadOnly) || !length->value.isNumber() || toInt32(length->value.number()) != wanted)
    return false;
  length->value = Value(static_cast<double>(wanted));
  return true;
}

// A chain of prototypes longer than the player allows (a cycle) stops the whole script.
Property* Object::findOnChain(Machine& m, const std::string& name, Object** owner, int* level) {
  Object* o = this;
  for (int depth = 0; o; ++depth) {
    if (depth >= kMaxChain) throw RecursionLimit();
    Property* p = o->findOwn(m, name);
    if (!p && o->hasExtraProperties_) p = o->extraProperty(m, name);
    if (p) {
      *owner = o;
      if (level) *level = depth;
      return p;
    }
    Property* proto = o->protoProperty(m);
    o = proto && proto->value.isObject() ? proto->value.object().get() : nullptr;
  }
  return nullptr;
}

ObjectRef Object::proto(Machine& m) {
  Property* p = protoProperty(m);
  return p && p->value.isObject() ? p->value.object() : nullptr;
}

void Object::setProto(Machine& m, ObjectRef proto) {
  define(m, "__proto__", Value(std::move(proto)), kDontEnum | kDontDelete);
}

// A plain value found on the chain needs no `self`: only getters and __resolve take one.
Value Object::get(Machine& m, const std::string& name) {
  Object* owner = nullptr;
  if (Property* p = findOnChain(m, name, &owner); p && !p->getter) return p->value;
  return getAs(m, name, Value(shared_from_this()), 0);
}

Value Object::getMethod(Machine& m, const std::string& name, int* level) {
  Object* owner = nullptr;
  Property* p = findOnChain(m, name, &owner, level);
  if (p && !p->getter) return p->value;
  if (!p) {
    *level = 0;
    for (Object* at = this; at && *level < 256; ++*level) {
      Property* proto = at->protoProperty(m);
      at = proto && proto->value.isObject() ? proto->value.object().get() : nullptr;
    }
  }
  return getAs(m, name, Value(shared_from_this()), 0);
}

bool Object::findData(Machine& m, const std::string& name, Value* out, int* level) {
  Object* owner = nullptr;
  Property* p = findOnChain(m, name, &owner, level);
  if (!p || p->getter) return false;
  *out = p->value;
  return true;
}

bool Object::tryGet(Machine& m, const std::string& name, Value* out) {
  Object* owner = nullptr;
  int level = 0;
  Property* p = findOnChain(m, name, &owner, &level);
  if (!p) return false;
  *out = p->getter ? m.propertyCall(owner, name, Value(p->getter), Value(shared_from_this()), {}, nullptr, level)
                   : p->value;
  return true;
}

// A getter runs as a method found where it was found, so its `super` starts above that level.
Value Object::getAs(Machine& m, const std::string& name, const Value& self, int baseDepth, bool resolve) {
  Object* owner = nullptr;
  int level = 0;
  if (Property* p = findOnChain(m, name, &owner, &level)) {
    if (p->getter) return m.propertyCall(owner, name, Value(p->getter), self, {}, nullptr, baseDepth + level);
    return p->value;
  }
  if (resolve && name != "__resolve") {
    Value handler = getAs(m, "__resolve", self, baseDepth);
    if (handler.isObject() && handler.object()->isFunction()) return m.call(handler, self, {Value(name)});
  }
  return Value();
}

bool Object::setThroughChain(Machine& m, const std::string& name, const Value& value, const Value& self,
                             int baseDepth) {
  Object* owner = nullptr;
  int level = 0;
  Property* p = findOnChain(m, name, &owner, &level);
  if (!p || !p->setter) return false;
  m.propertyCall(owner, name, Value(p->setter), self, {value}, nullptr, baseDepth + level);
  return true;
}

bool Object::has(Machine& m, const std::string& name) {
  Object* owner = nullptr;
  return findOnChain(m, name, &owner) != nullptr;
}

void Object::set(Machine& m, const std::string& name, const Value& written) {
  if (name.empty()) return;  // the player ignores a write to the empty name
  Value value = written;
  // A watcher sees the name, the old and new values and its own data, and says what is stored.
  if (!watchers_.empty()) {
    auto w = watchers_.find(m.rules().nameKey(name));
    if (w != watchers_.end()) {
      Watcher watcher = w->second;
      Property* own = findOwn(m, name);
      Value old = own ? (own->getter ? m.call(Value(own->getter), Value(shared_from_this()), {}) : own->value) : Value();
      try {
        value = m.propertyCall(this, name, Value(watcher.callback), Value(shared_from_this()),
                               {Value(name), old, value, watcher.userData}, &value);
      } catch (const ScriptThrow&) {
        define(m, name, Value());  // a watcher that throws leaves the property undefined
        throw;
      }
    }
  }
  Object* owner = nullptr;
  int level = 0;
  Property* p = findOnChain(m, name, &owner, &level);
  if (p && p->setter) {
    m.propertyCall(owner, name, Value(p->setter), Value(shared_from_this()), {value}, nullptr, level);
    return;
  }
  if (p && p->getter) return;  // a getter without a setter makes the property read-only
  if (p && owner == this && (p->flags & kReadOnly)) return;
  // An own stored property (not one a clip answers for) takes the value where it is.
  std::less<const Property*> before;
  if (p && owner == this && !isArray_ && !before(p, properties_.data()) &&
      before(p, properties_.data() + properties_.size())) {
    p->value = value;
    return;
  }
  if (isArray_) keepArrayLength(m, name, value);
  if ((p = findOwn(m, name))) p->value = value;  // the length step may have moved things
  else define(m, name, value);
}

void Object::setData(Machine& m, const std::string& name, const Value& value) {
  if (Property* p = findOwn(m, name); p && (p->flags & kReadOnly)) return;
  if (isArray_) keepArrayLength(m, name, value);
  if (Property* p = findOwn(m, name)) p->value = value;
  else define(m, name, value);
}

void Object::define(Machine& m, const std::string& name, const Value& value, unsigned flags) {
  const VersionRules& rules = m.rules();
  bool ownKey = rules.isOwnKey(name);
  auto it = ownKey ? index_.find(name) : index_.find(rules.nameKey(name));
  if (it != index_.end()) {
    Property& p = properties_[it->second];
    p.value = value, p.flags = flags, p.getter = p.setter = nullptr;
    return;
  }
  std::string key = ownKey ? name : rules.nameKey(name);
  if (key == "__proto__") protoSlot_ = properties_.size();
  if (key == "length") lengthSlot_ = properties_.size();
  if (isArray_) elements_.added(key, properties_.size());
  index_.emplace(std::move(key), properties_.size());
  properties_.push_back(Property{name, value, nullptr, nullptr, flags, false});
}

bool Object::watch(Machine& m, const std::string& name, ObjectRef callback, const Value& userData) {
  if (!callback || !callback->isFunction()) return false;
  watchers_[m.rules().nameKey(name)] = Watcher{std::move(callback), userData};
  return true;
}

bool Object::unwatch(Machine& m, const std::string& name) { return watchers_.erase(m.rules().nameKey(name)) > 0; }

bool Object::addProperty(Machine& m, const std::string& name, ObjectRef getter, ObjectRef setter) {
  if (name.empty() || !getter) return false;
  // An existing property keeps its stored value and flags (array methods still see the value);
  // a new one without a setter is read-only.
  Property* p = findOwnAnyVersion(m, name);
  if (!p) {
    define(m, name, Value(), setter ? 0u : static_cast<unsigned>(kReadOnly));
    p = findOwnAnyVersion(m, name);
  }
  p->getter = std::move(getter);
  p->setter = setter && setter->isFunction() ? std::move(setter) : nullptr;
  return true;
}

// A deleted property leaves its place: made again, it comes last, as the player orders them.
bool Object::remove(Machine& m, const std::string& name) {
  auto it = index_.find(m.rules().nameKey(name));
  if (it == index_.end() || (properties_[it->second].flags & kDontDelete)) return false;
  Property& p = properties_[it->second];
  if (isArray_) elements_.removed(it->first, it->second);
  p = Property{};
  p.deleted = true;
  index_.erase(it);
  protoSlot_ = lengthSlot_ = kUnknownSlot;
  if (++holes_ > 16 && holes_ > properties_.size() / 2) compact(m);
  return true;
}

void Object::compact(Machine& m) {
  std::vector<Property> live;
  live.reserve(properties_.size() - holes_);
  for (Property& p : properties_)
    if (!p.deleted) live.push_back(std::move(p));
  properties_ = std::move(live);
  index_.clear();
  elements_.clear();
  for (size_t at = 0; at < properties_.size(); ++at) {
    index_.emplace(m.rules().nameKey(properties_[at].name), at);
    if (isArray_) elements_.added(properties_[at].name, at);
  }
  holes_ = 0;
  protoSlot_ = lengthSlot_ = kUnknownSlot;
}

std::vector<Property*> Object::ownProperties() {
  std::vector<Property*> out;
  for (Property& p : properties_)
    if (!p.deleted) out.push_back(&p);
  return out;
}

// An array keeps `length` past its last element: writing element i at or beyond it makes it
// i + 1 (wrapping as a 32-bit integer), and writing `length` drops the elements from there on.
void Object::keepArrayLength(Machine& m, const std::string& name, const Value& value) {
  Property* length = findOwn(m, "length");
  int32_t current = length ? toInt32(m.toNumber(length->value)) : 0;
  int32_t index = 0;
  if (name == "length") {
    int32_t wanted = toInt32(m.toNumber(value));
    if (length && length->value.isNumber()) dropElements(m, std::max(wanted, 0), current);
  } else if (arrayIndex(name, &index) && index >= current) {
    int32_t grown = static_cast<int32_t>(static_cast<uint32_t>(index) + 1u);
    dropElements(m, std::max(grown, 0), current);
    if ((length = findOwn(m, "length"))) length->value = Value(static_cast<double>(grown));
    else define(m, "length", Value(static_cast<double>(grown)), kDontEnum | kDontDelete);
  }
}

void Object::dropElements(Machine& m, int32_t from, int32_t to) {
  if (from >= to) return;
  if (static_cast<int64_t>(to) - from <= static_cast<int64_t>(properties_.size())) {
    for (int32_t i = from; i < to; ++i) remove(m, std::to_string(i));
    return;
  }
  std::vector<std::string> doomed;  // a long range: look only at the elements there are
  int32_t index = 0;
  for (Property& p : properties_)
    if (!p.deleted && arrayIndex(p.name, &index) && index >= from && index < to &&
        p.name == std::to_string(index))
      doomed.push_back(p.name);
  for (const std::string& n : doomed) remove(m, n);
}

}  // namespace avm1

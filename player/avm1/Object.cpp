#include "Object.h"

#include "Machine.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

Property* Object::findOwn(Machine& m, const std::string& name) {
  auto it = index_.find(m.rules().nameKey(name));
  return it == index_.end() ? nullptr : &properties_[it->second];
}

Property* Object::findOnChain(Machine& m, const std::string& name, Object** owner) {
  Object* o = this;
  for (int depth = 0; o && depth < kMaxChain; ++depth) {
    if (Property* p = o->findOwn(m, name)) {
      *owner = o;
      return p;
    }
    Property* proto = o->findOwn(m, "__proto__");
    o = proto && proto->value.isObject() ? proto->value.object().get() : nullptr;
  }
  return nullptr;
}

ObjectRef Object::proto(Machine& m) {
  Property* p = findOwn(m, "__proto__");
  return p && p->value.isObject() ? p->value.object() : nullptr;
}

void Object::setProto(Machine& m, ObjectRef proto) {
  define(m, "__proto__", Value(std::move(proto)), kDontEnum | kDontDelete);
}

Value Object::get(Machine& m, const std::string& name) {
  Object* owner = nullptr;
  if (Property* p = findOnChain(m, name, &owner)) {
    if (p->getter) return m.call(Value(p->getter), Value(shared_from_this()), {});
    return p->value;
  }
  if (name != "__resolve") {
    Value resolve = get(m, "__resolve");
    if (resolve.isObject() && resolve.object()->isFunction())
      return m.call(resolve, Value(shared_from_this()), {Value(name)});
  }
  return Value();
}

bool Object::has(Machine& m, const std::string& name) {
  Object* owner = nullptr;
  return findOnChain(m, name, &owner) != nullptr;
}

void Object::set(Machine& m, const std::string& name, const Value& value) {
  Object* owner = nullptr;
  Property* p = findOnChain(m, name, &owner);
  if (p && p->setter) {
    m.call(Value(p->setter), Value(shared_from_this()), {value});
    return;
  }
  if (p && p->getter) return;  // a getter without a setter makes the property read-only
  if (p && owner == this && (p->flags & kReadOnly)) return;
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
  std::string key = m.rules().nameKey(name);
  auto it = index_.find(key);
  if (it != index_.end()) {
    Property& p = properties_[it->second];
    p.value = value, p.flags = flags, p.getter = p.setter = nullptr;
    return;
  }
  index_.emplace(std::move(key), properties_.size());
  properties_.push_back(Property{name, value, nullptr, nullptr, flags, false});
}

bool Object::addProperty(Machine& m, const std::string& name, ObjectRef getter, ObjectRef setter) {
  if (name.empty() || !getter || !getter->isFunction()) return false;
  define(m, name, Value(), 0);
  Property* p = findOwn(m, name);
  p->getter = std::move(getter);
  p->setter = setter && setter->isFunction() ? std::move(setter) : nullptr;
  return true;
}

// A deleted property leaves its place: made again, it comes last, as the player orders them.
bool Object::remove(Machine& m, const std::string& name) {
  auto it = index_.find(m.rules().nameKey(name));
  if (it == index_.end() || (properties_[it->second].flags & kDontDelete)) return false;
  Property& p = properties_[it->second];
  p = Property{};
  p.deleted = true;
  index_.erase(it);
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
  for (size_t at = 0; at < properties_.size(); ++at) index_.emplace(m.rules().nameKey(properties_[at].name), at);
  holes_ = 0;
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

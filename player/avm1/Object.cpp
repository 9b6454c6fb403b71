#include "Object.h"

#include "Machine.h"

#include <cmath>

namespace avm1 {

namespace {
constexpr int kMaxChain = 256;  // a cycle through __proto__ stops here, as in the player

bool arrayIndex(const std::string& name, size_t* index) {
  if (name.empty() || name.size() > 9) return false;
  size_t n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  if (name.size() > 1 && name[0] == '0') return false;
  *index = n;
  return true;
}
}  // namespace

Property* Object::findOwn(Machine& m, const std::string& name) {
  auto it = index_.find(m.rules().nameKey(name));
  if (it == index_.end() || properties_[it->second].deleted) return nullptr;
  return &properties_[it->second];
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
  double oldLength = 0;
  if (isArray_)
    if (Property* length = findOwn(m, "length")) oldLength = length->value.number();
  if (p && owner == this) {
    if (p->flags & kReadOnly) return;
    p->value = value;
  } else {
    define(m, name, value);
  }
  if (isArray_) syncArrayLength(m, name, value, oldLength);
}

void Object::define(Machine& m, const std::string& name, const Value& value, unsigned flags) {
  std::string key = m.rules().nameKey(name);
  auto it = index_.find(key);
  if (it != index_.end()) {
    Property& p = properties_[it->second];
    if (p.deleted) p = Property{name, value, nullptr, nullptr, flags, false};
    else p.value = value, p.flags = flags, p.getter = p.setter = nullptr;
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

bool Object::remove(Machine& m, const std::string& name) {
  Property* p = findOwn(m, name);
  if (!p || (p->flags & kDontDelete)) return false;
  p->deleted = true;
  p->value = Value();
  p->getter = p->setter = nullptr;
  return true;
}

std::vector<Property*> Object::ownProperties() {
  std::vector<Property*> out;
  for (Property& p : properties_)
    if (!p.deleted) out.push_back(&p);
  return out;
}

void Object::syncArrayLength(Machine& m, const std::string& name, const Value& value,
                             double current) {
  size_t index = 0;
  if (arrayIndex(name, &index)) {
    if (static_cast<double>(index) >= current)
      define(m, "length", Value(static_cast<double>(index + 1)), kDontEnum | kDontDelete);
  } else if (name == "length") {
    double wanted = m.toNumber(value);
    if (!(wanted >= 0) || std::isinf(wanted)) return;
    for (size_t i = static_cast<size_t>(wanted); i < static_cast<size_t>(current); ++i)
      remove(m, std::to_string(i));
    define(m, "length", Value(std::floor(wanted)), kDontEnum | kDontDelete);
  }
}

}  // namespace avm1

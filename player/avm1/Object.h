// An AVM1 object: named properties in the order they were made, each with flags and perhaps a
// getter/setter pair (addProperty), a prototype chain through `__proto__`, and `__resolve` for
// names found nowhere. Arrays keep `length` in step with their indexed properties.
#pragma once

#include "ElementTable.h"
#include "Value.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace avm1 {

class Machine;
class SuperObject;
struct Scope;
using ScopeRef = std::shared_ptr<Scope>;

// What the collector is shown of an object: each reference it holds, one call per reference.
struct ReferenceVisitor {
  virtual ~ReferenceVisitor() = default;
  virtual void object(const ObjectRef& o) = 0;
  virtual void scope(const ScopeRef& s) = 0;
};

enum PropertyFlags : unsigned { kDontEnum = 1, kDontDelete = 2, kReadOnly = 4 };

struct Property {
  std::string name;  // as first written, for enumeration
  Value value;
  ObjectRef getter, setter;  // addProperty
  unsigned flags = 0;
  bool deleted = false;  // a hole left by delete, until the object compacts
};

class Object : public std::enable_shared_from_this<Object> {
 public:
  Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object();
  // The collector's view (Collector.h): every object alive on this thread, the references
  // each holds, and dropping them all to break a cycle nothing else reaches.
  static size_t liveCount();
  static size_t madeSinceCollection();
  template <typename Each>
  static void forEachLive(Each each) {
    for (Object* o = registry().first; o; o = o->nextLive_) each(o);
  }
  virtual void visitReferences(ReferenceVisitor& visitor) const;
  virtual void dropReferences();

  virtual bool isFunction() const { return false; }
  virtual SuperObject* asSuper() { return nullptr; }
  virtual bool isClip() const { return className == "MovieClip"; }
  bool isArray() const { return isArray_; }
  void makeArray();

  // The prototype, from the `__proto__` property.
  ObjectRef proto(Machine& m);
  void setProto(Machine& m, ObjectRef proto);

  // Own and inherited lookup; runs getters and, for a missing name, `__resolve`.
  Value get(Machine& m, const std::string& name);
  // The same lookup with getters (and __resolve) running on `self`, as reads through super do.
  Value getAs(Machine& m, const std::string& name, const Value& self, int baseDepth, bool resolve = true);
  // A setter found from here on runs on `self`; false when there is none.
  bool setThroughChain(Machine& m, const std::string& name, const Value& value, const Value& self, int baseDepth);
  bool has(Machine& m, const std::string& name);
  // get() for a call: `level` says how far up the chain the method was found (the chain's
  // length when it was not, and __resolve answered).
  Value getMethod(Machine& m, const std::string& name, int* level);
  // A plain value (no getter) found on the chain, and how far up; false otherwise.
  bool findData(Machine& m, const std::string& name, Value* out, int* level);
  // has() and then get() in one walk: false (and `out` untouched) when the name is nowhere.
  bool tryGet(Machine& m, const std::string& name, Value* out);
  // Writes an own property, through a setter found on the chain.
  void set(Machine& m, const std::string& name, const Value& value);
  // Object.watch: the callback runs on each write of the name and gives the value stored.
  bool watch(Machine& m, const std::string& name, ObjectRef callback, const Value& userData);
  bool unwatch(Machine& m, const std::string& name);
  void define(Machine& m, const std::string& name, const Value& value, unsigned flags = 0);
  // Stores an own value past setters and the prototype chain (an array still keeps its length).
  void setData(Machine& m, const std::string& name, const Value& value);
  bool addProperty(Machine& m, const std::string& name, ObjectRef getter, ObjectRef setter);
  bool remove(Machine& m, const std::string& name);
  Property* findOwn(Machine& m, const std::string& name);  // none if hidden from this SWF version
  Property* findOwnAnyVersion(Machine& m, const std::string& name);
  // An array's element by its index, as findOwn of its decimal name finds it; `known` is false
  // when only the name can tell (no array, or one too sparse for a table of its elements).
  Property* findOwnElement(Machine& m, uint32_t index, bool* known);
  // A write of an element that exists as plain data, below `length`, with no watcher: done
  // where it lies. False (nothing done) otherwise, for the general path.
  bool setElementInPlace(Machine& m, uint32_t index, const Value& value);
  // setData of the element at `length`, which it grows by one; false (nothing done) otherwise.
  bool appendElement(Machine& m, uint32_t index, const Value& value);
  // setData of an array's `length` to the whole number it already is; false otherwise.
  bool keepLength(Machine& m, int32_t length);
  std::vector<Property*> ownProperties();
  // Names an object answers besides its own properties (a clip's children and its display
  // properties): asked after its own, before its prototype. Only objects that say so are asked.
  virtual Property* extraProperty(Machine&, const std::string&) { return nullptr; }
  // The class's own data for built-ins (a Number's or String's primitive, a Date's time).
  Value primitive;
  std::string className = "Object";
  std::string clipPath;
  std::vector<ObjectRef> interfaces;  // a prototype's implemented interfaces (ImplementsOp)  // a movie clip's target path ("_level0"), which is its string form

 protected:
  bool hasExtraProperties_ = false;

 private:
  Property* protoProperty(Machine& m);
  Property* lengthProperty(Machine& m);  // own `length` as findOwn finds it
  Property* findOnChain(Machine& m, const std::string& name, Object** owner, int* level = nullptr);
  void keepArrayLength(Machine& m, const std::string& name, const Value& value);
  void dropElements(Machine& m, int32_t from, int32_t to);
  void compact(Machine& m);

  std::vector<Property> properties_;
  std::unordered_map<std::string, size_t> index_;  // name key -> position, live properties only
  size_t holes_ = 0;
  struct Watcher {
    ObjectRef callback;
    Value userData;
  };
  std::unordered_map<std::string, Watcher> watchers_;  // by name key                               // deleted places not yet compacted
  bool isArray_ = false;
  struct Registry {
    Object* first = nullptr;
    size_t count = 0, made = 0;
  };
  static Registry& registry();
  friend class Collector;
  Object *prevLive_ = nullptr, *nextLive_ = nullptr;
  static constexpr size_t kUnknownSlot = ~size_t{0}, kNoSlot = kUnknownSlot - 1;
  size_t protoSlot_ = kUnknownSlot;  // where `__proto__` is in properties_
  size_t lengthSlot_ = kUnknownSlot;  // and `length`
  // The property at a remembered `slot`, found by `name` the first time; null when hidden.
  Property* rememberedProperty(Machine& m, size_t& slot, const std::string& name);
  ElementTable elements_;  // arrays only
};

}  // namespace avm1

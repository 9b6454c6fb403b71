// Function objects: natives written in C++, and script functions made by DefineFunction or
// DefineFunction2 that keep the scope chain they were defined in (closures).
#pragma once

#include "Object.h"
#include "Scope.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace avm1 {

using Args = std::vector<Value>;
using NativeFunction = std::function<Value(Machine&, const Value& self, const Args& args)>;

struct Code {
  std::vector<uint8_t> bytes;
  int version;
  // The strings its Push actions hold, read once each: `pushedSlot` gives, by place in
  // `bytes`, one more than the string's index in `pushedText` (0: not read yet).
  mutable std::vector<uint32_t> pushedSlot = {};
  mutable std::vector<TextRef> pushedText = {};
};

struct ScriptFunction {
  std::shared_ptr<const Code> code;
  size_t begin = 0, end = 0;  // the body within code
  struct Param { std::string name; uint8_t reg = 0; };
  std::vector<Param> params;
  uint8_t registerCount = 0;  // 0: DefineFunction, whose body uses the four global registers
  uint16_t flags = 0;         // DefineFunction2's preload/suppress flags
  bool isFunction2 = false;
  ScopeRef scope;
  // The constant pool in force where the function was defined: its body reads it.
  std::shared_ptr<const std::vector<Value>> constants;
};

class FunctionObject : public Object {
 public:
  explicit FunctionObject(NativeFunction native) : native_(std::move(native)) { className = "Function"; }
  explicit FunctionObject(ScriptFunction script) : script_(std::move(script)) { className = "Function"; }
  bool isFunction() const override { return true; }
  void visitReferences(ReferenceVisitor& visitor) const override {
    Object::visitReferences(visitor);
    if (script_.scope) visitor.scope(script_.scope);
  }
  void dropReferences() override {
    Object::dropReferences();
    ScopeRef scope = std::move(script_.scope);
    script_.scope = nullptr;
  }
  const NativeFunction& native() const { return native_; }
  const ScriptFunction& script() const { return script_; }
  // A native constructor makes its own object when called with `new`, and gets it as `self`.
  bool constructsOwnObject = false;
  // A String method that reads its text the same from a string as from the String made to
  // wrap it: a call on a string need not make that wrapper.
  bool acceptsPrimitiveSelf = false;

 private:
  NativeFunction native_;
  ScriptFunction script_;
};

// `super` inside a method: `self` seen from `depth` levels up its prototype chain. Members
// read through it start one level above that; calling it runs that level's constructor.
class SuperObject : public Object {
 public:
  SuperObject(ObjectRef self, int depth) : self(std::move(self)), depth(depth) {}
  SuperObject* asSuper() override { return this; }
  void visitReferences(ReferenceVisitor& visitor) const override {
    Object::visitReferences(visitor);
    if (self) visitor.object(self);
  }
  void dropReferences() override {
    Object::dropReferences();
    ObjectRef held = std::move(self);
    self = nullptr;
  }
  ObjectRef self;
  int depth;
};

}  // namespace avm1

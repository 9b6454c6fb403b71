// Runs one action list (a frame's DoAction, a function body) with its own stack, registers and
// scope chain, one handler per action in a dispatch table.
#pragma once

#include "Function.h"
#include "Machine.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace avm1 {

class Activation {
 public:
  Activation(Machine& m, std::shared_ptr<const Code> code, ScopeRef scope, Value self,
             ObjectRef timeline, Value* registers, size_t registerCount);
  ~Activation() { m_.giveValues(std::move(stack_)); }
  Activation(const Activation&) = delete;
  Activation& operator=(const Activation&) = delete;

  // Runs [begin, end); returns what a Return action gave (undefined otherwise).
  Value run(size_t begin, size_t end);
  bool returned() const { return returned_; }
  void useConstants(std::shared_ptr<const std::vector<Value>> pool) {
    if (pool) constants_ = std::move(pool);
  }

  // A variable by its path ("a.b", "/a/b:c", "_level0.x"), as GetVariable and SetVariable of
  // the player's container read and write it: through getters, setters and the scope chain.
  Value valueAtPath(const std::string& path) { return lookup(path); }
  void assignPath(const std::string& path, const Value& value) { assign(path, value); }

  // Which actions this interpreter knows, for the player's README and its tests.
  static bool supports(uint8_t op);

 private:
  struct Action {
    uint8_t op;
    const uint8_t* data;
    size_t length;
    size_t next;  // where the following action begins
  };
  using Handler = void (Activation::*)(const Action&);
  static const std::array<Handler, 256>& table();

  Value pop();
  TextRef popName();
  // Both operands on top numbers: they are popped and given, the deeper one first; the
  // operators' general paths (conversions that may run valueOf) are not needed then.
  bool popNumbers(double* a, double* b) {
    size_t n = stack_.size();
    if (n < 2 || !stack_[n - 1].isNumber() || !stack_[n - 2].isNumber()) return false;
    *a = stack_[n - 2].number(), *b = stack_[n - 1].number();
    stack_.resize(n - 2);
    return true;
  }
  void push(Value v) { stack_.push_back(std::move(v)); }
  std::string readString(const Action& a, size_t* at) const;
  Value lookup(const std::string& name);
  void assign(const std::string& name, const Value& value);
  void assignPlain(const std::string& name, const Value& value);
  ObjectRef targetOf(const ObjectRef& start, std::string path, bool first, bool allowThis);
  ObjectRef toObject(const Value& v);
  // The innermost scope's object, where locals go (a function's is made on first use).
  Object* innermost();
  // A name that is no path and its own key in this version: looked up as it is.
  bool plainName(const std::string& name) const;
  // Pops a call's arguments into a list from the machine's spares (give it back after).
  Args popArgs(const Value& count);
  Value getMember(const Value& target, const std::string& name);
  ObjectRef makeFunction(const Action& a, bool isFunction2, size_t* bodyEnd);

  void unknown(const Action&) {}
  void doNothing(const Action&) {}
  void add(const Action&);
  void add2(const Action&);
  void subtract(const Action&);
  void multiply(const Action&);
  void divide(const Action&);
  void modulo(const Action&);
  void equals(const Action&);
  void equals2(const Action&);
  void strictEquals(const Action&);
  void less(const Action&);
  void less2(const Action&);
  void greater(const Action&);
  void logicalAnd(const Action&);
  void logicalOr(const Action&);
  void logicalNot(const Action&);
  void stringEquals(const Action&);
  void stringLess(const Action&);
  void stringGreater(const Action&);
  void stringLength(const Action&);
  void stringExtract(const Action&);
  void stringAdd(const Action&);
  void charToAscii(const Action&);
  void asciiToChar(const Action&);
  void bitOp(const Action&);
  void increment(const Action&);
  void decrement(const Action&);
  void toInteger(const Action&);
  void toNumber(const Action&);
  void toStringOp(const Action&);
  void typeOf(const Action&);
  void popOp(const Action&);
  void pushDuplicate(const Action&);
  void stackSwap(const Action&);
  void pushOp(const Action&);
  void constantPool(const Action&);
  void storeRegister(const Action&);
  void getVariable(const Action&);
  void setVariable(const Action&);
  void defineLocal(const Action&);
  void defineLocal2(const Action&);
  void deleteOp(const Action&);
  void delete2(const Action&);
  void getMemberOp(const Action&);
  void setMember(const Action&);
  void initArray(const Action&);
  void initObject(const Action&);
  void newObject(const Action&);
  void newMethod(const Action&);
  void callFunction(const Action&);
  void callMethod(const Action&);
  void returnOp(const Action&);
  void defineFunction(const Action&);
  void defineFunction2(const Action&);
  void instanceOf(const Action&);
  void implementsOp(const Action&);
  void extends(const Action&);
  void castOp(const Action&);
  void enumerate(const Action&);
  void enumerate2(const Action&);
  void pushEnumeration(const Value& target);
  void trace(const Action&);
  void throwOp(const Action&);
  void tryOp(const Action&);
  void with(const Action&);
  void jump(const Action&);
  void ifOp(const Action&);
  void getUrl(const Action&);
  void getUrl2(const Action&);
  void getTime(const Action&);
  void popFrame(const Action&);
  ObjectRef clipAt(const Value& target);
  void getProperty(const Action&);
  void setProperty(const Action&);
  void cloneSprite(const Action&);
  void startDrag(const Action&);
  void endDrag(const Action&);
  void randomNumber(const Action&);
  void targetPath(const Action&);
  // The timeline and sprite actions (ClipActions.cpp), through the machine's display bridge.
  void nextFrame(const Action&);
  void prevFrame(const Action&);
  void play(const Action&);
  void stop(const Action&);
  void gotoFrame(const Action&);
  void gotoLabel(const Action&);
  void gotoFrame2(const Action&);
  void setTarget(const Action&);
  void setTarget2(const Action&);
  void removeSprite(const Action&);
  void waitForFrame(const Action&);
  void waitForFrame2(const Action&);
  void retarget(const ObjectRef& clip);
  ObjectRef originalTimeline_;  // the timeline before any SetTarget

  Machine& m_;
  std::shared_ptr<const Code> code_;
  ScopeRef scope_;
  Value self_;
  ObjectRef timeline_;
  Value* registers_;
  size_t registerCount_;
  std::vector<Value> stack_;
  // Made into string values once, so that a push of one only shares its text.
  std::shared_ptr<const std::vector<Value>> constants_ = noConstants();
  static const std::shared_ptr<const std::vector<Value>>& noConstants();
  size_t pc_ = 0;
  bool returned_ = false;
  Value result_;
};

}  // namespace avm1

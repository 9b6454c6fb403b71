// One movie's AVM1 machine: its version rules, _global, the levels, the host it talks to, the
// intervals it keeps and the script limit. Runs action lists and calls functions.
#pragma once

#include "DisplayBridge.h"
#include "Function.h"
#include "SoundBridge.h"
#include "Object.h"
#include "Scope.h"
#include "VersionRules.h"

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace avm1 {

// What the machine needs from the player around it.
class Host {
 public:
  virtual ~Host() = default;
  virtual void trace(const std::string& line) = 0;
  // getURL: "FSCommand:" targets and page loads; loadMovieNum arrives with target "_levelN".
  virtual void getUrl(const std::string& url, const std::string& target) = 0;
  // ExternalInterface.call; returns the container's answer.
  virtual Value externalCall(const std::string& name, const Args& args) = 0;
};

// A script `throw` that nothing caught, or a run that passed the script limit.
struct ScriptThrow {
  Value value;
};
struct ScriptTimeout : std::runtime_error {
  ScriptTimeout() : std::runtime_error("script limit reached") {}
};
// Script functions nested past the player's limit: the whole action list stops, silently.
struct RecursionLimit {};

class Machine {
 public:
  Machine(int version, Host& host);

  const VersionRules& rules() const { return rules_; }
  Host& host() { return host_; }
  const ObjectRef& global() const { return global_; }
  ObjectRef level(int n);  // _levelN, made on first use
  ObjectRef root() { return level(0); }
  // _levelN as scripts see it: none for a level above 0 that nothing was loaded into.
  ObjectRef existingLevel(int n) {
    if (n == 0) return root();
    auto it = levels_.find(n);
    return it == levels_.end() ? nullptr : it->second;
  }
  // The player's sound, for the Sound class; none when the machine plays without a player.
  SoundBridge* soundBridge() const { return soundBridge_; }
  void setSoundBridge(SoundBridge* bridge) { soundBridge_ = bridge; }
  // The Sound object behind each voice it started, for onSoundComplete.
  std::map<uint32_t, ObjectRef>& soundVoices() { return soundVoices_; }
  // The display list behind the clips, when there is one.
  DisplayBridge* display() const { return display_; }
  void setDisplay(DisplayBridge* display) { display_ = display; }
  // Makes `clip` the object of _levelN (a display list's root bound to this machine).
  void setLevel(int n, ObjectRef clip) { levels_[n] = std::move(clip); }
  // Forgets a level: a movie loaded into it starts with a fresh clip (_global stays).
  void unloadLevel(int n) { levels_.erase(n); }

  // A variable by path from outside any script (the container's GetVariable and SetVariable),
  // resolved from _level0 as a frame script would; setters run, under the script limit.
  Value getVariable(const std::string& path);
  void setVariable(const std::string& path, const Value& value);

  // Runs one DoAction or DoInitAction body on a timeline. Uncaught throws become a trace line
  // as the player's debugger shows them; a timeout stops the list and is reported.
  void runActions(std::shared_ptr<const Code> code, const ObjectRef& timeline);
  // methodDepth: how far up `self`'s prototype chain the function was found (1 for a
  // constructor), which is where its `super` starts.
  Value call(const Value& function, const Value& self, const Args& args, int methodDepth = 0);
  ObjectRef superBase(const SuperObject& super);
  // A getter, setter or watcher call for the property `name` of `owner`: nested more than 65
  // deep for the same property it is skipped, giving `fallback`.
  Value propertyCall(const Object* owner, const std::string& name, const Value& function, const Value& self,
                     const Args& args, const Value* fallback = nullptr, int methodDepth = 0);
  Value construct(const Value& constructor, const Args& args);
  Value callConstructor(const Value& constructor, const ObjectRef& self, const Args& args, int depth);
  // Whether a native function runs as a constructor on `self` rather than as a plain call.
  bool isConstructing(const Value& self) const { return self.isObject() && self.object() == constructingNative_; }
  Value callMethod(const Value& target, const std::string& name, const Args& args);
  // The built-in String method `name` when a call on a string can skip its wrapper: String
  // and its prototype's method are the originals, and the wrapper's own names are not asked.
  bool primitiveStringMethod(const std::string& name, Value* function);
  Value callConversion(const Value& target, const std::string& name);

  std::string toString(const Value& v);   // runs toString on objects
  // toString for the player around the machine: what a script throws, or a runaway, is caught
  // here and the value reads as its kind ("[type Object]").
  std::string textOf(const Value& v);
  double toNumber(const Value& v) { return v.isNumber() ? v.number() : toNumberSlow(v); }  // runs valueOf on objects
  bool toBoolean(const Value& v) { return avm1::toBoolean(v, rules_); }
  ObjectRef toObject(const Value& v);       // boxes primitives; null for undefined and null
  Value toPrimitive(const Value& v);        // for + : valueOf, the object itself if that fails
  Value toPrimitiveNumber(const Value& v);  // for numbers: valueOf
  Value lessThan(const Value& a, const Value& b);  // true, false, or undefined for NaN
  bool looseEquals(const Value& a, const Value& b);

  ObjectRef newObject();  // with Object.prototype
  ObjectRef newArray(const Args& items = {});
  ObjectRef newFunction(NativeFunction f);
  ObjectRef newFunction(ScriptFunction f);
  ObjectRef prototypeOf(const std::string& globalClass);

  // Timers: setInterval keeps them; the player calls runDueIntervals on each tick.
  int addInterval(Value function, Value self, std::string method, Args args, double ms, bool once = false);
  bool clearInterval(int id);
  void runDueIntervals(double nowMs);

  // Script limits: the whole of one runActions (or one interval/callback) gets this long.
  void setScriptLimit(std::chrono::milliseconds limit) { scriptLimit_ = limit; }
  void checkDeadline();
  void beginScript();
  // Runs one script from outside (a frame, an interval, a call in): starts its time limit and
  // turns what escapes into a trace line, as the player reports it. False when it did not finish.
  template <typename Body>
  bool runScript(Body body) {
    beginScript();
    try {
      body();
      return true;
    } catch (const ScriptThrow& e) {
      host_.trace("Error: " + toString(e.value));
    } catch (const ScriptTimeout&) {
      timedOut_ = true;
      host_.trace("A script has been running too long and was stopped");
    } catch (const RecursionLimit&) {
    }
    return false;
  }
  bool timedOut() const { return timedOut_; }
  void clearTimedOut() { timedOut_ = false; }

  // ExternalInterface.addCallback registrations, answered by callExported.
  std::map<std::string, std::pair<Value, Value>>& callbacks() { return callbacks_; }
  Value callExported(const std::string& name, const Args& args);

  // Value lists reused from call to call (stacks, register files, argument lists), so that a
  // call allocates none: taken empty, given back to be emptied and kept.
  std::vector<Value> takeValues() {
    if (spareValues_.empty()) return {};
    std::vector<Value> values = std::move(spareValues_.back());
    spareValues_.pop_back();
    return values;
  }
  void giveValues(std::vector<Value>&& values) {
    values.clear();
    if (spareValues_.size() < 64 && values.capacity() <= 4096) spareValues_.push_back(std::move(values));
  }

  // Where the register file of DefineFunction bodies and the top level lives.
  Value globalRegisters[4];
  int depth = 0;

 private:
  VersionRules rules_;
  Host& host_;
  ObjectRef global_;
  std::map<int, ObjectRef> levels_;
  SoundBridge* soundBridge_ = nullptr;
  std::map<uint32_t, ObjectRef> soundVoices_;
  DisplayBridge* display_ = nullptr;
  struct Interval {
    Value function, self;
    std::string method;
    Args args;
    double periodMs, nextMs;
    bool once;  // setTimeout
  };
  std::map<int, Interval> intervals_;
  int nextIntervalId_ = 1;
  double nowMs_ = 0;
  std::chrono::milliseconds scriptLimit_{15000};
  std::chrono::steady_clock::time_point deadline_;
  bool timedOut_ = false;
  std::map<std::string, std::pair<Value, Value>> callbacks_;
  ObjectRef constructing_;        // the object a constructor call is making
  ObjectRef constructingNative_;  // the same, while its native constructor runs
  double toNumberSlow(const Value& v);
  Value callFound(const Value& target, const std::string& name, const Args& args, bool resolve);
  std::map<std::pair<const Object*, std::string>, int> propertyDepth_;
  ObjectRef stringClass_;  // String as installed
  Value callee_;  // the script function running now: arguments.caller of the next
  std::vector<std::vector<Value>> spareValues_;
};

void installGlobals(Machine& m);

}  // namespace avm1

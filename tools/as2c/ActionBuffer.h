// Assembles one AVM1 action list: actions with their payloads, push values (adjacent pushes
// share one Push action), and forward or backward jumps to labels resolved when the list is
// finished. A function body or a try block is its own list, appended whole to its parent.
#pragma once

#include "CompileError.h"
#include "VersionRules.h"

#include <cstdint>
#include <string>
#include <vector>

namespace as2c {

using Bytes = std::vector<uint8_t>;

class ActionBuffer {
 public:
  using Label = size_t;

  void op(Op code);
  void op(Op code, const Bytes& payload);
  void append(const Bytes& actions);  // a finished list (a function body, a try block)

  void pushString(const std::string& text);
  void pushNumber(double value);
  void pushInteger(int32_t value);
  void pushBoolean(bool value);
  void pushNull();
  void pushUndefined();
  void pushRegister(uint8_t index);
  void storeRegister(uint8_t index);

  Label newLabel();
  void bind(Label label);
  void jump(Label label);     // Jump
  void jumpIf(Label label);   // If: pops the condition, jumps when it is true

  size_t size() const { return bytes_.size(); }
  // Resolves the jumps; throws when an offset does not fit in 16 bits.
  Bytes finish(SourcePosition at);

  static void putU16(Bytes& out, unsigned value);
  static void putString(Bytes& out, const std::string& text);

 private:
  void pushValue(const Bytes& encoded);
  void branch(Op code, Label label);

  Bytes bytes_;
  size_t openPush_ = SIZE_MAX;  // where the Push that new values may join begins
  std::vector<size_t> labels_;  // label -> offset, SIZE_MAX until bound
  struct Fixup {
    size_t at;  // where the 16-bit offset goes
    Label label;
  };
  std::vector<Fixup> fixups_;
};

}  // namespace as2c

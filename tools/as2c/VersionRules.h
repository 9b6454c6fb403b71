// What each SWF version's player understands, as data: the actions with the first version
// that has them, whether names are case-sensitive, and how strings are encoded. The code
// generator asks here and never compares version numbers itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace as2c {

enum class Op : uint8_t {
  End = 0x00, NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07,
  Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D, Not = 0x12, Pop = 0x17, ToInteger = 0x18,
  GetVariable = 0x1C, SetVariable = 0x1D, Trace = 0x26, Throw = 0x2A, GetTime = 0x34,
  Delete = 0x3A, Delete2 = 0x3B, DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E,
  Modulo = 0x3F, NewObject = 0x40, DefineLocal2 = 0x41, InitArray = 0x42, InitObject = 0x43,
  TypeOf = 0x44, Enumerate = 0x46, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A,
  PushDuplicate = 0x4C, StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50,
  Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54, Enumerate2 = 0x55,
  BitAnd = 0x60, BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64,
  BitURShift = 0x65, StrictEquals = 0x66, Greater = 0x67,
  StoreRegister = 0x87, DefineFunction2 = 0x8E, Try = 0x8F, Push = 0x96, Jump = 0x99,
  GetUrl2 = 0x9A, DefineFunction = 0x9B, If = 0x9D, GotoFrame2 = 0x9F,
};

constexpr int kFirstVersion = 5;   // functions and objects begin here
constexpr int kLastVersion = 10;   // the last version whose movies may run AVM1 code

class VersionRules {
 public:
  explicit VersionRules(int version);

  int version() const { return version_; }
  bool has(Op op) const;
  const char* opName(Op op) const;
  int firstVersionOf(Op op) const;
  // Names are compared without regard to case up to SWF 6.
  bool caseSensitiveNames() const;
  // The key under which a name is looked up: the name itself, or lower-cased.
  std::string nameKey(std::string_view name) const;
  // Strings are UTF-8 from SWF 6 on; before that only ASCII is safe.
  bool utf8Strings() const;

 private:
  int version_;
};

}  // namespace as2c

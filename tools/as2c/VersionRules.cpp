#include "VersionRules.h"

#include <array>
#include <cctype>

namespace as2c {

namespace {

struct OpRule {
  Op op;
  const char* name;
  int since;
};

constexpr std::array kOpRules = {
    OpRule{Op::End, "End", 1}, OpRule{Op::NextFrame, "NextFrame", 1}, OpRule{Op::PrevFrame, "PrevFrame", 1},
    OpRule{Op::Play, "Play", 1}, OpRule{Op::Stop, "Stop", 1}, OpRule{Op::Subtract, "Subtract", 4},
    OpRule{Op::Multiply, "Multiply", 4}, OpRule{Op::Divide, "Divide", 4}, OpRule{Op::Not, "Not", 4},
    OpRule{Op::Pop, "Pop", 4}, OpRule{Op::ToInteger, "ToInteger", 4}, OpRule{Op::GetVariable, "GetVariable", 4},
    OpRule{Op::SetVariable, "SetVariable", 4}, OpRule{Op::Trace, "Trace", 4}, OpRule{Op::Throw, "Throw", 7},
    OpRule{Op::GetTime, "GetTime", 4}, OpRule{Op::Delete, "Delete", 5}, OpRule{Op::Delete2, "Delete2", 5},
    OpRule{Op::DefineLocal, "DefineLocal", 5}, OpRule{Op::CallFunction, "CallFunction", 5},
    OpRule{Op::Return, "Return", 5}, OpRule{Op::Modulo, "Modulo", 5}, OpRule{Op::NewObject, "NewObject", 5},
    OpRule{Op::DefineLocal2, "DefineLocal2", 5}, OpRule{Op::InitArray, "InitArray", 5},
    OpRule{Op::InitObject, "InitObject", 5}, OpRule{Op::TypeOf, "TypeOf", 5}, OpRule{Op::Enumerate, "Enumerate", 5},
    OpRule{Op::Add2, "Add2", 5}, OpRule{Op::Less2, "Less2", 5}, OpRule{Op::Equals2, "Equals2", 5},
    OpRule{Op::ToNumber, "ToNumber", 5}, OpRule{Op::PushDuplicate, "PushDuplicate", 5},
    OpRule{Op::StackSwap, "StackSwap", 5}, OpRule{Op::GetMember, "GetMember", 5},
    OpRule{Op::SetMember, "SetMember", 5}, OpRule{Op::Increment, "Increment", 5},
    OpRule{Op::Decrement, "Decrement", 5}, OpRule{Op::CallMethod, "CallMethod", 5},
    OpRule{Op::NewMethod, "NewMethod", 5}, OpRule{Op::InstanceOf, "InstanceOf", 6},
    OpRule{Op::Enumerate2, "Enumerate2", 6}, OpRule{Op::BitAnd, "BitAnd", 5}, OpRule{Op::BitOr, "BitOr", 5},
    OpRule{Op::BitXor, "BitXor", 5}, OpRule{Op::BitLShift, "BitLShift", 5}, OpRule{Op::BitRShift, "BitRShift", 5},
    OpRule{Op::BitURShift, "BitURShift", 5}, OpRule{Op::StrictEquals, "StrictEquals", 6},
    OpRule{Op::Greater, "Greater", 6}, OpRule{Op::StoreRegister, "StoreRegister", 5},
    OpRule{Op::DefineFunction2, "DefineFunction2", 7}, OpRule{Op::Try, "Try", 7}, OpRule{Op::Push, "Push", 4},
    OpRule{Op::Jump, "Jump", 4}, OpRule{Op::GetUrl2, "GetURL2", 4}, OpRule{Op::DefineFunction, "DefineFunction", 5},
    OpRule{Op::If, "If", 4}, OpRule{Op::GotoFrame2, "GotoFrame2", 4},
};

constexpr int kCaseSensitiveSince = 7;
constexpr int kUtf8StringsSince = 6;

const OpRule* findRule(Op op) {
  for (const auto& rule : kOpRules) {
    if (rule.op == op) return &rule;
  }
  return nullptr;
}

}  // namespace

VersionRules::VersionRules(int version) : version_(version) {}

bool VersionRules::has(Op op) const { return firstVersionOf(op) <= version_; }

const char* VersionRules::opName(Op op) const {
  const OpRule* rule = findRule(op);
  return rule ? rule->name : "?";
}

int VersionRules::firstVersionOf(Op op) const {
  const OpRule* rule = findRule(op);
  return rule ? rule->since : 1000;
}

bool VersionRules::caseSensitiveNames() const { return version_ >= kCaseSensitiveSince; }

std::string VersionRules::nameKey(std::string_view name) const {
  std::string key(name);
  if (!caseSensitiveNames()) {
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

bool VersionRules::utf8Strings() const { return version_ >= kUtf8StringsSince; }

}  // namespace as2c

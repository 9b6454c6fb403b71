#include "CodeGenerator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace as2c {

namespace {

constexpr int kGlobalRegisters = 4;  // what code outside a DefineFunction2 has
constexpr int kMaxRegisters = 255;

// DefineFunction2 flags.
constexpr unsigned kPreloadThis = 0x0001, kSuppressThis = 0x0002, kPreloadArguments = 0x0004,
                   kSuppressArguments = 0x0008, kSuppressSuper = 0x0020;
// GetURL2 flags.
constexpr uint8_t kTargetIsSprite = 0x40, kLoadVariables = 0x80;
// Try flags.
constexpr uint8_t kHasCatch = 0x01, kHasFinally = 0x02, kCatchInRegister = 0x04;

struct BinaryOp {
  const char* text;
  Op op;
  bool negate;       // followed by Not
  Op lowered;        // when `op` is missing: swap the operands and use this (Op::End: none)
  bool loweredNegate;
};

constexpr std::array kBinaryOps = {
    BinaryOp{"+", Op::Add2, false, Op::End, false},
    BinaryOp{"-", Op::Subtract, false, Op::End, false},
    BinaryOp{"*", Op::Multiply, false, Op::End, false},
    BinaryOp{"/", Op::Divide, false, Op::End, false},
    BinaryOp{"%", Op::Modulo, false, Op::End, false},
    BinaryOp{"==", Op::Equals2, false, Op::End, false},
    BinaryOp{"!=", Op::Equals2, true, Op::End, false},
    BinaryOp{"===", Op::StrictEquals, false, Op::End, false},
    BinaryOp{"!==", Op::StrictEquals, true, Op::End, false},
    BinaryOp{"<", Op::Less2, false, Op::End, false},
    BinaryOp{">", Op::Greater, false, Op::Less2, false},
    BinaryOp{"<=", Op::Greater, true, Op::Less2, true},
    BinaryOp{">=", Op::Less2, true, Op::End, false},
    BinaryOp{"&", Op::BitAnd, false, Op::End, false},
    BinaryOp{"|", Op::BitOr, false, Op::End, false},
    BinaryOp{"^", Op::BitXor, false, Op::End, false},
    BinaryOp{"<<", Op::BitLShift, false, Op::End, false},
    BinaryOp{">>", Op::BitRShift, false, Op::End, false},
    BinaryOp{">>>", Op::BitURShift, false, Op::End, false},
    BinaryOp{"instanceof", Op::InstanceOf, false, Op::End, false},
};

const BinaryOp& binaryOp(const std::string& text) {
  for (const auto& op : kBinaryOps) {
    if (text == op.text) return op;
  }
  throw CompileError({}, "internal error: unknown operator " + text);
}

// What a function's body declares and how its names are used, to choose registers.
struct FunctionFacts {
  std::set<std::string> declared;      // parameters and var names (keys)
  std::set<std::string> inNested;      // every name an inner function mentions (keys)
  std::set<std::string> functionNames; // inner function declarations (keys)
  bool usesThis = false;
  bool usesArguments = false;
  bool usesSuper = false;
};

struct JumpTarget {
  ActionBuffer::Label breakLabel;
  ActionBuffer::Label continueLabel;
  bool isLoop;
  int tryDepth;
};

struct FunctionScope {
  bool inFunction = false;
  bool registers = false;  // DefineFunction2 with locals in registers
  std::map<std::string, uint8_t> registerOf;
  std::set<std::string> declared;
  uint8_t thisRegister = 0, argumentsRegister = 0;
  int nextTemp = 0, tempLimit = kGlobalRegisters, highestRegister = 0;
  std::vector<JumpTarget> targets;
  int tryDepth = 0;
  int forInDepth = 0;
};

class Generator {
 public:
  explicit Generator(const VersionRules& rules) : rules_(rules) {}

  Bytes program(const Node& node) {
    ActionBuffer buffer;
    FunctionScope scope;
    out_ = &buffer;
    scope_ = &scope;
    statementList(node.children, true);
    return buffer.finish(node.at);
  }

 private:
  // ---- helpers ----
  void require(Op op, const Node& at) const {
    if (!rules_.has(op))
      throw CompileError(at.at, std::string("this needs the ") + rules_.opName(op) + " action of SWF " +
                                    std::to_string(rules_.firstVersionOf(op)) + " (the target is SWF " +
                                    std::to_string(rules_.version()) + ")");
  }
  void emit(Op op, const Node& at) {
    require(op, at);
    out_->op(op);
  }
  void pushString(const std::string& text, const Node& at) {
    if (!rules_.utf8Strings()) {
      for (unsigned char c : text) {
        if (c >= 0x80) throw CompileError(at.at, "text beyond ASCII needs SWF 6 or later");
      }
    }
    out_->pushString(text);
  }
  std::string key(const std::string& name) const { return rules_.nameKey(name); }
  const uint8_t* registerOf(const std::string& name) const {
    auto it = scope_->registerOf.find(key(name));
    return it == scope_->registerOf.end() ? nullptr : &it->second;
  }

  uint8_t allocTemp(const Node& at) {
    if (scope_->nextTemp >= scope_->tempLimit) throw CompileError(at.at, "expression too complex: out of registers");
    const int index = scope_->nextTemp++;
    scope_->highestRegister = std::max(scope_->highestRegister, index);
    return static_cast<uint8_t>(index);
  }
  void freeTemp() { --scope_->nextTemp; }
  // A temporary that stays alive across calls: only a DefineFunction2 or SWF 7 code (whose
  // functions all have registers of their own) keeps it from being overwritten.
  uint8_t allocLastingTemp(const Node& at) {
    if (!scope_->registers && scope_->inFunction)
      throw CompileError(at.at, "this needs SWF 7 or later: give the computed member a simple index");
    if (!rules_.has(Op::DefineFunction2))
      throw CompileError(at.at, "this needs SWF 7 or later: give the computed member a simple index");
    return allocTemp(at);
  }

  // ---- statements ----
  void statementList(const std::vector<NodePtr>& list, bool hoistFunctions) {
    if (hoistFunctions) {
      for (const auto& s : list) {
        if (s->kind == NodeKind::FunctionDecl) statement(*s);
      }
    }
    for (const auto& s : list) {
      if (!hoistFunctions || s->kind != NodeKind::FunctionDecl) statement(*s);
    }
  }

  void statement(const Node& node) {
    switch (node.kind) {
      case NodeKind::Block: statementList(node.children, false); break;
      case NodeKind::Empty: break;
      case NodeKind::Var: varStatement(node); break;
      case NodeKind::FunctionDecl: function(*node.child(0), true); break;
      case NodeKind::ExpressionStatement: expression(*node.child(0), false); break;
      case NodeKind::If: ifStatement(node); break;
      case NodeKind::While: whileStatement(node); break;
      case NodeKind::DoWhile: doWhileStatement(node); break;
      case NodeKind::For: forStatement(node); break;
      case NodeKind::ForIn: forInStatement(node); break;
      case NodeKind::Switch: switchStatement(node); break;
      case NodeKind::Break: breakOrContinue(node, true); break;
      case NodeKind::Continue: breakOrContinue(node, false); break;
      case NodeKind::Return: returnStatement(node); break;
      case NodeKind::Throw:
        require(Op::Throw, node);
        expression(*node.child(0), true);
        emit(Op::Throw, node);
        break;
      case NodeKind::Try: tryStatement(node); break;
      default: throw CompileError(node.at, std::string("internal error: statement ") + nodeKindName(node.kind));
    }
  }

  void varStatement(const Node& node) {
    for (const auto& binding : node.children) {
      const std::string& name = binding->text;
      const bool hasValue = !binding->children.empty();
      if (const uint8_t* r = registerOf(name)) {
        if (hasValue) {
          expression(*binding->child(0), true);
          out_->storeRegister(*r);
          emit(Op::Pop, *binding);
        }
      } else if (scope_->inFunction) {
        pushString(name, *binding);
        if (hasValue) {
          expression(*binding->child(0), true);
          emit(Op::DefineLocal, *binding);
        } else {
          emit(Op::DefineLocal2, *binding);
        }
      } else if (hasValue) {
        pushString(name, *binding);
        expression(*binding->child(0), true);
        emit(Op::SetVariable, *binding);
      }
    }
  }

  void ifStatement(const Node& node) {
    const auto elseLabel = out_->newLabel(), end = out_->newLabel();
    expression(*node.child(0), true);
    emit(Op::Not, node);
    out_->jumpIf(elseLabel);
    statement(*node.child(1));
    if (node.children.size() > 2) out_->jump(end);
    out_->bind(elseLabel);
    if (node.children.size() > 2) statement(*node.child(2));
    out_->bind(end);
  }

  void loopBody(const Node& body, ActionBuffer::Label breakLabel, ActionBuffer::Label continueLabel) {
    scope_->targets.push_back({breakLabel, continueLabel, true, scope_->tryDepth});
    statement(body);
    scope_->targets.pop_back();
  }

  void whileStatement(const Node& node) {
    const auto top = out_->newLabel(), end = out_->newLabel();
    out_->bind(top);
    expression(*node.child(0), true);
    emit(Op::Not, node);
    out_->jumpIf(end);
    loopBody(*node.child(1), end, top);
    out_->jump(top);
    out_->bind(end);
  }

  void doWhileStatement(const Node& node) {
    const auto top = out_->newLabel(), next = out_->newLabel(), end = out_->newLabel();
    out_->bind(top);
    loopBody(*node.child(0), end, next);
    out_->bind(next);
    expression(*node.child(1), true);
    out_->jumpIf(top);
    out_->bind(end);
  }

  void forStatement(const Node& node) {
    const auto top = out_->newLabel(), next = out_->newLabel(), end = out_->newLabel();
    const Node& init = *node.child(0);
    if (init.kind == NodeKind::Var) varStatement(init);
    else if (init.kind != NodeKind::Empty) expression(init, false);
    out_->bind(top);
    if (node.child(1)->kind != NodeKind::Empty) {
      expression(*node.child(1), true);
      emit(Op::Not, node);
      out_->jumpIf(end);
    }
    loopBody(*node.child(3), end, next);
    out_->bind(next);
    if (node.child(2)->kind != NodeKind::Empty) expression(*node.child(2), false);
    out_->jump(top);
    out_->bind(end);
  }

  // The enumeration leaves null and then every name on the stack; each turn takes one name
  // until the null comes up. Leaving early (break, return) drains what is left.
  void forInStatement(const Node& node) {
    const Node& object = *node.child(1);
    if (rules_.has(Op::Enumerate2)) {
      expression(object, true);
      emit(Op::Enumerate2, node);
    } else if (object.kind == NodeKind::Name && !registerOf(object.text)) {
      pushString(object.text, object);
      emit(Op::Enumerate, node);
    } else {
      throw CompileError(object.at, "for..in over anything but a variable name needs SWF 6 or later");
    }
    const auto top = out_->newLabel(), drain = out_->newLabel(), exit = out_->newLabel(), end = out_->newLabel();
    out_->bind(top);
    emit(Op::PushDuplicate, node);
    out_->pushNull();
    emit(Op::Equals2, node);
    out_->jumpIf(exit);
    const Node& target = *node.child(0);
    const std::string& name = target.kind == NodeKind::Var ? target.child(0)->text : target.text;
    storeFromTop(name, target.kind == NodeKind::Var, node);
    ++scope_->forInDepth;
    loopBody(*node.child(2), drain, top);
    --scope_->forInDepth;
    out_->jump(top);
    out_->bind(drain);
    emitDrain(node);
    out_->jump(end);
    out_->bind(exit);
    emit(Op::Pop, node);
    out_->bind(end);
  }

  void emitDrain(const Node& at) {
    const auto again = out_->newLabel();
    out_->bind(again);
    out_->pushNull();
    emit(Op::Equals2, at);
    emit(Op::Not, at);
    out_->jumpIf(again);
  }

  // switch compares with strict equality; each match goes through a stub that drops the
  // compared value before it jumps into the case bodies.
  void switchStatement(const Node& node) {
    expression(*node.child(0), true);
    const auto end = out_->newLabel();
    std::vector<ActionBuffer::Label> stubs, bodies;
    ActionBuffer::Label defaultBody = end;
    for (size_t i = 1; i < node.children.size(); ++i) {
      const Node& c = *node.child(i);
      bodies.push_back(out_->newLabel());
      stubs.push_back(out_->newLabel());
      if (c.child(0)->kind == NodeKind::Empty) {
        defaultBody = bodies.back();
        continue;
      }
      emit(Op::PushDuplicate, c);
      expression(*c.child(0), true);
      emit(Op::StrictEquals, c);
      out_->jumpIf(stubs.back());
    }
    emit(Op::Pop, node);
    out_->jump(defaultBody);
    for (size_t i = 0; i < stubs.size(); ++i) {
      if (node.child(i + 1)->child(0)->kind == NodeKind::Empty) continue;
      out_->bind(stubs[i]);
      emit(Op::Pop, node);
      out_->jump(bodies[i]);
    }
    scope_->targets.push_back({end, 0, false, scope_->tryDepth});
    for (size_t i = 0; i < bodies.size(); ++i) {
      out_->bind(bodies[i]);
      const Node& c = *node.child(i + 1);
      for (size_t s = 1; s < c.children.size(); ++s) statement(*c.child(s));
    }
    scope_->targets.pop_back();
    out_->bind(end);
  }

  void breakOrContinue(const Node& node, bool isBreak) {
    const char* what = isBreak ? "break" : "continue";
    for (auto it = scope_->targets.rbegin(); it != scope_->targets.rend(); ++it) {
      if (!isBreak && !it->isLoop) continue;
      if (it->tryDepth != scope_->tryDepth)
        throw CompileError(node.at, std::string("'") + what + "' out of a try block is not supported");
      out_->jump(isBreak ? it->breakLabel : it->continueLabel);
      return;
    }
    throw CompileError(node.at, std::string("'") + what + "' outside a loop" + (isBreak ? " or switch" : ""));
  }

  void returnStatement(const Node& node) {
    if (!scope_->inFunction) throw CompileError(node.at, "'return' outside a function");
    if (node.children.empty()) out_->pushUndefined();
    else expression(*node.child(0), true);
    if (scope_->forInDepth > 0) {
      const uint8_t temp = allocTemp(node);
      out_->storeRegister(temp);
      emit(Op::Pop, node);
      for (int i = 0; i < scope_->forInDepth; ++i) emitDrain(node);
      out_->pushRegister(temp);
      freeTemp();
    }
    emit(Op::Return, node);
  }

  Bytes subList(const Node& block) {
    ActionBuffer buffer;
    ActionBuffer* outer = out_;
    out_ = &buffer;
    statement(block);
    out_ = outer;
    return buffer.finish(block.at);
  }

  void tryStatement(const Node& node) {
    require(Op::Try, node);
    ++scope_->tryDepth;
    const Bytes tryBlock = subList(*node.child(0));
    const bool hasCatch = node.child(1)->kind != NodeKind::Empty;
    const bool hasFinally = node.child(2)->kind != NodeKind::Empty;
    const Bytes catchBlock = hasCatch ? subList(*node.child(1)) : Bytes{};
    const Bytes finallyBlock = hasFinally ? subList(*node.child(2)) : Bytes{};
    --scope_->tryDepth;
    const uint8_t* catchRegister = hasCatch ? registerOf(node.text) : nullptr;
    Bytes payload{static_cast<uint8_t>((hasCatch ? kHasCatch : 0) | (hasFinally ? kHasFinally : 0) |
                                       (catchRegister ? kCatchInRegister : 0))};
    for (size_t size : {tryBlock.size(), catchBlock.size(), finallyBlock.size()}) {
      if (size > 0xFFFF) throw CompileError(node.at, "a try block is longer than 65535 bytes");
      ActionBuffer::putU16(payload, static_cast<unsigned>(size));
    }
    if (catchRegister) payload.push_back(*catchRegister);
    else ActionBuffer::putString(payload, hasCatch ? node.text : "");
    out_->op(Op::Try, payload);
    out_->append(tryBlock);
    out_->append(catchBlock);
    out_->append(finallyBlock);
  }

  // ---- functions ----
  void collectFacts(const Node& node, FunctionFacts& facts, bool nested) {
    switch (node.kind) {
      case NodeKind::Function:
        // An inner function: every name in it may refer to ours.
        for (const auto& child : node.children) collectFacts(*child, facts, true);
        return;
      case NodeKind::FunctionDecl:
        if (!nested) {
          facts.functionNames.insert(key(node.child(0)->text));
          facts.declared.insert(key(node.child(0)->text));
        }
        break;
      case NodeKind::VarBinding:
      case NodeKind::Parameter:
      case NodeKind::Name:
        if (nested) facts.inNested.insert(key(node.text));
        else if (node.kind == NodeKind::VarBinding) facts.declared.insert(key(node.text));
        if (!nested && node.kind == NodeKind::Name && key(node.text) == key("arguments")) facts.usesArguments = true;
        if (!nested && node.kind == NodeKind::Name && key(node.text) == key("super")) facts.usesSuper = true;
        break;
      case NodeKind::This:
        if (!nested) facts.usesThis = true;
        break;
      default:
        break;
    }
    for (const auto& child : node.children) collectFacts(*child, facts, nested);
  }

  void function(const Node& node, bool declaration) {
    const size_t parameterCount = node.children.size() - 1;
    const Node& body = *node.children.back();
    FunctionFacts facts;
    for (size_t i = 0; i < parameterCount; ++i) facts.declared.insert(key(node.child(i)->text));
    collectFacts(body, facts, false);

    FunctionScope scope;
    scope.inFunction = true;
    scope.declared = facts.declared;
    scope.registers = rules_.has(Op::DefineFunction2);
    // super stays a variable of the activation when the body uses it.
    unsigned flags = facts.usesSuper ? 0 : kSuppressSuper;
    int next = 1;
    if (scope.registers) {
      if (facts.usesThis) {
        flags |= kPreloadThis;
        scope.thisRegister = static_cast<uint8_t>(next++);
      } else {
        flags |= kSuppressThis;
      }
      if (facts.usesArguments) {
        flags |= kPreloadArguments;
        scope.argumentsRegister = static_cast<uint8_t>(next++);
      } else {
        flags |= kSuppressArguments;
      }
      auto fitsRegister = [&](const std::string& name) {
        const std::string k = key(name);
        return !facts.inNested.count(k) && !facts.functionNames.count(k) && k != key("arguments") &&
               !scope.registerOf.count(k);
      };
      for (size_t i = 0; i < parameterCount; ++i) {
        if (fitsRegister(node.child(i)->text) && next < kMaxRegisters)
          scope.registerOf[key(node.child(i)->text)] = static_cast<uint8_t>(next++);
      }
      for (const std::string& k : facts.declared) {
        if (!scope.registerOf.count(k) && fitsRegister(k) && next < kMaxRegisters) {
          bool isParameter = false;
          for (size_t i = 0; i < parameterCount; ++i) isParameter = isParameter || key(node.child(i)->text) == k;
          if (!isParameter) scope.registerOf[k] = static_cast<uint8_t>(next++);
        }
      }
      scope.nextTemp = next;
      scope.tempLimit = kMaxRegisters;
      scope.highestRegister = next - 1;
    }

    ActionBuffer buffer;
    ActionBuffer* outerOut = out_;
    FunctionScope* outerScope = scope_;
    out_ = &buffer;
    scope_ = &scope;
    statementList(body.children, true);
    const Bytes code = buffer.finish(body.at);
    out_ = outerOut;
    scope_ = outerScope;
    if (code.size() > 0xFFFF) throw CompileError(node.at, "a function is longer than 65535 bytes");

    const std::string name = declaration ? node.text : "";
    if (declaration) pushStringCheck(name, node);
    Bytes payload;
    ActionBuffer::putString(payload, name);
    ActionBuffer::putU16(payload, static_cast<unsigned>(parameterCount));
    if (scope.registers) {
      payload.push_back(static_cast<uint8_t>(scope.highestRegister + 1));
      ActionBuffer::putU16(payload, flags);
      for (size_t i = 0; i < parameterCount; ++i) {
        const auto it = scope.registerOf.find(key(node.child(i)->text));
        payload.push_back(it == scope.registerOf.end() ? 0 : it->second);
        ActionBuffer::putString(payload, node.child(i)->text);
      }
    } else {
      for (size_t i = 0; i < parameterCount; ++i) ActionBuffer::putString(payload, node.child(i)->text);
    }
    ActionBuffer::putU16(payload, static_cast<unsigned>(code.size()));
    out_->op(scope.registers ? Op::DefineFunction2 : Op::DefineFunction, payload);
    out_->append(code);
  }

  void pushStringCheck(const std::string& text, const Node& at) {
    if (!rules_.utf8Strings()) {
      for (unsigned char c : text) {
        if (c >= 0x80) throw CompileError(at.at, "text beyond ASCII needs SWF 6 or later");
      }
    }
  }

  // ---- expressions ----
  void discard(bool wanted, const Node& at) {
    if (!wanted) emit(Op::Pop, at);
  }

  void readName(const Node& node) {
    if (key(node.text) == key("arguments") && scope_->argumentsRegister) {
      out_->pushRegister(scope_->argumentsRegister);
    } else if (const uint8_t* r = registerOf(node.text)) {
      out_->pushRegister(*r);
    } else {
      pushString(node.text, node);
      emit(Op::GetVariable, node);
    }
  }

  // Stores the value on top of the stack into a variable, taking it off the stack.
  void storeFromTop(const std::string& name, bool declare, const Node& at) {
    if (const uint8_t* r = registerOf(name)) {
      out_->storeRegister(*r);
      emit(Op::Pop, at);
      return;
    }
    pushString(name, at);
    emit(Op::StackSwap, at);
    emit(declare && scope_->inFunction ? Op::DefineLocal : Op::SetVariable, at);
  }

  static bool isSimpleKey(const Node& node) {
    return node.kind == NodeKind::String || node.kind == NodeKind::Number || node.kind == NodeKind::Boolean ||
           node.kind == NodeKind::Null || node.kind == NodeKind::Undefined;
  }

  // Member read-modify-write: leaves [object, old value] and returns how to push the key again.
  std::function<void()> memberForUpdate(const Node& member, uint8_t& keyTemp) {
    keyTemp = 0xFF;
    expression(*member.child(0), true);
    const Node& keyNode = *member.child(1);
    std::function<void()> pushKey;
    if (isSimpleKey(keyNode)) {
      pushKey = [this, &keyNode] { expression(keyNode, true); };
    } else {
      keyTemp = allocLastingTemp(keyNode);
      expression(keyNode, true);
      out_->storeRegister(keyTemp);
      emit(Op::Pop, keyNode);
      const uint8_t t = keyTemp;
      pushKey = [this, t] { out_->pushRegister(t); };
    }
    emit(Op::PushDuplicate, member);
    pushKey();
    emit(Op::GetMember, member);
    return pushKey;
  }

  // [object, new value] -> member written; the new value stays when wanted.
  void finishMemberUpdate(const Node& at, const std::function<void()>& pushKey, uint8_t keyTemp, bool wanted,
                          bool resultAlreadySaved, uint8_t resultTemp) {
    if (wanted && !resultAlreadySaved) out_->storeRegister(resultTemp);
    pushKey();
    emit(Op::StackSwap, at);
    emit(Op::SetMember, at);
    if (wanted) out_->pushRegister(resultTemp);
    (void)keyTemp;
  }

  void assign(const Node& node, bool wanted) {
    const Node& target = *node.child(0);
    const Node& value = *node.child(1);
    const bool compound = node.text != "=";
    const std::string op = compound ? node.text.substr(0, node.text.size() - 1) : "";
    if (target.kind == NodeKind::Name) {
      // Not wanted and not in a register: the name goes first, as SetVariable takes it.
      const bool nameFirst = !wanted && !registerOf(target.text);
      if (nameFirst) pushString(target.text, target);
      if (compound) {
        readName(target);
        expression(value, true);
        binaryOperator(binaryOp(op), node);
      } else {
        expression(value, true);
      }
      if (nameFirst) {
        emit(Op::SetVariable, node);
        return;
      }
      if (wanted) emit(Op::PushDuplicate, node);
      storeFromTop(target.text, false, node);
      return;
    }
    if (!compound) {
      expression(*target.child(0), true);
      expression(*target.child(1), true);
      expression(value, true);
      uint8_t temp = 0;
      if (wanted) {
        temp = allocTemp(node);
        out_->storeRegister(temp);
      }
      emit(Op::SetMember, node);
      if (wanted) {
        out_->pushRegister(temp);
        freeTemp();
      }
      return;
    }
    uint8_t keyTemp;
    auto pushKey = memberForUpdate(target, keyTemp);
    expression(value, true);
    binaryOperator(binaryOp(op), node);
    const uint8_t resultTemp = wanted ? allocTemp(node) : 0;
    finishMemberUpdate(node, pushKey, keyTemp, wanted, false, resultTemp);
    if (wanted) freeTemp();
    if (keyTemp != 0xFF) freeTemp();
  }

  void update(const Node& node, bool wanted) {
    const Node& target = *node.child(0);
    const bool prefix = node.number != 0;
    const Op step = node.text == "++" ? Op::Increment : Op::Decrement;
    if (target.kind == NodeKind::Name) {
      readName(target);
      if (wanted && !prefix) {
        emit(Op::ToNumber, node);
        emit(Op::PushDuplicate, node);
      }
      emit(step, node);
      if (wanted && prefix) emit(Op::PushDuplicate, node);
      storeFromTop(target.text, false, node);
      return;
    }
    uint8_t keyTemp;
    auto pushKey = memberForUpdate(target, keyTemp);
    const uint8_t resultTemp = wanted ? allocTemp(node) : 0;
    if (wanted && !prefix) {
      emit(Op::ToNumber, node);
      out_->storeRegister(resultTemp);
    }
    emit(step, node);
    finishMemberUpdate(node, pushKey, keyTemp, wanted, wanted && !prefix, resultTemp);
    if (wanted) freeTemp();
    if (keyTemp != 0xFF) freeTemp();
  }

  void binaryOperator(const BinaryOp& op, const Node& at) {
    if (rules_.has(op.op)) {
      emit(op.op, at);
      if (op.negate) emit(Op::Not, at);
    } else if (op.lowered != Op::End) {
      emit(Op::StackSwap, at);
      emit(op.lowered, at);
      if (op.loweredNegate) emit(Op::Not, at);
    } else {
      require(op.op, at);
    }
  }

  void arguments(const Node& node, size_t first) {
    for (size_t i = node.children.size(); i > first; --i) expression(*node.child(i - 1), true);
    out_->pushInteger(static_cast<int32_t>(node.children.size() - first));
  }

  bool intrinsic(const Node& call, bool wanted);

  void call(const Node& node, bool wanted) {
    const Node& callee = *node.child(0);
    if (callee.kind == NodeKind::Name && !scope_->declared.count(key(callee.text)) && intrinsic(node, wanted)) return;
    arguments(node, 1);
    // super(...) calls the super constructor on this: as a value with no method name.
    if (callee.kind == NodeKind::Name && !registerOf(callee.text) && key(callee.text) != key("super") &&
        !(key(callee.text) == key("arguments") && scope_->argumentsRegister)) {
      pushString(callee.text, callee);
      emit(Op::CallFunction, node);
    } else if (callee.kind == NodeKind::Member) {
      expression(*callee.child(0), true);
      expression(*callee.child(1), true);
      emit(Op::CallMethod, node);
    } else {
      expression(callee, true);
      out_->pushUndefined();  // no method name: the value itself is called
      emit(Op::CallMethod, node);
    }
    discard(wanted, node);
  }

  void construct(const Node& node, bool wanted) {
    const Node& callee = *node.child(0);
    arguments(node, 1);
    if (callee.kind == NodeKind::Name && !registerOf(callee.text)) {
      pushString(callee.text, callee);
      emit(Op::NewObject, node);
    } else if (callee.kind == NodeKind::Member) {
      expression(*callee.child(0), true);
      expression(*callee.child(1), true);
      emit(Op::NewMethod, node);
    } else {
      expression(callee, true);
      out_->pushUndefined();
      emit(Op::NewMethod, node);
    }
    discard(wanted, node);
  }

  void unary(const Node& node, bool wanted) {
    const Node& operand = *node.child(0);
    const std::string& op = node.text;
    if (op == "delete") {
      if (operand.kind == NodeKind::Name) {
        if (registerOf(operand.text)) {
          out_->pushBoolean(false);  // a declared local cannot be deleted
        } else {
          pushString(operand.text, operand);
          emit(Op::Delete2, node);
        }
      } else {
        expression(*operand.child(0), true);
        expression(*operand.child(1), true);
        emit(Op::Delete, node);
      }
      discard(wanted, node);
      return;
    }
    if (op == "void") {
      expression(operand, false);
      if (wanted) out_->pushUndefined();
      return;
    }
    if (op == "-" && operand.kind == NodeKind::Number) {
      out_->pushNumber(-operand.number);
      discard(wanted, node);
      return;
    }
    if (op == "-") out_->pushInteger(0);
    expression(operand, true);
    if (op == "!") emit(Op::Not, node);
    else if (op == "-") emit(Op::Subtract, node);
    else if (op == "+") emit(Op::ToNumber, node);
    else if (op == "~") {
      out_->pushInteger(-1);
      emit(Op::BitXor, node);
    } else if (op == "typeof") emit(Op::TypeOf, node);
    discard(wanted, node);
  }

  void logical(const Node& node, bool wanted) {
    const auto end = out_->newLabel();
    expression(*node.child(0), true);
    emit(Op::PushDuplicate, node);
    if (node.text == "&&") emit(Op::Not, node);
    out_->jumpIf(end);
    emit(Op::Pop, node);
    expression(*node.child(1), true);
    out_->bind(end);
    discard(wanted, node);
  }

  void conditional(const Node& node, bool wanted) {
    const auto thenLabel = out_->newLabel(), end = out_->newLabel();
    expression(*node.child(0), true);
    out_->jumpIf(thenLabel);
    expression(*node.child(2), wanted);
    out_->jump(end);
    out_->bind(thenLabel);
    expression(*node.child(1), wanted);
    out_->bind(end);
  }

  void expression(const Node& node, bool wanted) {
    switch (node.kind) {
      case NodeKind::Number: out_->pushNumber(node.number); break;
      case NodeKind::String: pushString(node.text, node); break;
      case NodeKind::Boolean: out_->pushBoolean(node.number != 0); break;
      case NodeKind::Null: out_->pushNull(); break;
      case NodeKind::Undefined: out_->pushUndefined(); break;
      case NodeKind::This:
        if (scope_->thisRegister) {
          out_->pushRegister(scope_->thisRegister);
        } else {
          out_->pushString("this");
          emit(Op::GetVariable, node);
        }
        break;
      case NodeKind::Name: readName(node); break;
      case NodeKind::ArrayLiteral:
        arguments(node, 0);
        emit(Op::InitArray, node);
        break;
      case NodeKind::ObjectLiteral:
        for (const auto& property : node.children) {
          pushString(property->text, *property);
          expression(*property->child(0), true);
        }
        out_->pushInteger(static_cast<int32_t>(node.children.size()));
        emit(Op::InitObject, node);
        break;
      case NodeKind::Function: function(node, false); break;
      case NodeKind::Member:
        expression(*node.child(0), true);
        expression(*node.child(1), true);
        emit(Op::GetMember, node);
        break;
      case NodeKind::Call: call(node, wanted); return;
      case NodeKind::New: construct(node, wanted); return;
      case NodeKind::Unary: unary(node, wanted); return;
      case NodeKind::Update: update(node, wanted); return;
      case NodeKind::Binary:
        expression(*node.child(0), true);
        expression(*node.child(1), true);
        binaryOperator(binaryOp(node.text), node);
        break;
      case NodeKind::Logical: logical(node, wanted); return;
      case NodeKind::Conditional: conditional(node, wanted); return;
      case NodeKind::Assign: assign(node, wanted); return;
      case NodeKind::Sequence:
        for (size_t i = 0; i < node.children.size(); ++i)
          expression(*node.child(i), wanted && i + 1 == node.children.size());
        return;
      default: throw CompileError(node.at, std::string("internal error: expression ") + nodeKindName(node.kind));
    }
    discard(wanted, node);
  }

  const VersionRules& rules_;
  ActionBuffer* out_ = nullptr;
  FunctionScope* scope_ = nullptr;
};

// ---- intrinsics: calls the player compiles to actions of their own ----

uint8_t urlMethod(const Node& call, size_t index) {
  if (call.children.size() <= index) return 0;
  const Node& m = *call.child(index);
  if (m.kind == NodeKind::String) {
    std::string upper = m.text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "GET") return 1;
    if (upper == "POST") return 2;
  }
  throw CompileError(m.at, "the method must be \"GET\" or \"POST\"");
}

bool Generator::intrinsic(const Node& call, bool wanted) {
  const std::string name = key(call.child(0)->text);
  const size_t argc = call.children.size() - 1;
  auto arity = [&](size_t low, size_t high) {
    if (argc < low || argc > high)
      throw CompileError(call.at, call.child(0)->text + " takes " +
                                      (low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high)) +
                                      " arguments");
  };
  auto pushLevel = [&](const Node& level) {
    if (level.kind == NodeKind::Number) {
      char text[32];
      std::snprintf(text, sizeof text, "_level%.0f", level.number);
      out_->pushString(text);
    } else {
      out_->pushString("_level");
      expression(level, true);
      emit(Op::Add2, call);
    }
  };
  auto noValue = [&] {
    if (wanted) out_->pushUndefined();
  };
  auto getUrl = [&](uint8_t flags) {
    out_->op(Op::GetUrl2, {flags});
    noValue();
  };
  auto is = [&](const char* n) { return name == key(n); };

  if (is("trace")) {
    arity(1, 1);
    expression(*call.child(1), true);
    emit(Op::Trace, call);
    noValue();
  } else if (is("getTimer")) {
    arity(0, 0);
    emit(Op::GetTime, call);
    discard(wanted, call);
  } else if (is("int")) {
    arity(1, 1);
    expression(*call.child(1), true);
    emit(Op::ToInteger, call);
    discard(wanted, call);
  } else if (is("fscommand")) {
    arity(1, 2);
    const Node& command = *call.child(1);
    if (command.kind == NodeKind::String) {
      pushString("FSCommand:" + command.text, command);
    } else {
      out_->pushString("FSCommand:");
      expression(command, true);
      emit(Op::Add2, call);
    }
    if (argc > 1) expression(*call.child(2), true);
    else out_->pushString("");
    getUrl(0);
  } else if (is("getURL")) {
    arity(1, 3);
    expression(*call.child(1), true);
    if (argc > 1) expression(*call.child(2), true);
    else out_->pushString("");
    getUrl(urlMethod(call, 3));
  } else if (is("loadMovie") || is("loadVariables")) {
    arity(2, 3);
    expression(*call.child(1), true);
    expression(*call.child(2), true);
    getUrl(static_cast<uint8_t>(kTargetIsSprite | (is("loadVariables") ? kLoadVariables : 0) | urlMethod(call, 3)));
  } else if (is("loadMovieNum") || is("loadVariablesNum")) {
    arity(2, 3);
    expression(*call.child(1), true);
    pushLevel(*call.child(2));
    getUrl(static_cast<uint8_t>((is("loadVariablesNum") ? kLoadVariables : 0) | urlMethod(call, 3)));
  } else if (is("unloadMovie")) {
    arity(1, 1);
    out_->pushString("");
    expression(*call.child(1), true);
    getUrl(kTargetIsSprite);
  } else if (is("unloadMovieNum")) {
    arity(1, 1);
    out_->pushString("");
    pushLevel(*call.child(1));
    getUrl(0);
  } else if (is("stop") || is("play") || is("nextFrame") || is("prevFrame")) {
    arity(0, 0);
    emit(is("stop") ? Op::Stop : is("play") ? Op::Play : is("nextFrame") ? Op::NextFrame : Op::PrevFrame, call);
    noValue();
  } else if (is("gotoAndPlay") || is("gotoAndStop")) {
    arity(1, 1);
    expression(*call.child(1), true);
    require(Op::GotoFrame2, call);
    out_->op(Op::GotoFrame2, {static_cast<uint8_t>(is("gotoAndPlay") ? 1 : 0)});
    noValue();
  } else {
    return false;
  }
  return true;
}

}  // namespace

Bytes generateCode(const Node& program, const VersionRules& rules) { return Generator(rules).program(program); }

}  // namespace as2c

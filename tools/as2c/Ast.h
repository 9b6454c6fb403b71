// The syntax tree: one node type whose kind says what it is. Every kind is in the table below,
// with what its children and text hold.
#pragma once

#include "CompileError.h"

#include <memory>
#include <string>
#include <vector>

namespace as2c {

// X(kind, children; text)
#define AS2C_NODE_KINDS(X)                                                                  \
  X(Program, "statements")                                                                  \
  X(Block, "statements")                                                                    \
  X(Empty, "")                                                                              \
  X(Var, "one VarBinding per name")                                                         \
  X(VarBinding, "[initial value]; text = name")                                             \
  X(FunctionDecl, "Function")                                                               \
  X(ExpressionStatement, "expression")                                                      \
  X(If, "condition, then, [else]")                                                          \
  X(While, "condition, body")                                                               \
  X(DoWhile, "body, condition")                                                             \
  X(For, "init or Empty, condition or Empty, update or Empty, body")                        \
  X(ForIn, "target (Var or lvalue), object, body")                                          \
  X(Switch, "discriminant, Case...")                                                        \
  X(Case, "test or Empty (default), statements...")                                        \
  X(Break, "")                                                                              \
  X(Continue, "")                                                                           \
  X(Return, "[value]")                                                                      \
  X(Throw, "value")                                                                         \
  X(Try, "block, catch block or Empty, finally block or Empty; text = catch name")          \
  X(Function, "Parameter..., Block body; text = name (may be empty)")                       \
  X(Parameter, "text = name")                                                               \
  X(Number, "number")                                                                       \
  X(String, "text")                                                                         \
  X(Boolean, "number 1 or 0")                                                               \
  X(Null, "")                                                                               \
  X(Undefined, "")                                                                          \
  X(This, "")                                                                               \
  X(Name, "text = name")                                                                    \
  X(ArrayLiteral, "elements")                                                               \
  X(ObjectLiteral, "Property...")                                                           \
  X(Property, "value; text = name")                                                         \
  X(Member, "object, key expression (a String for a.b)")                                    \
  X(Call, "callee, arguments...")                                                           \
  X(New, "constructor, arguments...")                                                       \
  X(Unary, "operand; text = operator (! ~ - + typeof void delete)")                         \
  X(Update, "lvalue; text = ++ or --; number 1 when prefix")                                \
  X(Binary, "left, right; text = operator")                                                 \
  X(Logical, "left, right; text = && or ||")                                                \
  X(Conditional, "condition, then, else")                                                   \
  X(Assign, "lvalue, value; text = = or a compound operator")                               \
  X(Sequence, "expressions (comma operator)")

enum class NodeKind {
#define AS2C_ENUM(kind, shape) kind,
  AS2C_NODE_KINDS(AS2C_ENUM)
#undef AS2C_ENUM
};

const char* nodeKindName(NodeKind kind);

struct Node {
  NodeKind kind;
  SourcePosition at;
  std::string text;
  double number = 0;
  std::vector<std::unique_ptr<Node>> children;

  Node(NodeKind k, SourcePosition p) : kind(k), at(p) {}
  Node* child(size_t i) const { return children[i].get(); }
};

using NodePtr = std::unique_ptr<Node>;

}  // namespace as2c

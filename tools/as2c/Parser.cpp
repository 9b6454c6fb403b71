#include "Parser.h"

#include <algorithm>
#include <array>

namespace as2c {

const char* nodeKindName(NodeKind kind) {
  switch (kind) {
#define AS2C_NAME(k, shape) \
  case NodeKind::k:         \
    return #k;
    AS2C_NODE_KINDS(AS2C_NAME)
#undef AS2C_NAME
  }
  return "?";
}

namespace {

struct BinaryOperator {
  const char* text;
  int precedence;  // higher binds tighter
};

constexpr std::array<BinaryOperator, 21> kBinaryOperators = {{
    {"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4}, {"&", 5},
    {"==", 6}, {"!=", 6}, {"===", 6}, {"!==", 6},
    {"<", 7}, {">", 7}, {"<=", 7}, {">=", 7}, {"instanceof", 7},
    {"<<", 8}, {">>", 8}, {">>>", 8},
    {"+", 9}, {"-", 9}, {"*", 10}, {"/", 10},
}};

constexpr std::array kAssignOperators = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>="};

class Parser {
 public:
  explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

  NodePtr program() {
    auto node = make(NodeKind::Program);
    while (peek().kind != TokenKind::End) node->children.push_back(statement());
    return node;
  }

 private:
  const Token& peek(size_t ahead = 0) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
  }
  bool is(const char* text, size_t ahead = 0) const {
    const Token& t = peek(ahead);
    return (t.kind == TokenKind::Punctuator || t.kind == TokenKind::Keyword) && t.text == text;
  }
  const Token& next() {
    const Token& t = peek();
    if (pos_ < tokens_.size() - 1) ++pos_;
    return t;
  }
  bool accept(const char* text) {
    if (!is(text)) return false;
    next();
    return true;
  }
  [[noreturn]] void fail(const Token& at, const std::string& what) const {
    std::string found = at.kind == TokenKind::End ? "end of file"
                        : at.kind == TokenKind::String ? "a string"
                                                        : "'" + at.text + "'";
    throw CompileError(at.at, "expected " + what + ", found " + found);
  }
  void expect(const char* text) {
    if (!accept(text)) fail(peek(), std::string("'") + text + "'");
  }
  std::string name(const char* what = "a name") {
    if (peek().kind != TokenKind::Name) fail(peek(), what);
    return next().text;
  }
  NodePtr make(NodeKind kind) const { return std::make_unique<Node>(kind, peek().at); }
  NodePtr make(NodeKind kind, SourcePosition at) const { return std::make_unique<Node>(kind, at); }

  // The semicolon may be left out before "}", at the end and after a line break.
  void endStatement() {
    if (accept(";")) return;
    if (is("}") || peek().kind == TokenKind::End || peek().newlineBefore) return;
    fail(peek(), "';'");
  }

  void skipTypeAnnotation() {
    if (!accept(":")) return;
    if (!accept("void")) {
      name("a type name");
      while (accept(".")) name("a type name");
    }
  }

  NodePtr statement() {
    const Token& t = peek();
    if (t.kind == TokenKind::Keyword) {
      if (t.text == "var") {
        auto node = varDeclaration();
        endStatement();
        return node;
      }
      if (t.text == "function" && peek(1).kind == TokenKind::Name) {
        auto node = make(NodeKind::FunctionDecl);
        node->children.push_back(function());
        return node;
      }
      if (t.text == "if") return ifStatement();
      if (t.text == "while") {
        auto node = make(NodeKind::While);
        next();
        node->children.push_back(parenthesized());
        node->children.push_back(statement());
        return node;
      }
      if (t.text == "do") {
        auto node = make(NodeKind::DoWhile);
        next();
        node->children.push_back(statement());
        expect("while");
        node->children.push_back(parenthesized());
        accept(";");
        return node;
      }
      if (t.text == "for") return forStatement();
      if (t.text == "switch") return switchStatement();
      if (t.text == "break" || t.text == "continue") {
        auto node = make(t.text == "break" ? NodeKind::Break : NodeKind::Continue);
        next();
        if (peek().kind == TokenKind::Name && !peek().newlineBefore) throw CompileError(peek().at, "labels are not supported");
        endStatement();
        return node;
      }
      if (t.text == "return") {
        auto node = make(NodeKind::Return);
        next();
        if (!is(";") && !is("}") && peek().kind != TokenKind::End && !peek().newlineBefore)
          node->children.push_back(expression());
        endStatement();
        return node;
      }
      if (t.text == "throw") {
        auto node = make(NodeKind::Throw);
        next();
        if (peek().newlineBefore) throw CompileError(peek().at, "a line break is not allowed after 'throw'");
        node->children.push_back(expression());
        endStatement();
        return node;
      }
      if (t.text == "try") return tryStatement();
      if (t.text == "class" || t.text == "interface" || t.text == "import" || t.text == "with" || t.text == "extends")
        throw CompileError(t.at, "'" + t.text + "' is not supported");
    }
    if (is("{")) return block();
    if (is(";")) {
      auto node = make(NodeKind::Empty);
      next();
      return node;
    }
    auto node = make(NodeKind::ExpressionStatement);
    node->children.push_back(expression());
    endStatement();
    return node;
  }

  NodePtr block() {
    auto node = make(NodeKind::Block);
    expect("{");
    while (!is("}")) {
      if (peek().kind == TokenKind::End) fail(peek(), "'}'");
      node->children.push_back(statement());
    }
    next();
    return node;
  }

  NodePtr parenthesized() {
    expect("(");
    auto node = expression();
    expect(")");
    return node;
  }

  NodePtr varDeclaration(bool single = false) {
    auto node = make(NodeKind::Var);
    expect("var");
    do {
      auto binding = make(NodeKind::VarBinding);
      binding->text = name();
      skipTypeAnnotation();
      if (!single && accept("=")) binding->children.push_back(assignment());
      node->children.push_back(std::move(binding));
    } while (!single && accept(","));
    return node;
  }

  NodePtr ifStatement() {
    auto node = make(NodeKind::If);
    expect("if");
    node->children.push_back(parenthesized());
    node->children.push_back(statement());
    if (accept("else")) node->children.push_back(statement());
    return node;
  }

  NodePtr forStatement() {
    const SourcePosition at = peek().at;
    expect("for");
    expect("(");
    // for (var k in o) and for (k in o)
    const bool declares = is("var") && peek(2).kind == TokenKind::Keyword && peek(2).text == "in";
    const bool plain = peek().kind == TokenKind::Name && is("in", 1);
    if (declares || plain) {
      auto node = make(NodeKind::ForIn, at);
      if (declares) {
        node->children.push_back(varDeclaration(true));
      } else {
        auto target = make(NodeKind::Name);
        target->text = next().text;
        node->children.push_back(std::move(target));
      }
      expect("in");
      node->children.push_back(expression());
      expect(")");
      node->children.push_back(statement());
      return node;
    }
    auto node = make(NodeKind::For, at);
    if (is(";")) node->children.push_back(make(NodeKind::Empty));
    else if (is("var")) node->children.push_back(varDeclaration());
    else node->children.push_back(expression());
    expect(";");
    node->children.push_back(is(";") ? make(NodeKind::Empty) : expression());
    expect(";");
    node->children.push_back(is(")") ? make(NodeKind::Empty) : expression());
    expect(")");
    node->children.push_back(statement());
    return node;
  }

  NodePtr switchStatement() {
    auto node = make(NodeKind::Switch);
    expect("switch");
    node->children.push_back(parenthesized());
    expect("{");
    bool sawDefault = false;
    while (!accept("}")) {
      auto c = make(NodeKind::Case);
      if (accept("default")) {
        if (sawDefault) throw CompileError(c->at, "a switch has only one default");
        sawDefault = true;
        c->children.push_back(make(NodeKind::Empty));
      } else {
        if (!accept("case")) fail(peek(), "'case', 'default' or '}'");
        c->children.push_back(expression());
      }
      expect(":");
      while (!is("case") && !is("default") && !is("}")) {
        if (peek().kind == TokenKind::End) fail(peek(), "'}'");
        c->children.push_back(statement());
      }
      node->children.push_back(std::move(c));
    }
    return node;
  }

  NodePtr tryStatement() {
    auto node = make(NodeKind::Try);
    expect("try");
    node->children.push_back(block());
    if (accept("catch")) {
      expect("(");
      node->text = name("the name of the caught value");
      skipTypeAnnotation();
      expect(")");
      node->children.push_back(block());
    } else {
      node->children.push_back(make(NodeKind::Empty));
    }
    if (accept("finally")) node->children.push_back(block());
    else node->children.push_back(make(NodeKind::Empty));
    if (node->child(1)->kind == NodeKind::Empty && node->child(2)->kind == NodeKind::Empty)
      fail(peek(), "'catch' or 'finally'");
    return node;
  }

  NodePtr function() {
    auto node = make(NodeKind::Function);
    expect("function");
    if (peek().kind == TokenKind::Name) node->text = next().text;
    expect("(");
    if (!is(")")) {
      do {
        auto parameter = make(NodeKind::Parameter);
        parameter->text = name("a parameter name");
        skipTypeAnnotation();
        node->children.push_back(std::move(parameter));
      } while (accept(","));
    }
    expect(")");
    skipTypeAnnotation();
    node->children.push_back(block());
    return node;
  }

  NodePtr expression() {
    auto first = assignment();
    if (!is(",")) return first;
    auto node = make(NodeKind::Sequence, first->at);
    node->children.push_back(std::move(first));
    while (accept(",")) node->children.push_back(assignment());
    return node;
  }

  static bool isLvalue(const Node& node) { return node.kind == NodeKind::Name || node.kind == NodeKind::Member; }

  NodePtr assignment() {
    auto left = conditional();
    for (const char* op : kAssignOperators) {
      if (is(op)) {
        const Token& t = next();
        if (!isLvalue(*left)) throw CompileError(t.at, "the left side of '" + t.text + "' cannot be assigned");
        auto node = make(NodeKind::Assign, left->at);
        node->text = op;
        node->children.push_back(std::move(left));
        node->children.push_back(assignment());
        return node;
      }
    }
    return left;
  }

  NodePtr conditional() {
    auto condition = binary(1);
    if (!is("?")) return condition;
    next();
    auto node = make(NodeKind::Conditional, condition->at);
    node->children.push_back(std::move(condition));
    node->children.push_back(assignment());
    expect(":");
    node->children.push_back(assignment());
    return node;
  }

  const BinaryOperator* binaryOperator() const {
    const Token& t = peek();
    if (t.kind != TokenKind::Punctuator && !(t.kind == TokenKind::Keyword && t.text == "instanceof")) return nullptr;
    if (t.text == "%") return &kModulo;
    for (const auto& op : kBinaryOperators) {
      if (t.text == op.text) return &op;
    }
    return nullptr;
  }
  static constexpr BinaryOperator kModulo{"%", 10};

  NodePtr binary(int minimum) {
    auto left = unary();
    for (;;) {
      const BinaryOperator* op = binaryOperator();
      if (!op || op->precedence < minimum) return left;
      next();
      auto right = binary(op->precedence + 1);
      const std::string text = op->text;
      auto node = make(text == "&&" || text == "||" ? NodeKind::Logical : NodeKind::Binary, left->at);
      node->text = text;
      node->children.push_back(std::move(left));
      node->children.push_back(std::move(right));
      left = std::move(node);
    }
  }

  NodePtr unary() {
    const Token& t = peek();
    if (is("++") || is("--")) {
      next();
      auto node = make(NodeKind::Update, t.at);
      node->text = t.text;
      node->number = 1;
      auto target = unary();
      if (!isLvalue(*target)) throw CompileError(target->at, "'" + t.text + "' needs a variable or a member");
      node->children.push_back(std::move(target));
      return node;
    }
    if (is("!") || is("~") || is("-") || is("+") || is("typeof") || is("void") || is("delete")) {
      next();
      auto node = make(NodeKind::Unary, t.at);
      node->text = t.text;
      node->children.push_back(unary());
      if (t.text == "delete" && !isLvalue(*node->child(0)))
        throw CompileError(node->child(0)->at, "'delete' needs a variable or a member");
      return node;
    }
    return postfix();
  }

  NodePtr postfix() {
    auto node = callOrMember(primaryOrNew());
    if ((is("++") || is("--")) && !peek().newlineBefore) {
      if (!isLvalue(*node)) throw CompileError(peek().at, "'" + peek().text + "' needs a variable or a member");
      auto update = make(NodeKind::Update, node->at);
      update->text = next().text;
      update->children.push_back(std::move(node));
      return update;
    }
    return node;
  }

  std::vector<NodePtr> arguments() {
    std::vector<NodePtr> list;
    expect("(");
    if (!is(")")) {
      do list.push_back(assignment());
      while (accept(","));
    }
    expect(")");
    return list;
  }

  NodePtr memberName(NodePtr object) {
    auto node = make(NodeKind::Member, object->at);
    const Token& t = next();
    if (t.kind != TokenKind::Name && t.kind != TokenKind::Keyword) fail(t, "a member name");
    auto key = make(NodeKind::String, t.at);
    key->text = t.text;
    node->children.push_back(std::move(object));
    node->children.push_back(std::move(key));
    return node;
  }

  NodePtr callOrMember(NodePtr node, bool allowCalls = true) {
    for (;;) {
      if (accept(".")) {
        node = memberName(std::move(node));
      } else if (is("[")) {
        next();
        auto member = make(NodeKind::Member, node->at);
        member->children.push_back(std::move(node));
        member->children.push_back(expression());
        expect("]");
        node = std::move(member);
      } else if (allowCalls && is("(")) {
        auto call = make(NodeKind::Call, node->at);
        call->children.push_back(std::move(node));
        for (auto& argument : arguments()) call->children.push_back(std::move(argument));
        node = std::move(call);
      } else {
        return node;
      }
    }
  }

  NodePtr primaryOrNew() {
    if (!is("new")) return primary();
    auto node = make(NodeKind::New);
    next();
    node->children.push_back(callOrMember(primaryOrNew(), false));
    if (is("(")) {
      for (auto& argument : arguments()) node->children.push_back(std::move(argument));
    }
    return node;
  }

  NodePtr primary() {
    const Token& t = peek();
    switch (t.kind) {
      case TokenKind::Number: {
        auto node = make(NodeKind::Number);
        node->number = next().number;
        return node;
      }
      case TokenKind::String: {
        auto node = make(NodeKind::String);
        node->text = next().text;
        return node;
      }
      case TokenKind::Name: {
        auto node = make(NodeKind::Name);
        node->text = next().text;
        return node;
      }
      default:
        break;
    }
    if (is("true") || is("false")) {
      auto node = make(NodeKind::Boolean);
      node->number = next().text == "true" ? 1 : 0;
      return node;
    }
    if (is("null")) { next(); return make(NodeKind::Null, t.at); }
    if (is("undefined")) { next(); return make(NodeKind::Undefined, t.at); }
    if (is("this")) { next(); return make(NodeKind::This, t.at); }
    if (is("function")) return function();
    if (is("(")) {
      next();
      auto node = expression();
      expect(")");
      return node;
    }
    if (is("[")) {
      auto node = make(NodeKind::ArrayLiteral);
      next();
      if (!is("]")) {
        do {
          if (is("]")) break;  // a trailing comma
          node->children.push_back(assignment());
        } while (accept(","));
      }
      expect("]");
      return node;
    }
    if (is("{")) {
      auto node = make(NodeKind::ObjectLiteral);
      next();
      if (!is("}")) {
        do {
          if (is("}")) break;
          auto property = make(NodeKind::Property);
          const Token& key = next();
          if (key.kind == TokenKind::Number) {
            property->text = key.text;
          } else if (key.kind == TokenKind::Name || key.kind == TokenKind::String || key.kind == TokenKind::Keyword) {
            property->text = key.text;
          } else {
            fail(key, "a property name");
          }
          expect(":");
          property->children.push_back(assignment());
          node->children.push_back(std::move(property));
        } while (accept(","));
      }
      expect("}");
      return node;
    }
    fail(t, "an expression");
  }

  const std::vector<Token>& tokens_;
  size_t pos_ = 0;
};

}  // namespace

NodePtr parse(const std::vector<Token>& tokens) { return Parser(tokens).program(); }

}  // namespace as2c

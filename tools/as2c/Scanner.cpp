#include "Scanner.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace as2c {

namespace {

constexpr std::array kKeywords = {
    "break", "case", "catch", "continue", "default", "delete", "do", "else", "false", "finally",
    "for", "function", "if", "in", "instanceof", "new", "null", "return", "switch", "this",
    "throw", "true", "try", "typeof", "undefined", "var", "void", "while",
    // Reserved: refused where a name is expected rather than silently taken as one.
    "class", "extends", "import", "interface", "with",
};

// Longest first, so ">>>=" is never read as ">>" and ">=".
constexpr std::array kPunctuators = {
    ">>>=", "===", "!==", ">>>", "<<=", ">>=", "==", "!=", "<=", ">=", "&&", "||", "++", "--",
    "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<", ">>", "{", "}", "(", ")", "[", "]",
    ";", ",", "<", ">", "+", "-", "*", "/", "%", "&", "|", "^", "!", "~", "?", ":", "=", ".",
};

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
bool isNamePart(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

void appendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Scanner {
 public:
  explicit Scanner(std::string_view source) : src_(source) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    for (;;) {
      const bool newline = skipBlanks();
      Token token;
      token.at = position();
      token.newlineBefore = newline;
      if (pos_ >= src_.size()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = src_[pos_];
      if (isNameStart(c)) {
        readName(token);
      } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                 (c == '.' && pos_ + 1 < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_ + 1])))) {
        readNumber(token);
      } else if (c == '"' || c == '\'') {
        readString(token);
      } else {
        readPunctuator(token);
      }
      tokens.push_back(std::move(token));
    }
  }

 private:
  SourcePosition position() const { return {line_, static_cast<int>(pos_ - lineStart_) + 1}; }

  void advance() {
    if (src_[pos_] == '\n') {
      ++line_;
      lineStart_ = pos_ + 1;
    }
    ++pos_;
  }

  // Skips blanks and comments; says whether a line break was among them.
  bool skipBlanks() {
    bool newline = false;
    while (pos_ < src_.size()) {
      const char c = src_[pos_];
      if (c == '\n') {
        newline = true;
        advance();
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        advance();
      } else if (src_.substr(pos_, 3) == "\xEF\xBB\xBF") {
        pos_ += 3;  // a byte-order mark
      } else if (src_.substr(pos_, 2) == "//") {
        while (pos_ < src_.size() && src_[pos_] != '\n') advance();
      } else if (src_.substr(pos_, 2) == "/*") {
        const SourcePosition start = position();
        pos_ += 2;
        while (pos_ < src_.size() && src_.substr(pos_, 2) != "*/") {
          newline = newline || src_[pos_] == '\n';
          advance();
        }
        if (pos_ >= src_.size()) throw CompileError(start, "unterminated comment");
        pos_ += 2;
      } else {
        break;
      }
    }
    return newline;
  }

  void readName(Token& token) {
    const size_t start = pos_;
    while (pos_ < src_.size() && isNamePart(src_[pos_])) ++pos_;
    token.text = std::string(src_.substr(start, pos_ - start));
    token.kind = TokenKind::Name;
    for (const char* keyword : kKeywords) {
      if (token.text == keyword) token.kind = TokenKind::Keyword;
    }
  }

  void readNumber(Token& token) {
    const size_t start = pos_;
    token.kind = TokenKind::Number;
    if (src_[pos_] == '0' && pos_ + 1 < src_.size() && (src_[pos_ + 1] == 'x' || src_[pos_ + 1] == 'X')) {
      pos_ += 2;
      const size_t digits = pos_;
      while (pos_ < src_.size() && std::isxdigit(static_cast<unsigned char>(src_[pos_]))) ++pos_;
      if (pos_ == digits) throw CompileError(token.at, "hexadecimal number without digits");
      token.number = static_cast<double>(std::strtoull(std::string(src_.substr(digits, pos_ - digits)).c_str(), nullptr, 16));
    } else {
      while (pos_ < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_]))) ++pos_;
      if (pos_ < src_.size() && src_[pos_] == '.') {
        ++pos_;
        while (pos_ < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_]))) ++pos_;
      }
      if (pos_ < src_.size() && (src_[pos_] == 'e' || src_[pos_] == 'E')) {
        size_t p = pos_ + 1;
        if (p < src_.size() && (src_[p] == '+' || src_[p] == '-')) ++p;
        if (p >= src_.size() || !std::isdigit(static_cast<unsigned char>(src_[p])))
          throw CompileError(position(), "exponent without digits");
        pos_ = p;
        while (pos_ < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_]))) ++pos_;
      }
      token.number = std::strtod(std::string(src_.substr(start, pos_ - start)).c_str(), nullptr);
    }
    if (pos_ < src_.size() && isNamePart(src_[pos_])) throw CompileError(position(), "a name cannot start right after a number");
    token.text = std::string(src_.substr(start, pos_ - start));
  }

  unsigned hexDigits(int count) {
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
      if (pos_ >= src_.size() || !std::isxdigit(static_cast<unsigned char>(src_[pos_])))
        throw CompileError(position(), "bad escape: expected " + std::to_string(count) + " hexadecimal digits");
      const char c = src_[pos_++];
      value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10));
    }
    return value;
  }

  void readString(Token& token) {
    const char quote = src_[pos_++];
    token.kind = TokenKind::String;
    for (;;) {
      if (pos_ >= src_.size() || src_[pos_] == '\n') throw CompileError(token.at, "unterminated string");
      const char c = src_[pos_];
      if (c == quote) {
        ++pos_;
        return;
      }
      if (c != '\\') {
        token.text += c;
        ++pos_;
        continue;
      }
      ++pos_;
      if (pos_ >= src_.size()) throw CompileError(token.at, "unterminated string");
      const char e = src_[pos_++];
      switch (e) {
        case 'n': token.text += '\n'; break;
        case 'r': token.text += '\r'; break;
        case 't': token.text += '\t'; break;
        case 'b': token.text += '\b'; break;
        case 'f': token.text += '\f'; break;
        case 'v': token.text += '\v'; break;
        case '0': throw CompileError(position(), "a string cannot hold a NUL character");
        case 'x': appendUtf8(token.text, hexDigits(2)); break;
        case 'u': appendUtf8(token.text, hexDigits(4)); break;
        case '\n': advanceLine(); break;  // a line continuation
        default: token.text += e; break;  // \\ \" \' and any other character stand for themselves
      }
    }
  }

  void advanceLine() {
    ++line_;
    lineStart_ = pos_;
  }

  void readPunctuator(Token& token) {
    for (const char* p : kPunctuators) {
      const std::string_view text(p);
      if (src_.substr(pos_, text.size()) == text) {
        token.kind = TokenKind::Punctuator;
        token.text = std::string(text);
        pos_ += text.size();
        return;
      }
    }
    throw CompileError(token.at, std::string("unexpected character '") + src_[pos_] + "'");
  }

  std::string_view src_;
  size_t pos_ = 0;
  size_t lineStart_ = 0;
  int line_ = 1;
};

}  // namespace

std::vector<Token> scan(std::string_view source) { return Scanner(source).run(); }

}  // namespace as2c

// Turns ActionScript 2 source text into tokens: names, keywords, numbers, strings with their
// escapes decoded, and punctuators (longest match first). Comments and blanks are skipped; a
// token remembers whether a line break came before it, for the optional semicolon.
#pragma once

#include "CompileError.h"

#include <string>
#include <string_view>
#include <vector>

namespace as2c {

enum class TokenKind { Name, Keyword, Number, String, Punctuator, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // the name, keyword or punctuator; a string's decoded value
  double number = 0;
  SourcePosition at;
  bool newlineBefore = false;
};

std::vector<Token> scan(std::string_view source);

}  // namespace as2c

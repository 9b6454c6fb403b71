// The movie script's text form: one command per line, '#' comment lines, blank-separated tokens,
// double-quoted tokens with \" \\ \n \r \t escapes; and the same quoting for transcript lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace movie {

struct ScriptLine {
  int number = 0;  // 1-based line in the script text
  std::vector<std::string> tokens;
};

// Splits a script into its command lines; blank and comment lines are left out. A line with an
// unterminated quote keeps the text up to the end of the line as its last token.
std::vector<ScriptLine> parseScript(std::string_view text);

// Quotes a text with the script's escapes, so it reads back as one token.
std::string quoteToken(std::string_view text);

}  // namespace movie

// Tokenizer and quoting of the movie script's text form.
#include "ScriptText.h"

namespace movie {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string> tokenize(std::string_view line) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string token;
    if (line[i] == '"') {
      ++i;
      while (i < line.size() && line[i] != '"') {
        char c = line[i++];
        if (c == '\\' && i < line.size()) {
          char e = line[i++];
          switch (e) {
            case 'n': token += '\n'; break;
            case 'r': token += '\r'; break;
            case 't': token += '\t'; break;
            default: token += e; break;  // \" and \\ (and any other escaped character itself)
          }
        } else {
          token += c;
        }
      }
      if (i < line.size()) ++i;  // closing quote
    } else {
      while (i < line.size() && !isBlank(line[i])) token += line[i++];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace

std::vector<ScriptLine> parseScript(std::string_view text) {
  std::vector<ScriptLine> lines;
  int number = 0;
  size_t start = 0;
  // A UTF-8 byte-order mark from an editor is not part of the first command.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++number;
    size_t first = 0;
    while (first < line.size() && isBlank(line[first])) ++first;
    if (first < line.size() && line[first] != '#') {
      ScriptLine parsed{number, tokenize(line)};
      if (!parsed.tokens.empty()) lines.push_back(std::move(parsed));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

std::string quoteToken(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c; break;
    }
  }
  out += '"';
  return out;
}

}  // namespace movie

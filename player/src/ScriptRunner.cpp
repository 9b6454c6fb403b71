// The movie script's commands, as a table of name, least argument count and handler.
#include "ScriptRunner.h"

#include <cwchar>

#include "FlashPlayer.h"
#include "Text.h"
#include "Transcript.h"
#include "UserActions.h"

const ScriptRunner::Command ScriptRunner::kCommands[] = {
    {"call", 1, &ScriptRunner::call},          // call NAME ARG...
    {"expect", 1, &ScriptRunner::expect},      // expect TEXT
    {"callback", 1, &ScriptRunner::callback},  // callback NAME [ANSWER]
    {"wait", 1, &ScriptRunner::wait},          // wait MS
    {"log", 0, &ScriptRunner::log},            // log TEXT...
    {"user", 1, &ScriptRunner::user},          // user ACTION ARGS...
    {"draw", 7, &ScriptRunner::draw},          // draw rect X Y W H RRGGBB ALPHA
    {"fscommand", 1, &ScriptRunner::fscommand},  // fscommand COMMAND [ARGS]
    {"set", 2, &ScriptRunner::set},            // set NAME VALUE
    {"var", 1, &ScriptRunner::var},            // var NAME
    {"load", 1, &ScriptRunner::load},          // load URL
    {"sound", 1, &ScriptRunner::sound},        // sound MS [HZ]
};

namespace {

bool toInt(const std::wstring& text, long& out) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  out = wcstol(text.c_str(), &end, 10);
  return *end == 0;
}

}  // namespace

ScriptRunner::ScriptRunner(FlashPlayer& player, std::string_view text)
    : player_(player), lines_(movie::parseScript(text)) {}

void ScriptRunner::resume() {
  if (running_ || waiting_) return;
  running_ = true;
  while (!stopped_ && !waiting_ && next_ < lines_.size()) run(lines_[next_++]);
  running_ = false;
  if (!stopped_ && !waiting_ && next_ == lines_.size()) {
    ++next_;  // the end is reported once
    transcript::write(L"end");
  }
}

void ScriptRunner::waitOver() {
  waiting_ = false;
  resume();
}

void ScriptRunner::run(const movie::ScriptLine& line) {
  lineNumber_ = line.number;
  Args args;
  for (size_t i = 1; i < line.tokens.size(); ++i) args.push_back(utf8ToWide(line.tokens[i]));
  for (const Command& c : kCommands) {
    if (line.tokens[0] != c.name) continue;
    if (args.size() < c.minArgs) {
      transcript::write(L"error line " + std::to_wstring(line.number) + L": " + utf8ToWide(c.name) +
                        L" needs " + std::to_wstring(c.minArgs) + L" arguments");
      return;
    }
    (this->*c.run)(args);
    return;
  }
  transcript::write(L"error line " + std::to_wstring(line.number) + L": unknown command " +
                    transcript::quote(utf8ToWide(line.tokens[0])));
}

void ScriptRunner::call(const Args& args) {
  Args callArgs(args.begin() + 1, args.end());
  std::optional<std::wstring> value = player_.externalCall(args[0], callArgs);
  lastValue_ = value.value_or(L"");
  std::wstring line = L"call " + args[0];
  for (const std::wstring& a : callArgs) line += L" " + transcript::quote(a);
  line += L" -> " + (value ? transcript::quote(*value) : std::wstring(L"none"));
  transcript::write(line);
}

void ScriptRunner::expect(const Args& args) {
  bool pass = lastValue_ == args[0];
  transcript::write(std::wstring(pass ? L"PASS" : L"FAIL") + L" line " + std::to_wstring(lineNumber_) +
                    L" expected " + transcript::quote(args[0]) + L" got " + transcript::quote(lastValue_));
}

void ScriptRunner::callback(const Args& args) {
  std::optional<std::wstring> answer;
  if (args.size() > 1) answer = args[1];
  player_.addCallback(args[0], answer);
  transcript::write(L"callback " + args[0]);
}

void ScriptRunner::wait(const Args& args) {
  long ms = 0;
  if (!toInt(args[0], ms) || ms < 0) {
    transcript::write(L"error line " + std::to_wstring(lineNumber_) + L": wait needs milliseconds");
    return;
  }
  waiting_ = true;
  player_.scheduleScript(static_cast<UINT>(ms));
}

void ScriptRunner::log(const Args& args) {
  std::wstring text;
  for (const std::wstring& a : args) text += (text.empty() ? L"" : L" ") + a;
  transcript::write(L"log " + transcript::quote(text));
}

void ScriptRunner::user(const Args& args) {
  std::wstring line = L"user";
  for (const std::wstring& a : args) line += L" " + a;
  std::wstring error;
  if (!performUserAction(player_, args, &error)) {
    transcript::write(L"error line " + std::to_wstring(lineNumber_) + L": " + error);
    return;
  }
  transcript::write(line);
}

void ScriptRunner::draw(const Args& args) {
  long x, y, w, h, alpha;
  wchar_t* end = nullptr;
  unsigned long rgb = wcstoul(args[5].c_str(), &end, 16);
  if (args[0] != L"rect" || !toInt(args[1], x) || !toInt(args[2], y) || !toInt(args[3], w) || !toInt(args[4], h) ||
      args[5].size() != 6 || *end || !toInt(args[6], alpha) || alpha < 0 || alpha > 255 || w < 0 || h < 0) {
    transcript::write(L"error line " + std::to_wstring(lineNumber_) + L": draw rect X Y W H RRGGBB ALPHA");
    return;
  }
  COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  player_.drawShape({RECT{x, y, x + w, y + h}, color, static_cast<BYTE>(alpha)});
  transcript::write(L"draw rect " + args[1] + L" " + args[2] + L" " + args[3] + L" " + args[4] + L" " + args[5] +
                    L" " + args[6]);
}

void ScriptRunner::fscommand(const Args& args) {
  std::wstring rest = args.size() > 1 ? args[1] : L"";
  transcript::write(L"fscommand " + transcript::quote(args[0]) + L" " + transcript::quote(rest));
  player_.fsCommand(args[0], rest);
}

void ScriptRunner::set(const Args& args) {
  player_.setMovieVariable(args[0], args[1]);
  transcript::write(L"set " + transcript::quote(args[0]) + L" " + transcript::quote(args[1]));
}

void ScriptRunner::var(const Args& args) {
  std::optional<std::wstring> value = player_.movieVariable(args[0]);
  lastValue_ = value.value_or(L"");
  transcript::write(L"var " + transcript::quote(args[0]) + L" " + (value ? transcript::quote(*value) : L"undefined"));
}

void ScriptRunner::load(const Args& args) { player_.loadResource(args[0]); }

void ScriptRunner::sound(const Args& args) {
  long ms = 0, hz = 440;
  if (!toInt(args[0], ms) || ms <= 0 || ms > 10000 || (args.size() > 1 && (!toInt(args[1], hz) || hz <= 0))) {
    transcript::write(L"error line " + std::to_wstring(lineNumber_) + L": sound MS [HZ]");
    return;
  }
  player_.playTone(static_cast<int>(ms), static_cast<int>(hz));
}

// The movie script's commands, as a table of name, least argument count and handler.
#include "ScriptRunner.h"

#include <cwchar>

#include "FlashPlayer.h"
#include "Module.h"
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
    {"on", 1, &ScriptRunner::on},              // on NAME ... end
    {"end", 0, &ScriptRunner::endBlock},       // closes an `on` block
    {"watch", 1, &ScriptRunner::watch},        // watch NAME
    {"wait-for", 1, &ScriptRunner::waitFor},   // wait-for NAME [COUNT] [TIMEOUT_MS]
    {"expect-arg", 2, &ScriptRunner::expectArg},  // expect-arg N TEXT
    {"return", 0, &ScriptRunner::returnValue},   // return [TEXT]
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
    : player_(player), lines_(movie::parseScript(text)) {
  // Pair each `on` with the next `end`; blocks do not nest.
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].tokens[0] != "on") continue;
    for (size_t j = i + 1; j < lines_.size(); ++j) {
      if (lines_[j].tokens[0] == "end") {
        blockEnds_[i] = j;
        i = j;
        break;
      }
      if (lines_[j].tokens[0] == "on") break;
    }
  }
}

namespace {

// $1..$9 and $* of a block's arguments, within any token.
std::wstring substitute(const std::wstring& token, const std::vector<std::wstring>& args) {
  std::wstring out;
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] == L'$' && i + 1 < token.size()) {
      wchar_t c = token[i + 1];
      if (c == L'*') {
        for (size_t a = 0; a < args.size(); ++a) out += (a ? L" " : L"") + args[a];
        ++i;
        continue;
      }
      if (c >= L'1' && c <= L'9') {
        size_t n = static_cast<size_t>(c - L'0');
        if (n <= args.size()) out += args[n - 1];
        ++i;
        continue;
      }
    }
    out += token[i];
  }
  return out;
}

}  // namespace

bool ScriptRunner::callbackInvoked(const std::wstring& name, const std::vector<std::wstring>& args,
                                   std::optional<std::wstring>* answer) {
  return hit(name, args, answer);
}

void ScriptRunner::variableSet(const std::wstring& name, const std::wstring& value) {
  if (!watched_.count(name)) return;
  std::optional<std::wstring> ignored;
  hit(name, Args{value}, &ignored);
}

bool ScriptRunner::hit(const std::wstring& name, const Args& args, std::optional<std::wstring>* answer) {
  if (stopped_) return false;
  unsigned count = ++hits_[name];
  bool ran = false;
  auto it = handlers_.find(name);
  if (it != handlers_.end()) {
    Frame frame;
    frame.args = &args;
    Frame* outer = frame_;
    frame_ = &frame;
    int outerLine = lineNumber_;
    for (size_t i = it->second.first; i < it->second.end && !frame.returned && !stopped_; ++i) run(lines_[i]);
    lineNumber_ = outerLine;
    frame_ = outer;
    *answer = frame.answer;
    ran = true;
  }
  // A `wait-for` this hit meets resumes from the message loop, not inside the host's call.
  if (waitingFor_ && waitingFor_->first == name && count >= waitingFor_->second) player_.scheduleScript(0);
  return ran;
}

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
  if (waitingFor_) {
    unsigned got = hits_[waitingFor_->first];
    if (got < waitingFor_->second)
      transcript::write(L"FAIL line " + std::to_wstring(waitForLine_) + L" wait-for " + waitingFor_->first + L" hit " +
                        std::to_wstring(got) + L" of " + std::to_wstring(waitingFor_->second) + L" timeout");
    waitingFor_.reset();
  }
  waiting_ = false;
  resume();
}

void ScriptRunner::error(const std::wstring& text) {
  transcript::write(L"error line " + std::to_wstring(lineNumber_) + L": " + text);
}

void ScriptRunner::on(const Args& args) {
  size_t at = next_ - 1;  // `on` runs only from the main flow, which has moved past it
  auto end = blockEnds_.find(at);
  if (frame_ || end == blockEnds_.end()) {
    error(frame_ ? L"on inside an on block" : L"on without end");
    return;
  }
  handlers_[args[0]] = Block{at + 1, end->second};
  next_ = end->second + 1;
  // The block answers CallFunction of NAME as a callback does.
  player_.addCallback(args[0], std::nullopt, /*keepAnswer=*/true);
  transcript::write(L"on " + args[0]);
}

void ScriptRunner::endBlock(const Args&) { error(L"end without on"); }

void ScriptRunner::watch(const Args& args) {
  watched_[args[0]] = true;
  transcript::write(L"watch " + args[0]);
}

void ScriptRunner::waitFor(const Args& args) {
  long count = 1, timeout = 10000;
  if (frame_ || (args.size() > 1 && (!toInt(args[1], count) || count < 1)) ||
      (args.size() > 2 && (!toInt(args[2], timeout) || timeout < 0))) {
    error(frame_ ? L"wait-for inside an on block" : L"wait-for NAME [COUNT] [TIMEOUT_MS]");
    return;
  }
  transcript::write(L"wait-for " + args[0] + L" " + std::to_wstring(count));
  waitingFor_ = std::make_pair(args[0], static_cast<unsigned>(count));
  waitForLine_ = lineNumber_;
  waiting_ = true;
  // Met already: go on at once (from the message loop); else the timeout ends the wait.
  player_.scheduleScript(hits_[args[0]] >= static_cast<unsigned>(count) ? 0 : static_cast<UINT>(timeout));
}

void ScriptRunner::expectArg(const Args& args) {
  long n = 0;
  if (!frame_ || !toInt(args[0], n) || n < 1) {
    error(frame_ ? L"expect-arg N TEXT" : L"expect-arg outside an on block");
    return;
  }
  const Args& given = *frame_->args;
  std::wstring got = static_cast<size_t>(n) <= given.size() ? given[static_cast<size_t>(n) - 1] : L"";
  bool pass = static_cast<size_t>(n) <= given.size() && got == args[1];
  transcript::write(std::wstring(pass ? L"PASS" : L"FAIL") + L" line " + std::to_wstring(lineNumber_) + L" arg " +
                    std::to_wstring(n) + L" expected " + transcript::quote(args[1]) + L" got " +
                    (static_cast<size_t>(n) <= given.size() ? transcript::quote(got) : L"none"));
}

void ScriptRunner::returnValue(const Args& args) {
  if (!frame_) {
    error(L"return outside an on block");
    return;
  }
  std::wstring text;
  for (const std::wstring& a : args) text += (text.empty() ? L"" : L" ") + a;
  frame_->answer = text;
  frame_->returned = true;
  transcript::write(L"return " + transcript::quote(text));
}

void ScriptRunner::run(const movie::ScriptLine& line) {
  lineNumber_ = line.number;
  Args args;
  for (size_t i = 1; i < line.tokens.size(); ++i) {
    std::wstring token = utf8ToWide(line.tokens[i]);
    args.push_back(frame_ ? substitute(token, *frame_->args) : token);
  }
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
  if (!player_.hasExternalInterface()) {
    lastValue_.clear();
    error(L"no ExternalInterface below SWF 8");
    return;
  }
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
  if (frame_ || !toInt(args[0], ms) || ms < 0) {
    error(frame_ ? L"wait inside an on block" : L"wait needs milliseconds");
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
  UserActionResult result;
  bool done = performUserAction(player_, args, result);
  if (result.awaitMenu && !frame_) {
    const ULONGLONG now = GetTickCount64();
    if (!menuWatch_) {
      // Watch first, then look again: a menu that opens in between is not missed.
      menuWatch_ = std::make_unique<MenuWatch>(player_.messageWindow(), module::kMenuOpened);
      menuDeadline_ = now + result.awaitMs;
      result = UserActionResult{};
      done = performUserAction(player_, args, result);
    }
    if (result.awaitMenu && now < menuDeadline_) {
      --next_;  // the same line again when a menu opens, or at the deadline
      waiting_ = true;
      menuWatch_->arm();
      player_.scheduleScript(static_cast<UINT>(menuDeadline_ - now));
      return;
    }
  }
  menuWatch_.reset();
  if (result.awaitMenu) result.failure = L"no menu opened";
  if (!result.failure.empty()) {
    transcript::write(L"FAIL line " + std::to_wstring(lineNumber_) + L" " + line + L": " + result.failure);
    return;
  }
  if (!done) {
    error(result.error);
    return;
  }
  transcript::write(result.note.empty() ? line : line + L" " + result.note);
}

// Straight on, not through the script's timer: a menu loop that always has a message to
// dispatch would starve timers.
void ScriptRunner::menuOpened() {
  if (!menuWatch_ || !waiting_ || running_) return;
  player_.cancelScriptTimer();
  waitOver();
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

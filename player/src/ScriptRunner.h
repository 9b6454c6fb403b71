// Runs a movie's script once the movie has loaded: one command after another on the player's
// thread, pausing at `wait`, writing what it does to the transcript.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MenuWatch.h"
#include "ScriptText.h"

class FlashPlayer;

class ScriptRunner {
 public:
  ScriptRunner(FlashPlayer& player, std::string_view text);

  // Runs commands until a `wait` or the end; a call made while running (from inside a command
  // that pumps messages) does nothing.
  void resume();
  // The wait is over (or a `wait-for` was met, or timed out): go on with the next command.
  void waitOver();
  // The host invoked the ExternalInterface callback NAME: counts the hit and runs its `on`
  // block with the arguments. True when a block ran; `answer` is what its `return` gave.
  bool callbackInvoked(const std::wstring& name, const std::vector<std::wstring>& args,
                       std::optional<std::wstring>* answer);
  // The host set a movie variable: a watched one counts a hit and runs its block with the value.
  void variableSet(const std::wstring& name, const std::wstring& value);
  // A pop-up menu of the process waits for input: a `user pick` waiting for one tries again.
  void menuOpened();
  // No further command runs (the movie was replaced or closed).
  void stop() { stopped_ = true; }

 private:
  using Args = std::vector<std::wstring>;
  using Handler = void (ScriptRunner::*)(const Args& args);
  struct Command {
    const char* name;
    size_t minArgs;
    Handler run;
  };
  static const Command kCommands[];

  // A running `on` block: its arguments and what its `return` answered.
  struct Frame {
    const Args* args = nullptr;
    std::optional<std::wstring> answer;
    bool returned = false;
  };
  struct Block {
    size_t first = 0, end = 0;  // lines of the body, `end` excluded
  };

  void run(const movie::ScriptLine& line);
  void error(const std::wstring& text);
  // Counts a hit of NAME, runs its block when there is one, and resumes a `wait-for` it meets.
  bool hit(const std::wstring& name, const Args& args, std::optional<std::wstring>* answer);
  void on(const Args& args);
  void endBlock(const Args& args);
  void watch(const Args& args);
  void waitFor(const Args& args);
  void expectArg(const Args& args);
  void returnValue(const Args& args);
  void call(const Args& args);
  void expect(const Args& args);
  void callback(const Args& args);
  void wait(const Args& args);
  void log(const Args& args);
  void user(const Args& args);
  void draw(const Args& args);
  void fscommand(const Args& args);
  void set(const Args& args);
  void var(const Args& args);
  void load(const Args& args);
  void sound(const Args& args);

  FlashPlayer& player_;
  std::vector<movie::ScriptLine> lines_;
  size_t next_ = 0;
  int lineNumber_ = 0;
  std::wstring lastValue_;
  std::map<size_t, size_t> blockEnds_;          // line index of each `on` -> index of its `end`
  std::map<std::wstring, Block> handlers_;       // registered `on` blocks by name
  std::map<std::wstring, bool> watched_;         // `watch` names
  std::map<std::wstring, unsigned> hits_;        // callback and watched-variable hits so far
  Frame* frame_ = nullptr;                       // the innermost running block, if any
  std::optional<std::pair<std::wstring, unsigned>> waitingFor_;  // name and hit count awaited
  int waitForLine_ = 0;
  // A `user pick` waiting for a menu to open: what tells it one did, and until when it waits.
  std::unique_ptr<MenuWatch> menuWatch_;
  ULONGLONG menuDeadline_ = 0;
  bool running_ = false;
  bool waiting_ = false;
  bool stopped_ = false;
};

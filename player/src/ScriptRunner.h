// Runs a movie's script once the movie has loaded: one command after another on the player's
// thread, pausing at `wait`, writing what it does to the transcript.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ScriptText.h"

class FlashPlayer;

class ScriptRunner {
 public:
  ScriptRunner(FlashPlayer& player, std::string_view text);

  // Runs commands until a `wait` or the end; a call made while running (from inside a command
  // that pumps messages) does nothing.
  void resume();
  // The wait is over: go on with the next command.
  void waitOver();
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

  void run(const movie::ScriptLine& line);
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
  bool running_ = false;
  bool waiting_ = false;
  bool stopped_ = false;
};

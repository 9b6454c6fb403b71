// Starting the programs under test from an end-to-end test: a child process with a working
// directory, its exit code, its output, and a kill when the test no longer needs it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lumo::e2e {

// The folder of the test program, where the build puts every Windows program.
std::wstring binFolder();

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Starts `exe` with `arguments` (already quoted as needed) in `workingDirectory`; the
  // child's standard output is collected when `captureOutput` is set.
  bool start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDirectory,
             bool captureOutput = false);
  // The exit code, or nullopt if the process is still running after `timeoutMs`.
  std::optional<int> wait(DWORD timeoutMs);
  bool running() { return !wait(0).has_value(); }
  // Waits until the child waits for input in its message loop (true), or has exited or the
  // time ran out (false): start-up is over, however slowly a loaded machine ran it.
  bool waitIdle(DWORD timeoutMs);
  void kill();
  // Ends the child's message loop the way WM_QUIT does: a normal exit with its clean-up.
  bool postQuit() { return PostThreadMessageW(threadId_, WM_QUIT, 0, 0) != FALSE; }
  // Everything the child wrote to its standard output (read after it exited).
  std::string output();

 private:
  HANDLE process_ = nullptr;
  DWORD threadId_ = 0;
  HANDLE outputRead_ = nullptr;
  std::string output_;
};

struct RunResult {
  std::optional<int> exitCode;  // nullopt: killed at the timeout
  std::string output;
};

// Runs a program to its end (or kills it after `timeoutMs`) and collects its output.
RunResult run(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDirectory,
              DWORD timeoutMs = 30000);

std::wstring quote(const std::wstring& argument);

}  // namespace lumo::e2e

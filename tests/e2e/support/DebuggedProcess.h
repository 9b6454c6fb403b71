// A program started with this process as its debugger, so that a test can read the lines it
// writes to the debugger output (OutputDebugStringA and OutputDebugStringW).
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumo::e2e {

class DebuggedProcess {
 public:
  DebuggedProcess() = default;
  DebuggedProcess(const DebuggedProcess&) = delete;
  DebuggedProcess& operator=(const DebuggedProcess&) = delete;
  // Kills the program if it still runs.
  ~DebuggedProcess();

  // Starts `exe` (arguments already quoted) in `workingDirectory`; the program inherits this
  // process's environment as it is now.
  bool start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDirectory);
  // The debugger output so far, one entry per call, wide texts converted to ANSI.
  std::vector<std::string> lines() const;
  // Waits until a line equals `line`; false at the timeout.
  bool waitFor(const std::string& line, DWORD timeoutMs = 15000) const;
  void kill();

 private:
  // Only the thread that started a debuggee may wait for its events: it does both.
  void debugLoop(std::wstring commandLine, std::wstring workingDirectory);

  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  HANDLE process_ = nullptr;  // owned by the debug loop until it ends
  std::atomic<int> startState_{0};  // 0 starting, 1 running, -1 failed
};

}  // namespace lumo::e2e

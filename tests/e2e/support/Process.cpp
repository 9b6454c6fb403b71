#include "Process.h"

#include "StartProcess.h"

#include <vector>

namespace lumo::e2e {

std::wstring binFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring quote(const std::wstring& argument) { return L"\"" + argument + L"\""; }

ChildProcess::~ChildProcess() {
  kill();
  if (process_) CloseHandle(process_);
  if (outputRead_) CloseHandle(outputRead_);
}

bool ChildProcess::start(const std::wstring& exe, const std::wstring& arguments,
                         const std::wstring& workingDirectory, bool captureOutput) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  HANDLE outputWrite = nullptr;
  if (captureOutput) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    if (!CreatePipe(&outputRead_, &outputWrite, &inherit, 0)) return false;
    SetHandleInformation(outputRead_, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  std::wstring commandLine = quote(exe) + L" " + arguments;
  PROCESS_INFORMATION info{};
  const BOOL started = test::startProcess(exe.c_str(), commandLine.data(), captureOutput, 0,
                                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info);
  if (outputWrite) CloseHandle(outputWrite);
  if (!started) return false;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  threadId_ = info.dwThreadId;
  return true;
}

bool ChildProcess::waitIdle(DWORD timeoutMs) {
  return process_ && WaitForInputIdle(process_, timeoutMs) == 0 && running();
}

std::optional<int> ChildProcess::wait(DWORD timeoutMs) {
  if (!process_) return std::nullopt;
  // Drain the pipe while waiting, so that a chatty child never blocks on a full pipe.
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (outputRead_) {
      DWORD available = 0;
      while (PeekNamedPipe(outputRead_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::vector<char> chunk(available);
        DWORD read = 0;
        if (!ReadFile(outputRead_, chunk.data(), available, &read, nullptr) || read == 0) break;
        output_.append(chunk.data(), read);
      }
    }
    if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) break;
    if (GetTickCount64() >= deadline) return std::nullopt;
  }
  if (outputRead_) {
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(outputRead_, chunk, sizeof(chunk), &read, nullptr) && read > 0) output_.append(chunk, read);
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<int>(code);
}

void ChildProcess::kill() {
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
}

std::string ChildProcess::output() { return output_; }

RunResult run(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDirectory,
              DWORD timeoutMs) {
  ChildProcess child;
  RunResult result;
  if (!child.start(exe, arguments, workingDirectory, true)) return result;
  result.exitCode = child.wait(timeoutMs);
  result.output = child.output();
  return result;
}

}  // namespace lumo::e2e

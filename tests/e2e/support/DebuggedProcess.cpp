#include "DebuggedProcess.h"

#include "StartProcess.h"

namespace lumo::e2e {

DebuggedProcess::~DebuggedProcess() { kill(); }

bool DebuggedProcess::start(const std::wstring& exe, const std::wstring& arguments,
                            const std::wstring& workingDirectory) {
  thread_ = std::thread(&DebuggedProcess::debugLoop, this, L"\"" + exe + L"\" " + arguments, workingDirectory);
  while (startState_.load() == 0) Sleep(10);
  if (startState_.load() > 0) return true;
  thread_.join();
  return false;
}

void DebuggedProcess::debugLoop(std::wstring commandLine, std::wstring workingDirectory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!test::startProcess(nullptr, commandLine.data(), FALSE, DEBUG_ONLY_THIS_PROCESS,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info)) {
    startState_ = -1;
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  startState_ = 1;

  for (bool exited = false; !exited;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) break;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
        const size_t unit = text.fUnicode ? sizeof(wchar_t) : 1;
        std::string bytes(text.nDebugStringLength * unit, '\0');
        SIZE_T read = 0;
        ReadProcessMemory(info.hProcess, text.lpDebugStringData, bytes.data(), bytes.size(), &read);
        bytes.resize(read);
        std::string line;
        if (text.fUnicode) {
          const std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
          const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
          line.assign(n > 0 ? static_cast<size_t>(n) : 1, '\0');
          WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, line.data(), n, nullptr, nullptr);
        } else {
          line = bytes;
        }
        line.resize(line.find('\0') == std::string::npos ? line.size() : line.find('\0'));
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        // The program handles its own exceptions; only the loader's breakpoint is ours.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        exited = true;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}

std::vector<std::string> DebuggedProcess::lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

bool DebuggedProcess::waitFor(const std::string& line, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    for (const std::string& seen : lines())
      if (seen == line) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

void DebuggedProcess::kill() {
  if (!thread_.joinable()) return;
  if (process_) TerminateProcess(process_, 1);
  thread_.join();
  if (process_) CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace lumo::e2e

// A listener is looked for at most every 50 ms: a debugger shows in the process block (a free
// read), a DBWIN listener by the event it creates, which costs a kernel call. A listener that
// starts meanwhile gets the lines from its next check on.
#include "util/DebugOutput.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace lumo {
namespace {

constexpr ULONGLONG kListenerCheckMs = 50;

std::atomic<ULONGLONG> nextListenerCheck{0};
std::atomic<bool> listenerPresent{false};

bool dbwinListenerPresent() {
  HANDLE ready = OpenEventW(SYNCHRONIZE, FALSE, L"DBWIN_BUFFER_READY");
  if (!ready) return false;
  CloseHandle(ready);
  return true;
}

}  // namespace

bool debugOutputListened() {
  if (IsDebuggerPresent()) return true;
  const ULONGLONG now = GetTickCount64();
  if (now >= nextListenerCheck.load(std::memory_order_relaxed)) {
    listenerPresent.store(dbwinListenerPresent(), std::memory_order_relaxed);
    nextListenerCheck.store(now + kListenerCheckMs, std::memory_order_relaxed);
  }
  return listenerPresent.load(std::memory_order_relaxed);
}

void debugOutput(std::wstring_view text) {
  if (!debugOutputListened()) return;
  OutputDebugStringW(std::wstring(text).c_str());
}

void debugOutput(const char* text) {
  if (debugOutputListened()) OutputDebugStringA(text);
}

}  // namespace lumo

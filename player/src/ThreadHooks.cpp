#include "ThreadHooks.h"

#include <tlhelp32.h>

std::vector<lumo::UniqueHook> hookSentMessagesOfEveryThread(HOOKPROC proc) {
  std::vector<lumo::UniqueHook> hooks;
  lumo::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return hooks;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  const DWORD process = GetCurrentProcessId();
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != process) continue;
    // A thread of this process needs no module handle; threads without a queue just refuse.
    if (HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, nullptr, entry.th32ThreadID)) hooks.emplace_back(hook);
  }
  return hooks;
}

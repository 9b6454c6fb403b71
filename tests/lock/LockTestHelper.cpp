// lock_test_helper ITEM terminate|exit: loads the lock library next to it, hides shell item
// ITEM and ends the process: "terminate" as a crash would (no library clean-up), "exit" as a
// normal end. Exit code 2 when the library or the item is missing.
#include "LumoLock.h"

#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  wchar_t path[MAX_PATH];
  std::wstring library(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  library = library.substr(0, library.find_last_of(L'\\') + 1) + L"lumolock.dll";
  HMODULE module = LoadLibraryW(library.c_str());
  if (!module) return 2;
  auto disableItem = reinterpret_cast<decltype(&wlDisableItem)>(
      reinterpret_cast<void*>(GetProcAddress(module, "wlDisableItem")));
  if (!disableItem || !disableItem(static_cast<UINT>(_wtoi(argv[1])), TRUE)) return 2;
  if (std::wcscmp(argv[2], L"terminate") == 0) TerminateProcess(GetCurrentProcess(), 3);
  ExitProcess(0);
}

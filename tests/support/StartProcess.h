// CreateProcessW for tests, tried again when Wine refuses a start now and then under load
// (ERROR_INTERNAL_ERROR and the like); a missing or broken program still fails at once.
#pragma once

#include <windows.h>

namespace lumo::test {

inline BOOL startProcess(LPCWSTR application, LPWSTR commandLine, BOOL inheritHandles, DWORD flags,
                         LPCWSTR workingDirectory, STARTUPINFOW* startup, PROCESS_INFORMATION* info) {
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(application, commandLine, nullptr, nullptr, inheritHandles, flags, nullptr, workingDirectory,
                       startup, info)) {
      return TRUE;
    }
    const DWORD error = GetLastError();
    const bool lasting = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         error == ERROR_BAD_EXE_FORMAT || error == ERROR_ACCESS_DENIED;
    if (lasting || attempt == 4) {
      SetLastError(error);
      return FALSE;
    }
    Sleep(200);
  }
}

}  // namespace lumo::test

// Runs the calling thread's messages while a test waits for its windows and players to act.
#pragma once

#include <windows.h>

#include <functional>

namespace lumo::test {

// Dispatches messages until `done` holds or `ms` have passed; returns what `done` says last.
inline bool pumpUntil(const std::function<bool()>& done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > ms) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void pumpFor(DWORD ms) { pumpUntil([] { return false; }, ms); }

}  // namespace lumo::test

// Working-set trimming: SetTimer without a window (ticks come through the creating thread's
// message loop); SetProcessWorkingSetSize is taken from kernel32 at run time.
#include "host/WorkingSetTimer.h"

#include "CallBoundary.h"

namespace lumo {
namespace {

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
  atBoundary("working-set timer", [] { WorkingSetTimer::trim(); });
}

}  // namespace

WorkingSetTimer::WorkingSetTimer() : id_(SetTimer(nullptr, 0, 10000, onTick)) {}

WorkingSetTimer::~WorkingSetTimer() {
  if (id_) KillTimer(nullptr, id_);
}

bool WorkingSetTimer::trim() {
  using SetWorkingSetSize = BOOL(WINAPI*)(HANDLE, SIZE_T, SIZE_T);
  const auto setSize = reinterpret_cast<SetWorkingSetSize>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessWorkingSetSize")));
  return setSize && setSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

}  // namespace lumo

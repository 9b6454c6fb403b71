// The informational and system entry points, answered from the system itself.
#pragma once

#include <windows.h>

namespace lumolock {

bool isNtSystem();
// Major version in bits 8 to 15, minor in bits 0 to 7 (0x0A00 for 10.0), as the kernel
// reports it (no compatibility shim in between).
DWORD windowsVersion();
// Bit 0: the key is down now; bit 1: the key is toggled on (Caps, Num and Scroll Lock).
UINT keyState(UINT virtualKey);
// Caps, Num or Scroll Lock switched to `on` by a key press when it differs; false for other
// keys or when the press cannot be sent.
bool setToggleKey(UINT virtualKey, bool on);
bool isAdministrator();
// Ends the session (ExitWindowsEx flags), taking the shutdown privilege when the flags need it.
bool exitWindows(UINT flags);
// The system's automatic log-on (Winlogon values in HKLM); needs an administrator.
bool enableAutologin(const wchar_t* user, const wchar_t* domain, const wchar_t* password, bool enable);

}  // namespace lumolock

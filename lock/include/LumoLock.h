// The lock library's 26 entry points: blocking keys and mouse buttons, hiding parts of the
// shell, the login-screen component's state, and questions about the system. Standard calling
// convention, undecorated export names on both architectures (see lock/README.md).
#pragma once

#include <windows.h>

// Modifier bits of a blocked key (they combine: 3 is Ctrl+Alt).
#define WL_MOD_NONE 0u
#define WL_MOD_ALT 1u
#define WL_MOD_CTRL 2u
#define WL_MOD_SHIFT 4u
#define WL_MOD_WIN 8u

// Shell items of wlDisableItem.
#define WL_ITEM_DESKTOP_ICONS 1u
#define WL_ITEM_DESKTOP 2u
#define WL_ITEM_START_BUTTON 3u
#define WL_ITEM_NOTIFICATION_AREA 4u
#define WL_ITEM_TASKBAR 5u

// The version wlVersion reports: major in the high word, minor in the low word.
#define WL_VERSION 0x00010000u

// Environment variable: when it names a file, every entry point appends a line with its name
// and arguments to it (for tests and diagnostics).
#define WL_CALL_LOG_VARIABLE L"LUMO_LOCK_CALL_LOG"

#ifdef __cplusplus
extern "C" {
#endif

// Called on the library's hook thread for every blocked key press or button press.
typedef void(WINAPI* WlKeyCallback)(UINT virtualKey, UINT modifiers, void* context);

DWORD WINAPI wlVersion(void);
BOOL WINAPI wlDisableKey(HWND window, UINT virtualKey, UINT modifiers, BOOL disable);
BOOL WINAPI wlIsKeyDisabled(UINT virtualKey, UINT modifiers);
BOOL WINAPI wlGetDisabledKey(UINT index, UINT* virtualKey, UINT* modifiers);
BOOL WINAPI wlSetKeySendMessage(HWND window, UINT message);
BOOL WINAPI wlSetKeyPostMessage(HWND window, UINT message);
BOOL WINAPI wlSetKeyCallback(WlKeyCallback callback, void* context);
BOOL WINAPI wlRestoreAll(void);
BOOL WINAPI wlDisableItem(UINT item, BOOL disable);
BOOL WINAPI wlIsItemDisabled(UINT item);
BOOL WINAPI wlInstallGina(UINT tag);
BOOL WINAPI wlUninstallGina(UINT tag);
BOOL WINAPI wlIsGinaInstalled(void);
BOOL WINAPI wlIsNTSystem(void);
BOOL WINAPI wlNeedGinaInstall(void);
BOOL WINAPI wlExitWindows(UINT flags);
DWORD WINAPI wlWinVersion(void);
UINT WINAPI wlGetKeyState(UINT virtualKey);
BOOL WINAPI wlSetKeyState(UINT virtualKey, BOOL on);
BOOL WINAPI wlIsAdmin(void);
BOOL WINAPI wlEnableAutologin(LPCWSTR user, LPCWSTR domain, LPCWSTR password, BOOL enable);
UINT WINAPI wlMapScancode(UINT scanCode);
BOOL WINAPI wlDisableDesktopIcon(BOOL disable);
UINT WINAPI wlDesktopIconCount(void);
BOOL WINAPI wlRestoreDesktopIcons(void);
BOOL WINAPI wlExit(void);

#ifdef __cplusplus
}
#endif

// What the DLL knows about itself: the instance handle DllMain received (the image may be
// mapped by hand, so it never finds itself by address) and the count that DllCanUnloadNow reads.
#pragma once

#include <windows.h>

namespace module {

HINSTANCE instance();
void addObject();
void removeObject();
void lock(bool on);
bool canUnload();

// The player's window class name and its private messages.
inline constexpr char kWindowClass[] = "LumoPlayerStage";
inline constexpr UINT kLoadDone = WM_APP + 1;      // wParam load id
inline constexpr UINT kLoadProgress = WM_APP + 2;  // wParam load id, lParam percent
inline constexpr UINT kRunScript = WM_APP + 3;
inline constexpr UINT_PTR kScriptTimer = 1;
inline constexpr UINT_PTR kFrameTimer = 2;
inline constexpr UINT kMenuOpened = WM_APP + 4;   // a pop-up menu of the process waits for input
inline constexpr WORD kCursorId = 1;
inline constexpr WORD kContextMenuId = 2;  // the stage's context menu, items below (player.rc)
inline constexpr UINT kMenuPlay = 101, kMenuLoop = 102, kMenuRewind = 103, kMenuForward = 104, kMenuBack = 105;

}  // namespace module

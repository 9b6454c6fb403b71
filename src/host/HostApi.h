// The Flash host as the rest of the runtime sees it: loading and unloading the player module,
// creating control windows, and the operations on a control window that forms use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "host/MovieStreams.h"

namespace lumo {

class PlayerModule;

// A player module from the DLL image at `image` (null: the installed control named in the
// registry), with both control classes registered; null on failure.
std::unique_ptr<PlayerModule> loadPlayerFromMemory(const void* image, size_t size);
// Destroys the module (classes, hooks, image); true when a module was given.
bool unloadPlayer(std::unique_ptr<PlayerModule> module);
// The atom of the wide control class, which controls are created with; 0 without a module.
ATOM controlClassAtom(const PlayerModule* module);
// A control window (CreateWindowExW with the class atom and no title), or null.
HWND createControlWindow(const PlayerModule* module, DWORD exStyle, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* parameter);

// Adds a handler asked for every URL the player requests that is not a movie from memory;
// answers its id (counting from 1), or 0 without a module that serves memory movies.
int registerResourceHandler(PlayerModule* module, ResourceHandlerA ansi, ResourceHandlerW wide, void* userData);

// True when the display has at least 16 bits per pixel and user32 has UpdateLayeredWindow.
bool layeredDrawingAvailable();

// CallFunction with `request`. A null buffer only sets *count to the answer's length plus one;
// a buffer receives at most *count characters, always terminated, and *count the number
// written with the terminator. A buffer without a count is refused (E_POINTER). A failing
// result is returned as is and nothing is written.
HRESULT callFunction(HWND control, const std::wstring& request, wchar_t* buffer, uint32_t* count);
// The player's own window (through IOleWindow), or null.
HWND playerWindow(HWND control);
HRESULT setReturnValue(HWND control, const wchar_t* value);
HRESULT setWindowMode(HWND control, const wchar_t* mode);
// The movie's background colour 0x00RRGGBB; stored only when the result is S_OK.
HRESULT getBackgroundColor(HWND control, uint32_t* color);

}  // namespace lumo

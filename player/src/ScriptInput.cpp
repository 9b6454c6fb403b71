// Key and mouse messages to the movie's input objects.
#include "ScriptInput.h"

#include <windowsx.h>

#include "ActionScriptMovie.h"
#include "InputObjects.h"

namespace {
// The character a key gives as Key.getAscii reads it: letters by the Shift key, 0 for keys
// without one.
int asciiOf(WPARAM key) {
  UINT c = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_CHAR) & 0x7fff;
  if (c >= 'A' && c <= 'Z' && !(GetKeyState(VK_SHIFT) & 0x8000)) c += 'a' - 'A';
  return c < 128 ? static_cast<int>(c) : 0;
}
}  // namespace

void reportScriptInput(ActionScriptMovie& movie, UINT message, WPARAM wParam) {
  clips::InputObjects* input = movie.input();
  if (!input) return;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: input->keyDown(static_cast<int>(wParam), asciiOf(wParam)); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: input->keyUp(static_cast<int>(wParam), asciiOf(wParam)); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: input->mouseDown(); break;
    case WM_LBUTTONUP: input->mouseUp(); break;
    case WM_MOUSEMOVE: input->mouseMove(); break;
    case WM_MOUSEWHEEL: input->mouseWheel(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3); break;
    default: break;
  }
}

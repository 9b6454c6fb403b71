// The procedure put in front of a form's player window: mouse buttons by the form's button
// modes, window dragging, screensaver input rules, focus loss and keys.
#pragma once

#include <windows.h>

namespace lumo {

class PlayerWindowProcedure {
 public:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace lumo

// The window procedure of the form window class "VORLUMO3WINDOW", registered by the
// application object at start-up.
#pragma once

#include <windows.h>

namespace lumo {

class FormWindowProcedure {
 public:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace lumo

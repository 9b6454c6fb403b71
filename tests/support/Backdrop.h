// A plain window of one colour, of the test's own process, put where a projector's transparent
// form will stand, so that what shows through the form can be read off the screen.
#pragma once

#include <windows.h>

#include "MessagePump.h"

namespace lumo::test {

class Backdrop {
 public:
  Backdrop(int x, int y, int width, int height, COLORREF colour) : brush_(CreateSolidBrush(colour)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = L"LumoTestBackdrop";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_NOACTIVATE, wc.lpszClassName, L"backdrop", WS_POPUP | WS_VISIBLE, x, y, width,
                              height, nullptr, nullptr, wc.hInstance, nullptr);
    pumpFor(200);
  }
  ~Backdrop() {
    DestroyWindow(window_);
    DeleteObject(brush_);
  }
  Backdrop(const Backdrop&) = delete;
  Backdrop& operator=(const Backdrop&) = delete;

 private:
  HBRUSH brush_;
  HWND window_ = nullptr;
};

}  // namespace lumo::test

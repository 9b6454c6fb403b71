// The player window's messages before the player sees them: button modes, dragging the form
// window, the screensaver's close-on-input rules, focus loss, Escape and Alt+F4.
#include "forms/PlayerWindowProcedure.h"

#include "CallBoundary.h"

#include "forms/ApplicationMenuControls.h"
#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "forms/FormEvents.h"
#include "forms/DebugLine.h"
#include "forms/WindowMap.h"

#include <cstdio>

namespace lumo {

LRESULT CALLBACK PlayerWindowProcedure::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return atBoundary("player window procedure", LRESULT{0}, [&]() -> LRESULT {
    Form* form = windowMap::find(window);
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    const bool screensaver = FormEnvironment::instance().screensaverMode;
    const auto passOn = [&] { return CallWindowProcW(form->previousPlayerProc_, window, message, wParam, lParam); };
    const auto pressDrag = [&] {
      GetCursorPos(&form->dragStart_);
      RECT r{};
      GetWindowRect(form->window_, &r);
      form->dragWindowStart_ = {r.left, r.top};
      form->dragging_ = true;
    };

    switch (message) {
      case WM_MOVE:
        if (form->transparent) {
          RECT r{};
          GetWindowRect(form->window_, &r);
          MoveWindow(form->playerControl_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
        return passOn();
      case WM_SETFOCUS:
        debugLine("setfocus child form %d", form->id());
        return 0;
      case WM_KILLFOCUS: {
        const auto gaining = reinterpret_cast<HWND>(wParam);
        if (gaining != form->window_ && gaining != window) events::formChangeFocus(*form, false);
        debugLine("killfocus child form %d", form->id());
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_KEYDOWN:
        if (screensaver && form->closeOnKey_) form->sendScreensaverExit();
        if (wParam == VK_ESCAPE && form->escapeCloses_) form->closeWindow();
        return passOn();
      case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
          if (form->exitHandlerEnabled_) events::appExit(*form);
          else if (form->altF4Closes_) form->close();
          return 0;
        }
        return passOn();
      case WM_MOUSEMOVE: {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (screensaver && form->closeOnMouse_) {
          if (form->mouseStart_.x == 0 && form->mouseStart_.y == 0) form->mouseStart_ = cursor;
          else if (cursor.x != form->mouseStart_.x && cursor.y != form->mouseStart_.y) form->sendScreensaverExit();
        }
        if (form->dragging_ && form->dragEnabled_) {
          SetWindowPos(form->window_, nullptr, form->dragWindowStart_.x + cursor.x - form->dragStart_.x,
                       form->dragWindowStart_.y + cursor.y - form->dragStart_.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return passOn();
      }
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN: {
        const int mode = message == WM_LBUTTONDOWN   ? form->leftButtonMode_
                         : message == WM_MBUTTONDOWN ? form->middleButtonMode_
                                                     : form->rightButtonMode_;
        if (mode == 1) {
          debugOutput(message == WM_LBUTTONDOWN   ? "WM_LBUTTONDOWN"
                             : message == WM_MBUTTONDOWN ? "WM_MBUTTONDOWN"
                                                         : "WM_RBUTTONDOWN");
          return 0;
        }
        if (mode == 2) {
          if (!form->dragEnabled_) form->enableDrag();
          pressDrag();
          return 0;
        }
        if (message == WM_LBUTTONDOWN) {
          if (screensaver && form->closeOnMouse_) form->sendScreensaverExit();
          if (form->dragAllowed_) {
            pressDrag();
            SetCapture(window);
          }
        }
        return passOn();
      }
      case WM_LBUTTONUP:
      case WM_MBUTTONUP: {
        const int mode = message == WM_LBUTTONUP ? form->leftButtonMode_ : form->middleButtonMode_;
        if (mode == 1) {
          debugOutput(message == WM_LBUTTONUP ? "WM_LBUTTONUP" : "WM_MBUTTONUP");
          return 0;
        }
        if (mode == 2) {
          form->disableDrag();
          form->dragging_ = false;
          return 0;
        }
        if (form->dragging_) {
          form->dragging_ = false;
          ReleaseCapture();
        }
        return passOn();
      }
      case WM_RBUTTONUP: {
        if (form->rightButtonMode_ == 2) {
          if (form->dragEnabled_) form->disableDrag();
          return 0;
        }
        if (form->rightButtonMode_ == 1) debugOutput("WM_RBUTTONUP");
        POINT at{};
        GetCursorPos(&at);
        // A release that was the context menu's stays from the player, which would otherwise
        // open its own menu as well: one right click, one menu.
        ApplicationMenuControls* menus = FormEnvironment::instance().menus;
        if (menus && menus->showContextMenu(at)) {
          // A player that took the capture on the press ("send") would keep it without its release.
          if (GetCapture() == window) ReleaseCapture();
          return 0;
        }
        return passOn();
      }
      default:
        return passOn();
    }
  });
}

}  // namespace lumo

// The form window's messages: sizing and moving with their events, focus, painting around a
// fixed-size movie, closing, keys, system commands, dropped files, edge hits and the command
// path from the player's FlashCall to the command engine and back.
#include "forms/FormWindowProcedure.h"

#include "CallBoundary.h"
#include "DeviceContext.h"
#include "bridge/CommandEngine.h"
#include "forms/DebugLine.h"
#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "forms/FormEvents.h"
#include "host/HostApi.h"
#include "host/PlayerMessages.h"

#include <shellapi.h>

#include <cstdio>
#include <vector>

namespace lumo {

namespace {

// The answer to the player's ExternalInterface call.
void answerFlashCall(Form& form, const wchar_t* request) {
  const std::wstring result = CommandEngine::instance().handleRequest(request ? request : L"");
  setReturnValue(form.playerControlHandle(), (L"<string>" + result + L"</string>").c_str());
}

}  // namespace

LRESULT CALLBACK FormWindowProcedure::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return atBoundary("form window procedure", LRESULT{0}, [&]() -> LRESULT {
    if (message == WM_CREATE) {
      auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
      if (form) form->window_ = window;
      return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
      case WM_DESTROY:
        if (form->isMain()) CommandEngine::instance().unloadAll();  // poll thread, then extensions
        break;
      case WM_MOVE:
      case WM_MOVING:
        if (form->transparent) {
          RECT r{};
          GetWindowRect(window, &r);
          SendMessageW(form->playerControl_, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
        }
        events::formReposition(*form);
        break;
      case WM_SIZE: {
        if (wParam == SIZE_MAXIMIZED) events::formMaximize(*form);
        else if (wParam == SIZE_RESTORED) events::formRestore(*form);
        // Clamped once: the WM_SIZE our own MoveWindow sends is not clamped again, since limits
        // that contradict each other (a minimum above the maximum, a maximum of 0 the system
        // will not shrink to) would otherwise move the window back and forth until the stack
        // runs out.
        if (form->sizeLimitsSet_ && wParam != SIZE_MINIMIZED && !form->clampingSize_) {
          RECT r{};
          GetWindowRect(window, &r);
          const int w = r.right - r.left, h = r.bottom - r.top;
          const int clampedW = w > form->maxWidth_ ? form->maxWidth_ : w < form->minWidth_ ? form->minWidth_ : w;
          const int clampedH = h > form->maxHeight_ ? form->maxHeight_ : h < form->minHeight_ ? form->minHeight_ : h;
          if (clampedW != w || clampedH != h) {
            form->clampingSize_ = true;
            MoveWindow(window, r.left, r.top, clampedW, clampedH, TRUE);
            form->clampingSize_ = false;
            return 1;
          }
        }
        form->layoutPlayer();
        events::formResize(*form);
        break;
      }
      case WM_SETFOCUS:
        events::formChangeFocus(*form, true);
        debugLine("setfocus main form %d", form->id());
        return 0;
      case WM_KILLFOCUS: {
        const auto gaining = reinterpret_cast<HWND>(wParam);
        if (gaining != form->playerControl_ && gaining != form->interceptedWindow_) events::formChangeFocus(*form, false);
        debugLine("killfocus main form %d", form->id());
        return 0;
      }
      case WM_PAINT: {
        debugOutput("WM_PAINT");
        PaintDc paint(window);
        if (form->styleFlags_.fixedSize && form->movieLoaded_) {
          RECT client{};
          GetClientRect(window, &client);
          UniqueGdiObject brush(CreateSolidBrush(static_cast<COLORREF>(form->backgroundColour_)));
          FillRect(paint.get(), &client, static_cast<HBRUSH>(brush.get()));
        }
        if (form->maskBitmap_) {
          BITMAP bm{};
          GetObjectW(form->maskBitmap_.get(), sizeof(bm), &bm);
          UniqueDc memory(CreateCompatibleDC(paint.get()));
          ScopedSelect select(memory.get(), form->maskBitmap_.get());
          if (select) BitBlt(paint.get(), 0, 0, bm.bmWidth, bm.bmHeight, memory.get(), 0, 0, SRCCOPY);
        }
        return 0;
      }
      case WM_CLOSE:
        if (form->exitHandlerEnabled_) {
          if (form->isMain()) events::appExit(*form);
          events::formClose(*form);
        } else {
          form->closeWindow();
        }
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_ACTIVATEAPP:
        events::appChangeFocus(*form, wParam != 0);
        break;
      case WM_GETMINMAXINFO:
        if (form->sizeLimitsSet_) {
          auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
          info->ptMinTrackSize = {form->minWidth_, form->minHeight_};
          info->ptMaxTrackSize = {form->maxWidth_, form->maxHeight_};
        }
        break;
      case WM_WINDOWPOSCHANGED: {
        RECT work{}, r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(window, &r);
        events::edgeHits(*form, r, work);
        break;
      }
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == form->playerControl_ && header->code == notify::kFlashCallW) {
          answerFlashCall(*form, reinterpret_cast<const FlashCallNotification<wchar_t>*>(lParam)->request);
        }
        return 0;
      }
      case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && form->escapeCloses_) form->closeWindow();
        break;
      case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
          if (form->exitHandlerEnabled_) events::appExit(*form);
          else if (form->altF4Closes_) form->close();
          return 0;
        }
        break;
      case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
          case SC_MINIMIZE:
            // The application's minimise shows the main form as it should be (minimised, or
            // hidden behind the tray icon); the default handling would minimise it again, with
            // a taskbar button beside the tray icon.
            if (form->isMain() && FormEnvironment::instance().applicationMinimise) {
              FormEnvironment::instance().applicationMinimise(*form);
              return 0;
            }
            break;
          case SC_MAXIMIZE: events::formMaximize(*form); break;
          case SC_RESTORE: events::formRestore(*form); break;
          default: break;
        }
        break;
      case WM_COMMAND:
        // Menu picks carry 0 in the high word; other ids go on to the default handling.
        if (HIWORD(wParam) == 0) form->dispatchMenuCommand(LOWORD(wParam));
        break;
      case WM_INITMENU:
        form->mainMenu_.rebuild(window, reinterpret_cast<HMENU>(wParam));
        debugOutput("WM_INITMENU");
        break;
      case WM_SIZING:
        events::formReposition(*form);
        break;
      case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        std::vector<std::wstring> paths;
        for (UINT i = 0; i < count; ++i) {
          wchar_t path[1024];
          const UINT length = DragQueryFileW(drop, i, path, 1024);
          paths.emplace_back(path, length < 1024 ? length : 1023);
        }
        events::dragDrop(*form, paths);
        DragFinish(drop);
        return 0;
      }
      case WM_USER + 1:
        if (form->isMain() && FormEnvironment::instance().trayCallback)
          FormEnvironment::instance().trayCallback(*form, wParam, lParam);
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  });
}

}  // namespace lumo

#include "ui/SplashWindow.h"

#include "forms/FormEvents.h"
#include "util/CallBoundary.h"
#include "DeviceContext.h"
#include "forms/MaskRegion.h"

#include <mmsystem.h>

namespace lumo {
namespace {

constexpr wchar_t kSplashWindowClass[] = L"VORLUMO3SPLASHWINDOW";
constexpr UINT_PTR kSplashTimer = 0x3333;
constexpr UINT kTimerPeriodMs = 20;

}  // namespace

void SplashWindow::show(HINSTANCE instance, const std::vector<std::uint8_t>& image, const Settings& settings,
                        HWND parent) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // Integer halves: a splash larger than the screen gets a negative position, as computed.
  const int x = screenWidth / 2 - settings.width / 2, y = screenHeight / 2 - settings.height / 2;
  if (!create(instance, image, settings, parent, x, y)) {
    destroy();
    return;
  }
  while (!closed_) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
        // A WM_QUIT belongs to the message loop that follows start-up: put it back.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(0);
  }
  Sleep(25);
  destroy();
  Sleep(25);
}

bool SplashWindow::create(HINSTANCE instance, const std::vector<std::uint8_t>& image, const Settings& settings,
                          HWND parent, int x, int y) {
  destroy();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &SplashWindow::procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kSplashWindowClass;
  if (!RegisterClassExW(&wc)) return false;
  bitmap_.reset(bitmapFromFileBytes(image));
  if (!bitmap_) return false;
  window_ = CreateWindowExW(0, kSplashWindowClass, L"", WS_POPUP, x, y, settings.width, settings.height, parent,
                            nullptr, instance, this);
  if (!window_) return false;
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  displayTime_ = settings.displayTime;
  ShowWindow(window_, SW_SHOW);
  SetTimer(window_, kSplashTimer, kTimerPeriodMs, nullptr);
  lastTick_ = timeGetTime();
  elapsed_ = 0;
  return true;
}

void SplashWindow::tick() {
  // Measured time, not counted ticks: the display time holds when ticks come late.
  const DWORD now = timeGetTime();
  elapsed_ += now - lastTick_;
  lastTick_ = now;
  if (elapsed_ <= displayTime_ || closed_) return;
  ShowWindow(window_, SW_HIDE);
  KillTimer(window_, kSplashTimer);
  eventsHeld_ = true;
  closed_ = true;
}

void SplashWindow::paint(HWND window) {
  PaintDc dc(window);
  BITMAP bm{};
  if (dc && bitmap_ && GetObjectW(bitmap_.get(), sizeof(bm), &bm)) {
    RECT client{};
    GetClientRect(window, &client);
    UniqueDc memory(CreateCompatibleDC(dc.get()));
    ScopedSelect selected(memory.get(), bitmap_.get());
    if (selected) {
      StretchBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
  }
}

void SplashWindow::destroy() {
  bitmap_.reset();
  if (window_) DestroyWindow(std::exchange(window_, nullptr));
  closed_ = false;
}

void SplashWindow::deliverHeldEvents(FormInterface& mainForm) {
  if (!std::exchange(eventsHeld_, false)) return;
  events::splashClosed(mainForm);
}

LRESULT CALLBACK SplashWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* splash = reinterpret_cast<SplashWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (splash) {
    switch (message) {
      case WM_PAINT:
        atBoundary("splash paint", [&] { splash->paint(window); });
        return 0;
      case WM_TIMER:
        atBoundary("splash timer", [&] { splash->tick(); });
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace lumo

// A windowless player in its control: painting (the layered popup's two passes composed and
// handed to UpdateLayeredWindow, the popup fallback, the double-buffered child) and the mouse,
// keyboard and IME messages forwarded to the player.
#include <windowsx.h>

#include "host/PlayerControl.h"

#include <optional>

#include "DeviceContext.h"

using Microsoft::WRL::ComPtr;

namespace lumo {
namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kNoPlayerColour = 0x000000FF;

bool isMouseMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
      return true;
    default:
      return false;
  }
}

bool isKeyMessage(UINT message) {
  switch (message) {
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_DEADCHAR:
    case WM_SYSKEYDOWN: case WM_SYSKEYUP: case 0x107 /* WM_SYSDEADCHAR */:
    case 0x53 /* WM_HELP */: case 0x1F /* WM_CANCELMODE */: case 0x286 /* WM_IME_CHAR */:
      return true;
    default:
      return message >= 0x281 && message <= 0x291;  // the IME family
  }
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueGdiObject brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// A memory DC compatible with `reference`, with bitmaps selected into it given back before it is
// deleted (the selection is declared last, so it is undone first).
struct MemoryDc {
  explicit MemoryDc(HDC reference) : owner(CreateCompatibleDC(reference)), dc(owner.get()) {}
  void select(HGDIOBJ bitmap) {
    if (!selection) selection.emplace(dc, bitmap);
    else SelectObject(dc, bitmap);
  }

  UniqueDc owner;
  HDC dc;
  std::optional<ScopedSelect> selection;
};

}  // namespace

bool PlayerControl::windowlessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_PAINT) {
    // Nothing is painted for a player that is not in place yet.
    if (!inPlaceActive_) return false;
    const bool child = (GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0;
    if (child) return paintChild(result);
    return updateLayeredWindow_ ? paintLayered(result) : paintLayeredWithoutUpdate(result);
  }
  if (message == WM_CAPTURECHANGED) {
    if (reinterpret_cast<HWND>(lParam) != window_) capture_ = false;
    return false;
  }
  if (isMouseMessage(message)) return forwardMouse(message, wParam, lParam);
  if (isKeyMessage(message) && focus_) return forwardKey(message, wParam, lParam, result);
  return false;
}

HRESULT PlayerControl::toPlayer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  if (!inPlaceObject_ || FAILED(inPlaceObject_.As(&windowless))) return E_NOINTERFACE;
  LRESULT ignored = 0;
  return windowless->OnWindowMessage(message, wParam, lParam, result ? result : &ignored);
}

COLORREF PlayerControl::backgroundColour() const {
  long rgb = 0xFFFFFF;
  if (IShockwaveFlash* player = scripting()) player->get_BackgroundColor(&rgb);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void PlayerControl::drawStage(HDC dc, int32_t stage) {
  DrawStageNotification note{{}, dc, stage};
  notify(notify::kDrawStage, &note.header);
}

void PlayerControl::frameReady() {
  FrameReadyNotification note{{}, surfaces_.pixels(FrameSurfaces::kResult)};
  notify(notify::kFrameReady, &note.header);
}

// --- painting ---------------------------------------------------------------------------------

bool PlayerControl::renderTwoPasses(HDC memory, const RECT& update) {
  const RECT client = clientRect();
  if (!surfaces_.ensure(memory, client.right, client.bottom)) return false;
  SelectObject(memory, surfaces_.bitmap(FrameSurfaces::kWhite));
  fill(memory, client, kWhite);
  drawPlayer(memory, position_);
  SelectObject(memory, surfaces_.bitmap(FrameSurfaces::kBlack));
  fill(memory, client, 0);
  drawPlayer(memory, position_);
  surfaces_.compose(update);
  return true;
}

bool PlayerControl::paintLayered(LRESULT* result) {
  RECT update{};
  GetUpdateRect(window_, &update, FALSE);
  const RECT client = clientRect();
  if (update.right <= update.left || update.bottom <= update.top) update = client;
  PaintDc paint(window_);
  if (!paint) return false;
  UniqueDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  MemoryDc memory(display.get());
  if (display && memory.dc && surfaces_.ensure(display.get(), client.right, client.bottom)) {
    memory.select(surfaces_.bitmap(FrameSurfaces::kResult));
    IntersectClipRect(memory.dc, update.left, update.top, update.right, update.bottom);
    if (renderTwoPasses(memory.dc, update)) {
      frameReady();
      SelectObject(memory.dc, surfaces_.bitmap(FrameSurfaces::kResult));
      RECT window{};
      GetWindowRect(window_, &window);
      POINT destination{window.left, window.top};
      SIZE size{client.right, client.bottom};
      POINT source{0, 0};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
      updateLayeredWindow_(window_, display.get(), &destination, &size, memory.dc, &source, 0, &blend, ULW_ALPHA);
    }
  }
  *result = 0;
  return true;
}

bool PlayerControl::paintLayeredWithoutUpdate(LRESULT* result) {
  PaintDc paint(window_);
  if (!paint) return false;
  HDC dc = paint.get();
  const RECT& update = paint.paint().rcPaint;
  const int width = update.right - update.left, height = update.bottom - update.top;
  // The bitmap is declared before the DC it goes into, so it is deselected before it is deleted.
  UniqueGdiObject bitmap(width > 0 && height > 0 ? CreateCompatibleBitmap(dc, width, height) : nullptr);
  MemoryDc memory(dc);
  if (memory.dc && bitmap) {
    memory.select(bitmap.get());
    // The bitmap holds the update rectangle: client coordinates shift by its corner.
    SetViewportOrgEx(memory.dc, -update.left, -update.top, nullptr);
    fill(memory.dc, update, backgroundColour());
    drawStage(memory.dc, 0);
    drawPlayer(memory.dc, position_);
    drawStage(memory.dc, 1);
    SetViewportOrgEx(memory.dc, 0, 0, nullptr);
    BitBlt(dc, update.left, update.top, width, height, memory.dc, 0, 0, SRCCOPY);
  }
  *result = 0;
  return true;
}

bool PlayerControl::paintChild(LRESULT* result) {
  PaintDc paint(window_);
  if (!paint) return false;
  HDC dc = paint.get();
  const RECT client = clientRect();
  MemoryDc memory(dc);
  if (memory.dc && surfaces_.ensure(dc, client.right, client.bottom)) {
    memory.select(surfaces_.bitmap(FrameSurfaces::kResult));
    fill(memory.dc, client, backgroundColour());
    drawStage(memory.dc, 0);
    drawPlayer(memory.dc, position_);
    GdiFlush();
    frameReady();
    drawStage(memory.dc, 1);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.dc, 0, 0, SRCCOPY);
  }
  *result = 0;
  return true;
}

HBITMAP PlayerControl::captureTransparentFrame() {
  const RECT client = clientRect();
  UniqueDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  MemoryDc memory(display.get());
  if (!display || !memory.dc || !surfaces_.ensure(display.get(), client.right, client.bottom)) return nullptr;
  memory.select(surfaces_.bitmap(FrameSurfaces::kResult));
  if (!renderTwoPasses(memory.dc, client)) return nullptr;
  return surfaces_.copyOfResult(display.get());
}

// --- input ------------------------------------------------------------------------------------

bool PlayerControl::forwardMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!capture_) {
    // The wheel and the cursor message carry no client point of their own: take the cursor's.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_MOUSEWHEEL || message == WM_SETCURSOR || message == WM_CONTEXTMENU) {
      GetCursorPos(&point);
      ScreenToClient(window_, &point);
    }
    ComPtr<IViewObjectEx> view;
    DWORD hit = HITRESULT_OUTSIDE;
    if (!viewObject_ || FAILED(viewObject_.As(&view)) ||
        FAILED(view->QueryHitPoint(DVASPECT_CONTENT, &position_, point, 0, &hit)) || hit != HITRESULT_HIT) {
      return false;  // through a transparent pixel: not the player's
    }
  }
  const bool menuMessage = message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_CONTEXTMENU;
  if (contextMenu_ == 0 && menuMessage) return false;
  if (message == WM_CONTEXTMENU) return false;
  if (message != WM_SETCURSOR)
    toPlayer(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, message), nullptr);
  toPlayer(message, wParam, lParam, nullptr);
  return false;  // default processing follows
}

bool PlayerControl::forwardKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (contextMenu_ == 0 && message == WM_KEYDOWN && wParam == VK_APPS) {
    *result = 0;
    return true;  // swallowed: no menu from the keyboard either
  }
  LRESULT answer = 0;
  if (toPlayer(message, wParam, lParam, &answer) == S_FALSE) return false;
  *result = answer;
  return true;
}

}  // namespace lumo

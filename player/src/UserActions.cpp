// The `user` actions of the movie script, as a table: each one does what a person's action
// makes the window manager do to the top-level window holding the player (or to the window
// under the pointer, or the one with the keyboard focus).
#include "UserActions.h"

#include <shlobj.h>

#include <cwchar>

#include "FlashPlayer.h"

namespace {

using Args = std::vector<std::wstring>;

bool number(const std::wstring& text, long& out) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  out = wcstol(text.c_str(), &end, 10);
  return *end == 0;
}

// The window that takes keys: the focus window when it is ours (this thread), else the player's.
HWND keyTarget(FlashPlayer& player) {
  HWND focus = GetFocus();
  return focus ? focus : player.inputWindow();
}

LPARAM keyParam(UINT vk, bool up, bool alt) {
  UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  LPARAM lp = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (alt) lp |= 1 << 29;
  if (up) lp |= (1u << 30) | (1u << 31);
  return lp;
}

bool resize(FlashPlayer& p, const Args& a, std::wstring* error) {
  long w, h;
  if (a.size() != 3 || !number(a[1], w) || !number(a[2], h) || w < 0 || h < 0) {
    *error = L"user resize W H";
    return false;
  }
  return SetWindowPos(p.topLevelWindow(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

bool move(FlashPlayer& p, const Args& a, std::wstring* error) {
  long x, y;
  if (a.size() != 3 || !number(a[1], x) || !number(a[2], y)) {
    *error = L"user move X Y";
    return false;
  }
  return SetWindowPos(p.topLevelWindow(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

// The caption buttons and the system menu: a system command to the top-level window.
bool systemCommand(FlashPlayer& p, WPARAM command) {
  return PostMessageW(p.topLevelWindow(), WM_SYSCOMMAND, command, 0) != 0;
}
bool maximize(FlashPlayer& p, const Args&, std::wstring*) { return systemCommand(p, SC_MAXIMIZE); }
bool minimize(FlashPlayer& p, const Args&, std::wstring*) { return systemCommand(p, SC_MINIMIZE); }
bool restore(FlashPlayer& p, const Args&, std::wstring*) { return systemCommand(p, SC_RESTORE); }
bool close(FlashPlayer& p, const Args&, std::wstring*) { return systemCommand(p, SC_CLOSE); }

bool key(FlashPlayer& p, const Args& a, std::wstring* error) {
  long vk;
  if (a.size() != 2 || !number(a[1], vk) || vk <= 0 || vk > 254) {
    *error = L"user key VK";
    return false;
  }
  HWND target = keyTarget(p);
  return PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(vk), keyParam(static_cast<UINT>(vk), false, false)) &&
         PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(vk), keyParam(static_cast<UINT>(vk), true, false));
}

bool altF4(FlashPlayer& p, const Args&, std::wstring*) {
  HWND target = keyTarget(p);
  return PostMessageW(target, WM_SYSKEYDOWN, VK_MENU, keyParam(VK_MENU, false, true)) &&
         PostMessageW(target, WM_SYSKEYDOWN, VK_F4, keyParam(VK_F4, false, true)) &&
         PostMessageW(target, WM_SYSKEYUP, VK_F4, keyParam(VK_F4, true, true)) &&
         PostMessageW(target, WM_KEYUP, VK_MENU, keyParam(VK_MENU, true, false));
}

bool click(FlashPlayer& p, const Args& a, std::wstring* error) {
  static constexpr struct {
    const wchar_t* name;
    UINT down, up;
    WPARAM held;
  } kButtons[] = {
      {L"left", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
      {L"middle", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
      {L"right", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON},
  };
  long x, y;
  if (a.size() != 4 || !number(a[2], x) || !number(a[3], y)) {
    *error = L"user click left|middle|right X Y";
    return false;
  }
  for (const auto& b : kButtons) {
    if (a[1] != b.name) continue;
    HWND own = p.inputWindow();
    POINT origin = p.playerOrigin();
    POINT pt{origin.x + x, origin.y + y};
    ClientToScreen(own, &pt);
    // The press goes to the window under the pointer, as the window manager would send it.
    HWND target = WindowFromPoint(pt);
    if (!target || GetWindowThreadProcessId(target, nullptr) != GetCurrentThreadId()) target = own;
    ScreenToClient(target, &pt);
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    return PostMessageW(target, WM_MOUSEMOVE, 0, at) && PostMessageW(target, b.down, b.held, at) &&
           PostMessageW(target, b.up, 0, at);
  }
  *error = L"user click left|middle|right X Y";
  return false;
}

bool drop(FlashPlayer& p, const Args& a, std::wstring* error) {
  if (a.size() < 2) {
    *error = L"user drop PATH...";
    return false;
  }
  size_t chars = 1;
  for (size_t i = 1; i < a.size(); ++i) chars += a[i].size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  if (!block) return false;
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(files) + sizeof(DROPFILES));
  for (size_t i = 1; i < a.size(); ++i) {
    wmemcpy(names, a[i].c_str(), a[i].size());
    names += a[i].size() + 1;
  }
  GlobalUnlock(block);
  // The receiver frees the block with DragFinish.
  if (!PostMessageW(p.topLevelWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

constexpr struct {
  const wchar_t* name;
  bool (*run)(FlashPlayer&, const Args&, std::wstring*);
} kActions[] = {
    {L"resize", resize},   {L"move", move},   {L"maximize", maximize}, {L"minimize", minimize},
    {L"restore", restore}, {L"close", close}, {L"key", key},           {L"altf4", altF4},
    {L"click", click},     {L"drop", drop},
};

}  // namespace

bool performUserAction(FlashPlayer& player, const std::vector<std::wstring>& args, std::wstring* error) {
  if (!player.topLevelWindow()) {
    *error = L"user: the player has no window yet";
    return false;
  }
  for (const auto& action : kActions) {
    if (args[0] == action.name) {
      if (action.run(player, args, error)) return true;
      if (error->empty()) *error = L"user " + args[0] + L" failed";
      return false;
    }
  }
  *error = L"user: unknown action " + args[0];
  return false;
}

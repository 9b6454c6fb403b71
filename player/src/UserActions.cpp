// The `user` actions of the movie script, as a table: each one does what a person's action
// makes the window manager do to the top-level window holding the player (or to the window
// under the pointer, or the one with the keyboard focus).
#include "UserActions.h"

#include <shlobj.h>

#include <algorithm>
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

// Real input goes through SendInput, so hooks, GetKeyState, activation and hit-testing see it
// exactly as they see a person's. Keys go where the system sends them: to the focus window of
// the foreground window, which a person would first have brought to the front.
void bringToFront(FlashPlayer& player) {
  HWND top = player.topLevelWindow();
  if (GetForegroundWindow() != top) SetForegroundWindow(top);
  HWND focus = GetFocus();
  if (!focus || (focus != top && !IsChild(top, focus))) SetFocus(player.inputWindow());
}

bool send(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT keyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT mouseInput(DWORD flags, DWORD data = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.mouseData = data;
  return in;
}

// Moves the pointer to (x, y) of the player as a person's mouse would; the absolute form's
// 0..65535 scale is rounded up so that it lands on the pixel itself.
bool movePointer(FlashPlayer& p, long x, long y) {
  POINT origin = p.playerOrigin();
  POINT pt{origin.x + x, origin.y + y};
  ClientToScreen(p.inputWindow(), &pt);
  LONG cx = std::max(1, GetSystemMetrics(SM_CXSCREEN)), cy = std::max(1, GetSystemMetrics(SM_CYSCREEN));
  INPUT in = mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(pt.x) * 65536 + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(pt.y) * 65536 + cy - 1) / cy);
  if (!send({in})) return false;
  POINT now;
  if (GetCursorPos(&now) && (now.x != pt.x || now.y != pt.y)) SetCursorPos(pt.x, pt.y);
  return true;
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
  bringToFront(p);
  return send({keyInput(static_cast<WORD>(vk), false), keyInput(static_cast<WORD>(vk), true)});
}

bool altF4(FlashPlayer& p, const Args&, std::wstring*) {
  bringToFront(p);
  return send({keyInput(VK_MENU, false), keyInput(VK_F4, false), keyInput(VK_F4, true), keyInput(VK_MENU, true)});
}

// Each UTF-16 unit as a Unicode key press: the focus window gets it as WM_CHAR.
bool type(FlashPlayer& p, const Args& a, std::wstring* error) {
  if (a.size() != 2 || a[1].empty()) {
    *error = L"user type TEXT";
    return false;
  }
  bringToFront(p);
  std::vector<INPUT> inputs;
  for (wchar_t c : a[1]) {
    for (bool up : {false, true}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = static_cast<WORD>(c);
      in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(in);
    }
  }
  return send(std::move(inputs));
}

bool mouseMove(FlashPlayer& p, const Args& a, std::wstring* error) {
  long x, y;
  if (a.size() != 3 || !number(a[1], x) || !number(a[2], y)) {
    *error = L"user mousemove X Y";
    return false;
  }
  return movePointer(p, x, y);
}

bool click(FlashPlayer& p, const Args& a, std::wstring* error) {
  static constexpr struct {
    const wchar_t* name;
    DWORD down, up;
  } kButtons[] = {
      {L"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
      {L"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
      {L"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
  };
  long x, y;
  if (a.size() != 4 || !number(a[2], x) || !number(a[3], y)) {
    *error = L"user click left|middle|right X Y";
    return false;
  }
  for (const auto& b : kButtons) {
    if (a[1] != b.name) continue;
    // The press goes to the window under the pointer, as the system routes it.
    return movePointer(p, x, y) && send({mouseInput(b.down), mouseInput(b.up)});
  }
  *error = L"user click left|middle|right X Y";
  return false;
}

// user wheel DELTA [X Y]: the wheel turned by DELTA (120 a notch, negative towards the user),
// over (X, Y) of the player when given.
bool wheel(FlashPlayer& p, const Args& a, std::wstring* error) {
  long delta, x, y;
  if ((a.size() != 2 && a.size() != 4) || !number(a[1], delta) ||
      (a.size() == 4 && (!number(a[2], x) || !number(a[3], y)))) {
    *error = L"user wheel DELTA [X Y]";
    return false;
  }
  if (a.size() == 4 && !movePointer(p, x, y)) return false;
  bringToFront(p);
  return send({mouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta))});
}

bool drop(FlashPlayer& p, const Args& a, std::wstring* error) {
  if (a.size() < 2) {
    *error = L"user drop PATH...";
    return false;
  }
  // The shell drops only onto a window that registered for files.
  HWND target = p.topLevelWindow();
  if (!(GetWindowLongPtrW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
    *error = L"user drop: the window does not accept files";
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
  if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) {
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
    {L"click", click},     {L"drop", drop},       {L"mousemove", mouseMove}, {L"wheel", wheel},
    {L"type", type},
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

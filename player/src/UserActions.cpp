// The `user` actions of the movie script, as a table: each one does what a person's action
// makes the window manager do to the top-level window holding the player (or to the window
// under the pointer, or the one with the keyboard focus).
#include "UserActions.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cwchar>

#include "FlashPlayer.h"
#include "ThreadHooks.h"

namespace {

using Args = std::vector<std::wstring>;
using Result = UserActionResult;

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
bool movePointerTo(POINT pt) {
  LONG cx = std::max(1, GetSystemMetrics(SM_CXSCREEN)), cy = std::max(1, GetSystemMetrics(SM_CYSCREEN));
  INPUT in = mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(pt.x) * 65536 + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(pt.y) * 65536 + cy - 1) / cy);
  if (!send({in})) return false;
  POINT now;
  if (GetCursorPos(&now) && (now.x != pt.x || now.y != pt.y)) SetCursorPos(pt.x, pt.y);
  return true;
}

bool movePointer(FlashPlayer& p, long x, long y) {
  POINT origin = p.playerOrigin();
  POINT pt{origin.x + x, origin.y + y};
  ClientToScreen(p.inputWindow(), &pt);
  return movePointerTo(pt);
}

POINT middleOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool clickAt(POINT at, DWORD down, DWORD up, int times = 1) {
  std::vector<INPUT> inputs;
  for (int i = 0; i < times; ++i) {
    inputs.push_back(mouseInput(down));
    inputs.push_back(mouseInput(up));
  }
  return movePointerTo(at) && send(std::move(inputs));
}

bool ofThisProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

bool resize(FlashPlayer& p, const Args& a, Result& r) {
  long w, h;
  if (a.size() != 3 || !number(a[1], w) || !number(a[2], h) || w < 0 || h < 0) {
    r.error = L"user resize W H";
    return false;
  }
  return SetWindowPos(p.topLevelWindow(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

bool move(FlashPlayer& p, const Args& a, Result& r) {
  long x, y;
  if (a.size() != 3 || !number(a[1], x) || !number(a[2], y)) {
    r.error = L"user move X Y";
    return false;
  }
  return SetWindowPos(p.topLevelWindow(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

// The caption buttons and the system menu: a system command to the top-level window.
bool systemCommand(FlashPlayer& p, WPARAM command) {
  return PostMessageW(p.topLevelWindow(), WM_SYSCOMMAND, command, 0) != 0;
}
bool maximize(FlashPlayer& p, const Args&, Result&) { return systemCommand(p, SC_MAXIMIZE); }
bool minimize(FlashPlayer& p, const Args&, Result&) { return systemCommand(p, SC_MINIMIZE); }
bool restore(FlashPlayer& p, const Args&, Result&) { return systemCommand(p, SC_RESTORE); }
bool close(FlashPlayer& p, const Args&, Result&) { return systemCommand(p, SC_CLOSE); }

bool key(FlashPlayer& p, const Args& a, Result& r) {
  long vk;
  if (a.size() != 2 || !number(a[1], vk) || vk <= 0 || vk > 254) {
    r.error = L"user key VK";
    return false;
  }
  bringToFront(p);
  return send({keyInput(static_cast<WORD>(vk), false), keyInput(static_cast<WORD>(vk), true)});
}

bool altF4(FlashPlayer& p, const Args&, Result&) {
  bringToFront(p);
  return send({keyInput(VK_MENU, false), keyInput(VK_F4, false), keyInput(VK_F4, true), keyInput(VK_MENU, true)});
}

// Each UTF-16 unit as a Unicode key press: the focus window gets it as WM_CHAR.
bool type(FlashPlayer& p, const Args& a, Result& r) {
  if (a.size() != 2 || a[1].empty()) {
    r.error = L"user type TEXT";
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

bool mouseMove(FlashPlayer& p, const Args& a, Result& r) {
  long x, y;
  if (a.size() != 3 || !number(a[1], x) || !number(a[2], y)) {
    r.error = L"user mousemove X Y";
    return false;
  }
  return movePointer(p, x, y);
}

bool click(FlashPlayer& p, const Args& a, Result& r) {
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
    r.error = L"user click left|middle|right X Y";
    return false;
  }
  for (const auto& b : kButtons) {
    if (a[1] != b.name) continue;
    // The press goes to the window under the pointer, as the system routes it.
    return movePointer(p, x, y) && send({mouseInput(b.down), mouseInput(b.up)});
  }
  r.error = L"user click left|middle|right X Y";
  return false;
}

// user wheel DELTA [X Y]: the wheel turned by DELTA (120 a notch, negative towards the user),
// over (X, Y) of the player when given.
bool wheel(FlashPlayer& p, const Args& a, Result& r) {
  long delta, x, y;
  if ((a.size() != 2 && a.size() != 4) || !number(a[1], delta) ||
      (a.size() == 4 && (!number(a[2], x) || !number(a[3], y)))) {
    r.error = L"user wheel DELTA [X Y]";
    return false;
  }
  if (a.size() == 4 && !movePointer(p, x, y)) return false;
  bringToFront(p);
  return send({mouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta))});
}

bool drop(FlashPlayer& p, const Args& a, Result& r) {
  if (a.size() < 2) {
    r.error = L"user drop PATH...";
    return false;
  }
  // The shell drops only onto a window that registered for files.
  HWND target = p.topLevelWindow();
  if (!(GetWindowLongPtrW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
    r.error = L"user drop: the window does not accept files";
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


// user context X Y: a right click on the stage at X, Y; the menu opens on the release.
bool context(FlashPlayer& p, const Args& a, Result& r) {
  long x, y;
  if (a.size() != 3 || !number(a[1], x) || !number(a[2], y)) {
    r.error = L"user context X Y";
    return false;
  }
  bringToFront(p);
  return movePointer(p, x, y) && send({mouseInput(MOUSEEVENTF_RIGHTDOWN), mouseInput(MOUSEEVENTF_RIGHTUP)});
}

// A menu item's text as a person reads it: without the "&" marks and the shortcut after a tab.
std::wstring itemText(HMENU menu, int index) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(index), buffer, 256, MF_BYPOSITION);
  std::wstring text;
  for (const wchar_t* c = buffer; *c && *c != L'\t'; ++c) {
    if (*c == L'&' && c[1]) ++c;
    text += *c;
  }
  return text;
}

bool isSeparator(HMENU menu, int index) {
  return (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

bool isDisabled(HMENU menu, int index) {
  return (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED)) != 0;
}

int findItem(HMENU menu, const std::wstring& text) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i)
    if (!isSeparator(menu, i) && itemText(menu, i) == text) return i;
  return -1;
}

// The pop-up menu windows of this process that are shown, topmost (the innermost submenu) first.
BOOL CALLBACK collectMenu(HWND window, LPARAM list) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (wcscmp(name, L"#32768") == 0 && IsWindowVisible(window) && ofThisProcess(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> openMenus() {
  std::vector<HWND> menus;
  EnumWindows(collectMenu, reinterpret_cast<LPARAM>(&menus));
  return menus;
}

// A person closes what is open with Escape, one level a press.
void closeMenus(size_t levels) {
  std::vector<INPUT> keys;
  for (size_t i = 0; i < levels; ++i) {
    keys.push_back(keyInput(VK_ESCAPE, false));
    keys.push_back(keyInput(VK_ESCAPE, true));
  }
  send(std::move(keys));
}

// user pick TEXT [TIMEOUT_MS]: clicks the item TEXT of this process's open pop-up menu. With
// none open yet the script waits for one (ScriptRunner); an item that is missing or disabled
// fails and closes the menu, so nothing stays modal behind the script.
bool pick(FlashPlayer&, const Args& a, Result& r) {
  long timeout = 0;
  if ((a.size() != 2 && a.size() != 3) || a[1].empty() || (a.size() == 3 && (!number(a[2], timeout) || timeout < 0))) {
    r.error = L"user pick TEXT [TIMEOUT_MS]";
    return false;
  }
  const std::vector<HWND> menus = openMenus();
  if (menus.empty()) {
    r.awaitMenu = true;
    if (a.size() == 3) r.awaitMs = static_cast<DWORD>(timeout);
    return false;
  }
  for (HWND window : menus) {
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    const int index = menu ? findItem(menu, a[1]) : -1;
    RECT item;
    if (index < 0) continue;
    if (isDisabled(menu, index)) {
      r.failure = a[1] + L" is disabled";
    } else if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &item)) {
      r.failure = a[1] + L" has no place on the screen";
    } else {
      return clickAt(middleOf(item), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    }
    closeMenus(menus.size());
    return false;
  }
  r.failure = L"no item " + a[1] + L" in the open menu";
  closeMenus(menus.size());
  return false;
}

// user menu PATH: chooses File/Recent/a.txt from the menu bar of the player's top-level window
// with the keyboard, as a person does without the mouse: Alt, Right to the bar item, Down to
// open it and along (separators are skipped by the menu, so they are not counted), Right into
// a submenu, Enter.
bool menuPath(FlashPlayer& p, const Args& a, Result& r) {
  if (a.size() != 2 || a[1].empty()) {
    r.error = L"user menu PATH";
    return false;
  }
  HMENU menu = GetMenu(p.topLevelWindow());
  if (!menu || GetMenuItemCount(menu) <= 0) {
    r.failure = L"the window has no menu bar";
    return false;
  }
  std::vector<INPUT> keys{keyInput(VK_MENU, false), keyInput(VK_MENU, true)};
  auto press = [&keys](WORD vk, int times) {
    for (int i = 0; i < times; ++i) {
      keys.push_back(keyInput(vk, false));
      keys.push_back(keyInput(vk, true));
    }
  };
  size_t start = 0;
  for (int level = 0;; ++level) {
    const size_t slash = a[1].find(L'/', start);
    const bool last = slash == std::wstring::npos;
    const std::wstring part = a[1].substr(start, last ? std::wstring::npos : slash - start);
    const int index = findItem(menu, part);
    if (index < 0) {
      r.failure = L"no item " + part;
      return false;
    }
    int before = 0;
    for (int i = 0; i < index; ++i) before += isSeparator(menu, i) ? 0 : 1;
    press(level == 0 ? VK_RIGHT : VK_DOWN, before);
    HMENU sub = GetSubMenu(menu, index);
    if (last) {
      if (sub) {
        r.failure = part + L" opens a submenu";
        return false;
      }
      if (isDisabled(menu, index)) {
        r.failure = part + L" is disabled";
        return false;
      }
      press(VK_RETURN, 1);
      break;
    }
    if (!sub) {
      r.failure = part + L" has no submenu";
      return false;
    }
    press(level == 0 ? VK_DOWN : VK_RIGHT, 1);  // opens it, its first item selected
    menu = sub;
    start = slash + 1;
  }
  bringToFront(p);
  return send(std::move(keys));
}

// The process's notification icon as the shell shows it. Under X without a desktop tray, Wine's
// shell keeps its own tray window ("Wine System Tray") with one child window per icon, which
// relays the mouse messages it gets to the icon's owner as the icon's callback message. The
// shell does not say whose an icon is, so each is asked as a pointer passing over it would ask:
// a mouse move relayed to a window of this process (lParam WM_MOUSEMOVE, or its low word for
// version 4 icons) makes it ours.
std::atomic<bool> g_ownIconMoved{false};

LRESULT CALLBACK watchIconNotice(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent && sent->message >= WM_USER &&
      (sent->lParam == WM_MOUSEMOVE || LOWORD(sent->lParam) == WM_MOUSEMOVE))
    g_ownIconMoved = true;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK findShellTray(HWND window, LPARAM found) {
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  if (wcscmp(title, L"Wine System Tray") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

bool relaysToThisProcess(HWND icon) {
  g_ownIconMoved = false;
  PostMessageW(icon, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  // The shell sends the notice on; this thread takes sent messages while it waits, other
  // threads of the process take theirs in their own loops.
  const ULONGLONG deadline = GetTickCount64() + 1000;
  for (ULONGLONG now = GetTickCount64(); !g_ownIconMoved && now < deadline; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(20, deadline - now)),
                              QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return g_ownIconMoved;
}

// The icon window of this process in the shell's tray, or none; `shown` when the tray is on the
// screen.
HWND ownNotificationIcon(bool* shown) {
  HWND tray = nullptr;
  EnumWindows(findShellTray, reinterpret_cast<LPARAM>(&tray));
  if (!tray) return nullptr;
  std::vector<HWND> icons;
  for (HWND icon = GetWindow(tray, GW_CHILD); icon; icon = GetWindow(icon, GW_HWNDNEXT)) icons.push_back(icon);
  std::vector<lumo::UniqueHook> hooks = hookSentMessagesOfEveryThread(watchIconNotice);
  for (HWND icon : icons) {
    if (!relaysToThisProcess(icon)) continue;
    *shown = IsWindowVisible(tray) && IsWindowVisible(icon);
    return icon;
  }
  return nullptr;
}

// user tray left|right|double: a click on the process's notification icon. Where the shell's tray shows
// it and nothing covers it, real input clicks it there (`-> tray`); else its own
// window gets the mouse messages the shell would relay, which send the callback message to the
// icon's owner (`-> callback`).
bool trayAction(FlashPlayer&, const Args& a, Result& r) {
  static constexpr struct {
    const wchar_t* name;
    DWORD down, up;
    UINT downMessage, upMessage;
    int clicks;
  } kKinds[] = {
      {L"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONDOWN, WM_LBUTTONUP, 1},
      {L"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONDOWN, WM_RBUTTONUP, 1},
      {L"double", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONDOWN, WM_LBUTTONUP, 2},
  };
  const auto* kind = a.size() == 2 ? std::find_if(std::begin(kKinds), std::end(kKinds),
                                                  [&a](const auto& k) { return a[1] == k.name; })
                                   : std::end(kKinds);
  if (kind == std::end(kKinds)) {
    r.error = L"user tray left|right|double";
    return false;
  }
  bool inShellTray = false;
  HWND icon = ownNotificationIcon(&inShellTray);
  if (!icon) {
    r.failure = L"the process shows no notification icon";
    return false;
  }
  RECT place;
  GetWindowRect(icon, &place);
  const POINT middle = middleOf(place);
  if (inShellTray) {
    // The tray stays above other windows, as the shell's does.
    SetWindowPos(GetAncestor(icon, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (WindowFromPoint(middle) == icon) {
      r.note = L"-> tray";
      return clickAt(middle, kind->down, kind->up, kind->clicks);
    }
  }
  r.note = L"-> callback";
  const LPARAM at = MAKELPARAM((place.right - place.left) / 2, (place.bottom - place.top) / 2);
  for (int i = 0; i < kind->clicks; ++i) {
    // The second press of a double click arrives as the double click itself.
    PostMessageW(icon, i == 1 ? WM_LBUTTONDBLCLK : kind->downMessage, 0, at);
    PostMessageW(icon, kind->upMessage, 0, at);
  }
  return true;
}

constexpr struct {
  const wchar_t* name;
  bool (*run)(FlashPlayer&, const Args&, Result&);
} kActions[] = {
    {L"resize", resize},   {L"move", move},   {L"maximize", maximize}, {L"minimize", minimize},
    {L"restore", restore}, {L"close", close}, {L"key", key},           {L"altf4", altF4},
    {L"click", click},     {L"drop", drop},       {L"mousemove", mouseMove}, {L"wheel", wheel},
    {L"type", type},       {L"context", context}, {L"pick", pick},      {L"menu", menuPath},
    {L"tray", trayAction},
};

}  // namespace

bool performUserAction(FlashPlayer& player, const std::vector<std::wstring>& args, UserActionResult& result) {
  if (!player.topLevelWindow()) {
    result.error = L"user: the player has no window yet";
    return false;
  }
  for (const auto& action : kActions) {
    if (args[0] == action.name) {
      if (action.run(player, args, result)) return true;
      if (result.error.empty() && result.failure.empty() && !result.awaitMenu)
        result.error = L"user " + args[0] + L" failed";
      return false;
    }
  }
  result.error = L"user: unknown action " + args[0];
  return false;
}

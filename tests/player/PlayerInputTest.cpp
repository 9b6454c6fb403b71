// A person's actions from the movie script (`user ...`): real input through SendInput, seen by a
// low-level hook and the key state as well as by the player, and the window manager's own
// messages for the rest. These act on the whole display, so this program runs alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "PlayerHarness.h"

#include <shellapi.h>

using namespace player_test;

namespace {

std::string errorLine(int number) {
  std::string line = "error line ";
  line += std::to_string(number);
  return line + ":";
}

std::vector<DWORD>& hookedKeys() {
  static std::vector<DWORD> keys;
  return keys;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_KEYDOWN)
    hookedKeys().push_back(reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam)->vkCode);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PlayerInput : public ScriptedPlayerTest {
 protected:
  std::string dropScript() {
    std::string script = "user drop \"";
    script += narrow(folder.file(L"dropped.txt"));
    script += "\" \"C:/other.txt\"\nwait 100\n";
    std::replace(script.begin(), script.end(), '\\', '/');
    return script;
  }
  bool sawMessage(UINT message) const {
    auto& messages = TestSite::windowMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
  }
};

TEST_F(PlayerInput, KeysGoThroughTheSystemSoHooksAndThePlayerSeeThem) {
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0);
  ASSERT_NE(nullptr, hook);
  hookedKeys().clear();
  run("user key 65\nuser type \"hi\"\nwait 300\n");
  UnhookWindowsHookEx(hook);
  EXPECT_NE(hookedKeys().end(), std::find(hookedKeys().begin(), hookedKeys().end(), 65u));
  EXPECT_TRUE(transcript->has("key down 65")) << dump();
  EXPECT_TRUE(transcript->has("key up 65")) << dump();
  EXPECT_TRUE(transcript->has("char 104")) << dump();
  EXPECT_TRUE(transcript->has("char 105")) << dump();
  EXPECT_TRUE(transcript->has("user type hi"));
}

TEST_F(PlayerInput, AltF4AsksTheTopLevelWindowToClose) {
  run("user altf4\nwait 300\n");
  pumpFor(100);
  EXPECT_TRUE(sawMessage(WM_SYSCOMMAND)) << dump();
  EXPECT_EQ(0, GetAsyncKeyState(VK_MENU) & 0x8000) << "Alt is released again";
}

TEST_F(PlayerInput, ThePointerMovesClicksAndTurnsTheWheelWhereThePlayerSaysAsAPersonsWould) {
  run("user mousemove 30 40\nuser click left 5 6\nuser wheel -120 10 10\nwait 300\n");
  RECT r;
  GetWindowRect(site.window(), &r);
  POINT at;
  GetCursorPos(&at);
  EXPECT_EQ(r.left + 10, at.x);
  EXPECT_EQ(r.top + 10, at.y);
  EXPECT_TRUE(transcript->has("mouse left down 5 6")) << dump();
  EXPECT_TRUE(transcript->has("mouse left up 5 6")) << dump();
  EXPECT_TRUE(transcript->has("wheel -120")) << dump();
  EXPECT_TRUE(transcript->has("user mousemove 30 40"));
}

TEST_F(PlayerInput, BadInputArgumentsAreScriptErrors) {
  run("user mousemove 1\nuser wheel up\nuser type\nuser click left 1\nlog after\n");
  for (int line = 1; line <= 4; ++line)
    EXPECT_TRUE(transcript->has(errorLine(line) + " user ")) << dump();
  EXPECT_TRUE(transcript->has("log \"after\""));
}

TEST_F(PlayerInput, WindowActionsReachTheTopLevelWindow) {
  run("user resize 300 200\nuser move 20 30\nuser maximize\nuser close\nwait 100\n");
  pumpFor(200);
  // Maximized now, so the size and place it was given are its normal ones.
  EXPECT_TRUE(IsZoomed(site.window()));
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(site.window(), &placement);
  const RECT& r = placement.rcNormalPosition;
  EXPECT_EQ(300, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);
  EXPECT_EQ(20, r.left);
  EXPECT_EQ(30, r.top);
  EXPECT_TRUE(sawMessage(WM_SYSCOMMAND));
  EXPECT_TRUE(transcript->has("user close"));
  EXPECT_TRUE(transcript->has("user resize 300 200"));
}

// The shell drops only onto a window that registered for files (WS_EX_ACCEPTFILES).
TEST_F(PlayerInput, FilesDropOntoAWindowThatAcceptsThem) {
  SetWindowLongPtrW(site.window(), GWL_EXSTYLE, GetWindowLongPtrW(site.window(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  run(dropScript());
  pumpFor(100);
  EXPECT_TRUE(sawMessage(WM_DROPFILES)) << dump();
  EXPECT_EQ(2, static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(site.window(), L"dropped"))));
  RemovePropW(site.window(), L"dropped");
}

TEST_F(PlayerInput, NoFilesDropOntoAWindowThatDoesNotAcceptThem) {
  run(dropScript());
  pumpFor(100);
  EXPECT_TRUE(transcript->has("error line 1: user drop: the window does not accept files")) << dump();
  EXPECT_FALSE(sawMessage(WM_DROPFILES));
}

// The stage's own context menu opens on the right release; its modal loop keeps serving the
// thread, so the script goes on inside it and picks from it. A missing item fails and closes
// the menu; a pick with no menu waits for one, then fails.
TEST_F(PlayerInput, TheRightReleaseOpensTheStagesMenuAndPickChoosesFromIt) {
  run("user pick Play 300\n"
      "user context 30 20\nuser pick Loop\nwait 200\n"
      "user context 10 10\nuser pick Nothing\nwait 200\n"
      "user click right 7 8\nuser key 27\nwait 200\n");
  for (const char* line : {"FAIL line 1 user pick Play 300: no menu opened", "mouse right up 30 20", "menu 30 20",
                           "user pick Loop", "menu-chosen \"Loop\"",
                           "FAIL line 6 user pick Nothing: no item Nothing in the open menu", "menu 7 8"})
    EXPECT_TRUE(transcript->has(line)) << line << "\n" << dump();
  int dismissed = 0;
  for (const std::string& line : transcript->lines()) dismissed += line == "menu-dismissed";
  EXPECT_EQ(2, dismissed) << "a failed pick and Escape close the menu\n" << dump();
  VARIANT_BOOL loop = VARIANT_TRUE;
  ASSERT_EQ(S_OK, player->get_Loop(&loop));
  EXPECT_EQ(VARIANT_FALSE, loop) << "Loop was on: choosing it turned it off";
}

TEST_F(PlayerInput, MenuBarItemsArePickedByTheirPathWithTheKeyboard) {
  HMENU bar = CreateMenu(), file = CreatePopupMenu(), recent = CreatePopupMenu();
  AppendMenuW(recent, MF_STRING, 11, L"a.txt");
  AppendMenuW(recent, MF_STRING, 12, L"b.txt");
  AppendMenuW(file, MF_STRING, 1, L"&Open\tCtrl+O");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(recent), L"&Recent");
  AppendMenuW(file, MF_STRING | MF_GRAYED, 2, L"Gone");
  AppendMenuW(bar, MF_STRING, 20, L"&Help");
  AppendMenuW(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  ASSERT_TRUE(SetMenu(site.window(), bar));
  run("user menu File/Recent/b.txt\nwait 300\nuser menu File/Gone\nuser menu File/Nope\nuser menu File/Recent\n"
      "user menu Help/About\nuser menu\n");
  pumpFor(200);
  EXPECT_EQ(12, static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(site.window(), L"command")))) << dump();
  for (const char* line : {"user menu File/Recent/b.txt", "FAIL line 3 user menu File/Gone: Gone is disabled",
                           "FAIL line 4 user menu File/Nope: no item Nope",
                           "FAIL line 5 user menu File/Recent: Recent opens a submenu",
                           "FAIL line 6 user menu Help/About: Help has no submenu", "error line 7: user menu"})
    EXPECT_TRUE(transcript->has(line)) << line << "\n" << dump();
  SetMenu(site.window(), nullptr);
  DestroyMenu(bar);
  RemovePropW(site.window(), L"command");
}

TEST_F(PlayerInput, MenuFailsOnAWindowWithoutABar) {
  run("user menu File/Open\n");
  EXPECT_TRUE(transcript->has("FAIL line 1 user menu File/Open: the window has no menu bar")) << dump();
}

// The notification icon's owner: records the mouse messages its callback message carries.
constexpr UINT kTrayCallback = WM_APP + 7;
std::vector<LPARAM>& trayMessages() {
  static std::vector<LPARAM> messages;
  return messages;
}
LRESULT CALLBACK trayOwnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == kTrayCallback && wp == 3 && lp != WM_MOUSEMOVE) trayMessages().push_back(lp);
  return DefWindowProcW(w, m, wp, lp);
}

// A notification icon of this process, as a program shows one.
class TrayIconOfTheProcess {
 public:
  TrayIconOfTheProcess() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = trayOwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrayOwner";
    RegisterClassW(&wc);
    icon_.cbSize = sizeof icon_;
    icon_.hWnd = CreateWindowW(L"TrayOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    icon_.uID = 3;
    icon_.uFlags = NIF_MESSAGE | NIF_ICON;
    icon_.uCallbackMessage = kTrayCallback;
    icon_.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    shown = Shell_NotifyIconW(NIM_ADD, &icon_);
    trayMessages().clear();
  }
  ~TrayIconOfTheProcess() {
    Shell_NotifyIconW(NIM_DELETE, &icon_);
    DestroyWindow(icon_.hWnd);
  }
  bool shown = false;

 private:
  NOTIFYICONDATAW icon_{};
};

// An icon whose owner never answers, as another program's icon looks from here: its owner's
// thread takes no messages.
class SilentIcon {
 public:
  SilentIcon() {
    static UINT ids = 9;
    const UINT id = ids++;
    thread_ = std::thread([this, id] {
      icon_.cbSize = sizeof icon_;
      icon_.hWnd = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
      icon_.uID = id;
      icon_.uFlags = NIF_MESSAGE | NIF_ICON;
      icon_.uCallbackMessage = WM_APP + 9;
      icon_.hIcon = LoadIconW(nullptr, IDI_WARNING);
      shown = Shell_NotifyIconW(NIM_ADD, &icon_);
      SetEvent(ready_);
      WaitForSingleObject(done_, INFINITE);
      Shell_NotifyIconW(NIM_DELETE, &icon_);
      DestroyWindow(icon_.hWnd);
    });
    WaitForSingleObject(ready_, INFINITE);
  }
  ~SilentIcon() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(ready_);
    CloseHandle(done_);
  }
  bool shown = false;

 private:
  HANDLE ready_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  NOTIFYICONDATAW icon_{};
  std::thread thread_;
};

TEST_F(PlayerInput, TrayClicksAreRealInputOnTheIconInTheShellsTray) {
  // Icons before and after ours, so that one is asked before ours whatever the tray's order.
  SilentIcon before;
  TrayIconOfTheProcess icon;
  SilentIcon after;
  ASSERT_TRUE(before.shown && icon.shown && after.shown);
  run("user tray left\nwait 700\nuser tray right\nwait 700\nuser tray double\nwait 300\n");
  pumpFor(100);
  EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                 WM_LBUTTONDBLCLK, WM_LBUTTONUP}),
            trayMessages());
  for (const char* line : {"user tray left -> tray", "user tray right -> tray", "user tray double -> tray"})
    EXPECT_TRUE(transcript->has(line)) << line << "\n" << dump();
}

// Without the shell's tray on the screen the icon's own window relays the click to its owner.
TEST_F(PlayerInput, TrayClicksGoToTheIconsWindowWhenNoTrayShowsIt) {
  TrayIconOfTheProcess icon;
  ASSERT_TRUE(icon.shown);
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  ASSERT_NE(nullptr, tray);
  ShowWindow(tray, SW_HIDE);
  run("user tray double\nwait 300\n");
  pumpFor(100);
  ShowWindow(tray, SW_SHOWNA);  // the shell's window outlives this test
  EXPECT_TRUE(transcript->has("user tray double -> callback")) << dump();
  EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}), trayMessages());
}

TEST_F(PlayerInput, TrayFailsWithoutAnIconAndOnAnUnknownClick) {
  run("user tray left\nuser tray middle\n");
  EXPECT_TRUE(transcript->has("FAIL line 1 user tray left: the process shows no notification icon")) << dump();
  EXPECT_TRUE(transcript->has("error line 2: user tray left|right|double")) << dump();
}

}  // namespace

// The lock library loaded into this program: real key presses and clicks (SendInput) reach a
// window of the test or are swallowed by the library's hooks; shell items are stand-in shell
// windows of the test (the real ones where the system has them); a helper process shows what
// happens to hidden items when a process ends with or without cleaning up.
#include "LumoLock.h"
#include "MessagePump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring binFolder() {
  wchar_t path[MAX_PATH];
  std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\') + 1);
}

std::wstring dataFolder() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH);
  return std::wstring(buffer, length) + L"\\LumoLock";
}

std::string readFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

using lumo::test::pumpFor;
using lumo::test::pumpUntil;

// --- the window that receives the input -------------------------------------------------

constexpr UINT kPostedNotice = WM_APP + 1;
constexpr UINT kSentNotice = WM_APP + 2;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK targetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case kPostedNotice: case kSentNotice:
      g_received.push_back({message, wParam, lParam});
      return 0;
    case WM_CLOSE: case WM_SYSCOMMAND: case WM_CONTEXTMENU:
      return 0;  // Alt+F4, the Alt menu and the Apps key do nothing else here
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool received(UINT message, WPARAM wParam) {
  return std::any_of(g_received.begin(), g_received.end(),
                     [&](const Received& r) { return r.message == message && r.wParam == wParam; });
}
bool keyDownReceived(UINT key) { return received(WM_KEYDOWN, key) || received(WM_SYSKEYDOWN, key); }

// `activate`: false shows the window as a shell window is shown, without activation (Wine
// then hides it at once, where it waits for a window manager to withdraw an activated one).
HWND makeWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure, DWORD exStyle, RECT where,
                bool activate = true) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(exStyle, className, title, WS_POPUP, where.left, where.top, where.right - where.left,
                                where.bottom - where.top, nullptr, nullptr, wc.hInstance, nullptr);
  if (window) ShowWindow(window, activate ? SW_SHOW : SW_SHOWNA);
  return window;
}

// --- real input -------------------------------------------------------------------------

INPUT keyInput(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  if (key == VK_LWIN || key == VK_RWIN || key == VK_APPS) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return input;
}

// Holds the modifiers, presses and releases `key`, lets the modifiers go.
void pressChord(const std::vector<WORD>& modifiers, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(keyInput(m, true));
  inputs.push_back(keyInput(key, true));
  inputs.push_back(keyInput(key, false));
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) inputs.push_back(keyInput(*m, false));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void click(POINT at, DWORD downFlag, DWORD upFlag) {
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= downFlag;
  inputs[2].mi.dwFlags |= upFlag;
  SendInput(3, inputs, sizeof(INPUT));
}

// --- the library ------------------------------------------------------------------------

template <typename Function>
Function entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
#define LOCK_ENTRY(name) entry<decltype(&name)>(library_, #name)

class LockLibrary : public testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW((dataFolder() + L"\\hidden-items.txt").c_str());
    DeleteFileW((dataFolder() + L"\\settings.ini").c_str());
    load();
    g_received.clear();
    target_ = makeWindow(L"LumoLockTestTarget", L"lock target", targetProcedure, WS_EX_TOPMOST, {100, 100, 400, 300});
    ASSERT_NE(target_, nullptr);
    SetForegroundWindow(target_);
    SetFocus(target_);
    pumpFor(100);
  }
  void TearDown() override {
    if (library_) LOCK_ENTRY(wlRestoreAll)();
    unload();
    DestroyWindow(target_);
    pumpFor(50);
    DeleteFileW((dataFolder() + L"\\settings.ini").c_str());
  }

  void load() {
    library_ = LoadLibraryW((binFolder() + L"lumolock.dll").c_str());
    ASSERT_NE(library_, nullptr);
  }
  void unload() {
    if (library_) FreeLibrary(library_);
    library_ = nullptr;
  }

  // Presses the chord, then the marker key M; true when the chord's key reached the window.
  bool chordArrives(const std::vector<WORD>& modifiers, WORD key) {
    g_received.clear();
    pressChord(modifiers, key);
    pressChord({}, 'M');
    EXPECT_TRUE(pumpUntil([] { return keyDownReceived('M'); })) << "the marker key never arrived";
    return keyDownReceived(key);
  }

  bool disableKey(UINT key, UINT modifiers, BOOL disable) { return LOCK_ENTRY(wlDisableKey)(nullptr, key, modifiers, disable); }

  POINT centre() const {
    RECT r;
    GetWindowRect(target_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  HMODULE library_ = nullptr;
  HWND target_ = nullptr;
};

TEST_F(LockLibrary, ExportsItsTwentySixEntryPointsUnderPlainNames) {
  const char* names[] = {"wlVersion", "wlDisableKey", "wlIsKeyDisabled", "wlGetDisabledKey", "wlSetKeySendMessage",
                         "wlSetKeyPostMessage", "wlSetKeyCallback", "wlRestoreAll", "wlDisableItem", "wlIsItemDisabled",
                         "wlInstallGina", "wlUninstallGina", "wlIsGinaInstalled", "wlIsNTSystem", "wlNeedGinaInstall",
                         "wlExitWindows", "wlWinVersion", "wlGetKeyState", "wlSetKeyState", "wlIsAdmin",
                         "wlEnableAutologin", "wlMapScancode", "wlDisableDesktopIcon", "wlDesktopIconCount",
                         "wlRestoreDesktopIcons", "wlExit"};
  for (const char* name : names) EXPECT_NE(GetProcAddress(library_, name), nullptr) << name;
}

TEST_F(LockLibrary, BlockedCombinationsAreSwallowedAndReturnWhenUnblocked) {
  struct Case {
    const char* name;
    UINT blockKey, blockModifiers;
    std::vector<WORD> held;
    WORD key;
    bool swallowed;
  };
  const Case cases[] = {
      {"Alt+F4", VK_F4, WL_MOD_ALT, {VK_MENU}, VK_F4, true},
      {"Alt+Tab", VK_TAB, WL_MOD_ALT, {VK_MENU}, VK_TAB, true},
      {"Alt+Esc", VK_ESCAPE, WL_MOD_ALT, {VK_MENU}, VK_ESCAPE, true},
      {"Ctrl+Esc", VK_ESCAPE, WL_MOD_CTRL, {VK_CONTROL}, VK_ESCAPE, true},
      {"Ctrl+Alt+F4 under the Alt+F4 block", VK_F4, WL_MOD_ALT, {VK_CONTROL, VK_MENU}, VK_F4, true},
      {"Apps key", VK_APPS, WL_MOD_NONE, {}, VK_APPS, true},
      {"Windows key", 0, WL_MOD_WIN, {}, VK_LWIN, true},
      {"Win+E under the Windows-key block", 0, WL_MOD_WIN, {VK_LWIN}, 'E', true},
      {"F4 alone under the Alt+F4 block", VK_F4, WL_MOD_ALT, {}, VK_F4, false},
      {"Alt+Esc under the Ctrl+Esc block", VK_ESCAPE, WL_MOD_CTRL, {VK_MENU}, VK_ESCAPE, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(disableKey(c.blockKey, c.blockModifiers, TRUE));
    EXPECT_EQ(chordArrives(c.held, c.key), !c.swallowed);
    ASSERT_TRUE(disableKey(c.blockKey, c.blockModifiers, FALSE));
    EXPECT_TRUE(chordArrives(c.held, c.key)) << "unblocked, the key arrives again";
  }
}

TEST_F(LockLibrary, ABlockedRightButtonNeverReachesTheWindow) {
  ASSERT_TRUE(disableKey(VK_RBUTTON, WL_MOD_NONE, TRUE));
  g_received.clear();
  click(centre(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  click(centre(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(pumpUntil([] { return received(WM_LBUTTONDOWN, MK_LBUTTON) || !g_received.empty(); }));
  pumpFor(200);
  EXPECT_FALSE(received(WM_RBUTTONDOWN, MK_RBUTTON));
  EXPECT_TRUE(std::none_of(g_received.begin(), g_received.end(), [](const Received& r) { return r.message == WM_RBUTTONUP; }));

  ASSERT_TRUE(disableKey(VK_RBUTTON, WL_MOD_NONE, FALSE));
  g_received.clear();
  click(centre(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  EXPECT_TRUE(pumpUntil([] { return received(WM_RBUTTONDOWN, MK_RBUTTON); }));
}

WPARAM g_callbackKey = 0;
LPARAM g_callbackModifiers = 0;
void* g_callbackContext = nullptr;
void WINAPI recordBlockedKey(UINT key, UINT modifiers, void* context) {
  g_callbackKey = key;
  g_callbackModifiers = modifiers;
  g_callbackContext = context;
}

TEST_F(LockLibrary, ABlockedPressIsToldByMessageAndCallback) {
  int context = 0;
  ASSERT_TRUE(LOCK_ENTRY(wlSetKeyPostMessage)(target_, kPostedNotice));
  ASSERT_TRUE(LOCK_ENTRY(wlSetKeySendMessage)(target_, kSentNotice));
  ASSERT_TRUE(LOCK_ENTRY(wlSetKeyCallback)(&recordBlockedKey, &context));
  ASSERT_TRUE(disableKey(VK_F4, WL_MOD_ALT, TRUE));
  EXPECT_FALSE(chordArrives({VK_MENU}, VK_F4));
  EXPECT_TRUE(pumpUntil([] { return received(kPostedNotice, VK_F4) && received(kSentNotice, VK_F4); }));
  for (const Received& r : g_received) {
    if (r.message == kPostedNotice || r.message == kSentNotice) {
      EXPECT_EQ(r.lParam, static_cast<LPARAM>(WL_MOD_ALT));
    }
  }
  EXPECT_TRUE(pumpUntil([] { return g_callbackKey == VK_F4; }));
  EXPECT_EQ(g_callbackModifiers, static_cast<LPARAM>(WL_MOD_ALT));
  EXPECT_EQ(g_callbackContext, &context);

  // Switched off, nobody is told.
  LOCK_ENTRY(wlSetKeyPostMessage)(nullptr, 0);
  LOCK_ENTRY(wlSetKeySendMessage)(nullptr, 0);
  LOCK_ENTRY(wlSetKeyCallback)(nullptr, nullptr);
  g_callbackKey = 0;
  EXPECT_FALSE(chordArrives({VK_MENU}, VK_F4));
  pumpFor(200);
  EXPECT_FALSE(received(kPostedNotice, VK_F4));
  EXPECT_FALSE(received(kSentNotice, VK_F4));
  EXPECT_EQ(g_callbackKey, 0u);
}

TEST_F(LockLibrary, ReportsTheBlocksInPlace) {
  auto isDisabled = LOCK_ENTRY(wlIsKeyDisabled);
  auto getDisabled = LOCK_ENTRY(wlGetDisabledKey);
  ASSERT_TRUE(disableKey(VK_F4, WL_MOD_ALT, TRUE));
  ASSERT_TRUE(disableKey(0, WL_MOD_WIN, TRUE));
  ASSERT_TRUE(disableKey(VK_F4, WL_MOD_ALT, TRUE)) << "blocking twice keeps one block";
  EXPECT_TRUE(isDisabled(VK_F4, WL_MOD_ALT));
  EXPECT_FALSE(isDisabled(VK_F4, WL_MOD_NONE));
  UINT key = 99, modifiers = 99;
  ASSERT_TRUE(getDisabled(0, &key, &modifiers));
  EXPECT_EQ(key, static_cast<UINT>(VK_F4));
  EXPECT_EQ(modifiers, WL_MOD_ALT);
  ASSERT_TRUE(getDisabled(1, &key, &modifiers));
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(modifiers, WL_MOD_WIN);
  EXPECT_FALSE(getDisabled(2, &key, &modifiers));

  EXPECT_FALSE(disableKey(0, WL_MOD_NONE, TRUE)) << "no key and no modifier would block everything";
  EXPECT_FALSE(disableKey(VK_TAB, WL_MOD_ALT, FALSE)) << "nothing to unblock";
  ASSERT_TRUE(disableKey(VK_F4, WL_MOD_ALT, FALSE));
  EXPECT_FALSE(isDisabled(VK_F4, WL_MOD_ALT));
  ASSERT_TRUE(LOCK_ENTRY(wlRestoreAll)());
  EXPECT_FALSE(getDisabled(0, &key, &modifiers));
}

// --- shell items -----------------------------------------------------------------------

// The system's window of the class, or a stand-in made by the test when it has none.
class ShellWindow {
 public:
  explicit ShellWindow(const wchar_t* className) {
    window_ = FindWindowW(className, nullptr);
    if (!window_ || !IsWindowVisible(window_)) {
      window_ = makeWindow(className, L"", DefWindowProcW, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, {0, 0, 50, 20}, false);
      own_ = true;
    }
  }
  ~ShellWindow() {
    if (own_) DestroyWindow(window_);
  }
  HWND get() const { return window_; }
  bool visible() const { return IsWindowVisible(window_) != FALSE; }

 private:
  HWND window_ = nullptr;
  bool own_ = false;
};

std::string stateFile() { return readFile(dataFolder() + L"\\hidden-items.txt"); }

TEST_F(LockLibrary, ShellItemsHideAndShowAndAreRecordedMeanwhile) {
  ShellWindow taskbar(L"Shell_TrayWnd");
  ShellWindow desktop(L"Progman");
  ASSERT_TRUE(taskbar.visible() && desktop.visible());
  auto disableItem = LOCK_ENTRY(wlDisableItem);
  auto isItemDisabled = LOCK_ENTRY(wlIsItemDisabled);

  ASSERT_TRUE(disableItem(WL_ITEM_TASKBAR, TRUE));
  ASSERT_TRUE(disableItem(WL_ITEM_DESKTOP, TRUE));
  EXPECT_TRUE(pumpUntil([&] { return !taskbar.visible() && !desktop.visible(); }));
  EXPECT_TRUE(isItemDisabled(WL_ITEM_TASKBAR));
  const std::string pid = std::to_string(GetCurrentProcessId()) + " ";
  EXPECT_EQ(stateFile().find(pid), 0u) << stateFile();
  EXPECT_NE(stateFile().find(" 5\n"), std::string::npos) << stateFile();

  ASSERT_TRUE(disableItem(WL_ITEM_TASKBAR, FALSE));
  EXPECT_TRUE(pumpUntil([&] { return taskbar.visible(); }));
  EXPECT_FALSE(isItemDisabled(WL_ITEM_TASKBAR));
  EXPECT_FALSE(disableItem(WL_ITEM_TASKBAR, FALSE)) << "nothing hidden to show";
  EXPECT_FALSE(disableItem(77, TRUE)) << "no such item";

  ASSERT_TRUE(LOCK_ENTRY(wlRestoreAll)());
  EXPECT_TRUE(pumpUntil([&] { return desktop.visible(); }));
  EXPECT_EQ(stateFile(), "") << "nothing left hidden, nothing recorded";
}

TEST_F(LockLibrary, UnloadingRemovesTheHooksAndShowsTheShellAgain) {
  ShellWindow taskbar(L"Shell_TrayWnd");
  ASSERT_TRUE(disableKey(VK_F4, WL_MOD_ALT, TRUE));
  ASSERT_TRUE(LOCK_ENTRY(wlDisableItem)(WL_ITEM_TASKBAR, TRUE));
  ASSERT_TRUE(pumpUntil([&] { return !taskbar.visible(); }));
  unload();
  EXPECT_TRUE(pumpUntil([&] { return taskbar.visible(); }));
  EXPECT_TRUE(chordArrives({VK_MENU}, VK_F4));
  EXPECT_EQ(stateFile(), "");
}

// A helper process hides the taskbar and ends: normally, the library shows it at once; killed,
// it stays hidden until the library's next load.
TEST_F(LockLibrary, WhatAKilledProcessLeftHiddenIsShownByTheNextLoad) {
  ShellWindow taskbar(L"Shell_TrayWnd");
  unload();
  struct Case {
    const wchar_t* how;
    DWORD exitCode;
    bool hiddenAfter;
  };
  for (const Case& c : {Case{L"exit", 0, false}, Case{L"terminate", 3, true}}) {
    SCOPED_TRACE(std::string(c.how, c.how + wcslen(c.how)));
    std::wstring command = L"\"" + binFolder() + L"lock_test_helper.exe\" 5 " + c.how;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // The stand-in taskbar lives on this thread: keep its messages going while the helper runs.
    ASSERT_TRUE(pumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20000));
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(code, c.exitCode);
    pumpFor(300);
    EXPECT_EQ(!taskbar.visible(), c.hiddenAfter);
    EXPECT_EQ(stateFile().empty(), !c.hiddenAfter) << stateFile();
  }
  load();
  EXPECT_TRUE(pumpUntil([&] { return taskbar.visible(); })) << "the load shows what the killed helper hid";
  EXPECT_EQ(stateFile(), "");
}

// --- the login-screen component and the system's answers -------------------------------

TEST_F(LockLibrary, TheLoginScreenComponentKeepsItsStateInTheSettings) {
  auto installed = LOCK_ENTRY(wlIsGinaInstalled);
  auto needed = LOCK_ENTRY(wlNeedGinaInstall);
  EXPECT_FALSE(installed());
  EXPECT_TRUE(needed());
  EXPECT_FALSE(LOCK_ENTRY(wlUninstallGina)(26)) << "not installed";
  wchar_t folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  ASSERT_TRUE(LOCK_ENTRY(wlInstallGina)(25));
  EXPECT_TRUE(installed());
  EXPECT_FALSE(needed());
  wchar_t source[MAX_PATH] = {};
  GetPrivateProfileStringW(L"LoginScreen", L"SourceFolder", L"", source, MAX_PATH, (dataFolder() + L"\\settings.ini").c_str());
  EXPECT_EQ(std::wstring(source), std::wstring(folder, length)) << "installed from the working directory";

  unload();  // the state is the library's settings, not the process's
  load();
  EXPECT_TRUE(LOCK_ENTRY(wlIsGinaInstalled)());
  ASSERT_TRUE(LOCK_ENTRY(wlUninstallGina)(26));
  EXPECT_FALSE(LOCK_ENTRY(wlIsGinaInstalled)());
}

TEST_F(LockLibrary, InformationalEntryPointsAnswerFromTheSystem) {
  EXPECT_EQ(LOCK_ENTRY(wlVersion)(), WL_VERSION);
  EXPECT_TRUE(LOCK_ENTRY(wlIsNTSystem)());
  EXPECT_GE(LOCK_ENTRY(wlWinVersion)(), 0x0500u) << "an NT system of version 5 or later";
  EXPECT_EQ(LOCK_ENTRY(wlMapScancode)(0x1E), static_cast<UINT>('A'));
  EXPECT_EQ(LOCK_ENTRY(wlMapScancode)(0x2A), static_cast<UINT>(VK_LSHIFT)) << "left and right told apart";

  auto keyState = LOCK_ENTRY(wlGetKeyState);
  auto setKeyState = LOCK_ENTRY(wlSetKeyState);
  const bool capsWasOn = (keyState(VK_CAPITAL) & 2) != 0;
  ASSERT_TRUE(setKeyState(VK_CAPITAL, !capsWasOn));
  EXPECT_TRUE(pumpUntil([&] { return ((keyState(VK_CAPITAL) & 2) != 0) != capsWasOn; }));
  ASSERT_TRUE(setKeyState(VK_CAPITAL, capsWasOn));
  EXPECT_TRUE(pumpUntil([&] { return ((keyState(VK_CAPITAL) & 2) != 0) == capsWasOn; }));
  EXPECT_FALSE(setKeyState('A', TRUE)) << "only the lock keys toggle";
}

TEST_F(LockLibrary, TheCallLogNamesEachCallWithItsArguments) {
  const std::wstring log = binFolder() + L"lock-call-log.txt";
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, log.c_str());
  LOCK_ENTRY(wlDisableKey)(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)), VK_ESCAPE, WL_MOD_ALT, TRUE);
  LOCK_ENTRY(wlDisableKey)(nullptr, VK_ESCAPE, WL_MOD_ALT, FALSE);
  LOCK_ENTRY(wlIsGinaInstalled)();
  LOCK_ENTRY(wlEnableAutologin)(L"kiosk", nullptr, L"secret", FALSE);
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, nullptr);
  LOCK_ENTRY(wlVersion)();  // not logged: the variable is gone
  EXPECT_EQ(readFile(log), "wlDisableKey 4660 27 1 1\nwlDisableKey 0 27 1 0\nwlIsGinaInstalled\n"
                           "wlEnableAutologin user - * 0\n");
  DeleteFileW(log.c_str());
}

}  // namespace

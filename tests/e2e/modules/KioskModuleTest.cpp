// vor.Application.Kiosk in real projectors: the lock library carried by the runtime blocks
// real key presses and clicks (SendInput) until the movie enables them again, hides the
// taskbar, and writes the calls the runtime made to its call log. Not a kiosk, no module.
#include "forms/FormsFixture.h"

#include "LumoLock.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

std::string call(const std::string& command) { return "call vor.Application.Kiosk." + command + " 0 \"<{lumo}>\"\n"; }

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}
// The index of the first line containing `text`, or -1.
long lineOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return static_cast<long>(i);
  return -1;
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

std::wstring lockSettings() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH);
  return std::wstring(buffer, length) + L"\\LumoLock\\settings.ini";
}

// Runs this thread's messages (a stand-in shell window may live on it) until `done`.
using test::pumpUntil;

// --- real input ------------------------------------------------------------------------

void keys(std::initializer_list<std::pair<WORD, bool>> presses) {
  std::vector<INPUT> inputs;
  for (auto [key, down] : presses) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
void altF4() { keys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}}); }
void press(WORD key) { keys({{key, true}, {key, false}}); }

void click(HWND window, DWORD downFlag, DWORD upFlag) {
  RECT r;
  GetWindowRect(window, &r);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = ((r.left + r.right) / 2) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ((r.top + r.bottom) / 2) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= downFlag;
  inputs[2].mi.dwFlags |= upFlag;
  SendInput(3, inputs, sizeof(INPUT));
}

const char* kKioskForm = R"("forms": [{"name": "main", "movie": "main.swf", "windowTitle": "Kiosk",
                                        "visibleAtStart": true, "altF4Closes": true}])";

TEST(KioskProjector, AltF4AndTheRightButtonStayBlockedUntilTheMovieEnablesThem) {
  // Two phases: blocked while the test presses, enabled once the test moves the form when it
  // is done (the move's dispatcher call is the first event the movie hears after "blocked").
  const std::string script = "wait 300\ncall vor.flash9ready 0 \"<{lumo}>\"\n" + call("disableAltF4") +
                             call("disableRMouseButton") + "watch vor.__callFunction\nlog blocked\n" +
                             "wait-for vor.__callFunction 1 60000\n" + call("enableAltF4") + call("enableRMouseButton") +
                             "log enabled\nwait 30000\n";
  FormsProjector projector({{L"main.swf", script}},
                           std::string(R"({"title": "Kiosk", "projectMode": "kiosk", )") + kKioskForm + "}");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  const HWND form = projector.formWindow(L"Kiosk");
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(projector.waitFor("log \"blocked\"", 20000));
  SetForegroundWindow(form);

  altF4();
  click(form, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  click(form, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);  // markers: both reach the movie
  press('M');
  ASSERT_TRUE(projector.waitFor("key down 77", 5000)) << "the marker key reaches the movie";
  ASSERT_TRUE(projector.waitFor("mouse left down", 5000));
  EXPECT_FALSE(projector.process().wait(500).has_value()) << "a blocked Alt+F4 leaves the kiosk open";
  auto lines = projector.transcript();
  ASSERT_EQ(lineOf(lines, "log \"enabled\""), -1) << "the blocked phase ended before the test was done";
  EXPECT_FALSE(contains(lines, "mouse right")) << "a blocked right button gives the movie no right click";
  EXPECT_FALSE(contains(lines, "menu "));

  RECT r{};
  GetWindowRect(form, &r);
  SetWindowPos(form, nullptr, r.left + 20, r.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(projector.waitFor("log \"enabled\"", 20000));
  SetForegroundWindow(form);
  click(form, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  EXPECT_TRUE(projector.waitFor("mouse right down", 5000)) << "enabled, the right button works again";
  altF4();
  EXPECT_EQ(projector.process().wait(20000), 0) << "enabled, Alt+F4 closes the kiosk";
}

// The taskbar: the system's where Wine has one, else a stand-in of the same class.
class Taskbar {
 public:
  Taskbar() {
    window_ = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (window_ && IsWindowVisible(window_)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 50, 20,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window_, SW_SHOWNA);  // as the shell shows it: not activated
    own_ = true;
  }
  ~Taskbar() {
    if (own_) DestroyWindow(window_);
  }
  bool visible() const { return IsWindowVisible(window_) != FALSE; }

 private:
  HWND window_ = nullptr;
  bool own_ = false;
};

TEST(KioskProjector, TheRuntimeMakesExactlyTheCallsOfTheCommandTable) {
  const std::wstring settings = lockSettings();
  DeleteFileW(settings.c_str());
  Taskbar taskbar;
  ASSERT_TRUE(taskbar.visible());
  const std::string script = "wait 300\ncall vor.flash9ready 0 \"<{lumo}>\"\n" + call("disableCtrlAltDel") +
                             call("installLoginScreen") + call("installLoginScreen") + call("disableCtrlAltDel") +
                             call("enableCtrlAltDel") + call("uninstallLoginScreen") + call("disableAltF4") +
                             call("disableAltF4") + call("enableAltF4") + call("disableAltEsc") + call("enableAltEsc") +
                             call("disableWindowsTaskbar") + "log hidden\n" +
                             // "exit ask" holds the movie while the test looks; Cancel lets it go on.
                             "call vor.Application.exit 0 \"<{lumo}>ask,taskbar hidden\"\n" + call("enableWindowsTaskbar") +
                             "log done\ncall vor.Application.exitWithCode 0 \"<{lumo}>5\"\n";
  FormsProjector projector({{L"main.swf", script}},
                           std::string(R"({"title": "Kiosk", "projectMode": "kiosk", )") + kKioskForm + "}");
  ASSERT_TRUE(projector.built());
  const std::wstring log = projector.folder().file(L"lock-calls.txt");
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, log.c_str());
  const bool started = projector.start();
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, nullptr);
  ASSERT_TRUE(started);
  const HWND form = projector.formWindow(L"Kiosk");

  ASSERT_TRUE(pumpUntil([&] { return contains(projector.transcript(), "log \"hidden\""); }, 20000));
  EXPECT_TRUE(pumpUntil([&] { return !taskbar.visible(); }, 3000)) << "disableWindowsTaskbar hides the taskbar";
  EXPECT_TRUE(pressBoxButton(L"Information", IDCANCEL));
  const std::vector<std::wstring> folders = projector.privateFolders();
  std::optional<int> exitCode;
  pumpUntil([&] { return (exitCode = projector.process().wait(0)).has_value(); }, 30000);
  EXPECT_EQ(exitCode, 5);
  EXPECT_TRUE(pumpUntil([&] { return taskbar.visible(); }, 3000)) << "enableWindowsTaskbar shows it again";

  const std::string formWindow = std::to_string(reinterpret_cast<std::uintptr_t>(form));
  EXPECT_EQ(readFile(log),
            "wlIsGinaInstalled\n"                                  // disableCtrlAltDel: not installed, no key call
            "wlIsGinaInstalled\nwlInstallGina 25\n"                // installLoginScreen
            "wlIsGinaInstalled\n"                                  // installLoginScreen again: already installed
            "wlIsGinaInstalled\nwlDisableKey 0 46 3 1\n"           // disableCtrlAltDel
            "wlIsGinaInstalled\nwlDisableKey 0 46 3 0\n"           // enableCtrlAltDel
            "wlIsGinaInstalled\nwlUninstallGina 26\n"              // uninstallLoginScreen
            "wlDisableKey 0 115 1 1\nwlDisableKey 0 115 1 1\n"     // disableAltF4 twice
            "wlDisableKey 0 115 1 0\n"                             // enableAltF4 once
            "wlDisableKey " + formWindow + " 27 1 1\n"             // disableAltEsc, with the form's window
            "wlDisableKey 0 27 1 0\n"
            "wlDisableItem 5 1\nwlDisableItem 5 0\n");
  for (const std::string& line : projector.transcript()) {
    if (line.rfind("call vor.Application.Kiosk.", 0) == 0) {
      EXPECT_NE(line.find("-> \"\""), std::string::npos) << line;
    }
  }
  // The component was installed from the runtime's private folder, where the library is.
  wchar_t source[MAX_PATH] = {};
  GetPrivateProfileStringW(L"LoginScreen", L"SourceFolder", L"", source, MAX_PATH, settings.c_str());
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(std::wstring(source), folders.front());
  EXPECT_EQ(GetFileAttributesW(folders.front().c_str()), INVALID_FILE_ATTRIBUTES) << "the folder and dwlGina2.dll are gone";
  DeleteFileW(settings.c_str());
}

TEST(KioskProjector, AProjectThatIsNoKioskHasNoKioskModule) {
  const std::string script = "wait 300\n" + call("disableAltF4") + "log answered\n" +
                             "call vor.Application.exitWithCode 0 \"<{lumo}>3\"\n";
  FormsProjector projector({{L"main.swf", script}},
                           std::string(R"({"title": "Normal", )") + kKioskForm + "}");
  ASSERT_TRUE(projector.built());
  const std::wstring log = projector.folder().file(L"lock-calls.txt");
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, log.c_str());
  const bool started = projector.start();
  SetEnvironmentVariableW(WL_CALL_LOG_VARIABLE, nullptr);
  ASSERT_TRUE(started);
  const UiResult box = uidriver(L"text --title \"RUNTIME ERROR\" --control 65535 --timeout 20000");
  EXPECT_NE(box.output.find("couldn't locate runtime module: vor.Application.Kiosk"), std::string::npos) << box.output;
  ASSERT_EQ(uidriver(L"click --title \"RUNTIME ERROR\" --control 1").exitCode, 0);
  EXPECT_EQ(projector.process().wait(20000), 3);
  EXPECT_TRUE(contains(projector.transcript(), R"(call vor.Application.Kiosk.disableAltF4 "0" "<{lumo}>" -> "")"));
  EXPECT_EQ(GetFileAttributesW(log.c_str()), INVALID_FILE_ATTRIBUTES) << "no lock library was loaded";
}

}  // namespace
}  // namespace lumo::e2e

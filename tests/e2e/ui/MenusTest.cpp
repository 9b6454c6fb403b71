// Menus and the tray icon driven by a movie through the standard menu extension (Menu.Main,
// Menu.Context, Menu.Tray, packed with "menuExtension") in real projectors, chosen with real
// input: the main menu from its bar, the context menu by a right click on the movie, the tray
// menu by a right click on the icon in the shell's tray, with the click events and each menu
// type's action reaching the movie; the icon with its picture, hint and balloon. Real input and
// screenshots, so alone.
//
// Menus of another process cannot be read here (Wine keeps a menu in its own process), so items
// are chosen with the keyboard once the menu is open, and the events name what was chosen.
#include "forms/FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "IconFixture.h"
#include "extensions/TestSignal.h"

namespace lumo::e2e {
namespace {

std::string menuCall(const std::string& menuClass, const std::string& command, const std::string& arguments = "") {
  return "call vor.Menu." + menuClass + "." + command + " 0 \"<{lumo}>" + arguments + "\"\n";
}
std::string tray(const std::string& command, const std::string& arguments = "") {
  return menuCall("Tray", command, arguments);
}
const std::string kExit = "call vor.Application.exitWithCode 0 \"<{lumo}>0\"\n";

// Each phase of a test ends when the test is done with it: the test signals the movie through
// the test extension, and the movie waits for that phase's signal.
const std::string kListen = "call vor.Extensions.One.signals 0 \"<{lumo}>\"\nexpect true\nwatch signal\n";
std::string awaitPhaseEnd(int phase) { return "wait-for signal " + std::to_string(phase) + " 120000\n"; }
bool endPhase(HWND form, int phase) { return PostMessageW(form, test::kSignalMessage, phase, 0) != FALSE; }
using ExtraFiles = std::vector<std::pair<std::wstring, std::string>>;
ExtraFiles withSignals(ExtraFiles files = {}) {
  files.emplace_back(L"two.vdd", builtFile(L"two.vdd"));
  return files;
}

std::string projectJson(const std::string& extraKeys = "") {
  return R"({"title": "Menus", "menuExtension": true, "extensions": ["two.vdd"], )" + extraKeys +
         R"("forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main", "x": 300, "y": 200,
             "width": 240, "height": 120, "visibleAtStart": true, "systemMenu": true}]})";
}

// The transcript line of an event the runtime sent before the movie said flash9ready.
std::string dispatched(const std::string& type, const std::string& menuClass) {
  return "setvariable \"vor.__callFunction\" \"vor.__dispatchEvent!}}v{}!" + type + "!}}v{}!" + menuClass +
         "!}}v{}!!}}v{}!status<{z}>true\"";
}
std::string called(const std::string& function, const std::string& argument) {
  return "setvariable \"vor.__callFunction\" \"" + function + "!}}v{}!" + argument + "\"";
}

bool transcriptHas(const FormsProjector& p, const std::string& text) { return p.waitFor(text, 0); }

// Wine's own tray window, shown while some icon is in it (there is no desktop tray here).
HWND trayWindow() {
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  return tray && IsWindowVisible(tray) ? tray : nullptr;
}

// The middle of the first run of pixels near `colour` in the tray window, or nothing.
std::optional<POINT> findColourInTray(COLORREF colour) {
  HWND tray = trayWindow();
  RECT r;
  if (!tray || !GetWindowRect(tray, &r)) return std::nullopt;
  auto alike = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 16 && std::abs(GetGValue(a) - GetGValue(b)) < 16 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 16;
  };
  HDC screen = GetDC(nullptr);
  std::optional<POINT> found;
  for (int y = r.top; y < r.bottom && !found; ++y)
    for (int x = r.left; x < r.right && !found; ++x)
      if (alike(GetPixel(screen, x, y), colour) && alike(GetPixel(screen, x + 4, y + 4), colour))
        found = POINT{x + 4, y + 4};
  ReleaseDC(nullptr, screen);
  return found;
}

// A shown tooltip window of any process: the hint (no balloon style) or the balloon.
struct TooltipSearch {
  bool balloon;
  HWND found = nullptr;
};

BOOL CALLBACK visitTooltip(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<TooltipSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  const bool isBalloon = (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON) != 0;
  if (std::wstring(name) == L"tooltips_class32" && IsWindowVisible(window) && isBalloon == search.balloon)
    search.found = window;
  return TRUE;
}

HWND shownTooltip(bool balloon) {
  TooltipSearch search{balloon};
  EnumWindows(visitTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A single click: one that follows the last within the double-click time waits for it to pass,
// as a person's next click does, so that it is never taken for a double click.
void clickAt(POINT at, bool right = false) {
  static DWORD lastClick = GetTickCount() - GetDoubleClickTime();
  const DWORD since = GetTickCount() - lastClick;
  if (since <= GetDoubleClickTime()) Sleep(GetDoubleClickTime() - since + 50);
  lastClick = GetTickCount();
  SetCursorPos(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

void pressKeys(std::initializer_list<WORD> keys) {
  for (WORD key : keys) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(100);
  }
}

// A pop-up menu window shown by any process.
HWND shownPopupMenu() {
  for (HWND window = FindWindowW(L"#32768", nullptr); window;
       window = FindWindowExW(nullptr, window, L"#32768", nullptr))
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

// Chooses the item `downs` steps down in the menu that is open: arrows and Enter.
void chooseInOpenMenu(int downs) {
  for (int i = 0; i < downs; ++i) pressKeys({VK_DOWN});
  pressKeys({VK_RETURN});
}

POINT clientPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

void doubleClickAt(POINT at) {
  SetCursorPos(at.x, at.y);
  INPUT input[4] = {};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  SendInput(4, input, sizeof(INPUT));
}

// The answer the movie got for its call of vor.Menu.Tray.`command`, every time it called it.
std::vector<std::string> answersTo(const FormsProjector& p, const std::string& command) {
  std::vector<std::string> answers;
  for (const std::string& line : p.transcript()) {
    if (line.rfind("call vor.Menu.Tray." + command + " ", 0) != 0) continue;
    const size_t arrow = line.find(" -> ");
    answers.push_back(arrow == std::string::npos ? "(none)" : line.substr(arrow + 4));
  }
  return answers;
}

constexpr COLORREF kProjectIcon = RGB(0x20, 0x40, 0xC0);  // the project's trayIconImage
constexpr COLORREF kMovieIcon = RGB(0xE0, 0x30, 0x10);    // the icon file the movie names

TEST(MenuTray, TheMovieShowsItsIconHintAndBalloonInTheShellsTrayAndADoubleClickOnItRestores) {
  const std::string script = kListen + tray("showIcon") + "log shown\n" + awaitPhaseEnd(1) +
                             tray("setIcon", "movie.ico") + "log movie icon\n" + awaitPhaseEnd(2) +
                             tray("seticonHint", "Museum guide") + "log hinted\n" + awaitPhaseEnd(3) +
                             tray("showBalloon", "Lumo,Still running,info,8000,onBalloonClick") +
                             "log balloon\n" + awaitPhaseEnd(4) +
                             "call vor.Application.minimizeToTray 0 \"<{lumo}>true\"\n"
                             "call vor.Application.minimize 0 \"<{lumo}>\"\nlog minimized\n" + awaitPhaseEnd(5) +
                             tray("hideIcon") + "log hidden\n" + awaitPhaseEnd(6) + kExit;
  FormsProjector projector(
      {{L"main.swf", script, 9}},
      R"({"title": "Tray", "menuExtension": true, "trayIconImage": "project.ico", "extensions": ["two.vdd"],
          "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main", "width": 200, "height": 100,
                     "visibleAtStart": true}]})",
      withSignals({{L"project.ico", test::solidIcon({16, 32}, 0xFF000000 | 0x2040C0)},
                   {L"movie.ico", test::solidIcon({16, 32}, 0xFF000000 | 0xE03010)}}));
  ASSERT_TRUE(projector.built());
  ASSERT_EQ(trayWindow(), nullptr) << "no icon before the projector runs";
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"shown\"", 30000));
  EXPECT_TRUE(test::pumpUntil([] { return findColourInTray(kProjectIcon).has_value(); }, 4000))
      << "the tray shows the project's icon";
  saveScreenshot(L"tray-project-icon");

  ASSERT_TRUE(endPhase(mainWindow, 1));
  ASSERT_TRUE(projector.waitFor("log \"movie icon\""));
  std::optional<POINT> icon;
  EXPECT_TRUE(test::pumpUntil([&] { return (icon = findColourInTray(kMovieIcon)).has_value(); }, 4000))
      << "the tray shows the movie's icon file";
  EXPECT_FALSE(findColourInTray(kProjectIcon)) << "in place of the project's";
  saveScreenshot(L"tray-movie-icon");
  ASSERT_TRUE(icon);

  ASSERT_TRUE(endPhase(mainWindow, 2));
  ASSERT_TRUE(projector.waitFor("log \"hinted\""));
  SetCursorPos(icon->x - 2, icon->y);
  SetCursorPos(icon->x, icon->y);
  EXPECT_TRUE(test::pumpUntil([] { return shownTooltip(false) != nullptr; }, 4000)) << "the hint shows over the icon";
  saveScreenshot(L"tray-hint");
  SetCursorPos(400, 400);

  ASSERT_TRUE(endPhase(mainWindow, 3));
  ASSERT_TRUE(projector.waitFor("log \"balloon\""));
  EXPECT_TRUE(test::pumpUntil([] { return shownTooltip(true) != nullptr; }, 4000)) << "the balloon shows";
  saveScreenshot(L"tray-balloon");
  // Wine's balloon does not report clicks to the icon's owner: the shell's notification for
  // one is sent as the shell would send it.
  SendMessageW(mainWindow, WM_USER + 1, 1, NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(projector.waitFor("setvariable \"vor.__callFunction\" \"onBalloonClick!}}v{}!", 5000))
      << "a balloon click calls the movie's function";

  ASSERT_TRUE(endPhase(mainWindow, 4));
  ASSERT_TRUE(projector.waitFor("log \"minimized\""));
  EXPECT_TRUE(test::pumpUntil([&] { return !IsWindowVisible(mainWindow); }, 4000)) << "the main form went to the tray";
  doubleClickAt(*icon);
  EXPECT_TRUE(test::pumpUntil([&] { return IsWindowVisible(mainWindow) && !IsIconic(mainWindow); }, 5000))
      << "a double click on the icon restores the main form";
  EXPECT_TRUE(projector.waitFor("vor.__dispatchEvent!}}v{}!AppRestore", 5000));

  ASSERT_TRUE(endPhase(mainWindow, 5));
  ASSERT_TRUE(projector.waitFor("log \"hidden\""));
  EXPECT_TRUE(test::pumpUntil([] { return trayWindow() == nullptr; }, 4000)) << "hideIcon takes the icon away";
  ASSERT_TRUE(endPhase(mainWindow, 6));
  EXPECT_EQ(projector.process().wait(30000), 0);
  for (const char* command : {"showIcon", "setIcon", "seticonHint", "showBalloon", "hideIcon"})
    EXPECT_EQ(answersTo(projector, command), std::vector<std::string>{"\"true\""}) << command;
}

// The bar appears with the first menu, the window growing so the movie keeps its size; each
// menu type adds its action to the click event; grayed and hidden items cannot be chosen.
TEST(Menus, TheMainMenuIsBuiltByTheMovieAndEachPickReachesItAsItsTypeSays) {
  auto main = [](const std::string& command, const std::string& arguments = "") {
    return menuCall("Main", command, arguments);
  };
  const std::string script = kListen + main("addMenu", "File") + main("addSeparator", "File") +
                             main("addItem", "File,@amp@Save As...") + main("addItem", "File,Grayed") +
                             main("addItem", "File,Hidden") + main("addSeparator", "File") +
                             main("addItem", "File,Checked") + main("enableItem", "File,@amp@Save As...") +
                             main("enableItem", "File,Checked") + main("checkItem", "File,Checked") +
                             main("hideItem", "File,Hidden") + main("setmenuType", "function") +
                             "log function\n" + awaitPhaseEnd(1) + main("setmenuType", "variable") +
                             "log variable\n" + awaitPhaseEnd(2) + main("setmenuType", "frame") +
                             "log frame\n" + awaitPhaseEnd(3) + kExit;
  FormsProjector projector({{L"main.swf", script, 9}}, projectJson(), withSignals());
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND window = projector.formWindow(L"main");
  ASSERT_NE(window, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"function\"", 30000));
  ASSERT_NE(GetMenu(window), nullptr) << "the first menu made the bar";
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, 120) << "the window grew by the bar, the movie's area kept its height";
  const POINT file = clientPoint(window, 12, -GetSystemMetrics(SM_CYMENU) / 2);
  auto openFile = [&] {
    clickAt(file);
    return test::pumpUntil([] { return shownPopupMenu() != nullptr; }, 5000);
  };

  // Function: the first item.
  ASSERT_TRUE(openFile()) << "a click on File opens it";
  saveScreenshot(L"main-menu-open");
  chooseInOpenMenu(1);
  EXPECT_TRUE(projector.waitFor(dispatched("MenuClick_Save_As___", "Menu.Main")));
  EXPECT_TRUE(projector.waitFor(called("onMenuClick_Save_As___", "true")));
  ASSERT_TRUE(endPhase(window, 1));

  // Variable: the third choosable item is Checked, Hidden being left out (a separator is never
  // stepped on).
  ASSERT_TRUE(projector.waitFor("log \"variable\""));
  ASSERT_TRUE(openFile());
  chooseInOpenMenu(3);
  EXPECT_TRUE(projector.waitFor(dispatched("MenuClick_Checked", "Menu.Main")));
  EXPECT_TRUE(projector.waitFor("setvariable \"menu_Checked\" \"true\""));
  ASSERT_TRUE(endPhase(window, 2));

  // Frame: the grayed item does nothing; the first one jumps to its label.
  ASSERT_TRUE(projector.waitFor("log \"frame\""));
  ASSERT_TRUE(openFile());
  chooseInOpenMenu(2);
  pressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
  ASSERT_TRUE(test::pumpUntil([] { return shownPopupMenu() == nullptr; }, 3000));
  ASSERT_TRUE(openFile());
  chooseInOpenMenu(1);
  EXPECT_TRUE(projector.waitFor("tgotolabel \"/\" \"Save_As___\""));
  ASSERT_TRUE(endPhase(window, 3));

  EXPECT_EQ(projector.process().wait(30000), 0);
  EXPECT_FALSE(transcriptHas(projector, "MenuClick_Grayed")) << "a grayed item cannot be chosen";
  EXPECT_FALSE(transcriptHas(projector, "MenuClick_Hidden"));
}

// A right click on the movie opens the application's context menu and not the player's as
// well; once the movie disables it, a right click opens no menu at all.
TEST(Menus, ARightClickOnTheMovieOpensTheContextMenuUntilTheMovieDisablesIt) {
  auto context = [](const std::string& command, const std::string& arguments = "") {
    return menuCall("Context", command, arguments);
  };
  const std::string script = kListen + context("addItem", "Copy") + context("addItem", "Paste (all)") +
                             context("setmenuType", "function") + "log built\n" + awaitPhaseEnd(1) +
                             context("disable") + "log disabled\n" + awaitPhaseEnd(2) + kExit;
  FormsProjector projector({{L"main.swf", script, 9}}, projectJson(), withSignals());
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND window = projector.formWindow(L"main");
  ASSERT_NE(window, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"built\"", 30000));
  const POINT movie = clientPoint(window, 120, 60);
  clickAt(movie, true);
  ASSERT_TRUE(test::pumpUntil([] { return shownPopupMenu() != nullptr; }, 5000)) << "the context menu opens";
  saveScreenshot(L"context-menu-open");
  chooseInOpenMenu(2);
  EXPECT_TRUE(projector.waitFor(dispatched("ContextMenuClick_Paste__all_", "Menu.Context")));
  EXPECT_TRUE(projector.waitFor(called("onContextMenuClick_Paste__all_", "true")));
  ASSERT_TRUE(endPhase(window, 1));

  ASSERT_TRUE(projector.waitFor("log \"disabled\""));
  clickAt(movie, true);
  EXPECT_FALSE(test::pumpUntil([] { return shownPopupMenu() != nullptr; }, 1500)) << "no menu at all";
  pressKeys({VK_ESCAPE});
  ASSERT_TRUE(endPhase(window, 2));
  EXPECT_EQ(projector.process().wait(30000), 0);
  // The player opens its own menu on a release it sees: one right click, one menu (or none).
  for (const std::string& line : projector.transcript())
    EXPECT_NE(line.rfind("menu ", 0), 0u) << "the player's menu opened as well: " << line;
}

// The tray menu opens on a right click on the icon; its type starts empty, so a pick sends only
// the event until the movie sets one.
TEST(Menus, ARightClickOnTheTrayIconOpensTheTrayMenuAndItsTypeStartsEmpty) {
  const std::string script = kListen + tray("showIcon") + tray("addItem", "Show") + tray("addSeparator") +
                             tray("addItem", "Quit") + "log untyped\n" + awaitPhaseEnd(1) +
                             tray("setmenuType", "function") + "log function\n" + awaitPhaseEnd(2) + kExit;
  FormsProjector projector({{L"main.swf", script, 9}}, projectJson(R"("trayIconImage": "project.ico", )"),
                           withSignals({{L"project.ico", test::solidIcon({16, 32}, 0xFF000000 | 0x2040C0)}}));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND window = projector.formWindow(L"main");
  ASSERT_NE(window, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"untyped\"", 30000));
  std::optional<POINT> icon;
  ASSERT_TRUE(test::pumpUntil([&] { return (icon = findColourInTray(kProjectIcon)).has_value(); }, 5000));
  clickAt(*icon, true);
  ASSERT_TRUE(test::pumpUntil([] { return shownPopupMenu() != nullptr; }, 5000)) << "the tray menu opens";
  saveScreenshot(L"tray-menu-open");
  chooseInOpenMenu(1);
  EXPECT_TRUE(projector.waitFor(dispatched("TrayMenuClick_Show", "Menu.Tray")));
  ASSERT_TRUE(endPhase(window, 1));

  ASSERT_TRUE(projector.waitFor("log \"function\""));
  clickAt(*icon, true);
  ASSERT_TRUE(test::pumpUntil([] { return shownPopupMenu() != nullptr; }, 5000));
  chooseInOpenMenu(2);
  EXPECT_TRUE(projector.waitFor(dispatched("TrayMenuClick_Quit", "Menu.Tray")));
  EXPECT_TRUE(projector.waitFor(called("onTrayMenuClick_Quit", "true")));
  ASSERT_TRUE(endPhase(window, 2));

  EXPECT_EQ(projector.process().wait(30000), 0);
  EXPECT_FALSE(transcriptHas(projector, "onTrayMenuClick_Show")) << "an empty tray type sends only the event";
}

}  // namespace
}  // namespace lumo::e2e

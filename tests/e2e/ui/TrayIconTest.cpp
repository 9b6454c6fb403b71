// The tray icon of a real projector: minimize to the tray hides the main form behind an icon
// in the shell's tray, a double click on the icon (its callback message, as the shell sends
// it) restores the form, and exitWithCode leaves no icon behind.
#include "forms/FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::e2e {
namespace {

const std::string kSep = "!}}v{}!";

std::string call(const std::string& command, const std::string& arguments) {
  return "call vor.Application." + command + " 0 \"<{lumo}>" + arguments + "\"\n";
}

// Wine's own tray window, shown while some icon is in it (there is no desktop tray here).
bool trayShowsAnIcon() {
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  return tray && IsWindowVisible(tray);
}

TEST(TrayIcon, MinimizeToTrayHidesTheFormADoubleClickRestoresItAndExitRemovesTheIcon) {
  // "exit ask" holds the movie in a box while the test restores the form; Cancel lets it go on.
  const std::string script = "wait 300\n" + call("minimizeToTray", "true") + call("minimize", "") +
                             "log minimized\n" + call("exit", "ask,restored") + call("exitWithCode", "3");
  FormsProjector projector({{L"main.swf", script, 9}},
                           R"({"title": "Tray", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "main", "width": 200, "height": 100, "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_FALSE(trayShowsAnIcon()) << "no icon before the projector runs";
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"minimized\""));
  EXPECT_FALSE(IsWindowVisible(mainWindow)) << "the main form went to the tray";
  EXPECT_TRUE(test::pumpUntil(trayShowsAnIcon, 5000)) << "the icon is in the tray";
  EXPECT_TRUE(projector.waitFor("vor.__dispatchEvent" + kSep + "AppMinimize"));

  // The shell's double click on icon 1; another icon id is not ours.
  SendMessageW(mainWindow, WM_USER + 1, 2, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(mainWindow));
  SendMessageW(mainWindow, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(test::pumpUntil([&] { return IsWindowVisible(mainWindow) && !IsIconic(mainWindow); }, 5000))
      << "a double click restores the main form";
  EXPECT_TRUE(projector.waitFor("vor.__dispatchEvent" + kSep + "AppRestore"));
  EXPECT_TRUE(trayShowsAnIcon()) << "restoring leaves the icon";

  ASSERT_TRUE(pressBoxButton(L"Information", IDCANCEL));
  EXPECT_EQ(projector.process().wait(30000), 3);
  EXPECT_TRUE(test::pumpUntil([] { return !trayShowsAnIcon(); }, 5000)) << "no dead icon after exitWithCode";
}

// The movie's own script clicks the icon in the shell's tray with real input, as a person would.
TEST(TrayIcon, ADoubleClickOnTheIconInTheTrayRestoresTheMainForm) {
  const std::string script = "wait 300\n" + call("minimizeToTray", "true") + call("minimize", "") +
                             "wait 1000\nuser tray double\nwait 3000\n" + call("exitWithCode", "4");
  FormsProjector projector({{L"main.swf", script, 9}},
                           R"({"title": "Tray", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "main", "width": 200, "height": 100, "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("vor.__dispatchEvent" + kSep + "AppMinimize"));
  EXPECT_TRUE(projector.waitFor("user tray double -> tray")) << "the icon was clicked in the tray";
  EXPECT_TRUE(projector.waitFor("vor.__dispatchEvent" + kSep + "AppRestore")) << "the double click restored the form";
  HWND mainWindow = projector.formWindow(L"main");
  EXPECT_TRUE(mainWindow && IsWindowVisible(mainWindow));
  EXPECT_EQ(projector.process().wait(30000), 4);
}

// The project's start-up settings: the icon is in the tray before the movie asks for anything,
// and a frameless main form without a taskbar button is a tool window.
TEST(TrayIcon, TrayIconAtStartShowsTheIconAndShowInTaskbarOffMakesTheMainFormAToolWindow) {
  FormsProjector projector({{L"main.swf", "log started\n", 9}},
                           R"({"title": "Tray", "trayIconAtStart": true, "showInTaskbar": false,
                               "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main",
                                          "borderStyle": "none", "width": 200, "height": 100,
                                          "visibleAtStart": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_FALSE(trayShowsAnIcon()) << "no icon before the projector runs";
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);
  ASSERT_TRUE(projector.waitFor("log \"started\""));
  EXPECT_TRUE(test::pumpUntil(trayShowsAnIcon, 5000)) << "the icon is in the tray from the start";
  EXPECT_TRUE(test::pumpUntil(
      [&] { return (GetWindowLongPtrW(mainWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && IsWindowVisible(mainWindow); },
      5000))
      << "the main form has no taskbar button and is shown again";
  ASSERT_TRUE(projector.process().postQuit());
  EXPECT_EQ(projector.process().wait(15000), 0);
  EXPECT_TRUE(test::pumpUntil([] { return !trayShowsAnIcon(); }, 5000)) << "a normal end removes the icon";
}

}  // namespace
}  // namespace lumo::e2e

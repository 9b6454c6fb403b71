// Minimizing to the tray in real projectors: a person's click on the minimize box of a
// minimizeToTray application leaves only the tray icon, and minimizing to the tray again after
// the movie hid the icon brings the icon back instead of an error box.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lumo::e2e {
namespace {

std::string call(const std::string& command, const std::string& arguments = "") {
  return "call vor.Application." + command + " 0 \"<{lumo}>" + arguments + "\"\n";
}

const std::string kProject = R"({"title": "Tray", "menuExtension": true, "forms": [{"name": "main",
    "movie": "main.swf", "windowTitle": "main", "x": 200, "y": 150, "width": 240, "height": 120,
    "visibleAtStart": true, "popupFrame": false, "systemMenu": true, "minimizeBox": true, "maximizeBox": true}]})";

// Wine's own tray window, shown while some icon is in it (there is no desktop tray here).
bool trayShowsAnIcon() {
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  return tray && IsWindowVisible(tray);
}

// Waits until the form window has handled everything before this call.
void settle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

// The screen point of the window's minimize box, as its own hit test answers.
std::optional<POINT> minimizeBox(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  for (int y = r.top + 1; y < r.top + 48 && y < r.bottom; y += 2)
    for (int x = r.right - 2; x > r.left; x -= 2) {
      DWORD_PTR hit = 0;
      if (!SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 2000, &hit)) return std::nullopt;
      if (hit == HTMINBUTTON) return POINT{x, y};
    }
  return std::nullopt;
}

// Restores the form from its icon, as a double click on it does, and closes it.
void restoreAndClose(FormsProjector& projector, HWND mainWindow) {
  SendMessageW(mainWindow, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
  PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(projector.process().wait(30000), 0);
  EXPECT_TRUE(test::pumpUntil([] { return !trayShowsAnIcon(); }, 5000)) << "no icon left after the exit";
}

TEST(ApplicationTray, AClickOnTheMinimizeBoxHidesTheFormBehindTheTrayIconOnly) {
  FormsProjector projector({{L"main.swf", call("minimizeToTray", "true") + "log armed\n"}}, kProject);
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);
  ASSERT_TRUE(projector.waitFor("log \"armed\""));
  const std::optional<POINT> box = minimizeBox(mainWindow);
  ASSERT_TRUE(box) << "the form shows no minimize box";

  clickAt(*box);
  ASSERT_TRUE(projector.waitFor("vor.__dispatchEvent!}}v{}!AppMinimize"));
  settle(mainWindow);
  EXPECT_FALSE(IsWindowVisible(mainWindow)) << "the form is shown minimized beside its tray icon";
  EXPECT_TRUE(test::pumpUntil(trayShowsAnIcon, 5000)) << "the icon is in the tray";
  restoreAndClose(projector, mainWindow);
}

TEST(ApplicationTray, MinimizingToTheTrayAfterTheMovieHidTheIconShowsItAgain) {
  const std::string script = call("minimizeToTray", "true") + call("minimize") + call("restore") +
                             "call vor.Menu.Tray.hideIcon 0 \"<{lumo}>\"\n" + call("minimize") + "log again\n";
  FormsProjector projector({{L"main.swf", script}}, kProject);
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);
  if (!projector.waitFor("log \"again\"")) {
    ADD_FAILURE() << "the second minimize did not return";
    EXPECT_FALSE(pressBoxButton(L"ERROR", IDOK, 5000)) << "it showed \"Unable to Set Tray Icon\"";
    ASSERT_TRUE(projector.waitFor("log \"again\""));
  }
  settle(mainWindow);
  EXPECT_FALSE(IsWindowVisible(mainWindow)) << "the form went to the tray";
  EXPECT_TRUE(test::pumpUntil(trayShowsAnIcon, 5000)) << "the icon is back in the tray";
  restoreAndClose(projector, mainWindow);
}

}  // namespace
}  // namespace lumo::e2e

// The tray icon driven by a movie through the standard menu extension (Menu.Tray, packed with
// "menuExtension"): the icon appears in the shell's tray with the project's picture, takes the
// movie's icon file, shows the movie's hint under the pointer and its balloon, whose click
// calls the movie's function, and goes away. Real pointer input and screenshots, so alone.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "IconFixture.h"

namespace lumo::e2e {
namespace {

std::string tray(const std::string& command, const std::string& arguments = "") {
  return "call vor.Menu.Tray." + command + " 0 \"<{lumo}>" + arguments + "\"\n";
}

bool waitUntil(const auto& condition, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
    if (condition()) return true;
  return condition();
}

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
  const std::string pause = "wait 5000\n";
  const std::string script = tray("showIcon") + "log shown\n" + pause +
                             tray("setIcon", "movie.ico") + "log movie icon\n" + pause +
                             tray("seticonHint", "Museum guide") + "log hinted\n" + pause +
                             tray("showBalloon", "Lumo,Still running,info,8000,onBalloonClick") +
                             "log balloon\n" + pause +
                             "call vor.Application.minimizeToTray 0 \"<{lumo}>true\"\n"
                             "call vor.Application.minimize 0 \"<{lumo}>\"\nlog minimized\nwait 8000\n" +
                             tray("hideIcon") + "log hidden\n" + pause +
                             "call vor.Application.exitWithCode 0 \"<{lumo}>0\"\n";
  FormsProjector projector(
      {{L"main.swf", script, 9}},
      R"({"title": "Tray", "menuExtension": true, "trayIconImage": "project.ico",
          "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main", "width": 200, "height": 100,
                     "visibleAtStart": true}]})",
      {{L"project.ico", test::solidIcon({16, 32}, 0xFF000000 | 0x2040C0)},
       {L"movie.ico", test::solidIcon({16, 32}, 0xFF000000 | 0xE03010)}});
  ASSERT_TRUE(projector.built());
  ASSERT_EQ(trayWindow(), nullptr) << "no icon before the projector runs";
  ASSERT_TRUE(projector.start());
  HWND mainWindow = projector.formWindow(L"main");
  ASSERT_NE(mainWindow, nullptr);

  ASSERT_TRUE(projector.waitFor("log \"shown\"", 30000));
  EXPECT_TRUE(waitUntil([] { return findColourInTray(kProjectIcon).has_value(); }, 4000))
      << "the tray shows the project's icon";
  saveScreenshot(L"tray-project-icon");

  ASSERT_TRUE(projector.waitFor("log \"movie icon\""));
  std::optional<POINT> icon;
  EXPECT_TRUE(waitUntil([&] { return (icon = findColourInTray(kMovieIcon)).has_value(); }, 4000))
      << "the tray shows the movie's icon file";
  EXPECT_FALSE(findColourInTray(kProjectIcon)) << "in place of the project's";
  saveScreenshot(L"tray-movie-icon");
  ASSERT_TRUE(icon);

  ASSERT_TRUE(projector.waitFor("log \"hinted\""));
  SetCursorPos(icon->x - 2, icon->y);
  SetCursorPos(icon->x, icon->y);
  EXPECT_TRUE(waitUntil([] { return shownTooltip(false) != nullptr; }, 4000)) << "the hint shows over the icon";
  saveScreenshot(L"tray-hint");
  SetCursorPos(400, 400);

  ASSERT_TRUE(projector.waitFor("log \"balloon\""));
  EXPECT_TRUE(waitUntil([] { return shownTooltip(true) != nullptr; }, 4000)) << "the balloon shows";
  saveScreenshot(L"tray-balloon");
  // Wine's balloon does not report clicks to the icon's owner: the shell's notification for
  // one is sent as the shell would send it.
  SendMessageW(mainWindow, WM_USER + 1, 1, NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(projector.waitFor("setvariable \"vor.__callFunction\" \"onBalloonClick!}}v{}!", 5000))
      << "a balloon click calls the movie's function";

  ASSERT_TRUE(projector.waitFor("log \"minimized\""));
  EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(mainWindow); }, 4000)) << "the main form went to the tray";
  doubleClickAt(*icon);
  EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(mainWindow) && !IsIconic(mainWindow); }, 5000))
      << "a double click on the icon restores the main form";
  EXPECT_TRUE(projector.waitFor("vor.__dispatchEvent!}}v{}!AppRestore", 5000));

  ASSERT_TRUE(projector.waitFor("log \"hidden\"", 20000));
  EXPECT_TRUE(waitUntil([] { return trayWindow() == nullptr; }, 4000)) << "hideIcon takes the icon away";
  EXPECT_EQ(projector.process().wait(30000), 0);
  for (const char* command : {"showIcon", "setIcon", "seticonHint", "showBalloon", "hideIcon"})
    EXPECT_EQ(answersTo(projector, command), std::vector<std::string>{"\"true\""}) << command;
}

}  // namespace
}  // namespace lumo::e2e

// Screensaver projectors under real input: mouse moves and key presses given through
// SendInput, as a person's would come, end the screensaver; /p shows it inside another window,
// which then hears the exit notification, and /c only tells that there is nothing to set.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo::e2e {
namespace {

void send(INPUT input) { ASSERT_EQ(SendInput(1, &input, sizeof input), 1u); }

void moveTo(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Normalised coordinates rounded up, so that they land on exactly this pixel.
  input.mi.dx = (x * 65536 + width - 1) / width;
  input.mi.dy = (y * 65536 + height - 1) / height;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  send(input);
  test::pumpFor(300);
}

// A relative move: with dy 0 the pointer stays on its line whatever the acceleration.
void moveBy(int dx, int dy) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  send(input);
  test::pumpFor(300);
}

void click() {
  for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    send(input);
  }
  test::pumpFor(300);
}

void pressKey(WORD key) {
  for (DWORD flags : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    send(input);
  }
  test::pumpFor(300);
}

std::string saver(const std::string& title, const std::string& extraFormKeys = {}) {
  return R"({"title": ")" + title + R"(", "projectMode": "screensaver",
             "forms": [{"name": "main", "movie": "main.swf", "windowTitle": ")" + title + R"(",
                        "x": 200, "y": 200, "width": 300, "height": 200, "visibleAtStart": true)" +
         extraFormKeys + "}]}";
}

TEST(ScreensaverE2E, AMouseMoveAlongBothAxesEndsItAndOneAlongOneAxisDoesNot) {
  moveTo(5, 5);  // away from where the form will be: its first move is ours
  FormsProjector projector({{L"main.swf", "log ready\n"}}, saver("SaverMouse"));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_NE(projector.formWindow(L"SaverMouse"), nullptr);
  ASSERT_TRUE(projector.waitFor("log \"ready\""));

  moveTo(350, 300);  // the first position over the form
  moveBy(30, 0);
  moveBy(-15, 0);
  EXPECT_FALSE(projector.process().wait(700).has_value()) << "a move along one axis keeps it running";
  moveBy(20, 20);
  EXPECT_EQ(projector.process().wait(15000), 0);
  EXPECT_TRUE(projector.privateFolders().empty()) << "it ended as a user close does, folder removed";
}

TEST(ScreensaverE2E, AKeyEndsItWhenTheMovieAsksForKeysAndNotMouseMoves) {
  moveTo(5, 5);
  const std::string script =
      "call vor.Application.Screensaver.mouseMoveExits 0 \"<{lumo}>false\"\n"
      "call vor.Application.Screensaver.keyPressExits 0 \"<{lumo}>true\"\nlog ready\n";
  FormsProjector projector({{L"main.swf", script}}, saver("SaverKey"));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start(L"/S"));
  ASSERT_NE(projector.formWindow(L"SaverKey"), nullptr);
  ASSERT_TRUE(projector.waitFor("log \"ready\""));

  // Moves and a click (which gives the movie the keyboard) no longer end it.
  moveTo(350, 300);
  moveBy(20, 20);
  click();
  EXPECT_FALSE(projector.process().wait(700).has_value());
  EXPECT_TRUE(projector.waitFor("mouse left down", 5000)) << "the click reached the movie";
  pressKey(VK_SPACE);
  EXPECT_EQ(projector.process().wait(15000), 0);
  EXPECT_TRUE(projector.privateFolders().empty());
}

TEST(ScreensaverE2E, WithTheExitHandlerALeftClickBecomesTheExitEventsAndTheMovieDecides) {
  moveTo(5, 5);
  // The movie decides once it heard both events, each a legacy call and a dispatcher call.
  const std::string script = "call vor.Application.enableExitHandler 0 \"<{lumo}>\"\nwatch vor.__callFunction\n"
                             "log ready\nwait-for vor.__callFunction 4 30000\nlog decides\n"
                             "call vor.Application.exitWithCode 0 \"<{lumo}>6\"\ncall vor.Application.exit 0 \"<{lumo}>\"\n";
  FormsProjector projector({{L"main.swf", script}}, saver("SaverHandler"));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_NE(projector.formWindow(L"SaverHandler"), nullptr);
  ASSERT_TRUE(projector.waitFor("log \"ready\""));
  moveTo(350, 300);
  click();  // left button mode "send": a click ends a screensaver as a move does
  const std::string appExit = "setvariable \"vor.__callFunction\" \"onAppExit!}}v{}!true\"";
  const std::string formClose = "setvariable \"vor.__callFunction\" \"onFormClose!}}v{}!true\"";
  EXPECT_TRUE(projector.waitFor(appExit, 5000));
  EXPECT_TRUE(projector.waitFor(formClose, 1000));
  EXPECT_EQ(projector.process().wait(30000), 6);
  // The handler kept the window: the movie was still there after the events to decide.
  const auto lines = projector.transcript();
  const auto at = [&lines](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
  EXPECT_LT(at(appExit), at(formClose));
  EXPECT_LT(at(formClose), at("log \"decides\""));
  EXPECT_LT(at("log \"decides\""), static_cast<long>(lines.size()));
}

// The window a screensaver's settings page gives with /p: it counts the exit notifications.
int notifications = 0;
LRESULT CALLBACK previewWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE && wParam == 0 && lParam == 0) ++notifications;
  return DefWindowProcW(window, message, wParam, lParam);
}

// With a preview movie the preview plays it; a screensaver without one plays its main movie.
struct PreviewCase {
  const char* name;
  std::string formKeys;
  std::string shown, notShown;  // the movies' logs
};

void PrintTo(const PreviewCase& c, std::ostream* os) { *os << c.name; }

class ScreensaverPreview : public testing::TestWithParam<PreviewCase> {};

TEST_P(ScreensaverPreview, RunsInsideTheGivenWindowNotifiesItAndEndsWithIt) {
  const PreviewCase& c = GetParam();
  moveTo(5, 5);
  WNDCLASSW wc{};
  wc.lpfnWndProc = previewWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoPreviewHost";
  RegisterClassW(&wc);
  HWND host = CreateWindowW(wc.lpszClassName, L"Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 320, 240,
                            nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  notifications = 0;
  FormsProjector projector({{L"main.swf", "log full movie\n"}, {L"preview.swf", "log preview movie\n"}},
                           saver("SaverPreview", c.formKeys));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start(L"/p " + std::to_wstring(reinterpret_cast<ULONG_PTR>(host))));

  HWND form = nullptr;
  ASSERT_TRUE(test::pumpUntil([&] { return (form = FindWindowExW(host, nullptr, L"VORLUMO3WINDOW", nullptr)); }, 20000))
      << "the main form is a child of the preview window";
  ASSERT_TRUE(test::pumpUntil([&] { return projector.waitFor("log \"" + c.shown + "\"", 0); }, 15000))
      << "the preview does not play the " << c.shown;
  RECT area{};
  GetWindowRect(form, &area);
  RECT client{};
  GetClientRect(host, &client);
  EXPECT_EQ(area.right - area.left, client.right) << "it fills the preview window";

  moveTo(area.left + 40, area.top + 40);
  moveBy(20, 20);
  EXPECT_TRUE(test::pumpUntil([] { return notifications > 0; }, 5000)) << "the preview window hears the exit";
  EXPECT_TRUE(projector.process().running()) << "a preview ends with its window, not on input";

  DestroyWindow(host);
  EXPECT_TRUE(test::pumpUntil([&] { return !projector.process().running(); }, 15000));
  EXPECT_EQ(projector.process().wait(0), 0);
  const auto lines = projector.transcript();
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "log \"" + c.notShown + "\""), lines.end());
}

INSTANTIATE_TEST_SUITE_P(
    Screensaver, ScreensaverPreview,
    testing::Values(PreviewCase{"WithAPreviewMovie", R"(, "previewMovie": "preview.swf")", "preview movie", "full movie"},
                    PreviewCase{"WithoutAPreviewMovie", "", "full movie", "preview movie"}),
    [](const testing::TestParamInfo<PreviewCase>& info) { return std::string(info.param.name); });

TEST(ScreensaverE2E, ConfigureShowsThatThereIsNothingToSetAndEnds) {
  FormsProjector projector({{L"main.swf", "log full movie\n"}}, saver("SaverSettings"));
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start(L"/c:0"));
  const UiResult box = uidriver(L"text --title SaverSettings --control 65535 --timeout 20000");
  ASSERT_EQ(box.exitCode, 0);
  EXPECT_NE(box.output.find("no settings"), std::string::npos) << box.output;
  EXPECT_EQ(FindWindowW(L"VORLUMO3WINDOW", nullptr), nullptr) << "no form runs";
  ASSERT_EQ(uidriver(L"close --title SaverSettings --control 65535").exitCode, 0);
  EXPECT_EQ(projector.process().wait(15000), 0);
  EXPECT_TRUE(projector.transcript().empty());
}

}  // namespace
}  // namespace lumo::e2e

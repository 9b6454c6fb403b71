// The splash window of a real projector: centred, topmost, its picture stretched over it for
// the display time, before the main form; its events wait until the main form's movie listens.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

const std::string kSep = "!}}v{}!";

// A 24-bit bitmap file of 2 x 1 pixels: blue on the left, yellow on the right.
std::string twoColourBitmap() {
  std::string file(54 + 8, '\0');
  auto put32 = [&file](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 1);
  file[26] = 1;
  file[28] = 24;
  put32(34, 8);
  const unsigned char pixels[] = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF};  // BGR blue, BGR yellow
  std::copy(std::begin(pixels), std::end(pixels), file.begin() + 54);
  return file;
}

HWND waitForWindow(const wchar_t* windowClass, const wchar_t* title, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20))
    if (HWND window = FindWindowW(windowClass, title)) return window;
  return nullptr;
}

long lineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
  return -1;
}

TEST(SplashWindow, ShowsItsPictureCentredForItsTimeThenTheMainFormHearsSplashClosed) {
  // An ActionScript 3 movie: it hears events once it has reported vor.flash9ready.
  const std::string script =
      "log main movie\n"
      "callback VORAS3EVENTCALLBACK\n"
      "call vor.flash9ready 0 \"<{lumo}>\"\n";
  FormsProjector projector({{L"main.swf", script, 9, "--background FF0000 --size 200x100"}},
                           R"({"title": "Splash", "splashEnabled": true, "splashWidth": 300, "splashHeight": 150,
                               "splashDuration": 3000, "splashImage": "splash.bmp",
                               "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main",
                                          "width": 200, "height": 100, "visibleAtStart": true}]})",
                           {{L"splash.bmp", twoColourBitmap()}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());

  HWND splash = waitForWindow(L"VORLUMO3SPLASHWINDOW", nullptr, 15000);
  ASSERT_NE(splash, nullptr);
  const DWORD shownAt = GetTickCount();
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT r{};
  // It is placed and painted on its own time: wait until both halves show where it stands (the
  // checks below say what is missing when they never do).
  test::pumpUntil([&] {
    GetWindowRect(splash, &r);
    return screenPixel(r.left + 20, r.top + 20) == RGB(0, 0, 255) &&
           screenPixel(r.right - 20, r.top + 20) == RGB(255, 255, 0);
  }, 2000);
  EXPECT_EQ(r.left, screenWidth / 2 - 150);
  EXPECT_EQ(r.top, screenHeight / 2 - 75);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 150);
  EXPECT_TRUE(GetWindowLongPtrW(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(splash, GWL_STYLE)) & (WS_POPUP | WS_CAPTION), DWORD{WS_POPUP});
  // The 2 x 1 picture is stretched over the whole window: each half shows one colour.
  EXPECT_EQ(screenPixel(r.left + 20, r.top + 20), RGB(0, 0, 255));
  EXPECT_EQ(screenPixel(r.left + 70, r.bottom - 20), RGB(0, 0, 255));
  EXPECT_EQ(screenPixel(r.right - 20, r.top + 20), RGB(255, 255, 0));
  EXPECT_EQ(screenPixel(r.right - 70, r.bottom - 20), RGB(255, 255, 0));
  EXPECT_EQ(FindWindowW(L"VORLUMO3WINDOW", L"main"), nullptr) << "the main form waits for the splash";

  HWND mainWindow = projector.formWindow(L"main", 20000);
  ASSERT_NE(mainWindow, nullptr);
  EXPECT_GE(GetTickCount() - shownAt, 2500u) << "the splash stays for its display time";
  EXPECT_FALSE(IsWindow(splash)) << "the splash is gone before the main form is made";

  // The events wait until the movie listens, then come once: the legacy call through the AS3
  // callback, then the dispatcher.
  ASSERT_TRUE(projector.waitFor("vor.__dispatchEvent" + kSep + "SplashClosed"));
  const auto lines = projector.transcript();
  const long ready = lineStarting(lines, "call vor.flash9ready");
  const long legacy = lineStarting(lines, "callfunction \"" + transcriptQuoted("<invoke name=\"VORAS3EVENTCALLBACK\">"
                                                                               "<arguments><string>onSplashClosed" +
                                                                               kSep));
  const long dispatched = lineStarting(lines, "setvariable \"vor.__callFunction\" \"vor.__dispatchEvent" + kSep +
                                                  "SplashClosed" + kSep + "Application" + kSep + kSep +
                                                  "status<{z}>true\"");
  ASSERT_NE(ready, -1);
  ASSERT_NE(legacy, -1);
  ASSERT_NE(dispatched, -1);
  EXPECT_GT(legacy, ready) << "nothing reaches the movie before it listens";
  EXPECT_EQ(dispatched, legacy + 1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("onSplashClosed") != std::string::npos; }),
            1);
  projector.process().kill();
}

}  // namespace
}  // namespace lumo::e2e

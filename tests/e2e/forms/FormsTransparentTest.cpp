// A transparent form on the screen: what lies behind shows through the movie's stage, its shapes
// cover it, and a real click reaches the movie only on a painted pixel.
#include "Backdrop.h"
#include "FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::e2e {
namespace {

using test::pumpUntil;

constexpr COLORREF kBackdrop = RGB(255, 255, 0);


// Waits, serving the backdrop's repaints, until the screen shows `colour` at x, y.
bool screenShows(int x, int y, COLORREF colour) {
  return pumpUntil([&] { return screenPixel(x, y) == colour; }, 10000);
}

// A click of the display's own pointer (XTest), as a person's mouse gives it. Wine's server
// routes SendInput by its own hit test, which never picks a window drawn by UpdateLayeredWindow;
// the X server delivers to the window on the screen, as Windows does.
void clickAt(int x, int y) {
  std::wstring command = L"Z:\\usr\\bin\\xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) +
                         L" click 1";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process))
      << "xdotool: " << GetLastError();
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  test::pumpFor(300);
}

TEST(FormsTransparent, TheStageShowsWhatIsBehindAndOnlyPaintedPixelsTakeClicks) {
  // Form at 300, 200 sized 320 x 240; the movie paints one red square at stage 100, 100.
  test::Backdrop backdrop(250, 150, 420, 340, kBackdrop);
  FormsProjector projector(
      {{L"shape.swf", "draw rect 100 100 60 60 FF0000 255\nlog drawn\n", 9, "--size 320x240"}},
      R"({"title": "Transparent", "forms": [
         {"name": "main", "windowTitle": "see-through", "movie": "shape.swf", "x": 300, "y": 200,
          "width": 320, "height": 240, "visibleAtStart": true, "windowKind": "transparent", "alpha": 255,
          "scaleEnabled": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"drawn\""));
  // The form window itself is fully transparent (alpha 0) and only carries the caption and the
  // focus; Wine on a server without compositor draws it opaque, which Windows never does, so it
  // is put out of the picture here.
  HWND form = projector.formWindow(L"see-through");
  ASSERT_NE(form, nullptr);
  ShowWindow(form, SW_HIDE);

  EXPECT_TRUE(screenShows(430, 330, RGB(255, 0, 0))) << "the movie's opaque square";
  EXPECT_TRUE(screenShows(320, 420, kBackdrop)) << "the backdrop through the transparent stage, not "
                                                << std::hex << screenPixel(320, 420);
  EXPECT_TRUE(screenShows(600, 220, kBackdrop)) << std::hex << screenPixel(600, 220);

  clickAt(320, 420);  // stage 20, 220: transparent
  clickAt(430, 330);  // stage 130, 130: the square
  EXPECT_TRUE(projector.waitFor("mouse left down 130 130"));
  for (const std::string& line : projector.transcript())
    EXPECT_EQ(line.find("mouse left down 20 220"), std::string::npos) << "a click through the stage reached the movie";
  projector.process().kill();
}

}  // namespace
}  // namespace lumo::e2e

// Real input reaching a movie in a projector: a static text and a text field of a system font
// are on the screen, a click focuses the field, typed keys become the field's variable, and
// clicks on a button run its action: the first hands the variable to the runtime and clears it
// (the field follows and shows nothing), the next ends the run with an exit code.
#include "FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

using test::pumpUntil;

// The button's release action, as ActionScript would have it:
//   if (typed != "") {
//     ExternalInterface.call("vor.Application.settitle", "0", "<{lumo}>" + typed);
//     typed = "";
//   } else {
//     ExternalInterface.call("vor.Application.exitWithCode", "0", "<{lumo}>7");
//   }
constexpr const char* kReleaseAction =
    "960700007479706564001C9602000000499D02008500961100003C7B6C756D6F7D3E00007479706564001C479629000030"
    "0000766F722E4170706C69636174696F6E2E7365747469746C6500070300000000666C617368001C960A000065787465726E"
    "616C004E9613000045787465726E616C496E74657266616365004E9606000063616C6C0052179609000074797065640000"
    "001D9902006F00960B00003C7B6C756D6F7D3E3700962D0000300000766F722E4170706C69636174696F6E2E65786974"
    "57697468436F646500070300000000666C617368001C960A000065787465726E616C004E9613000045787465726E616C49"
    "6E74657266616365004E9606000063616C6C00521700";

// Stage 240 x 160: the field at (10, 10) 200 x 30, the static text at (10, 50), the button at
// (60, 100) 100 x 40; a shape drawn above the button's lower half does not hide it from the
// pointer.
std::string scene() {
  return std::string(R"(shape 1 rect 0 0 100 40 fill 2060C0
shape 5 rect 0 0 100 20 fill 80808040
button 2
  state up,over,down,hit 1 depth 1
  on release )") + kReleaseAction + R"(
end
font 3 _sans device
field 4 0 0 200 30 font 3 size 16 var typed border
font 6 Blocks
text 7 6 20 000000 LUMO
place 4 depth 1 at 10 10
place 2 depth 2 at 60 100
place 5 depth 3 at 60 120
place 7 depth 4 at 10 50
)";
}

// How many pixels of the screen rectangle are dark (every channel below 100): text, and not
// the white field, the blue button or the stage.
int darkPixels(const RECT& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFOHEADER header{sizeof(header), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, previous);
  const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                             reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return -1;
  int dark = 0;
  for (const RGBQUAD& p : pixels)
    if (p.rgbRed < 100 && p.rgbGreen < 100 && p.rgbBlue < 100) ++dark;
  return dark;
}

TEST(FormsInput, TextShowsTypedKeysReachTheMovieAndClicksOnTheButtonRunItsAction) {
  // A click beside the button first: nothing may run from it.
  const std::string script =
      "log started\n"
      "user click left 30 130\n"
      "user click left 50 25\n"
      "user type hello\n"
      "user key 8\n"
      "user type p\n"
      "log typed\n";
  FormsProjector projector({{L"input.swf", script, 8, "--size 240x160 --rate 12 --scene scene.txt"}},
                           R"({"title": "Input", "forms": [
                              {"name": "main", "windowTitle": "input", "movie": "input.swf", "x": 200, "y": 150,
                               "width": 240, "height": 160, "visibleAtStart": true}]})",
                           {{L"scene.txt", scene()}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"typed\"", 30000));
  HWND form = projector.formWindow(L"input");
  ASSERT_NE(form, nullptr);
  POINT origin{0, 0};  // the player fills the form's client area
  ClientToScreen(form, &origin);
  auto box = [&](int x, int y, int w, int h) { return RECT{origin.x + x, origin.y + y, origin.x + x + w, origin.y + y + h}; };
  // Inside the borders: the field's text and the static text's blocks.
  const RECT field = box(13, 13, 194, 24), staticText = box(10, 50, 60, 20);
  const auto fieldShowsText = [&] { return darkPixels(field) > 20; };
  const auto staticTextShows = [&] { return darkPixels(staticText) > 100; };
  EXPECT_TRUE(pumpUntil(fieldShowsText, 10000)) << "the typed text in the system's font";
  EXPECT_TRUE(pumpUntil(staticTextShows, 10000)) << "the static text in its embedded font";

  clickAt(POINT{origin.x + 110, origin.y + 130});
  EXPECT_TRUE(projector.waitFor("vor.Application.settitle \"0\" \"<{lumo}>hellp\""))
      << "the typed text, Backspace applied, reaches the movie's variable";
  EXPECT_TRUE(pumpUntil([&] { return darkPixels(field) == 0; }, 10000))
      << "the field follows its variable, cleared by the movie";
  EXPECT_TRUE(staticTextShows());

  clickAt(POINT{origin.x + 110, origin.y + 130});
  EXPECT_EQ(projector.process().wait(30000), 7) << "the second click's action ends the run";
  int titles = 0, exits = 0;
  for (const std::string& line : projector.transcript()) {
    if (line.find("vor.Application.settitle") != std::string::npos) ++titles;
    if (line.find("vor.Application.exitWithCode") != std::string::npos) ++exits;
  }
  EXPECT_EQ(titles, 1) << "the click beside the button ran nothing";
  EXPECT_EQ(exits, 1);
  if (HasFailure()) {
    saveScreenshot(L"FormsInput");
    projector.process().kill();
  }
}

}  // namespace
}  // namespace lumo::e2e

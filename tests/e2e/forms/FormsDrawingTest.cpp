// A movie drawn by the player on the screen, in an opaque form and in a transparent one: a
// gradient, a bitmap, a sprite moving over its frames and a masked shape, made by lumo-movie's
// scene text, at the pixels expected.
#include "Backdrop.h"
#include "FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::e2e {
namespace {

using test::pumpUntil;

// Stage 240 x 160.
constexpr const char* kScene = R"(# a bar from red to blue
shape 1 rect 10 10 100 40 fill linear 0:FF0000 255:0000FF
# four bitmap pixels, each 20 x 20 on the stage
bitmap 2 2 2 FF0000 00FF00 0000FF FFFF00
shape 3 rect 130 10 40 40 fill bitmap 2 hard
# a square that a sprite moves 40 pixels a frame
shape 4 rect 0 0 20 20 fill FF00FF
sprite 5
  place 4 depth 1
  frame
  move depth 1 at 40 0
  frame
  move depth 1 at 80 0
end
# a green square seen only through a round mask
shape 6 ellipse 200 110 20 20 fill 000000
shape 7 rect 170 80 60 60 fill 00FF00
place 1 depth 1
place 3 depth 2
place 5 depth 3 at 10 70
place 6 depth 4 clip 5
place 7 depth 5
)";

constexpr COLORREF kBackdrop = RGB(255, 255, 0);

COLORREF waitForColour(POINT p, COLORREF colour) {
  pumpUntil([&] { return screenPixel(p.x, p.y) == colour; }, 10000);
  return screenPixel(p.x, p.y);
}

// The checks both forms share; `origin` is the stage's top left on the screen, `behind` what a
// pixel the movie does not cover shows. Exact colours are waited for (a mismatch shows after the
// wait's timeout), so a late repaint is not taken for a wrong one.
void expectTheMovie(POINT origin, COLORREF behind) {
  auto at = [&](int x, int y) { return POINT{origin.x + x, origin.y + y}; };
  // The screen settles first: the movie painted, and what lies behind repainted by its owner
  // (this thread's messages run meanwhile).
  EXPECT_EQ(behind, waitForColour(at(230, 10), behind)) << "the stage";
  // The bitmap's pixels, drawn without smoothing: each exact.
  EXPECT_EQ(RGB(255, 0, 0), waitForColour(at(140, 20), RGB(255, 0, 0)));
  EXPECT_EQ(RGB(0, 255, 0), waitForColour(at(160, 20), RGB(0, 255, 0)));
  EXPECT_EQ(RGB(0, 0, 255), waitForColour(at(140, 40), RGB(0, 0, 255)));
  EXPECT_EQ(RGB(255, 255, 0), waitForColour(at(160, 40), RGB(255, 255, 0)));
  // The gradient: red at its left end, blue at its right, both halves in the middle.
  struct {
    int x, red, blue;
  } ramp[] = {{12, 250, 5}, {60, 128, 128}, {108, 5, 250}};
  for (const auto& r : ramp) {
    COLORREF c = screenPixel(at(r.x, 30).x, at(r.x, 30).y);
    EXPECT_NEAR(GetRValue(c), r.red, 16) << "gradient at " << r.x;
    EXPECT_NEAR(GetBValue(c), r.blue, 16) << "gradient at " << r.x;
    EXPECT_EQ(GetGValue(c), 0) << "gradient at " << r.x;
  }
  // The mask: the green square shows inside the circle only.
  EXPECT_EQ(RGB(0, 255, 0), waitForColour(at(200, 110), RGB(0, 255, 0)));
  EXPECT_EQ(behind, waitForColour(at(175, 85), behind)) << "a masked-off corner";
  // The sprite's square comes to each of its three places in turn.
  for (int x : {20, 60, 100})
    EXPECT_EQ(RGB(255, 0, 255), waitForColour(at(x, 80), RGB(255, 0, 255))) << "the square at stage x " << x;
}

FormsProjector::Movie sceneMovie() {
  return {L"scene.swf", "log started\n", 8, "--size 240x160 --rate 8 --scene scene.txt"};
}

TEST(FormsDrawing, AnOpaqueFormShowsTheMovie) {
  FormsProjector projector({sceneMovie()},
                           R"({"title": "Drawing", "forms": [
                              {"name": "main", "windowTitle": "drawn", "movie": "scene.swf", "x": 200, "y": 150,
                               "width": 240, "height": 160, "visibleAtStart": true, "borderStyle": "none",
                               "playerBackground": "#204080"}]})",
                           {{L"scene.txt", kScene}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"started\""));
  HWND form = projector.formWindow(L"drawn");
  ASSERT_NE(form, nullptr);
  POINT origin{0, 0};
  ClientToScreen(form, &origin);
  expectTheMovie(origin, RGB(0x20, 0x40, 0x80));  // the container's background wins over the movie's white
  if (HasFailure()) saveScreenshot(L"FormsDrawing-opaque");
  projector.process().kill();
}


TEST(FormsDrawing, ATransparentFormShowsTheMovieOverWhatIsBehind) {
  test::Backdrop backdrop(150, 100, 340, 260, kBackdrop);
  FormsProjector projector({sceneMovie()},
                           R"({"title": "Drawing", "forms": [
                              {"name": "main", "windowTitle": "see-through", "movie": "scene.swf", "x": 200, "y": 150,
                               "width": 240, "height": 160, "visibleAtStart": true, "windowKind": "transparent",
                               "alpha": 255, "scaleEnabled": true}]})",
                           {{L"scene.txt", kScene}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"started\""));
  // As in the transparent form's own test: the form window carries only the caption and the
  // focus, and Wine without a compositor draws it opaque; the movie is on the layered popup.
  HWND form = projector.formWindow(L"see-through");
  ASSERT_NE(form, nullptr);
  ShowWindow(form, SW_HIDE);
  expectTheMovie(POINT{200, 150}, kBackdrop);
  if (HasFailure()) saveScreenshot(L"FormsDrawing-transparent");
  projector.process().kill();
}

}  // namespace
}  // namespace lumo::e2e

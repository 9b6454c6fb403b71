// Clips driven by ActionScript in a real projector: a clip drawn with the drawing API and moved
// by onEnterFrame shows where the script put it on the screen, and a real click on it runs its
// onRelease, which ends the run through the runtime.
#include "FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Compiler.h"

namespace lumo::e2e {
namespace {

using test::pumpUntil;

// Stage 240 x 160: a 40 x 40 magenta square drawn at the clip's origin, which starts at (0, 60)
// and moves 40 pixels a frame until its left edge is at 160.
constexpr const char* kSource = R"(
  var box = _root.createEmptyMovieClip("box", 1);
  box.beginFill(0xFF00FF);
  box.moveTo(0, 0); box.lineTo(40, 0); box.lineTo(40, 40); box.lineTo(0, 40);
  box.endFill();
  box._y = 60;
  box.onEnterFrame = function () {
    if (this._x < 160) {
      this._x += 40;
    } else {
      delete this.onEnterFrame;
      trace("arrived " + this._x);
    }
  };
  box.onRollOver = function () {
    trace("over");
  };
  box.onRelease = function () {
    trace("released");
    flash.external.ExternalInterface.call("vor.Application.exitWithCode", "0", "<{lumo}>7");
  };
)";

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char two[3];
  for (uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02X", b);
    out += two;
  }
  return out;
}

// A one-pixel shape gives the movie a character, so the player draws it with its display list.
std::string scene() {
  return "shape 1 rect 0 0 1 1 fill FFFFFF\nplace 1 depth 1\naction " + hex(as2c::compileActions(kSource, 8)) + "\n";
}

COLORREF waitForColour(POINT p, COLORREF colour) {
  pumpUntil([&] { return screenPixel(p.x, p.y) == colour; }, 10000);
  return screenPixel(p.x, p.y);
}

TEST(FormsClips, ADrawnClipMovesOnTheScreenAndARealClickRunsItsOnRelease) {
  FormsProjector projector({{L"clips.swf", "log started\n", 8, "--size 240x160 --rate 12 --background FFFFFF --scene scene.txt"}},
                           R"({"title": "Clips", "forms": [
                              {"name": "main", "windowTitle": "clips", "movie": "clips.swf", "x": 200, "y": 150,
                               "width": 240, "height": 160, "visibleAtStart": true, "borderStyle": "none",
                               "playerBackground": "#FFFFFF"}]})",
                           {{L"scene.txt", scene()}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("trace \"arrived 160\"")) << "onEnterFrame moved the clip to its end";
  HWND form = projector.formWindow(L"clips");
  ASSERT_NE(form, nullptr);
  POINT origin{0, 0};
  ClientToScreen(form, &origin);
  auto at = [&](int x, int y) { return POINT{origin.x + x, origin.y + y}; };
  EXPECT_EQ(RGB(255, 0, 255), waitForColour(at(180, 80), RGB(255, 0, 255))) << "the drawn square where it ended";
  EXPECT_EQ(RGB(255, 255, 255), waitForColour(at(20, 80), RGB(255, 255, 255))) << "nothing where it started";
  EXPECT_EQ(RGB(255, 255, 255), waitForColour(at(180, 40), RGB(255, 255, 255))) << "nothing above it";
  // A click beside the clip does nothing; one on it ends the run with the code onRelease gave.
  // The press comes once the clip has seen the pointer arrive, so that the pointer's move and the
  // button's messages cannot reach the movie out of order.
  clickAt(at(100, 20));
  SetCursorPos(at(190, 90).x, at(190, 90).y);
  ASSERT_TRUE(projector.waitFor("trace \"over\"")) << "the clip saw the pointer arrive";
  clickAt(at(190, 90));
  EXPECT_EQ(projector.process().wait(30000), 7) << "the clip's onRelease called the runtime";
  int exits = 0;
  for (const std::string& line : projector.transcript())
    if (line.find("vor.Application.exitWithCode") != std::string::npos) ++exits;
  EXPECT_EQ(exits, 1);
  if (HasFailure()) saveScreenshot(L"FormsClips");
}

}  // namespace
}  // namespace lumo::e2e

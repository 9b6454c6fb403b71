// The drawing API as scripts use it: what a clip's drawing paints (beneath its children, open
// fills closed, lines above their fill), gradients, and its part in the clip's bounds.
#include <gtest/gtest.h>

#include <string>

#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "ScriptHost.h"
#include "Compiler.h"
#include "SoftwareRenderer.h"

using fixture::place;
using fixture::Lines;

namespace {

// Runs `source` as the root's first frame of a 40x40 white movie, then draws the stage.
struct Drawn {
  fixture::Movie movie;
  Lines host;
  render::SoftwareRenderer renderer;
  explicit Drawn(const std::string& source) {
    movie.data->background = swf::Rgba{255, 255, 255, 255};
    swf::DoAction script{as2c::compileActions(source, 8)};
    movie.frame(1).tags = {script};
    avm1::Machine machine(8, host);
    display::MoviePlayer player(movie.data);
    clips::ClipStage stage(player, machine);
    stage.tick();
    player.renderStage(renderer, 1);
  }
  render::Pixel at(int x, int y) const { return renderer.frame().at(x, y); }
};

void expectColor(render::Pixel p, uint8_t r, uint8_t g, uint8_t b, const std::string& where) {
  EXPECT_NEAR(p.r, r, 3) << where;
  EXPECT_NEAR(p.g, g, 3) << where;
  EXPECT_NEAR(p.b, b, 3) << where;
}

TEST(ClipDrawing, AnOpenFillClosesAndItsLinesGoAboveIt) {
  // A square drawn on three sides: the fill closes it, and so does its blue line.
  Drawn d(R"(
    var c = createEmptyMovieClip('c', 1);
    c._x = 5; c._y = 5;
    c.beginFill(0xFF0000);
    c.lineStyle(4, 0x0000FF, 100);
    c.moveTo(0, 0); c.lineTo(30, 0); c.lineTo(30, 30); c.lineTo(0, 30);
    c.endFill();
    trace(c._width + ' ' + c._height);
    var b = c.getBounds(c);
    trace(b.xMin + ' ' + b.yMin + ' ' + b.xMax + ' ' + b.yMax);
  )");
  expectColor(d.at(20, 20), 255, 0, 0, "inside");
  expectColor(d.at(5, 20), 0, 0, 255, "closing edge");
  expectColor(d.at(20, 5), 0, 0, 255, "first edge");
  expectColor(d.at(39, 39), 255, 255, 255, "outside");
  EXPECT_EQ(d.host.text, "34 34\n-2 -2 32 32\n");
}

TEST(ClipDrawing, TheDrawingLiesBeneathTheClipsChildren) {
  Drawn d(R"(
    var c = createEmptyMovieClip('c', 1);
    var child = c.createEmptyMovieClip('child', 1);
    child.beginFill(0x00FF00); child.moveTo(10, 10); child.lineTo(20, 10); child.lineTo(20, 20); child.lineTo(10, 20);
    c.beginFill(0x0000FF, 50); c.moveTo(0, 0); c.lineTo(40, 0); c.lineTo(40, 40); c.lineTo(0, 40); c.endFill();
    c.moveTo(0, 0);
    trace(child.hitTest(15, 15, true) + ' ' + child.hitTest(25, 25, true) + ' ' + c.hitTest(25, 25, true));
  )");
  expectColor(d.at(15, 15), 0, 255, 0, "child");
  expectColor(d.at(30, 30), 127, 127, 255, "drawing at half alpha");
  EXPECT_EQ(d.host.text, "true false true\n");
}

TEST(ClipDrawing, GradientBoxesCurvesAndClear) {
  Drawn d(R"(
    var g = createEmptyMovieClip('g', 1);
    g.beginGradientFill('linear', [0xFF0000, 0x0000FF], [100, 100], [0, 255],
                        {matrixType: 'box', x: 0, y: 0, w: 40, h: 20, r: 0});
    g.moveTo(0, 0); g.lineTo(40, 0); g.lineTo(40, 20); g.lineTo(0, 20); g.endFill();
    var k = createEmptyMovieClip('k', 2);
    k.lineStyle(0, 0);
    k.moveTo(0, 30); k.curveTo(20, 50, 40, 30);
    trace(Math.round(k._height * 10) / 10);
    var gone = createEmptyMovieClip('gone', 3);
    gone.beginFill(0); gone.moveTo(0, 0); gone.lineTo(40, 40); gone.lineTo(0, 40); gone.clear();
    trace(gone._width + ' ' + gone.getBounds(_root).xMin);
    g.beginGradientFill('linear', [0], [100], [0, 255], {});
  )");
  const render::Pixel left = d.at(1, 10), right = d.at(38, 10);
  EXPECT_GT(left.r, 230);
  EXPECT_LT(left.b, 25);
  EXPECT_GT(right.b, 230);
  EXPECT_LT(right.r, 25);
  expectColor(d.at(2, 38), 255, 255, 255, "nothing drawn by the cleared clip");
  // The curve's lowest point is halfway to its control point: 10 pixels below its ends.
  EXPECT_EQ(d.host.text, "10\n0 6710886.35\n");
}

TEST(ClipDrawing, AScriptMaskShowsTheClipOnlyInsideItAndIsNotDrawnItself) {
  // A red clip over the whole stage masked by a square in a moved clip of its own: only the
  // square's place shows red; without the mask again, all of it.
  const char* source = R"(
    var c = createEmptyMovieClip('c', 1);
    c.beginFill(0xFF0000); c.moveTo(0, 0); c.lineTo(40, 0); c.lineTo(40, 40); c.lineTo(0, 40); c.endFill();
    var holder = createEmptyMovieClip('holder', 2);
    holder._x = 20;
    var m = holder.createEmptyMovieClip('m', 1);
    m.beginFill(0x00FF00); m.moveTo(0, 0); m.lineTo(10, 0); m.lineTo(10, 10); m.lineTo(0, 10); m.endFill();
    c.setMask(m);
  )";
  Drawn masked(source);
  expectColor(masked.at(25, 5), 255, 0, 0, "inside the mask");
  expectColor(masked.at(5, 5), 255, 255, 255, "outside the mask");
  expectColor(masked.at(25, 25), 255, 255, 255, "below the mask");
  Drawn unmasked(std::string(source) + "c.setMask(null);");
  expectColor(unmasked.at(5, 5), 255, 0, 0, "the mask taken away");
  expectColor(unmasked.at(25, 5), 0, 255, 0, "the former mask drawn again");
}

}  // namespace

// Stage.scaleMode and Stage.align as the control places the movie with them: the names
// scripts set, the control's numbers they become, and where the stage lands in the area.
#include <gtest/gtest.h>

#include <string>

#include "../../../player/src/StageMapping.h"
#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "Compiler.h"
#include "ScriptHost.h"

namespace {

// A 100x50 movie (no frames of interest) whose Stage object the cases drive.
struct StageOnly {
  fixture::Movie movie{100, 50};
  fixture::Lines host;
  avm1::Machine machine{8, host};
  std::unique_ptr<display::MoviePlayer> player;
  std::unique_ptr<clips::ClipStage> stage;
  StageOnly() {
    movie.frame(1);
    player = std::make_unique<display::MoviePlayer>(movie.data);
    stage = std::make_unique<clips::ClipStage>(*player, machine);
    stage->tick();
  }
  void run(const std::string& source) {
    machine.runActions(std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(source, 8), 8}), machine.root());
  }
};

TEST(StageLayout, ScriptsScaleModeAndAlignPlaceTheMovieInTheArea) {
  struct Case {
    const char* scaleMode;
    const char* align;
    double sx, sy, ox, oy;  // the 100x50 stage in a 400x400 area
  } cases[] = {
      {"showAll", "", 4, 4, 0, 100},     {"showAll", "T", 4, 4, 0, 0},       {"showAll", "b", 4, 4, 0, 200},
      {"noBorder", "", 8, 8, -200, 0},   {"noBorder", "L", 8, 8, 0, 0},      {"noBorder", "R", 8, 8, -400, 0},
      {"exactFit", "BR", 4, 8, 0, 0},    {"noScale", "", 1, 1, 150, 175},    {"noScale", "TL", 1, 1, 0, 0},
      {"noScale", "rb", 1, 1, 300, 350}, {"noScale", "LRTB", 1, 1, 0, 0},   // left and top win
      {"bogus", "x", 4, 4, 0, 100},
  };
  for (const Case& c : cases) {
    StageOnly s;
    int changes = 0;
    s.stage->input().layoutChanged = [&] { ++changes; };
    s.run(std::string("Stage.scaleMode = '") + c.scaleMode + "'; Stage.align = '" + c.align + "';");
    const clips::InputObjects& input = s.stage->input();
    const StageMapping m = mapStage(100, 50, 0, 0, 400, 400, input.scaleModeIndex(), input.alignBits());
    const std::string label = std::string(c.scaleMode) + " [" + c.align + "]";
    EXPECT_EQ(changes, 2) << label;
    EXPECT_DOUBLE_EQ(m.sx, c.sx) << label;
    EXPECT_DOUBLE_EQ(m.sy, c.sy) << label;
    EXPECT_DOUBLE_EQ(m.ox, c.ox) << label;
    EXPECT_DOUBLE_EQ(m.oy, c.oy) << label;
  }
}

TEST(StageLayout, TheControlsModeIsTheScriptsAndAResizeUnderNoScaleReachesOnResize) {
  StageOnly s;
  s.run(R"(
    var l = new Object();
    l.onResize = function() { trace('resize ' + Stage.width + 'x' + Stage.height + ' ' + Stage.scaleMode + ' ' + Stage.align); };
    Stage.addListener(l);
  )");
  clips::InputObjects& input = s.stage->input();
  input.resized(400, 300);          // scaled: the stage keeps the movie's size
  input.setLayout(3, 1 | 8);        // the container asks for noScale, left and bottom
  input.resized(400, 300);          // no change
  input.resized(640, 480);
  input.setLayout(2, 0);            // scaled again: no event
  input.resized(800, 600);
  input.setLayout(3, 0);
  EXPECT_EQ(s.host.text, "resize 400x300 noScale LB\nresize 640x480 noScale LB\nresize 800x600 noScale \n");
  EXPECT_EQ(input.scaleModeIndex(), 3);
  EXPECT_EQ(input.alignBits(), 0);
}

}  // namespace

// Functions and clips a script keeps past its stage (a new movie in _level0 on the same
// machine): they answer undefined instead of reaching the stage that went.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "ScriptHost.h"

namespace {

TEST(StageLifetime, KeptFunctionsAndClipsOfAGoneStageAnswerUndefined) {
  fixture::Lines host;
  avm1::Machine machine(8, host);
  fixture::Movie first;
  first.frame(1).tags = {fixture::action(R"(
    var a = createEmptyMovieClip('a', 1);
    _global.isDown = Key.isDown;
    _global.oldStage = Stage;
    _global.getDepth = a.getDepth;
    _global.lineTo = a.lineTo;
    _global.setFocus = Selection.setFocus;
    _global.kept = a;
    Key.addListener(_global);
  )")};
  // The first movie's display list outlives its stage, as when the suite's player keeps it.
  display::MoviePlayer firstPlayer(first.data);
  auto stage = std::make_unique<clips::ClipStage>(firstPlayer, machine);
  stage->tick();
  stage.reset();

  fixture::Movie second;
  second.frame(1).tags = {fixture::action(R"(
    trace(_global.isDown(65));
    trace(_global.oldStage.width);
    trace(_global.getDepth.call(_global.kept));
    trace(_global.lineTo.call(_global.kept, 5, 5));
    trace(_global.setFocus(_global.kept));
    trace(_global.kept._x);
    trace(_global.kept._root);
    trace(_global.kept.getDepth());
  )")};
  display::MoviePlayer secondPlayer(second.data);
  clips::ClipStage next(secondPlayer, machine);
  next.tick();
  std::string expected;
  for (int i = 0; i < 8; ++i) expected += "undefined\n";
  EXPECT_EQ(host.text, expected);
}

}  // namespace

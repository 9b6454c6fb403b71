// Clips as ActionScript sees them: the order frame actions and clip events run in, the
// display properties and paths, timeline control, and clips made and removed by scripts.
#include <gtest/gtest.h>

#include <string>

#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "ScriptHost.h"
#include "Compiler.h"
#include "PlaceRecords.h"

using fixture::place;
using fixture::Lines;
using fixture::action;

namespace {

constexpr swf::Rgba kRed{255, 0, 0, 255};

swf::PlaceObject named(uint16_t depth, swf::CharacterId id, const std::string& name) {
  swf::PlaceObject p = place(depth, id);
  p.name = name;
  return p;
}

// Plays `movie` for `frames` ticks and gives its trace.
std::string play(fixture::Movie& movie, int frames) {
  Lines host;
  avm1::Machine machine(movie.data->version, host);
  display::MoviePlayer player(movie.data);
  clips::ClipStage stage(player, machine);
  for (int i = 0; i < frames; ++i) stage.tick();
  return host.text;
}

// A clip symbol (id 2) of two frames, each tracing its number, holding a 10x10 square (id 1).
fixture::Movie movieWithClip() {
  fixture::Movie m;
  m.add(fixture::rectangle(1, 10, 10, kRed));
  swf::Sprite clip;
  clip.id = 2;
  fixture::frameOf(clip.timeline, 1).tags = {place(1, 1), action("trace('clip ' + _currentframe);")};
  fixture::frameOf(clip.timeline, 2).tags = {action("trace('clip ' + _currentframe);")};
  m.add(clip);
  m.data->exports.push_back({2, "square"});
  return m;
}

TEST(Clips, FrameActionsAndEventsRunInThePlayersOrder) {
  fixture::Movie m = movieWithClip();
  swf::PlaceObject withEvents = named(1, 2, "a");
  swf::ClipAction load, enter;
  load.events = swf::clip_event::kLoad;
  load.actions = as2c::compileActions("trace('load ' + this._name);", 8);
  enter.events = swf::clip_event::kEnterFrame;
  enter.actions = as2c::compileActions("trace('enterFrame ' + _name);", 8);
  withEvents.clipActions = {load, enter};
  m.frame(1).tags = {action("trace('root 1'); stop(); this.onEnterFrame = function() { trace('root enter'); };"),
                     withEvents};
  // Frame 1: the root's script, then the new clip's load event and first frame. Frame 2: the
  // newer clip first (its enterFrame, then its frame), then the root's handler.
  EXPECT_EQ(play(m, 2), "root 1\nload a\nclip 1\nenterFrame a\nclip 2\nroot enter\n");
}

TEST(Clips, PropertiesReadAndMoveTheInstance) {
  fixture::Movie m = movieWithClip();
  m.frame(1).tags = {named(1, 2, "a"), action(R"(
    a._x = 12.5; a._y = 3; a._xscale = 200; a._alpha = 50; a._rotation = 90;
    trace(a._x + ' ' + a._y + ' ' + Math.round(a._xscale) + ' ' + a._alpha + ' ' + a._rotation);
    a._rotation = 0;
    trace(a._width + 'x' + a._height + ' ' + a._name + ' ' + a._target + ' ' + (a._parent == _root));
    trace(a + ' ' + _root + ' ' + a._totalframes + ' ' + _root.a._visible);
    var kept = a;
    a._name = 'b';
    trace(typeof(a) + ' ' + typeof(kept) + ' ' + b._target + ' ' + kept);
    trace(_level0.b._x + ' ' + _level0.b._currentframe);
  )")};
  EXPECT_EQ(play(m, 1),
            "clip 1\n"
            "12.5 3 200 50 90\n"
            "20x10 a /a true\n"
            "_level0.a _level0 2 true\n"
            "undefined movieclip /b _level0.b\n"
            "12.5 1\n");
}

TEST(Clips, GotosRunTheTargetFrameAfterTheCurrentScript) {
  fixture::Movie m;
  swf::FrameLabel label;
  label.name = "end";
  m.frame(1).tags = {action("trace('one'); gotoAndStop('end'); trace('after goto ' + _currentframe);")};
  m.frame(2).tags = {action("trace('two');")};
  m.frame(3).tags = {label, action("trace('three');")};
  EXPECT_EQ(play(m, 3), "one\nafter goto 3\nthree\n");
}

TEST(Clips, ScriptsMakeAndRemoveClipsAtDepths) {
  fixture::Movie m = movieWithClip();
  m.frame(1).tags = {action(R"(
    stop();
    var e = createEmptyMovieClip('e', 5);
    var s = attachMovie('square', 's', 7, {_x: 4, tag: 'init'});
    trace(e + ' ' + e.getDepth() + ' ' + s._x + ' ' + s.tag + ' ' + getNextHighestDepth());
    s.duplicateMovieClip('t', 9);
    trace(t._x + ' ' + getInstanceAtDepth(9)._name);
    s.swapDepths(20);
    trace(s.getDepth() + ' ' + getInstanceAtDepth(7));
    t.removeMovieClip();
    trace(typeof(t) + ' ' + t._x + ' ' + getNextHighestDepth());
    var b = s.getBounds(_root);
    trace(b.xMin + ' ' + b.xMax + ' ' + s.hitTest(8, 5) + ' ' + s.hitTest(30, 5));
    var p = {x: 1, y: 1}; s.localToGlobal(p); trace(p.x + ',' + p.y);
  )")};
  EXPECT_EQ(play(m, 2),
            "_level0.e 5 4 init 8\n"
            "4 t\n"
            "20 undefined\n"
            "undefined undefined 21\n"
            "4 14 true false\n"
            "5,1\n"
            "clip 1\n"
            "clip 2\n");
}

// SetTarget (tellTarget) makes another clip the target of the actions up to the next one.
TEST(Clips, TimelineActionsActOnTheirTarget) {
  fixture::Movie m = movieWithClip();
  std::string bytes;
  auto setTarget = [&](const std::string& path) {
    bytes += '\x8B';
    bytes += char(path.size() + 1);
    bytes += '\0';
    bytes += path;
    bytes += '\0';
  };
  auto code = [&](const std::string& source) {
    std::vector<uint8_t> compiled = as2c::compileActions(source, 8);
    if (!compiled.empty() && compiled.back() == 0) compiled.pop_back();
    bytes.append(compiled.begin(), compiled.end());
  };
  code("stop();");
  setTarget("a");
  code("stop(); trace('in ' + _name);");
  setTarget("");
  code("trace('back ' + _name + ' ' + a._currentframe); a.nextFrame();");
  m.frame(1).tags = {named(1, 2, "a"), swf::DoAction{std::vector<uint8_t>(bytes.begin(), bytes.end())}};
  // The clip placed before the root's script ran its first frame first.
  EXPECT_EQ(play(m, 3), "clip 1\nin a\nback  1\nclip 2\n");
}

}  // namespace

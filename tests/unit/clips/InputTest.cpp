// The pointer and keys as clips hear them: clips with onPress-style handlers tracked as
// buttons, the broadcast mouse events and clip actions, enabled and the hand cursor.
#include <gtest/gtest.h>

#include <string>

#include "../display/MovieFixture.h"
#include "ClipInput.h"
#include "Compiler.h"
#include "PlaceRecords.h"
#include "ScriptClasses.h"
#include "ScriptHost.h"

using fixture::Lines;

namespace {

render::Point at(double x, double y) { return render::Point{x * 20, y * 20}; }

// Two 20x20 squares drawn by script: `a` at (0, 0) with button handlers, `b` at (20, 0)
// inside a plain clip `box` with onMouseDown; `listener` (no area) hears the broadcasts by
// clip actions. The movie is 40x40. Broadcasts reach the topmost clips first.
struct Pointer : ::testing::Test {
  fixture::Movie movie;
  Lines host;
  std::unique_ptr<avm1::Machine> machine;
  std::unique_ptr<display::MoviePlayer> player;
  std::unique_ptr<clips::ClipStage> stage;
  std::unique_ptr<clips::ClipInput> input;

  // `clipLayer`: a 10x10 clip layer at (10, 0) masks everything the script makes.
  void start(const std::string& source, bool clipLayer = false) {
    swf::Sprite empty;
    empty.id = 5;
    fixture::frameOf(empty.timeline, 1);
    movie.add(empty);
    swf::PlaceObject listener = fixture::place(1, 5);
    listener.name = "listener";
    swf::ClipAction down, up, key;
    down.events = swf::clip_event::kMouseDown;
    down.actions = as2c::compileActions("trace('clip event mouseDown');", 8);
    up.events = swf::clip_event::kMouseUp;
    up.actions = as2c::compileActions("trace('clip event mouseUp');", 8);
    key.events = swf::clip_event::kKeyDown;
    key.actions = as2c::compileActions("trace('clip event keyDown');", 8);
    listener.clipActions = {down, up, key};
    swf::DoAction script{as2c::compileActions(R"(
      function square(c, x) {
        c.beginFill(0xFF0000); c.moveTo(x, 0); c.lineTo(x + 20, 0); c.lineTo(x + 20, 20); c.lineTo(x, 20); c.endFill();
      }
      var a = createEmptyMovieClip('a', 1); square(a, 0);
      var box = createEmptyMovieClip('box', 2);
      var b = box.createEmptyMovieClip('b', 1); square(b, 20);
      box.onMouseDown = function() { trace('box onMouseDown'); };
      var names = ['onPress', 'onRelease', 'onReleaseOutside', 'onRollOver', 'onRollOut', 'onDragOver', 'onDragOut'];
      for (var i = 0; i < names.length; ++i) {
        a[names[i]] = (function(n) { return function() { trace(this._name + ' ' + n); }; })(names[i]);
      }
    )" + source, 8)};
    movie.frame(1).tags = {listener, script};
    if (clipLayer) {
      movie.add(fixture::rectangle(7, 10, 10, swf::Rgba{0, 0, 0, 255}));
      swf::PlaceObject mask = fixture::place(2, 7);
      mask.matrix = swf::Matrix{1, 0, 0, 1, 200, 0};
      mask.clipDepth = 65535;
      movie.frame(1).tags.insert(movie.frame(1).tags.begin(), mask);
    }
    // A second start ends the first movie as its owner would: the stage before what it uses.
    input.reset();
    stage.reset();
    player.reset();
    machine = std::make_unique<avm1::Machine>(8, host);
    player = std::make_unique<display::MoviePlayer>(movie.data);
    stage = std::make_unique<clips::ClipStage>(*player, *machine);
    input = std::make_unique<clips::ClipInput>(*stage);
    stage->tick();
    host.text.clear();
  }
};

TEST_F(Pointer, ClipsWithHandlersFollowTheButtonStateMachine) {
  start("");
  input->move(at(10, 10));
  EXPECT_TRUE(input->handCursor());
  input->press(at(10, 10));
  input->move(at(30, 30));  // dragged off while held: no roll out, a drag out
  input->move(at(10, 10));
  input->release(at(10, 10));
  input->press(at(10, 10));
  input->release(at(30, 10));  // released over b: outside
  input->move(at(35, 35));
  EXPECT_FALSE(input->handCursor());
  EXPECT_EQ(host.text,
            "a onRollOver\n"
            "box onMouseDown\nclip event mouseDown\na onPress\n"
            "a onDragOut\na onDragOver\n"
            "clip event mouseUp\na onRelease\n"
            "box onMouseDown\nclip event mouseDown\na onPress\n"
            "clip event mouseUp\na onReleaseOutside\n");
}

TEST_F(Pointer, DisabledOrHandlerlessClipsAreNotButtons) {
  start("a.enabled = false; b.useHandCursor = false; b.onRelease = function() { trace('b onRelease'); };");
  input->move(at(10, 10));
  EXPECT_FALSE(input->handCursor());
  input->press(at(10, 10));
  input->release(at(10, 10));
  input->move(at(30, 10));
  EXPECT_FALSE(input->handCursor());  // b acts as a button, without the hand
  input->press(at(30, 10));
  input->release(at(30, 10));
  input->keyDown(65, 97);
  EXPECT_EQ(host.text,
            "box onMouseDown\nclip event mouseDown\nclip event mouseUp\n"
            "box onMouseDown\nclip event mouseDown\nclip event mouseUp\nb onRelease\n"
            "clip event keyDown\n");
}

TEST_F(Pointer, ADraggedClipFollowsWithinItsRectangleAndLeavesItsDropTarget) {
  start(R"(
    var t = createEmptyMovieClip('t', 9);
    t.beginFill(0); t.moveTo(0, 20); t.lineTo(40, 20); t.lineTo(0, 40); t.endFill();
    a.startDrag(true, 0, 0, 100, 10);
    a.onMouseUp = function() {
      this.stopDrag();
      trace(this._x + ',' + this._y + ' ' + this._droptarget + ' ' + _root._xmouse + ' ' + box._xmouse);
      trace(t.hitTest(30, 35) + ' ' + t.hitTest(30, 35, true) + ' ' + t.hitTest(5, 25, true));
    };
  )");
  input->move(at(30, 15));
  EXPECT_EQ(stage->root()->get(*machine, "a").object()->get(*machine, "_y").number(), 10);
  input->release(at(30, 15));
  input->move(at(50, 15));  // no longer dragged
  // The clip rolls over as it comes under the pointer; the triangle is hit by its bounds
  // without the shape flag, by its area with it.
  EXPECT_EQ(host.text, "a onRollOver\n30,10 /box/b 30 30\ntrue false true\nclip event mouseUp\na onRollOut\n");
}

// StartDrag's operands pushed as a movie's bytes would: the edges (when constrained), then
// the constrain flag, the lock flag and the target; EndDrag after it when `end`.
std::vector<uint8_t> dragActions(const std::string& target, int lock, const std::vector<int>& edges, bool end) {
  std::vector<uint8_t> bytes;
  auto pushInt = [&](int v) {
    bytes.insert(bytes.end(), {0x96, 5, 0, 7});
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * i)));
  };
  for (int edge : edges) pushInt(edge);
  pushInt(edges.empty() ? 0 : 1);
  pushInt(lock);
  bytes.insert(bytes.end(), {0x96, static_cast<uint8_t>(target.size() + 2), 0, 0});
  bytes.insert(bytes.end(), target.begin(), target.end());
  bytes.push_back(0);
  bytes.push_back(0x27);
  if (end) bytes.push_back(0x28);
  bytes.push_back(0);
  return bytes;
}

TEST_F(Pointer, TheDragActionsDragAsTheMethodsDo) {
  struct Case {
    const char* target;
    int lock;
    std::vector<int> edges;  // left, top, right, bottom
    bool end;
    const char* where;  // _x,_y of the target after the pointer went from (5, 5) to (30, 15)
  } cases[] = {
      {"a", 1, {0, 0, 100, 10}, false, "30,10"},
      {"a", 1, {100, 10, 0, 0}, false, "30,10"},  // the rectangle either way round
      {"a", 0, {}, false, "25,10"},               // kept where it was taken
      {"box/b", 1, {}, false, "30,15"},           // a path from the timeline
      {"a", 1, {}, true, "5,5"},                  // EndDrag: placed once, then left alone
      {"nothing", 1, {}, false, "0,0"},
  };
  for (const Case& c : cases) {
    start("");
    input->move(at(5, 5));
    machine->runActions(std::make_shared<avm1::Code>(avm1::Code{dragActions(c.target, c.lock, c.edges, c.end), 8}),
                        stage->root());
    input->move(at(30, 15));
    const std::string target = std::string(c.target) == "nothing" ? "a" : c.target;
    avm1::Value clip = machine->getVariable(target == "box/b" ? "box.b" : target);
    ASSERT_TRUE(clip.isObject()) << c.target;
    const std::string where = machine->toString(clip.object()->get(*machine, "_x")) + "," +
                              machine->toString(clip.object()->get(*machine, "_y"));
    EXPECT_EQ(where, c.where) << c.target << " lock " << c.lock << " end " << c.end;
  }
}

TEST_F(Pointer, AMaskedClipIsUnderThePointerOnlyWhereItsMaskDraws) {
  struct Case {
    const char* source;
    bool clipLayer;
    const char* pressedAt5, *pressedAt15;  // what a press and release at (5, 5) and (15, 5) run
  } cases[] = {
      {"", false, "a onPress\n", "a onPress\n"},
      {"", true, "", "a onPress\n"},  // the clip layer covers x 10..20
      {"var m = createEmptyMovieClip('m', 5); square(m, 10); a.setMask(m);", false, "", "a onPress\n"},
      {"var m = createEmptyMovieClip('m', 5); square(m, 10); a.setMask(m); a.setMask(null);", false, "a onPress\n",
       "a onPress\n"},
  };
  for (const Case& c : cases) {
    for (double x : {5.0, 15.0}) {
      start(c.source + std::string(" a.onRelease = a.onRollOver = a.onRollOut = undefined; box.onMouseDown = undefined;"),
            c.clipLayer);
      input->press(at(x, 5));
      const std::string pressed = host.text;
      input->release(at(x, 5));
      EXPECT_EQ(pressed.find("a onPress") != std::string::npos ? "a onPress\n" : "",
                std::string(x < 10 ? c.pressedAt5 : c.pressedAt15))
          << c.source << " layer " << c.clipLayer << " at " << x;
    }
  }
}

TEST_F(Pointer, TheFocusedClipHearsKeysUntilThePointerActs) {
  start(R"(
    a.focusEnabled = true;
    a.onKeyDown = function() { trace('a onKeyDown'); };
    a.onKeyUp = function() { trace('a onKeyUp'); };
    Selection.setFocus(a);
  )");
  input->keyDown(13, 13);  // Enter presses and releases the focused clip after the key events
  input->keyUp(13, 13);
  stage->input().mouseMove();  // the pointer acts: the focus stays, its keys stop
  input->move(at(35, 35));
  input->keyDown(65, 97);
  EXPECT_EQ(host.text,
            "a onKeyDown\nclip event keyDown\na onPress\na onRelease\na onKeyUp\nclip event keyDown\n");
  EXPECT_EQ(machine->toString(machine->callMethod(machine->getVariable("Selection"), "getFocus", {})), "_level0.a");
}

TEST_F(Pointer, TypingBroadcastsOnChangedToTheFieldsListeners) {
  start(R"(
    var t = createTextField('t', 7, 0, 0, 50, 20);
    var l = new Object();
    l.onChanged = function(field) { trace('listener ' + field); };
    t.onChanged = function(field) { trace('field ' + field); };
    t.addListener(l);
  )");
  avm1::Value field = machine->getVariable("t");
  ASSERT_TRUE(field.isObject());
  clips::fieldChanged(*stage, *clips::fieldOf(field));
  EXPECT_EQ(host.text, "field _level0.t\nlistener _level0.t\n");
}

}  // namespace

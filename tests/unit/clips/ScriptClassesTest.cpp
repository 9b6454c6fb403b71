// The classes scripts use beside MovieClip: text fields made and changed by script with their
// formats, Color on a clip, and the input objects (Key, Mouse, Selection, Stage) fed as the
// player feeds them.
#include <gtest/gtest.h>

#include <string>

#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "ScriptHost.h"
#include "Compiler.h"

using fixture::place;
using fixture::Lines;

namespace {

// A 40x30 movie whose first frame runs `source` (SWF 8), with a clip (id 2, a 10x10 square)
// placed unnamed at depth 1 and named "box" at depth 2.
struct Played {
  fixture::Movie movie{40, 30};
  Lines host;
  std::unique_ptr<avm1::Machine> machine;
  std::unique_ptr<display::MoviePlayer> player;
  std::unique_ptr<clips::ClipStage> stage;

  explicit Played(const std::string& source) {
    movie.add(fixture::rectangle(1, 10, 10, swf::Rgba{0, 0, 255, 255}));
    swf::Sprite clip;
    clip.id = 2;
    fixture::frameOf(clip.timeline, 1).tags = {place(1, 1)};
    movie.add(clip);
    swf::PlaceObject named = place(2, 2);
    named.name = "box";
    movie.frame(1).tags = {place(1, 2), named, swf::DoAction{as2c::compileActions(source, 8)}};
    stage.reset();  // a second movie ends the first: the stage before what it uses
    player.reset();
    machine = std::make_unique<avm1::Machine>(8, host);
    player = std::make_unique<display::MoviePlayer>(movie.data);
    stage = std::make_unique<clips::ClipStage>(*player, *machine);
    stage->tick();
  }
  // Runs more code on _level0 after the first frame.
  std::string run(const std::string& source) {
    host.text.clear();
    machine->runActions(std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(source, 8), 8}), machine->root());
    return host.text;
  }
};

TEST(ScriptClasses, TextFieldsMadeByScriptAreObjectsWithTheirProperties) {
  Played p(R"(
    var t = createTextField('field', 5, 10.7, 20, 100, 50);
    trace(t + ' ' + typeof t + ' ' + (t == field) + ' ' + t._x + ' ' + t._y + ' ' + t.getDepth());
    trace(t.type + ' ' + t.html + ' ' + t.variable + ' ' + t.maxChars + ' ' + t.autoSize + ' ' + t.length);
    t.text = 'hello';
    t.type = 'INPUT'; t.autoSize = true; t.maxChars = 3; t.border = true; t.borderColor = 0x123456;
    trace(t.text + ' ' + t.length + ' ' + t.type + ' ' + t.autoSize + ' ' + t.maxChars + ' ' + t.border + ' ' + t.borderColor);
    t.autoSize = 'middle'; t.type = 'neither'; t.maxChars = 0;
    trace(t.autoSize + ' ' + t.type + ' ' + t.maxChars);
    t.replaceText(1, 4, 'EY');
    t.replaceSel('>');
    trace(t.text);
    t.removeTextField();
    trace(typeof field + ' ' + t.text);
  )");
  EXPECT_EQ(p.host.text,
            "_level0.field object true 10 20 5\n"
            "dynamic false null null none 0\n"
            "hello 5 input left 3 true 1193046\n"
            "none input null\n"
            ">hEYo\n"
            "undefined undefined\n");
}

TEST(ScriptClasses, TextFormatsApplyToRangesAndMixedValuesReadAsNull) {
  Played p(R"(
    createTextField('f', 1, 0, 0, 100, 20);
    f.text = 'abcdef';
    var bold = new TextFormat('Arial', 20, 0xff0000, true);
    trace(bold.font + ' ' + bold.size + ' ' + bold.color + ' ' + bold.bold + ' ' + bold.italic + ' ' + bold.align);
    f.setTextFormat(1, 3, bold);
    f.setTextFormat(5, new TextFormat(null, null, null, null, true));
    var all = f.getTextFormat();
    trace(all.font + ' ' + all.size + ' ' + all.bold + ' ' + all.italic + ' ' + all.underline);
    var inside = f.getTextFormat(1, 3);
    trace(inside.font + ' ' + inside.size + ' ' + inside.color + ' ' + inside.bold);
    trace(f.getTextFormat(5).italic + ' ' + f.getTextFormat(0).italic + ' ' + f.getTextFormat(6, 6).size);
    f.setNewTextFormat(bold);
    f.text = 'x';
    trace(f.getTextFormat(0).font + ' ' + f.getNewTextFormat().size + ' ' + f.textColor);
    f.textColor = 0x00ff00;
    trace(f.getTextFormat(0).color + ' ' + f.getNewTextFormat().color);
  )");
  EXPECT_EQ(p.host.text,
            "Arial 20 16711680 true null null\n"
            "null null null null false\n"
            "Arial 20 16711680 true\n"
            "true false null\n"
            "Arial 20 16711680\n"
            "65280 65280\n");
}

TEST(ScriptClasses, ColorSetsAndReadsAClipsTransform) {
  Played p(R"(
    var c = new Color(box);
    c.setRGB(0x336699);
    var t = c.getTransform();
    trace(c.getRGB() + ' ' + t.ra + ' ' + t.rb + ' ' + t.gb + ' ' + t.bb + ' ' + t.aa);
    var only = new Object(); only.aa = 50; only.rb = -10;
    c.setTransform(only);
    t = c.getTransform();
    trace(t.aa + ' ' + t.rb + ' ' + t.gb + ' ' + box._alpha);
    trace(new Color('box').getRGB() + ' ' + new Color().getRGB() + ' ' + new Color('nowhere').getRGB());
  )");
  EXPECT_EQ(p.host.text,
            "3368601 0 51 102 153 100\n"
            "50 -10 102 50\n"
            "-629095 undefined undefined\n");
}

TEST(ScriptClasses, UnnamedInstancesGetNamesInPlacingOrder) {
  Played p("trace(instance1._name + ' ' + instance1._target + ' ' + box._name);");
  EXPECT_EQ(p.host.text, "instance1 /instance1 box\n");
}

TEST(ScriptClasses, KeyAndMouseListenersHearThePlayersInput) {
  Played p(R"(
    var l = new Object();
    l.onKeyDown = function() { trace('down ' + Key.getCode() + ' ' + Key.getAscii() + ' ' + Key.isDown(65)); };
    l.onKeyUp = function() { trace('up ' + Key.getCode() + ' ' + Key.isDown(65)); };
    l.onMouseDown = function() { trace('mouse down'); };
    l.onMouseWheel = function(delta) { trace('wheel ' + delta); };
    Key.addListener(l);
    Mouse.addListener(l);
    trace(Key.LEFT + ' ' + Key.ENTER + ' ' + Key.isToggled(Key.CAPSLOCK) + ' ' + Mouse.hide() + ' ' + Mouse.hide() + ' ' + Mouse.show());
  )");
  EXPECT_EQ(p.host.text, "37 13 false 0 1 1\n");
  p.host.text.clear();
  clips::InputObjects& input = p.stage->input();
  input.keyDown(65, 97);
  input.keyUp(65, 97);
  input.keyDown(20, 0);
  input.mouseDown();
  input.mouseWheel(-3);
  EXPECT_EQ(p.host.text, "down 65 97 true\nup 65 false\ndown 20 0 false\nmouse down\nwheel -3\n");
  EXPECT_EQ(p.run("trace(Key.isToggled(20) + ' ' + Key.isDown(20));"), "true true\n");
}

TEST(ScriptClasses, SelectionMovesTheFocusAndTellsBothSides) {
  Played p(R"(
    createTextField('a', 1, 0, 0, 50, 20);
    createTextField('b', 2, 0, 0, 50, 20);
    a.text = 'hello';
    a.onKillFocus = function(to) { trace('a kill ' + to); };
    b.onSetFocus = function(from) { trace('b set ' + from); };
    var l = new Object();
    l.onSetFocus = function(from, to) { trace('selection ' + from + ' ' + to); };
    Selection.addListener(l);
    trace(Selection.getFocus() + ' ' + Selection.setFocus(a) + ' ' + Selection.getFocus());
    Selection.setSelection(1, 3);
    trace(Selection.getBeginIndex() + ' ' + Selection.getEndIndex() + ' ' + Selection.getCaretIndex());
    a.replaceSel('XY');
    trace(a.text);
    trace(Selection.setFocus(box) + ' ' + Selection.setFocus('b') + ' ' + Selection.getFocus());
    trace(Selection.setFocus(null) + ' ' + Selection.getFocus() + ' ' + Selection.getBeginIndex());
  )");
  EXPECT_EQ(p.host.text,
            "selection null _level0.a\n"  // the listener hears it while the trace's text is made
            "null true _level0.a\n"
            "1 3 3\n"
            "hXYlo\n"
            "a kill _level0.b\n"
            "b set _level0.a\n"
            "selection _level0.a _level0.b\n"
            "false true _level0.b\n"
            "selection _level0.b null\n"
            "true null -1\n");
}

TEST(ScriptClasses, StageReportsTheMovieSizeAndResizesUnderNoScale) {
  Played p(R"(
    var l = new Object();
    l.onResize = function() { trace('resize ' + Stage.width + 'x' + Stage.height); };
    Stage.addListener(l);
    trace(Stage.width + 'x' + Stage.height + ' ' + Stage.scaleMode + ' [' + Stage.align + '] ' + Stage.showMenu);
    Stage.align = 'br'; Stage.scaleMode = 'EXACTFIT';
    trace(Stage.align + ' ' + Stage.scaleMode);
    Stage.scaleMode = 'bogus';
    trace(Stage.scaleMode);
  )");
  EXPECT_EQ(p.host.text, "40x30 showAll [] true\nRB exactFit\nshowAll\n");
  p.host.text.clear();
  p.stage->input().resized(300, 200);  // scaled: the stage keeps the movie's size
  EXPECT_EQ(p.host.text, "");
  p.run("Stage.scaleMode = 'noScale';");  // the stage takes the area's size at once
  p.stage->input().resized(320, 240);
  p.stage->input().resized(320, 240);
  EXPECT_EQ(p.host.text, "resize 300x200\nresize 320x240\n");
}

}  // namespace

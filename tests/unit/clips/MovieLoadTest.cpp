// Movies loaded into clips and levels: each with its own characters and exports, put in place
// on the frame after the load was asked for, unloaded, and MovieClipLoader's events in order.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "../display/MovieFixture.h"
#include "ClipStage.h"
#include "MovieReader.h"
#include "MovieWriter.h"
#include "ScriptHost.h"

using fixture::action;

namespace {

// A movie of one frame per script, its symbol 2 exported as "box", whose first frame traces
// `boxTrace`.
std::vector<uint8_t> movieFile(const std::vector<std::string>& frames, const std::string& boxTrace) {
  fixture::Movie m;
  swf::Sprite box;
  box.id = 2;
  fixture::frameOf(box.timeline, 1).tags = {action("trace('" + boxTrace + "'); stop();")};
  m.add(box);
  m.data->exports.push_back({2, "box"});
  for (size_t i = 0; i < frames.size(); ++i) m.frame(i + 1).tags = {action(frames[i])};
  m.data->timeline.declaredFrameCount = uint16_t(frames.size());
  return swf::writeMovie(*m.data);
}

// The root movie plays from `frames`; loads are answered from `files` at once (a missing name
// fails).
struct Loads : ::testing::Test {
  fixture::Lines host;
  std::map<std::string, std::vector<uint8_t>> files;
  std::unique_ptr<avm1::Machine> machine;
  std::unique_ptr<display::MoviePlayer> player;
  std::unique_ptr<clips::ClipStage> stage;

  std::string play(const std::vector<std::string>& frames, int ticks) {
    std::vector<uint8_t> bytes = movieFile(frames, "parent box");
    auto movie = std::make_shared<const swf::MovieData>(*swf::readMovie(bytes.data(), bytes.size()));
    stage.reset();  // a second movie ends the first: the stage before what it uses
    player.reset();
    machine = std::make_unique<avm1::Machine>(movie->version, host);
    player = std::make_unique<display::MoviePlayer>(movie);
    stage = std::make_unique<clips::ClipStage>(*player, *machine);
    stage->url = "parent.swf";
    stage->loads().setRequest([this](int id, const std::string& url) {
      auto it = files.find(url);
      stage->loads().fetched(id, it == files.end() ? std::nullopt : std::optional(it->second));
    });
    for (int i = 0; i < ticks; ++i) stage->tick();
    return host.text;
  }
};

TEST_F(Loads, AMovieLoadedIntoAClipKeepsItsPlaceAndBringsItsOwnLibrary) {
  files["child.swf"] = movieFile({"trace('child ' + this + ' ' + _x + ' ' + _url + ' ' + _totalframes);"
                                  "attachMovie('box', 'b', 1); stop();",
                                  "", ""},
                                 "child box");
  EXPECT_EQ(play({"var h = createEmptyMovieClip('holder', 1); h._x = 10; h.mark = 1;"
                  "h.loadMovie('child.swf'); trace('asked ' + h.mark + ' ' + h._totalframes);",
                  "trace('after ' + h.mark + ' ' + h._totalframes + ' ' + h.getDepth()); stop();"},
                 3),
            "asked 1 1\n"
            "child _level0.holder 10 child.swf 3\n"
            "after undefined 3 1\n"
            "child box\n");
}

TEST_F(Loads, LevelsLoadAndUnloadByNumber) {
  files["level.swf"] = movieFile({"trace('level ' + this + ' ' + _currentframe);", "trace('level ' + _currentframe);",
                                  "trace('level ' + _currentframe);"},
                                 "");
  EXPECT_EQ(play({"loadMovieNum('level.swf', 2); trace('asked ' + typeof _level2.getDepth);",
                  "trace('root 2 ' + _level2._url);", "unloadMovieNum(2);", "trace('root 4'); stop();"},
                 5),
            "asked undefined\n"
            "level _level2 1\n"
            "root 2 level.swf\n"
            "level 2\n"
            "root 4\n");
}

TEST_F(Loads, UnloadMovieEmptiesTheClipAtOnce) {
  files["child.swf"] = movieFile({"trace('child frame'); this.onUnload = function() { trace('gone'); };", "stop();"},
                                 "");
  EXPECT_EQ(play({"var h = createEmptyMovieClip('holder', 1); loadMovie('child.swf', h);",
                  "trace('before ' + h._totalframes); h.unloadMovie(); trace('after ' + h._totalframes + ' ' + h);"
                  "stop();"},
                 3),
            "child frame\n"
            "before 2\n"
            "after 1 _level0.holder\n"
            "gone\n");
}

// The listener hears start, progress and complete when the file is there, then init once the
// loaded movie's first frame ran; a missing file gives start and the error.
TEST_F(Loads, MovieClipLoaderTellsItsListenersInThePlayersOrder) {
  files["child.swf"] = movieFile({"trace('child frame 1'); stop();"}, "");
  const size_t size = files["child.swf"].size();
  EXPECT_EQ(play({"var l = new MovieClipLoader(); var o = {};"
                  "var names = ['onLoadStart', 'onLoadProgress', 'onLoadComplete', 'onLoadInit', 'onLoadError'];"
                  "for (var i = 0; i < names.length; ++i) o[names[i]] = (function(n) { return function(t, a, b) {"
                  "  trace(n + ' ' + t + (a == undefined ? '' : ' ' + a) + (b == undefined ? '' : ' ' + b)); }; })(names[i]);"
                  "l.addListener(o);"
                  "trace(l.loadClip('child.swf', createEmptyMovieClip('a', 1)));"
                  "trace(l.loadClip('missing.swf', createEmptyMovieClip('b', 2)));"
                  "trace(l.loadClip('child.swf', 'nowhere'));",
                  "stop();"},
                 3),
            "true\ntrue\nfalse\n"
            "onLoadStart _level0.a\n"
            "onLoadProgress _level0.a " + std::to_string(size) + " " + std::to_string(size) + "\n"
            "onLoadComplete _level0.a 0\n"
            "onLoadStart _level0.b\n"
            "onLoadError _level0.b URLNotFound 0\n"
            "child frame 1\n"
            "onLoadInit _level0.a\n");
}

TEST_F(Loads, FilesThatAreNoMovieLoadNothingAndBreakNothing) {
  files["text.swf"] = {'h', 'e', 'l', 'l', 'o'};
  files["short.swf"] = {'F', 'W', 'S', 8, 200, 0, 0, 0, 0x78};  // a header claiming more than there is
  EXPECT_EQ(play({"var a = createEmptyMovieClip('a', 1); a.loadMovie('text.swf');"
                  "var b = createEmptyMovieClip('b', 2); b.loadMovie('short.swf');"
                  "var c = createEmptyMovieClip('c', 3); c.loadMovie('missing.swf');",
                  "trace(a._totalframes + ' ' + b._totalframes + ' ' + c + ' ' + c._totalframes); stop();"},
                 3),
            "1 0 _level0.c 1\n");  // the cut-off movie reads as one without frames
}

}  // namespace

// Movies with ActionScript 2 code (compiled by as2c) in the player: frames on the player's
// timer, trace lines, FSCommand and ExternalInterface out, the container's variables and calls
// in, loads into _level0 that keep _global, `_url`, and the script limit.
#include <gtest/gtest.h>

#include "Compiler.h"
#include "PlayerHarness.h"
#include "SwfWriter.h"

using namespace player_test;

namespace {

constexpr unsigned kActionScript3Flag = 8;

// A one-frame movie of `source` compiled for `version`, written to `path`; `limitSeconds` adds
// a script-limits tag.
std::wstring writeCode(const std::wstring& path, const std::string& source, int version = 8,
                       unsigned limitSeconds = 0, unsigned fileAttributes = 0) {
  as2c::MovieSettings settings;
  settings.version = version;
  settings.frameRate = 30;
  settings.tags.push_back({as2c::TagKind::FileAttributes, {fileAttributes, 0}});
  if (limitSeconds) settings.tags.push_back({as2c::TagKind::ScriptLimits, {256, limitSeconds}});
  settings.tags.push_back({as2c::TagKind::Actions, {0, 0}});
  as2c::Bytes bytes = as2c::writeSwf(settings, as2c::compileActions(source, version));
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

class PlayerActionScript : public ::testing::Test, public PlayerFixtureBase {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, activate(site, OLEIVERB_UIACTIVATE)); }
  std::string dump() const {
    std::string all;
    for (const std::string& l : transcript->lines()) all += l + "\n";
    return all;
  }
  std::wstring variable(const wchar_t* name) {
    BSTR n = bstr(name), value = nullptr;
    player->GetVariable(n, &value);
    std::wstring text = value ? std::wstring(value, SysStringLen(value)) : L"<none>";
    SysFreeString(n);
    SysFreeString(value);
    return text;
  }
  void setVariable(const wchar_t* name, const wchar_t* value) {
    BSTR n = bstr(name), v = bstr(value);
    EXPECT_EQ(S_OK, player->SetVariable(n, v));
    SysFreeString(n);
    SysFreeString(v);
  }
  HRESULT callFunction(const wchar_t* request, std::wstring* answer) {
    BSTR r = bstr(request), out = nullptr;
    HRESULT hr = player->CallFunction(r, &out);
    *answer = out ? std::wstring(out, SysStringLen(out)) : L"";
    SysFreeString(r);
    SysFreeString(out);
    return hr;
  }
  TestSite& site = makeSite(/*allowWindowless=*/false, 160, 120);
};

TEST_F(PlayerActionScript, FramesTraceFsCommandAndExternalInterfaceCallsWithTypedValues) {
  sink->answer = L"<number>5</number>";
  ASSERT_TRUE(loadMovie(writeCode(folder.file(L"out.swf"), R"(
    trace("first frame");
    fscommand("quit", "now");
    var answer = flash.external.ExternalInterface.call("host.add", 2, "x & y", true, null);
    trace("answer " + answer + " " + typeof answer);
    var ticks = 0;
    this.onEnterFrame = function () {
      ticks++;
      if (ticks == 3) { trace("three frames later"); delete this.onEnterFrame; }
    };
  )")));
  ASSERT_TRUE(transcript->waitFor("trace \"three frames later\"")) << dump();
  EXPECT_TRUE(transcript->has("trace \"first frame\"")) << dump();
  EXPECT_TRUE(transcript->has("fscommand \"quit\" \"now\"")) << dump();
  EXPECT_TRUE(transcript->has("trace \"answer 5 number\"")) << dump();
  EXPECT_TRUE(transcript->has("call host.add \"2\" \"x & y\" \"true\" \"null\" -> \"5\"")) << dump();
  bool sawCall = false, sawCommand = false;
  for (const auto& e : sink->events) {
    if (e.id == flash::kDispFlashCall) {
      sawCall = true;
      EXPECT_EQ(L"<invoke name=\"host.add\" returntype=\"xml\"><arguments><number>2</number>"
                L"<string>x &amp; y</string><true/><null/></arguments></invoke>",
                e.args.at(0));
    }
    if (e.id == flash::kDispFSCommand) {
      sawCommand = true;
      EXPECT_EQ(L"now", e.args.at(0));
      EXPECT_EQ(L"quit", e.args.at(1));
    }
  }
  EXPECT_TRUE(sawCall && sawCommand);
}

TEST_F(PlayerActionScript, TheContainerReachesVariablesByPathSettersAndCallbacks) {
  ASSERT_TRUE(loadMovie(writeCode(folder.file(L"in.swf"), R"(
    _global.vor = new Object();
    vor.addProperty("__callFunction", function () { return undefined; },
                    function (v) { trace("setter got " + v); });
    var box = {inner: {value: "deep"}};
    flash.external.ExternalInterface.addCallback("join", null, function (a, b) { return a + "+" + b; });
    flash.external.ExternalInterface.addCallback("seven", null, function () { return 7; });
    trace("ready");
  )")));
  ASSERT_TRUE(transcript->waitFor("trace \"ready\"")) << dump();

  setVariable(L"vor.__callFunction", L"f!}}v{}!1");
  EXPECT_TRUE(transcript->has("trace \"setter got f!}}v{}!1\"")) << dump();
  EXPECT_EQ(L"<none>", variable(L"vor.__callFunction")) << "the getter gives undefined: no value";

  struct {
    const wchar_t* path;
    const wchar_t* value;
  } reads[] = {{L"box.inner.value", L"deep"}, {L"_level0.box.inner.value", L"deep"},
               {L"/box/inner:value", L"deep"}, {L"_root.box.inner.value", L"deep"},
               {L"$version", L"WIN 9,0,0,0"}};
  for (const auto& r : reads) EXPECT_EQ(r.value, variable(r.path)) << narrow(r.path);
  setVariable(L"box.inner.value", L"changed");
  setVariable(L"fresh", L"new");
  EXPECT_EQ(L"changed", variable(L"box.inner.value"));
  EXPECT_EQ(L"new", variable(L"_root.fresh"));

  std::wstring answer;
  EXPECT_EQ(S_OK, callFunction(L"<invoke name=\"join\" returntype=\"xml\"><arguments><string>a &amp; b</string>"
                               L"<string>c</string></arguments></invoke>",
                               &answer));
  EXPECT_EQ(L"<string>a &amp; b+c</string>", answer);
  EXPECT_EQ(S_OK, callFunction(L"<invoke name=\"seven\" returntype=\"xml\"><arguments></arguments></invoke>", &answer));
  EXPECT_EQ(L"<number>7</number>", answer);
  EXPECT_EQ(E_FAIL, callFunction(L"<invoke name=\"absent\" returntype=\"xml\"><arguments></arguments></invoke>", &answer));
}

TEST_F(PlayerActionScript, ALoadIntoLevelZeroByItsOwnFileUrlKeepsGlobalButNotTheOldRoot) {
  // In a folder with a blank in its name: `_url` escapes it, unescape gives it back.
  const std::wstring sub = folder.file(L"a b");
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  writeCode(sub + L"\\second.swf", R"(
    trace("second sees kept=" + kept + " leftover=" + leftover);
  )");
  // The way the bridge builds its path from _url: a "file://" URL with backslashes.
  ASSERT_TRUE(loadMovie(writeCode(sub + L"\\first.swf", R"(
    _global.kept = "yes";
    leftover = "still here";
    trace("url " + _url);
    var path = "file://" + unescape(_level0._url).substr(7).split("/").join("\\");
    loadMovieNum(path.substr(0, path.lastIndexOf("\\") + 1) + "second.swf", 0);
  )")));
  ASSERT_TRUE(transcript->waitFor("trace \"second sees")) << dump();
  EXPECT_TRUE(transcript->has("trace \"second sees kept=yes leftover=undefined\"")) << dump();
  EXPECT_TRUE(transcript->has("movie file://\\" + narrow(sub.substr(0, 1)) + "|\\")) << "loaded by that URL\n" << dump();
  // C:\...\a b\first.swf is file:///C|/.../a%20b/first.swf.
  std::string url = "file:///" + narrow(sub.substr(0, 1)) + "|";
  for (char c : narrow(sub.substr(2))) url += c == '\\' ? "/" : c == ' ' ? "%20" : std::string(1, c);
  EXPECT_TRUE(transcript->has("trace \"url " + url + "/first.swf\"")) << dump();
}

TEST_F(PlayerActionScript, ARunawayScriptStopsAtTheLimitOfTheMovieInLevelZeroAndTheMovieGoesOn) {
  writeCode(folder.file(L"loop.swf"), R"(
    this.onEnterFrame = function () { trace("still ticking"); delete this.onEnterFrame; };
    trace("looping");
    while (true) {}
    trace("never");
  )", 8, /*limitSeconds=*/1);
  // The first movie's long limit (the bridge movie's) goes with it.
  ASSERT_TRUE(loadMovie(writeCode(folder.file(L"first.swf"), "loadMovieNum('loop.swf', 0);", 8, 65535)));
  ASSERT_TRUE(transcript->waitFor("trace \"still ticking\"", 15000)) << dump();
  EXPECT_TRUE(transcript->has("trace \"A script has been running too long and was stopped\"")) << dump();
  EXPECT_FALSE(transcript->has("trace \"never\"")) << dump();
}

TEST_F(PlayerActionScript, AnActionScript3MovieRunsNoActionScript2AndBelowSwf8HasNoExternalInterface) {
  ASSERT_TRUE(loadMovie(writeCode(folder.file(L"as3.swf"), "trace('as3');", 9, 0, kActionScript3Flag)));
  ASSERT_TRUE(loadMovie(writeCode(folder.file(L"v7.swf"), R"(
    trace("ei " + typeof flash.external.ExternalInterface);
  )", 7)));
  ASSERT_TRUE(transcript->waitFor("trace \"ei ")) << dump();
  EXPECT_TRUE(transcript->has("trace \"ei undefined\"")) << dump();
  EXPECT_FALSE(transcript->has("trace \"as3\"")) << dump();
}

}  // namespace

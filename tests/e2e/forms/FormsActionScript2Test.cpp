// ActionScript 2 movies compiled by as2c in real projectors: through the bridge movie they read
// vor.Application, call it synchronously and with callbacks, hear form events, make a second
// form (whose SWF 10 movie comes from memory and loads a third into its _level0) and end the run
// with their exit code; every value holding backslashes reaches them as its true text.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "Compiler.h"
#include "SwfWriter.h"

namespace lumo::e2e {
namespace {

std::string compileMovie(const std::string& source, int version) {
  as2c::MovieSettings settings;
  settings.version = version;
  settings.frameRate = 24;
  settings.width = 320;
  settings.height = 240;
  settings.tags = {{as2c::TagKind::FileAttributes, {0, 0}}, {as2c::TagKind::Actions, {0, 0}}};
  const as2c::Bytes bytes = as2c::writeSwf(settings, as2c::compileActions(source, version));
  return std::string(bytes.begin(), bytes.end());
}

// The movie with a movie script (tag 1000, the stand-in player's) in its one frame.
std::string withPlayerScript(std::string swf, const std::string& script) {
  const auto putLe32 = [](std::string& out, size_t at, size_t value) {
    for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  std::string tag = {static_cast<char>(0x3F), static_cast<char>(0xFA), 0, 0, 0, 0};  // code 1000, long form
  putLe32(tag, 2, script.size());
  swf.insert(swf.size() - 4, tag + script);  // in the one frame, before ShowFrame and End
  putLe32(swf, 4, swf.size());  // the header's file length
  return swf;
}

// The main form's movie: once it heard a resize of its form to 400 x 300 and a focus change,
// it ends the run with its SWF version as the exit code.
std::string mainMovie(int version) {
  return R"(
    var app = vor.Application;
    trace("filename " + app.filename + ", minimized " + app.isMinimized);
    var names = app.getFormNames(vor.SYNC);
    trace("forms " + names.length + " " + names[0] + " " + (names instanceof Array));
    trace("thisForm " + vor.Forms.thisForm.___id);
    app.getFormNames(function (answer) { trace("callback got " + answer + " " + (answer instanceof Array)); });
    // The legacy handler form: a function on _root, kept after the bridge made way for this movie.
    _root.onFormResize = function (name, clientWidth, clientHeight) {
      trace("legacy resize " + name + " " + clientWidth + "x" + clientHeight);
    };
    var resized = false;
    var focused = false;
    var finish = function () {
      if (resized && focused) {
        trace("exiting");
        app.exitWithCode()" + std::to_string(version) + R"();
      }
    };
    app.addEventListener("FormResize", function (e) {
      if (e.formname != "main" || e.clientWidth != "400") return;
      trace("resize " + e.type + " " + e.formname + " " + e.clientWidth + "x" + e.clientHeight);
      resized = true;
      finish();
    });
    app.addEventListener("FormChangeFocus", function (e) {
      trace("focus " + e.type + " " + e.status);
      focused = true;
      finish();
    });
    var made = app.createForm("second", "standard", "second.swf", 10, 10, 200, 150, vor.SYNC);
    trace("createForm " + made + " " + typeof vor.Forms.second);
    trace("listening");
  )";
}

// The second form's movie, SWF 10 without the ActionScript 3 flag: no bridge, ExternalInterface
// straight to the runtime, and after "vor.flash9ready" its events through CallFunction into the
// function it registered.
const char kSecondMovie[] = R"(
  var ei = flash.external.ExternalInterface;
  trace("second form sees " + ei.call("vor.Application.getFormNames", "1", "<{lumo}>"));
  ei.addCallback("VORAS3EVENTCALLBACK", null, function (call) {
    var parts = call.split("!}}v{}!");
    if (parts[0] == "onFormResize") trace("second heard " + parts.join(" "));
  });
  ei.call("vor.flash9ready", "1", "<{lumo}>");
  _global.loadedBy = "second";
  trace("second ready");
  loadMovieNum("third.swf", 0);
)";

// Loaded by the second form's movie into its _level0 by a relative name: found beside the
// project (the runtime's Base for movies from memory), with _global kept.
const char kThirdMovie[] = R"(
  trace("third plays, loaded by " + _global.loadedBy);
)";

class FormsActionScript2 : public testing::TestWithParam<int> {};

TEST_P(FormsActionScript2, AMovieCallsTheApplicationHearsFormEventsMakesAFormAndExits) {
  const int version = GetParam();
  FormsProjector projector({}, R"({"title": "AS2", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "as2main", "x": 50, "y": 50, "width": 320, "height": 240,
                               "borderStyle": "none", "visibleAtStart": true}]})",
                           {{L"main.swf", compileMovie(mainMovie(version), version)},
                            {L"second.swf", compileMovie(kSecondMovie, 10)},
                            {L"third.swf", compileMovie(kThirdMovie, 10)}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("trace \"listening\"", 60000));
  HWND main = projector.formWindow(L"as2main");
  ASSERT_NE(main, nullptr);
  // The second form's movies have played and it heard its resize before the main form is
  // resized: from then on the main form's movie may end the run at any moment.
  ASSERT_TRUE(projector.waitFor("trace \"third plays"));
  HWND second = FindWindowExW(nullptr, nullptr, L"VORLUMO3WINDOW", nullptr);
  while (second == main) second = FindWindowExW(nullptr, second, L"VORLUMO3WINDOW", nullptr);
  ASSERT_NE(second, nullptr);
  SetWindowPos(second, nullptr, 0, 0, 250, 180, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(projector.waitFor("trace \"second heard onFormResize second "));
  // Then the main form's resize and the focus going to the second form and back, until its
  // movie ends the run.
  SetWindowPos(main, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  for (int i = 0; i < 40 && !projector.waitFor("trace \"exiting\"", 500); ++i) {
    SetForegroundWindow(i % 2 ? second : main);
  }
  const std::optional<int> exitCode = projector.process().wait(20000);
  if (!exitCode) projector.process().kill();
  EXPECT_EQ(exitCode, version);

  const std::vector<std::string> lines = projector.transcript();
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  const auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  const auto hasPrefix = [&](const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  };
  EXPECT_TRUE(has("trace \"filename app.exe, minimized false\"")) << all;
  EXPECT_TRUE(has("trace \"forms 1 main true\"")) << all;
  EXPECT_TRUE(has("trace \"thisForm main\"")) << all;
  EXPECT_TRUE(has("trace \"callback got main true\"")) << all;  // the answer read as a value
  EXPECT_TRUE(has("trace \"createForm true object\"")) << all;
  EXPECT_TRUE(has("trace \"resize FormResize main 400x300\"")) << all;
  EXPECT_TRUE(has("trace \"legacy resize main 400x300\"")) << all;
  EXPECT_TRUE(hasPrefix("trace \"focus FormChangeFocus ")) << all;
  EXPECT_TRUE(has("trace \"second form sees [\\\"main\\\",\\\"second\\\"]\"")) << all;
  EXPECT_TRUE(hasPrefix("trace \"second heard onFormResize second ")) << all;
  EXPECT_TRUE(has("trace \"third plays, loaded by second\"")) << all;
  // The bridge went first and loaded the form's own movie, stored as version 8, by its file URL.
  EXPECT_TRUE(hasPrefix("call vor.hasEI ")) << all;
  const auto dat = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.rfind("movie file://", 0) == 0 && l.find("~swd1.dat version 8") != std::string::npos;
  });
  EXPECT_NE(dat, lines.end()) << all;
}

// Reads a value of every kind that can hold a backslash: a declared path, a System.Paths
// folder, a bare path answer, a quoted answer with backslashes and a quote (synchronous and
// through a callback), and a dropped file's path in the legacy call and the event payload.
const char kBackslashMovie[] = R"(
  var app = vor.Application;
  var value = "C:\\env dir\\a\"b";
  app.setEnvVar("LUMO_BACKSLASHES", value, vor.SYNC);
  trace("path " + app.path);
  trace("temp " + vor.System.Paths.temp);
  trace("getpath " + app.getpath(vor.SYNC));
  trace("env " + app.getEnvVar("LUMO_BACKSLASHES", vor.SYNC));
  app.getEnvVar("LUMO_BACKSLASHES", function (answer) { trace("callback " + answer); });
  _root.onDragDrop = function (files) { trace("legacy " + files); };
  app.addEventListener("DragDrop", function (e) {
    trace("dropped " + e.files.length + " " + e.files[0]);
    app.exitWithCode(8);
  });
  trace("listening");
)";

// The stand-in player drops the file once a movie call shows the form is up and listening.
const char kDropScript[] =
    "watch vor.__callFunction\n"
    "wait-for vor.__callFunction 1 30000\n"
    "user drop \"C:\\\\drop dir\\\\f.txt\"\n";

std::wstring fullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
  return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : path;
}

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

TEST(FormsActionScript2Values, EveryValueWithBackslashesArrivesAsItsTrueText) {
  FormsProjector projector({}, R"({"title": "AS2 paths", "forms": [{"name": "main", "movie": "main.swf",
                               "windowTitle": "as2paths", "width": 320, "height": 240, "borderStyle": "none",
                               "visibleAtStart": true}]})",
                           {{L"main.swf", withPlayerScript(compileMovie(kBackslashMovie, 8), kDropScript)}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  // Files drop only onto a window that accepts them (an extension would switch that on).
  HWND form = projector.formWindow(L"as2paths");
  ASSERT_NE(form, nullptr);
  SetWindowLongPtrW(form, GWL_EXSTYLE, GetWindowLongPtrW(form, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  ASSERT_TRUE(projector.waitFor("trace \"listening\"", 60000));
  SetWindowPos(form, nullptr, 0, 0, 330, 250, SWP_NOMOVE | SWP_NOZORDER);  // a movie call, if none came yet
  const std::optional<int> exitCode = projector.process().wait(30000);
  if (!exitCode) projector.process().kill();
  EXPECT_EQ(exitCode, 8);

  const std::wstring exe = fullPath(projector.folder().file(L"app.exe"));
  wchar_t temp[MAX_PATH + 1];
  const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
  const std::vector<std::string> lines = projector.transcript();
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  const auto has = [&](const std::string& text) {
    return std::find(lines.begin(), lines.end(), "trace \"" + transcriptQuoted(text) + "\"") != lines.end();
  };
  EXPECT_TRUE(has("path " + narrow(exe.substr(0, exe.rfind(L'\\') + 1)))) << all;
  EXPECT_TRUE(has("temp " + narrow(std::wstring(temp, tempLength)))) << all;
  EXPECT_TRUE(has("getpath " + narrow(exe))) << all;
  EXPECT_TRUE(has("env C:\\env dir\\a\"b")) << all;
  EXPECT_TRUE(has("callback C:\\env dir\\a\"b")) << all;
  EXPECT_TRUE(has("legacy C:\\drop dir\\f.txt")) << all;
  EXPECT_TRUE(has("dropped 1 C:\\drop dir\\f.txt")) << all;
}

INSTANTIATE_TEST_SUITE_P(Versions, FormsActionScript2, testing::Values(6, 8),
                         [](const testing::TestParamInfo<int>& info) { return "Swf" + std::to_string(info.param); });

}  // namespace
}  // namespace lumo::e2e

// The forms' lines on the debugger output, read by running a projector as a debuggee: focus
// moving between two forms and their movies, painting, and buttons the projector keeps.
#include "forms/FormsFixture.h"
#include "support/DebuggedProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo::e2e {
namespace {

TEST(FormsDebugOutput, FocusPaintingAndKeptButtonsAreTraced) {
  // The main form's movie takes the focus with a click; then the second form's movie takes it
  // and the second form keeps a right click. The second movie goes on at the first event it
  // hears: the move the test makes once the main movie has clicked.
  FormsProjector projector(
      {{L"main.swf", "wait 500\nuser click left 20 20\nlog main clicked\n"},
       {L"second.swf", "watch vor.__callFunction\nwait-for vor.__callFunction 1 30000\n"
                       "user click left 20 20\nuser click right 20 20\nlog second clicked\n"}},
      R"({"title": "Traces", "forms": [
         {"name": "main", "movie": "main.swf", "x": 50, "y": 50, "width": 200, "height": 100,
          "visibleAtStart": true, "borderStyle": "none", "leftButtonMode": "send"},
         {"name": "second", "movie": "second.swf", "windowTitle": "second", "x": 300, "y": 50, "width": 200, "height": 100,
          "visibleAtStart": true, "borderStyle": "none", "leftButtonMode": "send", "rightButtonMode": "ignore"}]})");
  ASSERT_TRUE(projector.built());
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", projector.folder().file(L"transcript.txt").c_str());
  DebuggedProcess app;
  const bool started = app.start(projector.folder().file(L"app.exe"), L"", projector.folder().path());
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", nullptr);
  ASSERT_TRUE(started);
  ASSERT_TRUE(projector.waitFor("log \"main clicked\"", 20000));
  HWND second = projector.formWindow(L"second");
  ASSERT_NE(second, nullptr);
  SetWindowPos(second, nullptr, 310, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(projector.waitFor("log \"second clicked\"", 20000));
  // The input is queued when the script goes on: the right release is the last line it makes.
  EXPECT_TRUE(app.waitFor("WM_RBUTTONUP"));
  EXPECT_TRUE(app.waitFor("setfocus child form 1"));
  app.kill();

  const std::vector<std::string> lines = app.lines();
  const auto at = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  const long count = static_cast<long>(lines.size());
  for (const char* line : {"setfocus main form 0", "killfocus main form 0", "setfocus child form 0",
                           "killfocus child form 0", "setfocus child form 1", "WM_PAINT", "WM_RBUTTONDOWN",
                           "WM_RBUTTONUP"}) {
    EXPECT_LT(at(line), count) << line;
  }
  // The click moves the focus from the main form's window to its movie, later on to the
  // second form's movie.
  EXPECT_LT(at("setfocus main form 0"), at("setfocus child form 0"));
  EXPECT_LT(at("setfocus child form 0"), at("killfocus child form 0"));
  EXPECT_LT(at("killfocus child form 0"), at("setfocus child form 1"));
  EXPECT_EQ(at("WM_LBUTTONDOWN"), count) << "a press that goes to the movie is not traced";
}

}  // namespace
}  // namespace lumo::e2e

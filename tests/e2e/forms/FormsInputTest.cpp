// Real input reaching a movie in a projector: a click focuses a text field of a system font,
// typed keys become the field's variable, and a click on a button runs the button's action,
// which hands that variable to the runtime and ends the run with its exit code.
#include "FormsFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::e2e {
namespace {

// The button's release action, as ActionScript would have it:
//   ExternalInterface.call("vor.Application.settitle", "0", "<{lumo}>" + typed);
//   ExternalInterface.call("vor.Application.exitWithCode", "0", "<{lumo}>7");
constexpr const char* kReleaseAction =
    "960A00003C7B6C756D6F7D3E00960700007479706564001C4796290000300000766F722E4170706C69636174696F6E2E736574"
    "7469746C6500070300000000666C617368001C960A000065787465726E616C004E9613000045787465726E616C496E74657266"
    "616365004E9606000063616C6C005217960B00003C7B6C756D6F7D3E3700962D0000300000766F722E4170706C6963617469"
    "6F6E2E6578697457697468436F646500070300000000666C617368001C960A000065787465726E616C004E96130000457874"
    "65726E616C496E74657266616365004E9606000063616C6C00521700";

// Stage 240 x 160: the field at (10, 10) 200 x 30, the button at (60, 100) 100 x 40; a shape
// drawn above the button's lower half does not hide it from the pointer.
std::string scene() {
  return std::string(R"(shape 1 rect 0 0 100 40 fill 2060C0
shape 5 rect 0 0 100 20 fill 80808040
button 2
  state up,over,down,hit 1 depth 1
  on release )") + kReleaseAction + R"(
end
font 3 _sans device
field 4 0 0 200 30 font 3 size 16 var typed border
place 4 depth 1 at 10 10
place 2 depth 2 at 60 100
place 5 depth 3 at 60 120
)";
}

TEST(FormsInput, TypedKeysReachTheMovieAndAClickOnTheButtonRunsItsAction) {
  // A click beside the button first: nothing may run from it.
  const std::string script =
      "log started\n"
      "user click left 30 130\n"
      "user click left 50 25\n"
      "user type hello\n"
      "user key 8\n"
      "user type p\n"
      "user click left 110 130\n";
  FormsProjector projector({{L"input.swf", script, 8, "--size 240x160 --rate 12 --scene scene.txt"}},
                           R"({"title": "Input", "forms": [
                              {"name": "main", "windowTitle": "input", "movie": "input.swf", "x": 200, "y": 150,
                               "width": 240, "height": 160, "visibleAtStart": true}]})",
                           {{L"scene.txt", scene()}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  EXPECT_EQ(projector.process().wait(30000), 7) << "the button's action ends the run";
  EXPECT_TRUE(projector.waitFor("vor.Application.settitle \"0\" \"<{lumo}>hellp\"", 0))
      << "the typed text, Backspace applied, reaches the movie's variable";
  int exits = 0;
  for (const std::string& line : projector.transcript())
    if (line.find("vor.Application.exitWithCode") != std::string::npos) ++exits;
  EXPECT_EQ(exits, 1) << "only the click on the button ran its action";
  if (HasFailure()) saveScreenshot(L"FormsInput");
}

}  // namespace
}  // namespace lumo::e2e

// The command path in real projectors: a movie's ExternalInterface calls reach the command
// engine through the form window and come back as the call's value.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

namespace lumo::e2e {
namespace {

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

TEST(FormsCommands, BridgeCommandsAndAnUnknownModuleAnswerTheMovie) {
  // The main movie waits so that the second form exists when it asks for the forms.
  const std::string mainScript =
      "wait 500\n"
      "call vor.hasEI 0 \"<{lumo}>\"\n"
      "call vor.hasEI 0 \"<{lumo}>\"\n"
      "call vor.initforms 0 \"<{lumo}>\"\n"
      "call vor.initialise 0 \"<{lumo}>\"\n"
      "call vor.flash9ready 0 \"<{lumo}>\"\n"
      "call vor.Nope.method 0 \"<{lumo}>\"\n"
      "var greeting\n"
      "log main done\n"
      "call vor.Application.exitWithCode 0 \"<{lumo}>4\"\n";
  const std::string secondScript =
      "wait 200\n"
      "call vor.initforms 1 \"<{lumo}>\"\n"
      "log second done\n";
  FormsProjector projector({{L"main.swf", mainScript}, {L"second.swf", secondScript}},
                           R"({"title": "Commands", "globalVariables": {"greeting": "hello", "answer": "42"}, "forms": [
                              {"name": "main", "movie": "main.swf", "width": 200, "height": 100, "visibleAtStart": true},
                              {"name": "second", "movie": "second.swf", "width": 200, "height": 100, "windowTitle": "second"}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());

  // The unknown module stops the main movie's script in a message box until it is closed.
  const UiResult box = uidriver(L"text --title \"RUNTIME ERROR\" --control 65535 --timeout 20000");
  EXPECT_EQ(box.exitCode, 0);
  EXPECT_NE(box.output.find("Error: couldn't locate runtime module: vor.Nope"), std::string::npos) << box.output;
  // The second movie finishes while the box holds the main one, which ends the run after it.
  ASSERT_TRUE(projector.waitFor("log \"second done\""));
  ASSERT_EQ(uidriver(L"click --title \"RUNTIME ERROR\" --control 1").exitCode, 0);
  ASSERT_TRUE(projector.waitFor("log \"main done\""));

  const auto lines = projector.transcript();
  EXPECT_TRUE(contains(lines, R"(call vor.hasEI "0" "<{lumo}>" -> "000000")"));
  EXPECT_TRUE(contains(lines, R"(call vor.hasEI "0" "<{lumo}>" -> "000001")"));
  EXPECT_TRUE(contains(lines, R"(call vor.initforms "0" "<{lumo}>" -> "main<{!z!}>standard<{!z!}>thisForm<{!z!!}>second<{!z!}>standard<{!z!!}>")"));
  EXPECT_TRUE(contains(lines, R"(call vor.initforms "1" "<{lumo}>" -> "main<{!z!}>standard<{!z!!}>second<{!z!}>standard<{!z!}>thisForm<{!z!!}>")"));
  EXPECT_TRUE(contains(lines, R"(call vor.initialise "0" "<{lumo}>" -> "Extensions<{!!z!!}><{!z!!}>)")) << "the declaration string";
  EXPECT_TRUE(contains(lines, R"(call vor.flash9ready "0" "<{lumo}>" -> "")"));
  EXPECT_TRUE(contains(lines, R"(call vor.Nope.method "0" "<{lumo}>" -> "")"));
  EXPECT_TRUE(contains(lines, R"(var "greeting" "hello")")) << "global variables reach the movie as FlashVars";
  EXPECT_EQ(projector.process().wait(20000), 4) << "the movie ends the run with its exit code";
}

}  // namespace
}  // namespace lumo::e2e

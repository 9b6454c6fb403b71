// The movie script's `user menu` in a real projector: a menu bar on a form (put there by a test
// extension, as an extension may) is chosen from with the keyboard, through the form's own
// window procedure, and the chosen item's command reaches the form. Real input, so alone.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumo::e2e {
namespace {

std::string builtFile(const std::wstring& name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  std::ifstream in(std::filesystem::path(path.substr(0, path.find_last_of(L'\\') + 1) + name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string call(const std::string& method) { return "call vor.Extensions.One." + method + " 0 \"<{lumo}>\"\n"; }

TEST(MenuBarInput, UserMenuChoosesFromAFormsBarWithTheKeyboard) {
  const std::string script = "call vor.initialise 0 \"<{lumo}>\"\n" + call("menuBar") + "expect true\nwait 300\n" +
                             "user menu File/Quit\nwait 800\n" + call("lastCommand") + "expect 4243\n" +
                             "user menu \"File/Open...\"\nwait 800\n" + call("lastCommand") + "expect 4242\n" +
                             "call vor.Application.exitWithCode 0 \"<{lumo}>0\"\n";
  FormsProjector projector({{L"movie.swf", script}},
                           R"({"title": "Bar", "extensions": ["two.vdd"], "forms": [{"name": "main",
                               "movie": "movie.swf", "width": 240, "height": 120, "visibleAtStart": true}]})",
                           {{L"two.vdd", builtFile(L"two.vdd")}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  EXPECT_EQ(projector.process().wait(60000), 0);
  // The shared fixture fails the test on the FAIL line of an `expect` that did not match.
  EXPECT_TRUE(projector.waitFor("user menu File/Quit", 0));
}

}  // namespace
}  // namespace lumo::e2e

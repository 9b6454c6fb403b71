// The movie script's menu actions in real projectors: `user menu` on a form's menu bar (put
// there by a test extension, or built by the movie through the menu extension), `user context`
// and `user pick` on the application's context menu, `user tray` and `user pick` on the tray
// menu; each choice reaches the form, or the movie as its click event. Real input, so alone.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <string>

#include "IconFixture.h"

namespace lumo::e2e {
namespace {

std::string call(const std::string& method) { return "call vor.Extensions.One." + method + " 0 \"<{lumo}>\"\n"; }

// The extension's bar tells the movie of each command it gets (the variable "command"): the
// movie reads the result once the command has come.
TEST(MenuBarInput, UserMenuChoosesFromAFormsBarWithTheKeyboard) {
  const std::string script = "call vor.initialise 0 \"<{lumo}>\"\n" + call("menuBar") + "expect true\nwatch command\n" +
                             "user menu File/Quit\nwait-for command 1 30000\n" + call("lastCommand") + "expect 4243\n" +
                             "user menu \"File/Open...\"\nwait-for command 2 30000\n" + call("lastCommand") +
                             "expect 4242\n" +
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

std::string menu(const std::string& menuClass, const std::string& command, const std::string& arguments = "") {
  return "call vor.Menu." + menuClass + "." + command + " 0 \"<{lumo}>" + arguments + "\"\n";
}

// Each menu's type is "variable": the movie goes on once the pick has set its variable.
TEST(MenuBarInput, TheMoviesOwnMenusAreChosenByMenuContextPickAndTray) {
  std::string script = menu("Main", "addMenu", "File") + menu("Main", "addItem", "File,Open") +
                       menu("Main", "enableItem", "File,Open") + menu("Context", "addItem", "Copy") +
                       menu("Tray", "showIcon") + menu("Tray", "addItem", "Show");
  for (const char* menuClass : {"Main", "Context", "Tray"}) script += menu(menuClass, "setmenuType", "variable");
  script += "watch menu_Open\nwatch menu_Copy\nwatch menu_Show\n"
            "user menu File/Open\nwait-for menu_Open 1 30000\n"
            "user context 120 60\nuser pick Copy\nwait-for menu_Copy 1 30000\n"
            "user tray right\nuser pick Show\nwait-for menu_Show 1 30000\n"
            "call vor.Application.exitWithCode 0 \"<{lumo}>0\"\n";
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "Menus", "menuExtension": true, "trayIconImage": "project.ico",
                               "forms": [{"name": "main", "movie": "main.swf", "windowTitle": "main",
                               "width": 240, "height": 120, "visibleAtStart": true}]})",
                           {{L"project.ico", test::solidIcon({16, 32}, 0xFF2040C0)}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  EXPECT_EQ(projector.process().wait(60000), 0);
  for (const char* click : {"!}}v{}!MenuClick_Open!}}v{}!Menu.Main", "!}}v{}!ContextMenuClick_Copy!}}v{}!Menu.Context",
                            "!}}v{}!TrayMenuClick_Show!}}v{}!Menu.Tray", "user tray right -> tray"})
    EXPECT_TRUE(projector.waitFor(click, 0)) << click;
}

}  // namespace
}  // namespace lumo::e2e

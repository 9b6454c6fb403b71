// vor.Application.Screensaver's switches, the screensaver command line, and which built-in
// modules each project mode registers.
#include "ScreensaverSwitches.h"
#include "bridge/BuiltInModules.h"
#include "bridge/CommandEngine.h"
#include "modules/BuiltInModuleTable.h"
#include "modules/ScreensaverModule.h"

#include "../bridge/FakeForm.h"

#include <gtest/gtest.h>

#include <optional>

namespace lumo {
namespace {

class SwitchForm : public test::FakeForm {
 public:
  using FakeForm::FakeForm;
  void setCloseOnMouse(bool on) override { mouse = on; }
  void setCloseOnKey(bool on) override { key = on; }
  std::optional<bool> mouse, key;
};

TEST(ScreensaverModule, SwitchesAreTrueOnlyForExactlyTrueAndBelongToTheCallingForm) {
  ScreensaverModule module;
  ASSERT_TRUE(module.registerMethods());
  EXPECT_EQ(module.name, L"vor.Application.Screensaver");
  EXPECT_EQ(module.methods.size(), 2u);
  SwitchForm form(1, L"one"), other(2, L"two");
  RuntimeMethod* key = module.findMethod(L"keyPressExits");
  RuntimeMethod* mouse = module.findMethod(L"mouseMoveExits");
  ASSERT_TRUE(key && mouse);

  EXPECT_EQ(key->invoke(&form, {L"true"}), L"");
  EXPECT_EQ(form.key, true);
  EXPECT_FALSE(other.key.has_value());
  key->invoke(&form, {L"TRUE"});
  EXPECT_EQ(form.key, false);
  mouse->invoke(&form, {L"false"});
  EXPECT_EQ(form.mouse, false);
  mouse->invoke(&form, {L"true", L"ignored"});
  EXPECT_EQ(form.mouse, true);
  EXPECT_EQ(mouse->invoke(&other, {}), L"");
  EXPECT_FALSE(other.mouse.has_value()) << "no argument changes nothing";
}

TEST(ScreensaverSwitches, CommandLinesWindowsGivesAScreensaver) {
  using Action = ScreensaverSwitches::Action;
  struct Case {
    const wchar_t* line;
    Action action;
    ULONG_PTR window;
  };
  const Case cases[] = {
      {L"\"C:\\My Saver\\app.scr\"", Action::Run, 0},
      {L"app.scr /s", Action::Run, 0},
      {L"app.scr /S", Action::Run, 0},
      {L"app.scr /p 1234", Action::Preview, 1234},
      {L"app.scr /P:5678", Action::Preview, 5678},
      {L"\"C:\\My Saver\\app.scr\" -p 42", Action::Preview, 42},
      {L"app.scr /p", Action::Run, 0},
      {L"app.scr /p 12x", Action::Run, 0},
      {L"app.scr /c", Action::Configure, 0},
      {L"app.scr /c:777", Action::Configure, 777},
      {L"app.scr /C 99", Action::Configure, 99},
      {L"app.scr /x", Action::Run, 0},
      {L"app.scr /pause", Action::Run, 0},
      {L"app.scr hello", Action::Run, 0},
  };
  for (const Case& c : cases) {
    const ScreensaverSwitches s = parseScreensaverSwitches(c.line);
    EXPECT_EQ(s.action, c.action) << std::string(c.line, c.line + wcslen(c.line));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(s.window), c.window) << std::string(c.line, c.line + wcslen(c.line));
  }
}

TEST(BuiltInModules, EachModeRegistersItsModulesAndNoOther) {
  struct Case {
    bool kiosk, screensaver;
    std::vector<std::wstring> names;
  };
  const Case cases[] = {
      {false, false, {L"vor.Application", L"vor.Application.Library", L"vor.Application.Timer"}},
      {false, true,
       {L"vor.Application", L"vor.Application.Library", L"vor.Application.Screensaver", L"vor.Application.Timer"}},
  };
  for (const Case& c : cases) {
    CommandEngine engine;
    ASSERT_TRUE(registerBuiltInModules(engine, c.kiosk, c.screensaver, builtInModuleTable()));
    std::vector<std::wstring> names;
    for (const auto& [name, module] : engine.modules()) {
      names.push_back(name);
      EXPECT_FALSE(module->methods.empty());
      EXPECT_EQ(module->version, L"1.0.0");
    }
    EXPECT_EQ(names, c.names);
  }
}

}  // namespace
}  // namespace lumo

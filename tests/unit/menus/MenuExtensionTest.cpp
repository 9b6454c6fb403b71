// The standard menu extension as the runtime meets it: menus.vdd loaded from disk, its three
// modules taken through the two exports, and each command called with a movie's arguments on
// a form that records which operations (by their slots in the form interface) it received.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../bridge/FakeForm.h"
#include "lumo/Extension.h"

namespace lumo::test {
namespace {

std::wstring flag(bool on) { return on ? L"true" : L"false"; }

class RecordingForm final : public FakeForm {
 public:
  RecordingForm() : FakeForm(0, L"main") {}
  std::vector<std::wstring> calls;

  void addMainMenuSeparator(const std::wstring& m) override { note(L"addMainMenuSeparator", {m}); }
  void addMainMenu(const std::wstring& m) override { note(L"addMainMenu", {m}); }
  void addMainMenuItem(const std::wstring& m, const std::wstring& i) override { note(L"addMainMenuItem", {m, i}); }
  void setMainMenuItemChecked(const std::wstring& m, const std::wstring& i, bool on) override {
    note(L"setMainMenuItemChecked", {m, i, flag(on)});
  }
  void setMainMenuItemEnabled(const std::wstring& m, const std::wstring& i, bool on) override {
    note(L"setMainMenuItemEnabled", {m, i, flag(on)});
  }
  void setMainMenuItemVisible(const std::wstring& m, const std::wstring& i, bool on) override {
    note(L"setMainMenuItemVisible", {m, i, flag(on)});
  }
  void removeMainMenu(const std::wstring& m) override { note(L"removeMainMenu", {m}); }
  void removeMainMenuItem(const std::wstring& m, const std::wstring& i) override { note(L"removeMainMenuItem", {m, i}); }
  void setMainMenuType(const std::wstring& t) override { note(L"setMainMenuType", {t}); }
  void hideTrayIcon() override { note(L"hideTrayIcon", {}); }
  void addTrayMenuSeparator() override { note(L"addTrayMenuSeparator", {}); }
  void addTrayMenuItem(const std::wstring& i) override { note(L"addTrayMenuItem", {i}); }
  void setTrayMenuItemChecked(const std::wstring& i, bool on) override { note(L"setTrayMenuItemChecked", {i, flag(on)}); }
  void setTrayMenuItemEnabled(const std::wstring& i, bool on) override { note(L"setTrayMenuItemEnabled", {i, flag(on)}); }
  void setTrayMenuItemVisible(const std::wstring& i, bool on) override { note(L"setTrayMenuItemVisible", {i, flag(on)}); }
  void removeTrayMenuItem(const std::wstring& i) override { note(L"removeTrayMenuItem", {i}); }
  void setTrayIcon(const std::wstring& p) override { note(L"setTrayIcon", {p}); }
  void showTrayBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& icon,
                       const std::wstring& timeout, const std::wstring& click) override {
    note(L"showTrayBalloon", {title, text, icon, timeout, click});
  }
  void showTrayIcon() override { note(L"showTrayIcon", {}); }
  void setTrayMenuType(const std::wstring& t) override { note(L"setTrayMenuType", {t}); }
  void setTrayHint(const std::wstring& h) override { note(L"setTrayHint", {h}); }
  void disableContextMenu() override { note(L"disableContextMenu", {}); }
  void enableContextMenu() override { note(L"enableContextMenu", {}); }
  void addContextMenuSeparator() override { note(L"addContextMenuSeparator", {}); }
  void addContextMenuItem(const std::wstring& i) override { note(L"addContextMenuItem", {i}); }
  void setContextMenuItemChecked(const std::wstring& i, bool on) override { note(L"setContextMenuItemChecked", {i, flag(on)}); }
  void setContextMenuItemEnabled(const std::wstring& i, bool on) override { note(L"setContextMenuItemEnabled", {i, flag(on)}); }
  void setContextMenuItemVisible(const std::wstring& i, bool on) override { note(L"setContextMenuItemVisible", {i, flag(on)}); }
  void removeContextMenuItem(const std::wstring& i) override { note(L"removeContextMenuItem", {i}); }
  void setContextMenuType(const std::wstring& t) override { note(L"setContextMenuType", {t}); }
  std::wstring getAppMenuSetting1() override { return L"one \"1\""; }
  void setAppMenuSetting1(const std::wstring& v) override { note(L"setAppMenuSetting1", {v}); }
  std::wstring getAppMenuSetting2() override { return L"two"; }
  void setAppMenuSetting2(const std::wstring& v) override { note(L"setAppMenuSetting2", {v}); }

 private:
  void note(const wchar_t* operation, std::vector<std::wstring> arguments) {
    std::wstring line = operation;
    line += L"(";
    for (size_t i = 0; i < arguments.size(); ++i) line += (i ? L"," : L"") + arguments[i];
    calls.push_back(line + L")");
  }
};

class MenuExtension : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = LoadLibraryW(L"menus.vdd");
    ASSERT_NE(library_, nullptr) << "menus.vdd beside the test program: " << GetLastError();
    auto count = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library_, "GetNumPlugins")));
    auto instance = reinterpret_cast<RuntimeModule* (*)(int)>(
        reinterpret_cast<void*>(GetProcAddress(library_, "GetPluginInstance")));
    ASSERT_TRUE(count && instance);
    ASSERT_EQ(count(), 3);
    for (int i = 0; i < 3; ++i) {
      RuntimeModule* module = instance(i);
      ASSERT_NE(module, nullptr);
      ASSERT_TRUE(module->registerMethods());
      modules_.push_back(module);
    }
    EXPECT_EQ(instance(3), nullptr);
    EXPECT_EQ(instance(-1), nullptr);
  }
  static void TearDownTestSuite() {
    for (RuntimeModule* module : modules_) module->clearMethods();
    modules_.clear();
    if (library_) FreeLibrary(library_);
  }

  static RuntimeModule* module(const std::wstring& name) {
    for (RuntimeModule* m : modules_)
      if (m->name == name) return m;
    return nullptr;
  }

  // The answer of `module`.`method`; the operations it called are in form.calls.
  static std::wstring call(RecordingForm& form, const std::wstring& moduleName, const std::wstring& method,
                           const std::vector<std::wstring>& arguments) {
    RuntimeModule* m = module(moduleName);
    if (!m) return L"(no module " + moduleName + L")";
    RuntimeMethod* command = m->findMethod(method);
    if (!command) return L"(no method " + method + L")";
    return command->invoke(&form, arguments);
  }

  static inline HMODULE library_ = nullptr;
  static inline std::vector<RuntimeModule*> modules_;
};

TEST_F(MenuExtension, DeclaresTheThreeModulesUnderTheNamesOfTheMovieClasses) {
  ASSERT_EQ(modules_.size(), 3u);
  EXPECT_EQ(modules_[0]->name, L"vor.Menu.Main");
  EXPECT_EQ(modules_[1]->name, L"vor.Menu.Context");
  EXPECT_EQ(modules_[2]->name, L"vor.Menu.Tray");
  for (RuntimeModule* m : modules_) {
    EXPECT_TRUE(m->enabled);
    EXPECT_EQ(m->version, L"1.0.0");
    EXPECT_NE(m->findMethod(L"setmenuType"), nullptr) << "menuType is written through setmenuType";
  }
  EXPECT_NE(module(L"vor.Menu.Tray")->findMethod(L"seticonHint"), nullptr) << "iconHint is written through seticonHint";
}

struct Case {
  const wchar_t* module;
  const wchar_t* method;
  std::vector<std::wstring> arguments;
  const wchar_t* operation;  // what the form receives; empty when the call is refused
  const wchar_t* answer = L"true";
};

const wchar_t kMain[] = L"vor.Menu.Main";
const wchar_t kContext[] = L"vor.Menu.Context";
const wchar_t kTray[] = L"vor.Menu.Tray";

// Every command once, each reaching its own slot with the movie's arguments in order.
const Case kCommands[] = {
    {kMain, L"addMenu", {L"File"}, L"addMainMenu(File)"},
    {kMain, L"removeMenu", {L"File"}, L"removeMainMenu(File)"},
    {kMain, L"addItem", {L"File", L"&Save As..."}, L"addMainMenuItem(File,&Save As...)"},
    {kMain, L"addSeparator", {L"File"}, L"addMainMenuSeparator(File)"},
    {kMain, L"removeItem", {L"File", L"Open"}, L"removeMainMenuItem(File,Open)"},
    {kMain, L"setItemChecked", {L"View", L"Grid", L"true"}, L"setMainMenuItemChecked(View,Grid,true)"},
    {kMain, L"setItemEnabled", {L"View", L"Grid", L"0"}, L"setMainMenuItemEnabled(View,Grid,false)"},
    {kMain, L"setItemVisible", {L"View", L"Grid", L"FALSE"}, L"setMainMenuItemVisible(View,Grid,false)"},
    {kMain, L"checkItem", {L"View", L"Grid"}, L"setMainMenuItemChecked(View,Grid,true)"},
    {kMain, L"uncheckItem", {L"View", L"Grid"}, L"setMainMenuItemChecked(View,Grid,false)"},
    {kMain, L"enableItem", {L"View", L"Grid"}, L"setMainMenuItemEnabled(View,Grid,true)"},
    {kMain, L"disableItem", {L"View", L"Grid"}, L"setMainMenuItemEnabled(View,Grid,false)"},
    {kMain, L"showItem", {L"View", L"Grid"}, L"setMainMenuItemVisible(View,Grid,true)"},
    {kMain, L"hideItem", {L"View", L"Grid"}, L"setMainMenuItemVisible(View,Grid,false)"},
    {kMain, L"setmenuType", {L"function"}, L"setMainMenuType(function)"},
    {kMain, L"setmenuType", {L""}, L"setMainMenuType()"},
    {kMain, L"getAppMenuSetting1", {}, L"", L"\"one \"1\"\""},
    {kMain, L"getAppMenuSetting2", {}, L"", L"\"two\""},
    {kMain, L"setAppMenuSetting1", {L"frame"}, L"setAppMenuSetting1(frame)"},
    {kMain, L"setAppMenuSetting2", {L"x"}, L"setAppMenuSetting2(x)"},
    {kContext, L"enable", {}, L"enableContextMenu()"},
    {kContext, L"disable", {}, L"disableContextMenu()"},
    {kContext, L"setEnabled", {L"false"}, L"disableContextMenu()"},
    {kContext, L"setEnabled", {L"1"}, L"enableContextMenu()"},
    {kContext, L"addItem", {L"Copy"}, L"addContextMenuItem(Copy)"},
    {kContext, L"addSeparator", {}, L"addContextMenuSeparator()"},
    {kContext, L"removeItem", {L"Copy"}, L"removeContextMenuItem(Copy)"},
    {kContext, L"setItemChecked", {L"Copy", L"True"}, L"setContextMenuItemChecked(Copy,true)"},
    {kContext, L"setItemEnabled", {L"Copy", L"false"}, L"setContextMenuItemEnabled(Copy,false)"},
    {kContext, L"setItemVisible", {L"Copy", L"1"}, L"setContextMenuItemVisible(Copy,true)"},
    {kContext, L"checkItem", {L"Copy"}, L"setContextMenuItemChecked(Copy,true)"},
    {kContext, L"uncheckItem", {L"Copy"}, L"setContextMenuItemChecked(Copy,false)"},
    {kContext, L"enableItem", {L"Copy"}, L"setContextMenuItemEnabled(Copy,true)"},
    {kContext, L"disableItem", {L"Copy"}, L"setContextMenuItemEnabled(Copy,false)"},
    {kContext, L"showItem", {L"Copy"}, L"setContextMenuItemVisible(Copy,true)"},
    {kContext, L"hideItem", {L"Copy"}, L"setContextMenuItemVisible(Copy,false)"},
    {kContext, L"setmenuType", {L"variable"}, L"setContextMenuType(variable)"},
    {kTray, L"showIcon", {}, L"showTrayIcon()"},
    {kTray, L"hideIcon", {}, L"hideTrayIcon()"},
    {kTray, L"setIcon", {L"C:\\icons\\a.ico"}, L"setTrayIcon(C:\\icons\\a.ico)"},
    {kTray, L"seticonHint", {L"Hello"}, L"setTrayHint(Hello)"},
    {kTray, L"seticonHint", {L""}, L"setTrayHint()"},
    {kTray, L"showBalloon", {L"T", L"Text", L"warning", L"3000", L"onBalloon"},
     L"showTrayBalloon(T,Text,warning,3000,onBalloon)"},
    {kTray, L"showBalloon", {L"T", L"Text"}, L"showTrayBalloon(T,Text,,10000,)"},
    {kTray, L"showBalloon", {L"T", L"Text", L"info", L""}, L"showTrayBalloon(T,Text,info,10000,)"},
    {kTray, L"addItem", {L"Open"}, L"addTrayMenuItem(Open)"},
    {kTray, L"addSeparator", {}, L"addTrayMenuSeparator()"},
    {kTray, L"removeItem", {L"Open"}, L"removeTrayMenuItem(Open)"},
    {kTray, L"setItemChecked", {L"Open", L"true"}, L"setTrayMenuItemChecked(Open,true)"},
    {kTray, L"setItemEnabled", {L"Open", L"false"}, L"setTrayMenuItemEnabled(Open,false)"},
    {kTray, L"setItemVisible", {L"Open", L"false"}, L"setTrayMenuItemVisible(Open,false)"},
    {kTray, L"checkItem", {L"Open"}, L"setTrayMenuItemChecked(Open,true)"},
    {kTray, L"uncheckItem", {L"Open"}, L"setTrayMenuItemChecked(Open,false)"},
    {kTray, L"enableItem", {L"Open"}, L"setTrayMenuItemEnabled(Open,true)"},
    {kTray, L"disableItem", {L"Open"}, L"setTrayMenuItemEnabled(Open,false)"},
    {kTray, L"showItem", {L"Open"}, L"setTrayMenuItemVisible(Open,true)"},
    {kTray, L"hideItem", {L"Open"}, L"setTrayMenuItemVisible(Open,false)"},
    {kTray, L"setmenuType", {L"frame"}, L"setTrayMenuType(frame)"},
};

// Calls a movie makes by mistake: too few arguments, a flag that is no flag, an empty name.
// They reach no operation and answer "false".
const Case kRefusals[] = {
    {kMain, L"addMenu", {}, L"", L"false"},
    {kMain, L"addMenu", {L""}, L"", L"false"},
    {kMain, L"addItem", {L"File"}, L"", L"false"},
    {kMain, L"addItem", {L"File", L""}, L"", L"false"},
    {kMain, L"setItemChecked", {L"View", L"Grid"}, L"", L"false"},
    {kMain, L"setItemChecked", {L"View", L"Grid", L"yes"}, L"", L"false"},
    {kMain, L"setmenuType", {}, L"", L"false"},
    {kContext, L"setEnabled", {L"maybe"}, L"", L"false"},
    {kContext, L"addItem", {L""}, L"", L"false"},
    {kContext, L"setItemVisible", {L"Copy"}, L"", L"false"},
    {kTray, L"setIcon", {}, L"", L"false"},
    {kTray, L"showBalloon", {L"only a title"}, L"", L"false"},
    {kTray, L"setItemEnabled", {L"Open", L""}, L"", L"false"},
};

void expectCase(const Case& c, RecordingForm& form, const std::wstring& answer) {
  const std::wstring where = std::wstring(c.module) + L"." + c.method;
  EXPECT_EQ(answer, c.answer) << testing::PrintToString(where);
  if (*c.operation) {
    ASSERT_EQ(form.calls.size(), 1u) << testing::PrintToString(where);
    EXPECT_EQ(form.calls[0], c.operation);
  } else {
    EXPECT_TRUE(form.calls.empty()) << testing::PrintToString(where) << " reached " << testing::PrintToString(form.calls);
  }
}

TEST_F(MenuExtension, EachCommandReachesItsFormOperationWithTheMoviesArguments) {
  for (const Case& c : kCommands) {
    RecordingForm form;
    expectCase(c, form, call(form, c.module, c.method, c.arguments));
  }
}

TEST_F(MenuExtension, MistakenCallsReachNoOperationAndAnswerFalse) {
  for (const Case& c : kRefusals) {
    RecordingForm form;
    expectCase(c, form, call(form, c.module, c.method, c.arguments));
  }
  RuntimeMethod* addMenu = module(kMain)->findMethod(L"addMenu");
  EXPECT_EQ(addMenu->invoke(nullptr, {L"File"}), L"false") << "a call without a form";
}

}  // namespace
}  // namespace lumo::test

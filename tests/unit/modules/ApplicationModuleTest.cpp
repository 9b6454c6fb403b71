// vor.Application's table and the start-up table of built-in modules.
#include "modules/ApplicationModule.h"
#include "modules/BuiltInModuleTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

TEST(ApplicationModule, RegistersItsThirtyFiveCommandsUnderTheirNames) {
  ApplicationModule module;
  ASSERT_TRUE(module.registerMethods());
  EXPECT_EQ(module.name, L"vor.Application");
  EXPECT_EQ(module.version, L"1.0.0");
  EXPECT_EQ(module.methods.size(), 35u);
  for (const wchar_t* name : {L"bArray", L"createForm", L"exitWithModalResult", L"getCMDParams", L"getfilenameUnicode",
                              L"getpathUnix", L"settitle", L"switchFullScreen", L"textAreaEnhance"}) {
    const RuntimeMethod* method = module.findMethod(name);
    ASSERT_NE(method, nullptr) << std::string(name, name + wcslen(name));
    EXPECT_EQ(method->name(), name);
  }
  EXPECT_EQ(module.findMethod(L"setTitle"), nullptr) << "names are case-sensitive";
}

TEST(ApplicationModule, CommandsShortOfArgumentsGiveTheirDefaultResult) {
  ApplicationModule module;
  module.registerMethods();
  struct Case {
    const wchar_t* name;
    const wchar_t* result;
  };
  const Case cases[] = {{L"createForm", L"false"},          {L"getSecureVar", L"\"vor_notfound\""},
                        {L"getGlobalVar", L"\"vor_notfound\""}, {L"getCMDParams", L""},
                        {L"getEnvVar", L""},                 {L"bArray", L""},
                        {L"delay", L""},                     {L"printVar", L""}};
  for (const Case& c : cases)
    EXPECT_EQ(module.findMethod(c.name)->invoke(nullptr, {}), c.result) << std::string(c.name, c.name + wcslen(c.name));
}

TEST(BuiltInModules, TableNamesTheFiveModulesInStartUpOrder) {
  std::vector<std::wstring> names;
  for (const BuiltInModule& entry : builtInModuleTable()) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"vor.Application", L"vor.Application.Kiosk", L"vor.Application.Library",
                                              L"vor.Application.Screensaver", L"vor.Application.Timer"}));
  EXPECT_NE(builtInModuleTable().front().create, nullptr);
}

}  // namespace
}  // namespace lumo

// Extension libraries in real projectors: .vdd files built here, packed by lumo.exe, loaded at
// start-up from the private folder (or the working directory), called by scripted movies.
#include "forms/FormsFixture.h"
#include "MessagePump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

std::string fileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring binFile(const std::wstring& name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// The project's extension files (copied from the build), a movie and the project file naming
// `extensions` in order.
struct Scenario {
  std::vector<std::wstring> extensions;  // test libraries by file name, "other-architecture.dll" for one that cannot load
  std::string script;
  std::vector<std::wstring> inWorkingDirectory = {};
};

std::unique_ptr<FormsProjector> projectorFor(const Scenario& s) {
  std::vector<std::pair<std::wstring, std::string>> files;
  std::string list;
  for (const std::wstring& name : s.extensions) {
    // "other-architecture.dll": a library this process cannot load, the i686 build's menu
    // extension (that build makes what ships, not the test extensions); not named .vdd, so that
    // the working directory, which is the project folder, holds no failing .vdd of its own.
    files.emplace_back(name, fileBytes(binFile(name == L"other-architecture.dll" ? L"..\\..\\i686\\bin\\menus.vdd" : name)));
    list += (list.empty() ? "\"" : ", \"") + std::string(name.begin(), name.end()) + "\"";
  }
  for (const std::wstring& name : s.inWorkingDirectory) files.emplace_back(name, fileBytes(binFile(name)));
  return std::make_unique<FormsProjector>(
      std::vector<FormsProjector::Movie>{{L"movie.swf", s.script}},
      R"({"title": "Extensions", "extensions": [)" + list +
          R"(], "forms": [{"name": "main", "movie": "movie.swf", "width": 200, "height": 100, "visibleAtStart": true}]})",
      files);
}

const std::string kDeclare = "call vor.initialise 0 \"<{lumo}>\"\n";
const std::string kExit = "call vor.Application.exitWithCode 0 \"<{lumo}>0\"\n";

// The answer of the first call of `name` in the transcript.
std::string answerOf(const FormsProjector& p, const std::string& name) {
  for (const std::string& line : p.transcript()) {
    if (line.rfind("call " + name + " ", 0) != 0) continue;
    const size_t arrow = line.find(" -> \"");
    return arrow == std::string::npos ? "" : line.substr(arrow + 5, line.size() - arrow - 6);
  }
  return "(no call)";
}

long numberIn(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

void runToExit(FormsProjector& p) {
  ASSERT_TRUE(p.built());
  ASSERT_TRUE(p.start());
  ASSERT_EQ(p.process().wait(60000), 0) << "the projector did not end with exit code 0";
}

TEST(Extensions, TwoModulesOfOneLibraryAreDeclaredCalledEncodedAndPolled) {
  auto p = projectorFor({{L"two.vdd"},
                         kDeclare + "call vor.Extensions.One.hello 0 \"<{lumo}>x\"\n"
                                    "call vor.Extensions.Two.hello 0 \"<{lumo}>\"\n"
                                    "call vor.Extensions.One.quote 0 \"<{lumo}>\"\n"
                                    "wait 600\ncall vor.Extensions.One.polls 0 \"<{lumo}>\"\n" +
                             kExit});
  runToExit(*p);
  const std::string declaration = answerOf(*p, "vor.initialise");
  EXPECT_NE(declaration.find("Extensions.One"), std::string::npos) << declaration.substr(0, 200);
  EXPECT_NE(declaration.find("Extensions.Two"), std::string::npos);
  EXPECT_EQ(answerOf(*p, "vor.Extensions.One.hello"), "one:x");
  EXPECT_EQ(answerOf(*p, "vor.Extensions.Two.hello"), "two");
  // say "hi" \ bye, encoded as every module's answer is before flash9ready: quotes as @q@ and
  // the backslash doubled (the transcript doubles it once more).
  EXPECT_EQ(answerOf(*p, "vor.Extensions.One.quote"), "say @q@hi@q@ \\\\\\\\ bye");
  EXPECT_GT(numberIn(answerOf(*p, "vor.Extensions.One.polls")), 3) << "the poll thread does not tick";
}

struct LoadCase {
  const char* name;
  Scenario scenario;
  bool oneLoaded;       // vor.Extensions.One is declared and answers
  bool polling;         // the poll thread runs (One counts polls)
};

class ExtensionLoading : public testing::TestWithParam<LoadCase> {};

TEST_P(ExtensionLoading, StopsAtTheFirstFailureAndPollsOnlyWhenAllLoaded) {
  const LoadCase& c = GetParam();
  Scenario s = c.scenario;
  s.script = kDeclare + "wait 600\ncall vor.Extensions.One.polls 0 \"<{lumo}>\"\n" + kExit;
  if (!c.oneLoaded) s.script = kDeclare + "wait 300\n" + kExit;  // an unknown module would stop in its box
  auto p = projectorFor(s);
  runToExit(*p);
  const std::string declaration = answerOf(*p, "vor.initialise");
  EXPECT_EQ(declaration.find("Extensions.One") != std::string::npos, c.oneLoaded);
  EXPECT_EQ(declaration.find("Extensions.Refusing"), std::string::npos) << "a refusing module was registered";
  if (c.oneLoaded) {
    EXPECT_EQ(numberIn(answerOf(*p, "vor.Extensions.One.polls")) > 0, c.polling);
  }
}

// Extension files are written as 0.vdd, 1.vdd, ... in the project's order, which is the order
// the folder lists them in.
INSTANTIATE_TEST_SUITE_P(
    Extensions, ExtensionLoading,
    testing::Values(LoadCase{"ZeroPluginsThenTwo", {{L"zero.vdd", L"two.vdd"}, ""}, true, true},
                    LoadCase{"TwoThenRefusing", {{L"two.vdd", L"refusing.vdd"}, ""}, true, false},
                    LoadCase{"TwoThenMinusOnePlugins", {{L"two.vdd", L"minusone.vdd"}, ""}, true, false},
                    LoadCase{"TwoThenANullModule", {{L"two.vdd", L"nullmodule.vdd"}, ""}, true, false},
                    LoadCase{"NoInstanceExportStopsTheRest", {{L"noinstance.vdd", L"two.vdd"}, ""}, false, false},
                    LoadCase{"UnloadableLibraryFallsBackToTheWorkingDirectory",
                             {{L"other-architecture.dll"}, "", {L"two.vdd"}}, true, true},
                    LoadCase{"NoExtensionsAndNoneInTheWorkingDirectory", {{}, ""}, false, false}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(Extensions, TheSampleExtensionEchoesCountsPollsAndSetsTheCallersTitle) {
  auto p = projectorFor({{L"demo.vdd"},
                         kDeclare + "call vor.Extensions.Demo.echo 0 \"<{lumo}>a,b\"\n"
                                    "call vor.Extensions.Demo.setCallerTitle 0 \"<{lumo}>Set by the extension\"\n"
                                    "wait 600\ncall vor.Extensions.Demo.pollCount 0 \"<{lumo}>\"\n"
                                    "log titled\nwait 60000\n"});
  ASSERT_TRUE(p->built());
  ASSERT_TRUE(p->start());
  ASSERT_TRUE(p->waitFor("log \"titled\""));
  EXPECT_NE(p->formWindow(L"Set by the extension", 5000), nullptr) << "the caption did not change";
  p->process().kill();
  EXPECT_NE(answerOf(*p, "vor.initialise").find("Extensions.Demo"), std::string::npos);
  EXPECT_EQ(answerOf(*p, "vor.Extensions.Demo.echo"), "a,b");
  EXPECT_EQ(answerOf(*p, "vor.Extensions.Demo.setCallerTitle"), "true");
  EXPECT_GT(numberIn(answerOf(*p, "vor.Extensions.Demo.pollCount")), 3);
}

TEST(Extensions, APollWaitingOnTheMainFormDoesNotStallShutdown) {
  auto p = projectorFor({{L"two.vdd"},
                         "call vor.Extensions.One.sendOnPoll 0 \"<{lumo}>\"\nwait 300\n" + kExit});
  runToExit(*p);
  EXPECT_EQ(answerOf(*p, "vor.Extensions.One.sendOnPoll"), "true");
  const std::string log = fileBytes(p->folder().file(L"extension-unload.txt"));
  EXPECT_NE(log.find("in-poll no"), std::string::npos)
      << "the poll thread was cut off inside its send instead of ending: " << log;
}

// Without a main form no window's destruction unloads the extensions: the shutdown does, so
// that the files of the loaded libraries can go with the private folder.
TEST(Extensions, ARunWithoutFormsUnloadsItsExtensionsAndRemovesItsPrivateFolder) {
  FormsProjector p({}, R"({"title": "No forms", "forms": [], "extensions": ["two.vdd"]})",
                   {{L"two.vdd", fileBytes(binFile(L"two.vdd"))}});
  ASSERT_TRUE(p.built());
  ASSERT_TRUE(p.start());
  const auto holdsTheExtension = [&] {
    const auto folders = p.privateFolders();
    return folders.size() == 1 && GetFileAttributesW((folders[0] + L"\\0.vdd").c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  ASSERT_TRUE(test::pumpUntil(holdsTheExtension, 15000)) << "the run wrote no extension";
  ASSERT_TRUE(test::pumpUntil([&] { return p.process().postQuit(); }, 15000)) << "no message queue to end";
  EXPECT_EQ(p.process().wait(15000), 0);
  EXPECT_EQ(p.privateFolders(), std::vector<std::wstring>{}) << "the private folder was left behind";
}

}  // namespace
}  // namespace lumo::e2e

// Extension libraries in real projectors: .vdd files built from ProbeExtension.cpp and the
// sample extension, packed by lumo.exe or laid in the working directory, called by scripted
// movies; the transcript shows what the movie got.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumo::e2e {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string library(const std::wstring& name) { return readFile(binFolder() + L"\\" + name + L".vdd"); }

// The sources of the sample, through Wine's drive for the Unix root.
std::filesystem::path sourceFile(const std::string& relative) { return std::string("Z:") + LUMO_SOURCE_DIR + "/" + relative; }

// The answer of the transcript's line for a call of `command`, or "(no call)".
std::string answerOf(const std::vector<std::string>& lines, const std::string& command) {
  for (const std::string& line : lines) {
    if (line.rfind("call " + command + " ", 0) != 0) continue;
    const size_t arrow = line.find(" -> \"");
    if (arrow == std::string::npos) return "(no answer)";
    return line.substr(arrow + 5, line.size() - arrow - 6);
  }
  return "(no call)";
}

int count(const std::vector<std::string>& lines, const std::string& prefix) {
  int n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0;
  return n;
}

std::string failures(const std::vector<std::string>& lines) {
  std::string failed;
  for (const std::string& line : lines)
    if (line.rfind("FAIL", 0) == 0 || line.rfind("error", 0) == 0) failed += line.substr(0, 300) + "\n";
  return failed;
}

std::string project(const std::vector<std::string>& extensions) {
  std::string list;
  for (const std::string& name : extensions) list += (list.empty() ? "\"" : ", \"") + name + "\"";
  return R"({"title": "Probe", "extensions": [)" + list + R"(], "forms": [{"name": "main", "width": 320,
    "height": 200, "visibleAtStart": true, "windowTitle": "Probe", "movie": "main.swf"}]})";
}

// Calls both modules of probe_two before and after the form is EI-ready, then reads ProbeA's
// poll count after a second.
const char kProbeScript[] = R"(callback VORAS3EVENTCALLBACK
call vor.initialise 0 "<{lumo}>"
call vor.Extensions.ProbeA.echo 0 "<{lumo}>a\\b,x@dq@y,<c>"
expect "vor.Extensions.ProbeA=a\\\\b|x@q@y|<c>"
call vor.flash9ready 0 "<{lumo}>"
call vor.Extensions.ProbeB.echo 0 "<{lumo}>a\\b"
expect "vor.Extensions.ProbeB=a\\b"
wait 1000
call vor.Extensions.ProbeA.polls 0 "<{lumo}>"
call vor.Extensions.ProbeA.pollThread 0 "<{lumo}>"
call vor.Application.exitWithCode 0 "<{lumo}>5"
)";

struct LoadCase {
  const char* what;
  std::vector<std::string> packed;  // project files, in order: probe_* built here, "junk" no DLL
  bool probeInWorkingDirectory;     // probe_two.vdd beside the projector
  bool polling;                     // every library of the folder used loaded: the poll thread runs
};

class ExtensionLoading : public testing::TestWithParam<LoadCase> {};

TEST_P(ExtensionLoading, ModulesAnswerAndThePollThreadRunsOnlyWhenEveryLibraryLoaded) {
  const LoadCase& c = GetParam();
  std::vector<std::pair<std::wstring, std::string>> files;
  std::vector<std::string> packed;
  for (const std::string& name : c.packed) {
    // Named .dll in the project folder, so the working directory holds no .vdd of them.
    const std::wstring file(name.begin(), name.end());
    files.emplace_back(file + L".dll", name == "junk" ? "MZ" + std::string(126, 'x') : library(file));
    packed.push_back(name + ".dll");
  }
  if (c.probeInWorkingDirectory) files.emplace_back(L"probe_two.vdd", library(L"probe_two"));
  FormsProjector projector({{L"main.swf", kProbeScript}}, project(packed), files);
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_EQ(projector.process().wait(60000), 5) << "the movie ran to its end";

  const auto lines = projector.transcript();
  EXPECT_EQ(count(lines, "PASS"), 2) << "echo answers encoded as for built-in modules";
  EXPECT_EQ(count(lines, "FAIL"), 0) << failures(lines);
  const std::string declaration = answerOf(lines, "vor.initialise");
  EXPECT_NE(declaration.find("Extensions.ProbeA<{!!z!!}><{!z!!}>"), std::string::npos) << declaration.substr(0, 200);
  EXPECT_NE(declaration.find("Extensions.ProbeB<{!!z!!}><{!z!!}>"), std::string::npos);
  EXPECT_EQ(declaration.find("Extensions.Refused"), std::string::npos) << "a refused module is not registered";
  const std::string polls = answerOf(lines, "vor.Extensions.ProbeA.polls");
  if (c.polling) {
    EXPECT_GE(std::atol(polls.c_str()), 5) << "about 25 polls in a second: " << polls;
    EXPECT_EQ(answerOf(lines, "vor.Extensions.ProbeA.pollThread"), "other");
  } else {
    EXPECT_EQ(polls, "0") << "no poll thread";
    EXPECT_EQ(answerOf(lines, "vor.Extensions.ProbeA.pollThread"), "none");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, ExtensionLoading,
    testing::Values(LoadCase{"TwoModulesFromOneLibrary", {"probe_two"}, false, true},
                    LoadCase{"CountZeroLoadsAndTheNextGoesOn", {"probe_empty", "probe_two"}, false, true},
                    LoadCase{"NoGetPluginInstanceStopsThePolling", {"probe_two", "probe_noinstance"}, false, false},
                    LoadCase{"RefusedRegistrationDropsItsModulesOnly", {"probe_two", "probe_refused"}, false, false},
                    LoadCase{"NoDllStopsThePolling", {"probe_two", "junk"}, false, false},
                    LoadCase{"WorkingDirectoryWhenTheProjectHasNone", {}, true, true},
                    LoadCase{"WorkingDirectoryAfterAPackedOneFails", {"probe_refused"}, true, true}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.what); });

TEST(Extensions, APollSendingToTheClosingFormDoesNotStallShutdown) {
  const std::string script = R"(callback VORAS3EVENTCALLBACK
call vor.flash9ready 0 "<{lumo}>"
call vor.Extensions.ProbeA.watchClose 0 "<{lumo}>"
wait 200
call vor.Application.exitWithCode 0 "<{lumo}>3"
)";
  FormsProjector projector({{L"main.swf", script}}, project({"probe_two.dll"}),
                           {{L"probe_two.dll", library(L"probe_two")}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("-> \"watching\"", 30000));
  const DWORD start = GetTickCount();
  EXPECT_EQ(projector.process().wait(60000), 3);
  // Waiting without delivering the poll's message, the main thread would sit out the 10 s and
  // then end the poll thread inside its send.
  EXPECT_LT(GetTickCount() - start, 8000u);
}

TEST(Extensions, TheSampleExtensionAnswersItsMovie) {
  FormsProjector projector({{L"movie.swf", readFile(sourceFile("examples/extension/movie.txt"))}},
                           readFile(sourceFile("examples/extension/project.json")),
                           {{L"DemoExtension.vdd", library(L"DemoExtension")}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_EQ(projector.process().wait(60000), 0);

  const auto lines = projector.transcript();
  EXPECT_EQ(count(lines, "PASS"), 3) << "echo, callerName and setCallerTitle as the movie expects";
  EXPECT_EQ(count(lines, "FAIL"), 0) << failures(lines);
  EXPECT_NE(answerOf(lines, "vor.initialise").find("Extensions.Demo<{!!z!!}><{!z!!}>"), std::string::npos);
  EXPECT_GE(std::atol(answerOf(lines, "vor.Extensions.Demo.pollCount").c_str()), 5);
}

}  // namespace
}  // namespace lumo::e2e

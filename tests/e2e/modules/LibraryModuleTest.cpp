// vor.Application.Library in a real projector: every library file extracted to a folder, a
// 10 MB file to a path, byte for byte, and extractToVar's text as the movie receives it. The
// same projector shows that a module of another mode is unknown to an ordinary projector.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumo::e2e {
namespace {

// A script line calling the command; backslashes escaped as the script's quoted tokens need.
std::string library(const std::string& command, const std::string& arguments) {
  return "call vor.Application.Library." + command + " 0 \"<{lumo}>" + transcriptQuoted(arguments) + "\"\n";
}

std::string readFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// 10 MB that repeat nowhere within a file: a byte lost or moved shows.
std::string bigContent() {
  std::string bytes(10 * 1024 * 1024, '\0');
  uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(LibraryModuleE2E, FilesAreExtractedWholeAndExtractToVarGivesTheirText) {
  const std::string big = bigContent();
  const std::string high = "caf\xE9 \xFF!";
  const std::string zero("before\0after", 12);
  const std::string script =
      "wait 200\n" + library("extractAllToDir", "out") + library("extractToFile", "big.bin,out2\\copy.bin") +
      library("extractToFile", "BIG.bin,out2\\upper.bin") + library("extractToFile", "small.txt,missing\\x.txt") +
      library("extractToVar", "high.txt") + library("extractToVar", "zero.bin") +
      library("extractToVar", "missing") + "log extracted\n" +
      "call vor.Application.Screensaver.keyPressExits 0 \"<{lumo}>true\"\nlog after error\n" +
      "call vor.Application.exitWithCode 0 \"<{lumo}>4\"\n";
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "Library", "libraryFiles": {"big.bin": "big.bin", "high.txt": "high.txt",
                               "zero.bin": "zero.bin", "small.txt": "small.txt", "empty.txt": "empty.txt"},
                               "forms": [{"name": "main", "movie": "main.swf", "width": 200, "height": 100,
                                          "visibleAtStart": true}]})",
                           {{L"big.bin", big}, {L"high.txt", high}, {L"zero.bin", zero}, {L"small.txt", "small"},
                            {L"empty.txt", ""}});
  ASSERT_TRUE(projector.built());
  const std::wstring out = projector.folder().file(L"out"), out2 = projector.folder().file(L"out2");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(out2.c_str(), nullptr));
  // An ordinary projector does not read the screensaver switches: "/c" runs it as usual.
  ASSERT_TRUE(projector.start(L"/c"));

  // The Screensaver module is not there outside screensaver mode: the engine's unknown-module box.
  const UiResult box = uidriver(L"text --title \"RUNTIME ERROR\" --control 65535 --timeout 30000");
  ASSERT_EQ(box.exitCode, 0) << box.output;
  EXPECT_NE(box.output.find("Error: couldn't locate runtime module: vor.Application.Screensaver"), std::string::npos)
      << box.output;
  ASSERT_EQ(uidriver(L"close --title \"RUNTIME ERROR\" --control 65535").exitCode, 0);
  EXPECT_EQ(projector.process().wait(30000), 4);

  EXPECT_TRUE(readFile(out + L"\\big.bin") == big) << "10 MB extracted byte for byte";
  EXPECT_TRUE(readFile(out2 + L"\\copy.bin") == big);
  EXPECT_EQ(readFile(out + L"\\high.txt"), high);
  EXPECT_EQ(readFile(out + L"\\zero.bin"), zero);
  EXPECT_EQ(readFile(out + L"\\small.txt"), "small");
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(out + L"\\empty.txt")));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out2 + L"\\upper.bin"))) << "names are case-sensitive";
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(projector.folder().file(L"missing"))));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(projector.folder().file(L"missingx.txt"))));

  const auto lines = projector.transcript();
  EXPECT_TRUE(hasLine(lines, "call vor.Application.Library.extractToVar \"0\" \"<{lumo}>high.txt\" -> "
                             "\"\\\"caf\xC3\xA9 \xC3\xBF!\\\"\""));
  EXPECT_TRUE(hasLine(lines, "call vor.Application.Library.extractToVar \"0\" \"<{lumo}>zero.bin\" -> \"\\\"before\\\"\""));
  EXPECT_TRUE(hasLine(lines, "call vor.Application.Library.extractToVar \"0\" \"<{lumo}>missing\" -> \"\\\"\\\"\""));
  EXPECT_TRUE(hasLine(lines, "log \"after error\""));
}

}  // namespace
}  // namespace lumo::e2e

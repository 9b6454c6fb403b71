// Local files a movie asks for, against a built projector: a URL that climbs out with ".." and a
// memory path whose id is written in another script's digits fail as loads and the player goes
// on; a file beside the movie is found from a working directory longer than MAX_PATH.
#include "forms/FormsFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lumo::e2e {
namespace {

constexpr char kProject[] =
    R"({"title": "Files", "forms": [{"name": "main", "movie": "main.swf", "x": 40, "y": 40,
        "width": 200, "height": 100, "visibleAtStart": true}]})";

// The transcript line answering the load of `url`: "resource URL bytes N" or "resource-failed URL HR".
std::string answerTo(const std::vector<std::string>& lines, const std::string& url) {
  for (const std::string& line : lines) {
    if (line == "resource " + url + " bytes " + line.substr(line.rfind(' ') + 1) ||
        line.rfind("resource-failed " + url + " ", 0) == 0) {
      return line;
    }
  }
  return {};
}

TEST(FormsLocalFiles, ClimbingAndForeignDigitPathsFailAsLoadsAndThePlayerGoesOn) {
  // "file://q/../NAME" glues "q" onto the working directory's own name, so without the check it
  // would open NAME in the folder above the project: a file is put there to be found.
  const std::wstring outsideName = L"outside-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  const std::string outsideUtf8(outsideName.begin(), outsideName.end());
  const std::string climbing = "http://lumo/sub/../inside.txt";
  const std::string climbingFile = "file://q/../" + outsideUtf8;
  // U+0BE7 (a Tamil one) and U+FF11 (a full-width one) where the movie id goes.
  const std::string tamilId = "file:///Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/\xE0\xAF\xA7/a.txt";
  const std::string wideId = "file:///Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/1\xEF\xBC\x91/a.txt";
  const std::string allowed = "http://lumo/inside.txt";
  FormsProjector projector({{L"main.swf", "load " + climbing + "\nload " + climbingFile + "\nload " + tamilId +
                                              "\nload " + wideId + "\nload " + allowed + "\nwait 2000\nlog done\n"}},
                           kProject, {{L"inside.txt", "12345"}});
  ASSERT_TRUE(projector.built());
  const std::wstring folder = projector.folder().path();
  const std::wstring outside = folder.substr(0, folder.find_last_of(L'\\')) + L"\\" + outsideName;
  { std::ofstream(std::filesystem::path(outside)) << "secret"; }
  ASSERT_TRUE(projector.start());
  const bool done = projector.waitFor("log \"done\"", 30000);
  const std::vector<std::string> lines = projector.transcript();
  const bool running = projector.process().running();
  projector.process().kill();
  DeleteFileW(outside.c_str());
  ASSERT_TRUE(done);
  EXPECT_TRUE(running) << "the projector must survive the loads";
  EXPECT_EQ(answerTo(lines, allowed), "resource " + allowed + " bytes 5") << "the check itself must let files through";
  for (const std::string& url : {climbing, climbingFile, tamilId, wideId}) {
    EXPECT_EQ(answerTo(lines, url).rfind("resource-failed ", 0), 0u) << url << ": " << answerTo(lines, url);
  }
}

}  // namespace
}  // namespace lumo::e2e

// lumo.exe build then lumo.exe inspect on a project that sets every key: inspect must give
// back the project file, with each file replaced by its size and SHA-256.
#include "BuilderTestSupport.h"
#include "ProjectSettings.h"
#include "RecordFormat.h"
#include "Sha256.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>

namespace lumo::builder::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

class BuilderRoundTrip : public TempFolderTest {};

Json fileInfo(const fs::path& file) {
  const Bytes bytes = readBytes(file);
  return Json{{"size", bytes.size()}, {"sha256", sha256Hex(bytes)}};
}

// The project file as inspect prints it: files as size and digest, versions added.
Json expectedInspection(const fs::path& projectFile) {
  const fs::path base = projectFile.parent_path();
  std::ifstream in(projectFile, std::ios::binary);
  Json project = Json::parse(in);
  auto replaceFile = [&](Json& value) {
    if (value.is_string()) value = fileInfo(base / value.get<std::string>());
  };
  for (const char* key : {"splashImage", "trayIconImage"}) replaceFile(project[key]);
  for (auto& ext : project["extensions"]) replaceFile(ext);
  for (auto& [name, file] : project["libraryFiles"].items()) replaceFile(file);
  for (auto& form : project["forms"]) {
    for (const char* key : {"movie", "maskImage", "previewMovie"}) replaceFile(form[key]);
    form["formVersion"] = 10;
  }
  project["version"] = 11;
  // The stand-in runtime carries a player that is no DLL, and no icon or version information.
  const Bytes player = standInResource();
  project["player"] = Json{{"size", player.size()}, {"sha256", sha256Hex(player)}, {"machine", "not a Windows DLL"}};
  for (const char* key : {"icon", "versionInfo"}) project[key] = nullptr;
  return project;
}

bool contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

Bytes utf16(std::string_view ascii) {
  Bytes out;
  for (char c : ascii) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
  return out;
}

TEST_F(BuilderRoundTrip, InspectGivesBackEveryFieldOfTheProject) {
  const Bytes runtime = runtimeStandIn();
  writeBytes(dir / "runtime.exe", runtime);
  const fs::path app = dir / "app.exe";

  const RunResult built = runLumo({L"build", everyFieldProject().wstring(), L"-o", app.wstring(), L"--runtime",
                                   (dir / "runtime.exe").wstring()});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_EQ(built.err, "");

  // The projector is the runtime as it was, then the marker, then the record.
  const Bytes projector = readBytes(app);
  ASSERT_GT(projector.size(), runtime.size() + 8);
  EXPECT_TRUE(std::equal(runtime.begin(), runtime.end(), projector.begin()));
  const auto marker = record::marker();
  EXPECT_TRUE(std::equal(marker.begin(), marker.end(), projector.begin() + static_cast<std::ptrdiff_t>(runtime.size())));
  // Variables travel enciphered: neither the secure value nor the password's variable shows.
  EXPECT_FALSE(contains(projector, Bytes{'s', '3', 'c', 'r', '3', 't'}));
  EXPECT_FALSE(contains(projector, utf16("s3cr3t")));

  const RunResult inspected = runLumo({L"inspect", app.wstring()});
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
  const Json actual = Json::parse(inspected.out);
  const Json expected = expectedInspection(everyFieldProject());
  EXPECT_EQ(actual, expected) << "difference: " << Json::diff(expected, actual).dump(2);

  // The runtime reads the same record, variables included.
  record::ProjectSettings settings;
  ASSERT_TRUE(settings.loadFromExecutable(app));
  EXPECT_EQ(settings.secureVar(L"apiKey"), L"s3cr3t-KEY");
  EXPECT_EQ(settings.globalVar(L"\U0001F3AC"), L"name above U+FFFF");
  ASSERT_EQ(settings.forms.size(), 2u);
  EXPECT_EQ(settings.forms[0]->movieVersion(), 9);
  EXPECT_EQ(settings.forms[0]->playerBackground, 0x302010);
}

TEST_F(BuilderRoundTrip, LeftOutKeysTakeTheRecordDefaults) {
  writeBytes(dir / "m.swf", swfFile());
  writeText(dir / "p.json", R"({"title": "Minimal", "forms": [{"name": "main", "movie": "m.swf"}]})");
  writeBytes(dir / "runtime.exe", runtimeStandIn());
  ASSERT_EQ(runLumo({L"build", (dir / "p.json").wstring(), L"-o", (dir / "a.exe").wstring(), L"--runtime",
                     (dir / "runtime.exe").wstring()}).exitCode, 0);

  const RunResult inspected = runLumo({L"inspect", (dir / "a.exe").wstring()});
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
  const Json project = Json::parse(inspected.out);
  EXPECT_EQ(project["projectMode"], "normal");
  EXPECT_EQ(project["password"], "");
  EXPECT_EQ(project["splashImage"], nullptr);
  EXPECT_EQ(project["extensions"], Json::array());
  EXPECT_EQ(project["globalVariables"], Json::object());
  const Json& form = project["forms"][0];
  EXPECT_EQ(form["popupFrame"], true);     // the one flag whose default is true
  EXPECT_EQ(form["windowTitle"], "form");  // and the one text with a default
  EXPECT_EQ(form["visibleAtStart"], false);
  EXPECT_EQ(form["width"], 0);
  EXPECT_EQ(form["leftButtonMode"], "send");
  EXPECT_EQ(form["backgroundColour"], "#000000");
  EXPECT_EQ(form["previewMovie"], nullptr);
}

TEST_F(BuilderRoundTrip, DefaultRuntimeIsTheOneBesideLumo) {
  const fs::path runtime = binFolder() / "lumo-runtime.exe";
  if (!fs::exists(runtime)) GTEST_SKIP() << "lumo-runtime.exe is not built";
  writeBytes(dir / "m.swf", swfFile());
  writeText(dir / "p.json", R"({"forms": [{"name": "main", "movie": "m.swf"}]})");
  const RunResult built = runLumo({L"build", (dir / "p.json").wstring(), L"-o", (dir / "a.exe").wstring()});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  const Bytes expected = readBytes(runtime);
  const Bytes projector = readBytes(dir / "a.exe");
  ASSERT_GT(projector.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), projector.begin()));
  record::ProjectSettings settings;
  EXPECT_TRUE(settings.loadFromExecutable(dir / "a.exe"));
}

TEST_F(BuilderRoundTrip, InspectRefusesAFileWithoutRecord) {
  writeBytes(dir / "plain.exe", {'M', 'Z', 0, 0});
  const RunResult r = runLumo({L"inspect", (dir / "plain.exe").wstring()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("plain.exe"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("no project record"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace lumo::builder::test

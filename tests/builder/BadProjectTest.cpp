// Bad project files and bad runtimes given to lumo.exe: each is refused with exit code 2, a
// message naming the project file, the JSON path and the file at fault, and no output.
#include "BuilderTestSupport.h"
#include "RecordFormat.h"

namespace lumo::builder::test {
namespace {

namespace fs = std::filesystem;

struct BadCase {
  const char* name;
  const char* project;  // the project file's text; null: no project file at all
  std::vector<const char*> expected;  // fragments of the error output
  const char* runtime = "runtime.exe";
};

const BadCase kCases[] = {
    {"NotJson", R"({"title": "x",)", {"not valid JSON", "line 1"}},
    {"TopLevelNotObject", R"([1, 2])", {"(top level): must be an object"}},
    {"ProjectFileMissing", nullptr, {"nothere.json: cannot read the project file"}},
    {"UnknownKey", R"({"titel": "x", "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"titel: unknown key (did you mean \"title\"?)"}},
    {"UnknownFormKey", R"({"forms": [{"name": "main", "movie": "good.swf", "fadeinn": true}]})",
     {"forms[0].fadeinn: unknown key (did you mean \"fadeIn\"?)"}},
    {"TextOfWrongType", R"({"title": 5, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"title: must be a string, not a number"}},
    {"FlagOfWrongType", R"({"forms": [{"name": "main", "movie": "good.swf", "centred": "yes"}]})",
     {"forms[0].centred: must be true or false, not a string"}},
    {"FractionalNumber", R"({"forms": [{"name": "main", "movie": "good.swf", "width": 1.5}]})",
     {"forms[0].width: must be a whole number from 0 up, not a fractional number"}},
    {"AlphaOutOfRange", R"({"forms": [{"name": "main", "movie": "good.swf", "alpha": 300}]})",
     {"forms[0].alpha: must be a whole number from 0 to 255: 300 is out of range"}},
    {"NegativeSize", R"({"forms": [{"name": "main", "movie": "good.swf", "height": -1}]})",
     {"forms[0].height:", "-1 is out of range"}},
    {"HugeNumber", R"({"splashDuration": 99999999999, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"splashDuration:", "99999999999 is out of range"}},
    {"ModeOutOfRange", R"({"projectMode": 3, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"projectMode: must be 0 to 2 or one of \"normal\", \"screensaver\", \"kiosk\": 3 is out of range"}},
    {"UnknownModeName", R"({"projectMode": "fullscreen", "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"projectMode: must be 0 to 2 or one of", "not \"fullscreen\""}},
    {"BadColour", R"({"forms": [{"name": "main", "movie": "good.swf", "backgroundColour": "#12345"}]})",
     {"forms[0].backgroundColour: must be a colour"}},
    {"FormsNotAList", R"({"forms": {"name": "main"}})", {"forms: must be a list of forms, not an object"}},
    {"FormWithoutMovie", R"({"forms": [{"name": "main"}]})", {"forms[0].movie: missing"}},
    {"FormWithoutName", R"({"forms": [{"movie": "good.swf"}]})", {"forms[0].name: missing"}},
    {"DuplicateFormName", R"({"forms": [{"name": "a", "movie": "good.swf"}, {"name": "a", "movie": "good.swf"}]})",
     {"forms[1].name: another form already has the name \"a\""}},
    {"MissingMovieFile", R"({"forms": [{"name": "main", "movie": "movies/gone.swf"}]})",
     {"forms[0].movie: cannot read file", "gone.swf"}},
    {"MovieIsAFolder", R"({"forms": [{"name": "main", "movie": "."}]})", {"forms[0].movie:", "is a folder"}},
    {"MovieNotSwf", R"({"forms": [{"name": "main", "movie": "notswf.swf"}]})",
     {"forms[0].movie: file", "notswf.swf", "is not a Flash movie"}},
    {"UnreadableSplashBmp",
     R"({"splashEnabled": true, "splashImage": "truncated.bmp", "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"splashImage: file", "truncated.bmp", "BMP"}},
    {"PaletteSplashBmp", R"({"splashImage": "palette.bmp", "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"splashImage: file", "palette.bmp", "colour palette"}},
    {"MaskNotBmp", R"({"forms": [{"name": "main", "movie": "good.swf", "maskImage": "good.ico"}]})",
     {"forms[0].maskImage: file", "good.ico", "does not begin with BM"}},
    {"TrayIconNotIco", R"({"trayIconImage": "good.bmp", "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"trayIconImage: file", "good.bmp", "ICO"}},
    {"ExtensionNotDll", R"({"extensions": ["good.vdd", "text.txt"], "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"extensions[1]: file", "text.txt", "DLL"}},
    {"LibraryFileMissing",
     R"({"libraryFiles": {"notes/a.txt": "gone.txt"}, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"libraryFiles[\"notes/a.txt\"]: cannot read file", "gone.txt"}},
    {"VariableNotText", R"({"secureVariables": {"level": 3}, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"secureVariables[\"level\"]: must be a string"}},
    {"PasswordMissing", R"({"passwordRequired": true, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"password: missing"}},
    {"SplashWithoutImage", R"({"splashEnabled": true, "forms": [{"name": "main", "movie": "good.swf"}]})",
     {"splashImage: missing"}},
    {"ShapedFormWithoutMask", R"({"forms": [{"name": "main", "movie": "good.swf", "windowKind": "shaped"}]})",
     {"forms[0].maskImage: missing"}},
    {"EveryProblemReported", R"({"title": 1, "forms": [{"name": "main", "movie": "gone.swf", "alpha": -1}]})",
     {"title:", "forms[0].movie:", "forms[0].alpha:", "3 problems"}},
    {"RuntimeMissing", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"gone-runtime.exe: cannot read the runtime"}, "gone-runtime.exe"},
    {"RuntimeIsAProjector", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"projector.exe: already holds a project record"}, "projector.exe"},
    {"RuntimeIsText", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"text.txt: is not a Windows program: no MZ header"}, "text.txt"},
    {"RuntimeIsADll", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"good.vdd: is not a Windows program"}, "good.vdd"},
    {"RuntimeIsALibraryImage", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"library.exe: is a DLL, not the runtime program"}, "library.exe"},
    {"RuntimeForAnotherMachine", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"arm64.exe: is a program for machine 0xAA64"}, "arm64.exe"},
    {"RuntimeWithoutPlayer", R"({"forms": [{"name": "main", "movie": "good.swf"}]})",
     {"other.exe: is not the Lumo runtime: it carries no \"BIN\" 135 resource"}, "other.exe"},
};

// Test names show the case, not its bytes.
void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BuilderBadProject : public TempFolderTest, public ::testing::WithParamInterface<BadCase> {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    writeBytes(dir / "good.swf", swfFile());
    writeBytes(dir / "good.bmp", bmpFile(4, 4, 24));
    writeBytes(dir / "palette.bmp", bmpFile(4, 4, 8));
    Bytes truncated = bmpFile(16, 16, 24);
    truncated.resize(truncated.size() / 2);
    writeBytes(dir / "truncated.bmp", truncated);
    writeBytes(dir / "good.ico", icoFile());
    writeBytes(dir / "good.vdd", dllFile());
    writeText(dir / "text.txt", "hello");
    writeText(dir / "notswf.swf", "<html>not a movie</html>");
    writeBytes(dir / "runtime.exe", runtimeStandIn());
    writeBytes(dir / "arm64.exe", runtimeStandIn(0xAA64));
    writeBytes(dir / "other.exe", runtimeStandIn(0x8664, 135));
    Bytes library = runtimeStandIn();
    library[0x80 + 23] |= 0x20;  // the DLL flag, 0x2000 of the characteristics
    writeBytes(dir / "library.exe", library);
    Bytes projector = runtimeStandIn();
    const auto marker = record::marker();
    projector.insert(projector.end(), marker.begin(), marker.end());
    projector.resize(projector.size() + 16, 0);
    writeBytes(dir / "projector.exe", projector);
    fs::create_directories(dir / "out");
  }
};

TEST_P(BuilderBadProject, IsRefusedWithItsPathAndExitCode2) {
  const BadCase& c = GetParam();
  const fs::path project = dir / (c.project ? "project.json" : "nothere.json");
  if (c.project) writeText(project, c.project);

  const RunResult r = runLumo({L"build", project.wstring(), L"-o", (dir / "out" / "app.exe").wstring(), L"--runtime",
                               (dir / c.runtime).wstring()});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  for (const char* fragment : c.expected) {
    EXPECT_NE(r.err.find(fragment), std::string::npos) << "want: " << fragment << "\ngot: " << r.err;
  }
  // Every project problem starts with the project file's path.
  if (std::string(c.runtime) == "runtime.exe") {
    EXPECT_NE(r.err.find(project.filename().string() + ": "), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_empty(dir / "out")) << "something was written to the output folder";
}

INSTANTIATE_TEST_SUITE_P(Cases, BuilderBadProject, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

class BuilderOutput : public TempFolderTest {};

TEST_F(BuilderOutput, FailedBuildKeepsThePreviousProjector) {
  writeText(dir / "project.json", R"({"forms": [{"name": "main", "movie": "gone.swf"}]})");
  writeBytes(dir / "runtime.exe", runtimeStandIn());
  writeText(dir / "out" / "app.exe", "previous projector");
  const RunResult r = runLumo({L"build", (dir / "project.json").wstring(), L"-o", (dir / "out" / "app.exe").wstring(),
                               L"--runtime", (dir / "runtime.exe").wstring()});
  EXPECT_EQ(r.exitCode, 2);
  const Bytes kept = readBytes(dir / "out" / "app.exe");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous projector");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
}

TEST_F(BuilderOutput, UnwritableOutputExits1AndLeavesNothing) {
  writeBytes(dir / "good.swf", swfFile());
  writeText(dir / "project.json", R"({"forms": [{"name": "main", "movie": "good.swf"}]})");
  writeBytes(dir / "runtime.exe", runtimeStandIn());
  const RunResult r = runLumo({L"build", (dir / "project.json").wstring(), L"-o",
                               (dir / "no-such-folder" / "app.exe").wstring(), L"--runtime", (dir / "runtime.exe").wstring()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("app.exe"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
}

TEST_F(BuilderOutput, CommandLineMistakesExit2WithUsage) {
  const std::vector<std::vector<std::wstring>> mistakes = {
      {}, {L"frobnicate"}, {L"build"}, {L"build", L"p.json"}, {L"build", L"p.json", L"-o"}, {L"inspect"},
      {L"build", L"p.json", L"-o", L"a.exe", L"--verbose"}};
  for (const auto& args : mistakes) {
    const RunResult r = runLumo(args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace lumo::builder::test

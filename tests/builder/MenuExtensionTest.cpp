// "menuExtension": lumo build packs the standard menu extension from beside the runtime, first
// among the project's extensions, and refuses to build when it cannot.
#include "BuilderTestSupport.h"
#include "Sha256.h"

#include <nlohmann/json.hpp>

namespace lumo::builder::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

class BuilderMenuExtension : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (!fs::exists(binFolder() / "lumo-runtime.exe") || !fs::exists(binFolder() / "menus.vdd"))
      GTEST_SKIP() << "the runtime and its menu extension are not built";
    writeBytes(dir / "m.swf", swfFile());
    writeBytes(dir / "own.vdd", dllFile());
  }

  RunResult build(const std::string& keys, const fs::path& runtime = binFolder() / "lumo-runtime.exe") {
    writeText(dir / "p.json", "{" + keys + R"(, "forms": [{"name": "main", "movie": "m.swf"}]})");
    return runLumo({L"build", (dir / "p.json").wstring(), L"-o", (dir / "app.exe").wstring(), L"--runtime",
                    runtime.wstring()});
  }
  Json extensions() {
    const RunResult r = runLumo({L"inspect", (dir / "app.exe").wstring()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.exitCode == 0 ? Json::parse(r.out)["extensions"] : Json();
  }
  static Json fileInfo(const Bytes& bytes) { return {{"size", bytes.size()}, {"sha256", sha256Hex(bytes)}}; }
};

TEST_F(BuilderMenuExtension, PacksTheRuntimesMenuExtensionBeforeTheProjectsOwn) {
  ASSERT_EQ(build(R"("menuExtension": true, "extensions": ["own.vdd"])").exitCode, 0);
  EXPECT_EQ(extensions(), (Json{fileInfo(readBytes(binFolder() / "menus.vdd")), fileInfo(dllFile())}));

  ASSERT_EQ(build(R"("menuExtension": false, "extensions": ["own.vdd"])").exitCode, 0);
  EXPECT_EQ(extensions(), (Json{fileInfo(dllFile())}));
}

TEST_F(BuilderMenuExtension, IsRefusedWhenTheRuntimeHasNoUsableMenuExtensionBesideIt) {
  // A runtime alone in a folder; one beside the other architecture's build; one beside a file
  // that is no DLL.
  for (const char* folder : {"alone", "other", "broken"}) {
    fs::create_directories(dir / folder);
    fs::copy_file(binFolder() / "lumo-runtime.exe", dir / folder / "lumo-runtime.exe");
  }
  fs::copy_file(binFolder() / ".." / ".." / "i686" / "bin" / "menus.vdd", dir / "other" / "menus.vdd");
  writeText(dir / "broken" / "menus.vdd", "not a library");
  struct Case {
    std::string keys;
    const char* runtimeFolder;
    const char* message;
  };
  const Case cases[] = {
      {R"("menuExtension": true)", "alone", "cannot be read (it ships beside the runtime)"},
      {R"("menuExtension": true)", "other", "is not built for the runtime's architecture (x86-64)"},
      {R"("menuExtension": true)", "broken", "is not a Windows DLL"},
      {R"("menuExtension": "yes")", "alone", "p.json: menuExtension: must be true or false, not a string"},
  };
  for (const Case& c : cases) {
    const RunResult r = build(c.keys, dir / c.runtimeFolder / "lumo-runtime.exe");
    EXPECT_EQ(r.exitCode, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "app.exe")) << c.message;
  }
}

}  // namespace
}  // namespace lumo::builder::test

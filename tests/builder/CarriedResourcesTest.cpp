// lumo build with its owner's player control, icon and version information: inspect shows
// them, Windows' own resource functions read them back from the built file, and a bad one is
// refused with exit 2 and nothing written.
#include "BuilderTestSupport.h"
#include "IconFixture.h"
#include "ProjectSettings.h"
#include "RecordFormat.h"
#include "Sha256.h"
#include "TestImage.h"

#include <nlohmann/json.hpp>

#include <windows.h>

#include <imagehlp.h>

namespace lumo::builder::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr std::uint32_t kIconColour = 0xFFC02040;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

class BuilderCarried : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (!fs::exists(runtime()) || !fs::exists(secondPlayer())) GTEST_SKIP() << "the runtime and players are not built";
    writeBytes(dir / "m.swf", swfFile());
    writeBytes(dir / "app.ico", bytesOf(lumo::test::solidIcon({16, 32, 48}, kIconColour)));
  }
  static fs::path runtime() { return binFolder() / "lumo-runtime.exe"; }
  static fs::path secondPlayer() { return binFolder() / "lumoplayer-second.dll"; }

  // Builds `keys` (project keys before "forms") with `options` into app.exe.
  RunResult build(const std::string& keys, std::vector<std::wstring> options = {}) {
    writeText(dir / "p.json", std::string("{") + keys + (keys.empty() ? "" : ", ") + R"("forms": [{"name": "main", "movie": "m.swf"}]})");
    std::vector<std::wstring> args = {L"build", (dir / "p.json").wstring(), L"-o", (dir / "app.exe").wstring(),
                                      L"--runtime", runtime().wstring()};
    args.insert(args.end(), options.begin(), options.end());
    return runLumo(args);
  }
  Json inspect() {
    const RunResult r = runLumo({L"inspect", (dir / "app.exe").wstring()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.exitCode == 0 ? Json::parse(r.out) : Json();
  }
};

const char* const kVersionKeys = R"("versionInfo": {"fileVersion": "1.2.3.4", "productVersion": "5.6",
    "productName": "Zoë's Guide", "company": "Acme 🎬 Ltd", "description": "A museum guide",
    "copyright": "© 2026 Acme"})";

std::string carriedKeys() { return std::string(R"("player": "second.dll", "icon": "app.ico", )").append(kVersionKeys); }

TEST_F(BuilderCarried, InspectShowsTheCarriedPlayerIconAndVersion) {
  const RunResult built = build(carriedKeys());
  ASSERT_EQ(built.exitCode, 2) << "second.dll is not in the project folder yet";
  fs::copy_file(secondPlayer(), dir / "second.dll");
  ASSERT_EQ(build(carriedKeys()).exitCode, 0);

  const Json project = inspect();
  const Bytes player = readBytes(secondPlayer());
  EXPECT_EQ(project["player"], (Json{{"size", player.size()}, {"sha256", sha256Hex(player)}, {"machine", "x86-64"}}));
  EXPECT_EQ(project["icon"]["images"], Json::parse(R"([{"width": 16, "height": 16, "bitCount": 32},
      {"width": 32, "height": 32, "bitCount": 32}, {"width": 48, "height": 48, "bitCount": 32}])"));
  EXPECT_EQ(project["versionInfo"], Json::parse(std::string("{") + kVersionKeys + "}")["versionInfo"]);
  EXPECT_EQ(project["title"], "");
  EXPECT_EQ(project["forms"][0]["name"], "main");
}

TEST_F(BuilderCarried, OptionsWinOverProjectKeysAndTheDefaultPlayerIsTheRuntimes) {
  ASSERT_EQ(build(kVersionKeys, {L"--company", L"Options Inc", L"--product-version", L"9"}).exitCode, 0);
  const Json project = inspect();
  EXPECT_EQ(project["versionInfo"]["company"], "Options Inc");
  EXPECT_EQ(project["versionInfo"]["productVersion"], "9");
  EXPECT_EQ(project["versionInfo"]["fileVersion"], "1.2.3.4");
  const Bytes ownPlayer = readBytes(binFolder() / "lumoplayer.dll");
  EXPECT_EQ(project["player"]["sha256"], sha256Hex(ownPlayer));

  // Versions alone: either stands in for the other.
  ASSERT_EQ(build("", {L"--product-version", L"3.1"}).exitCode, 0);
  EXPECT_EQ(inspect()["versionInfo"], (Json{{"fileVersion", "3.1"}, {"productVersion", "3.1"}}));
}

std::wstring versionString(const Bytes& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) return L"(missing)";
  return static_cast<const wchar_t*>(value);
}

std::uint32_t middlePixel(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(32 * 32);
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, info.hbmColor, 0, 32, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return rows == 32 ? pixels[16 * 32 + 16] | 0xFF000000 : 0;
}

// Wine's resource loader and version library read the rewritten file as Windows would.
TEST_F(BuilderCarried, WindowsReadsTheResourcesOfTheBuiltFile) {
  fs::copy_file(secondPlayer(), dir / "second.dll");
  ASSERT_EQ(build(carriedKeys()).exitCode, 0);
  const std::wstring app = (dir / "app.exe").wstring();

  HMODULE module = LoadLibraryExW(app.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  HRSRC player = FindResourceW(module, MAKEINTRESOURCEW(135), L"BIN");
  ASSERT_NE(player, nullptr);
  const Bytes expected = readBytes(secondPlayer());
  ASSERT_EQ(SizeofResource(module, player), expected.size());
  const auto* carried = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, player)));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), carried));

  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(107), MAKEINTRESOURCEW(14));
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<PBYTE>(LockResource(LoadResource(module, group)));
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
  ASSERT_NE(image, nullptr);
  HICON icon = CreateIconFromResourceEx(static_cast<PBYTE>(LockResource(LoadResource(module, image))),
                                        SizeofResource(module, image), TRUE, 0x00030000, 32, 32, LR_DEFAULTCOLOR);
  EXPECT_EQ(middlePixel(icon), kIconColour);
  DestroyIcon(icon);
  FreeLibrary(module);

  const DWORD size = GetFileVersionInfoSizeW(app.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  Bytes block(size);
  ASSERT_TRUE(GetFileVersionInfoW(app.c_str(), 0, size, block.data()));
  EXPECT_EQ(versionString(block, L"FileVersion"), L"1.2.3.4");
  EXPECT_EQ(versionString(block, L"ProductVersion"), L"5.6");
  EXPECT_EQ(versionString(block, L"ProductName"), L"Zo\u00EB's Guide");
  EXPECT_EQ(versionString(block, L"CompanyName"), L"Acme \U0001F3AC Ltd");
  EXPECT_EQ(versionString(block, L"FileDescription"), L"A museum guide");
  EXPECT_EQ(versionString(block, L"LegalCopyright"), L"\u00A9 2026 Acme");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050006u);

  // The checksum in the header is the file's, record included; the record is still found.
  DWORD header = 0, computed = 0;
  ASSERT_EQ(MapFileAndCheckSumW(app.c_str(), &header, &computed), CHECKSUM_SUCCESS);
  EXPECT_EQ(header, computed);
  record::ProjectSettings settings;
  EXPECT_TRUE(settings.loadFromExecutable(dir / "app.exe"));
}

TEST_F(BuilderCarried, BadCarriedFilesAreRefusedAndNothingIsWritten) {
  using pe::test::makeModuleHeader;
  writeBytes(dir / "x86.dll", makeModuleHeader(pe::kMachineI386, true));
  writeBytes(dir / "program.exe", makeModuleHeader(pe::kMachineAmd64, false));
  // A control the loader serves, which holds the marker after its sections.
  Bytes marked = readBytes(binFolder() / "hostnativetls.dll");
  ASSERT_FALSE(marked.empty());
  const auto marker = record::marker();
  marked.insert(marked.end(), marker.begin(), marker.end());
  writeBytes(dir / "marked.dll", marked);
  writeBytes(dir / "cursor.ico", {0, 0, 2, 0, 1, 0});
  writeBytes(dir / "plain-runtime.exe", dllFile());
  struct Case {
    std::string keys;
    std::vector<std::wstring> options;
    const char* message;
  };
  const Case cases[] = {
      {"", {L"--player", (dir / "x86.dll").wstring()}, "is a DLL for x86, but the runtime is built for x86-64"},
      {R"("player": "program.exe")", {}, "p.json: player: file"},
      {R"("player": "program.exe")", {}, "is a program, not a DLL"},
      {"", {L"--player", (dir / "marked.dll").wstring()}, "holds the bytes that mark a project record"},
      {"", {L"--player", (binFolder() / "hosttestimage.dll").wstring()}, "exports no DllGetClassObject"},
      {"", {L"--icon", (dir / "cursor.ico").wstring()}, "--icon: file"},
      {R"("icon": "cursor.ico")", {}, "is not an ICO icon file"},
      {"", {L"--file-version", L"1.2.x"}, "--file-version: must be a version like \"1.2.3.4\""},
      {R"("versionInfo": {"fileVersion": "70000"})", {}, "versionInfo.fileVersion: must be a version"},
      {R"("versionInfo": {"colour": "red"})", {}, "versionInfo.colour: unknown key"},
      {R"("versionInfo": "1.0")", {}, "versionInfo: must be an object"},
      {"", {L"--icon", (dir / "app.ico").wstring(), L"--runtime", (dir / "plain-runtime.exe").wstring()},
       "plain-runtime.exe: is not a Windows program: no PE header"},
  };
  for (const Case& c : cases) {
    writeBytes(dir / "app.exe", {'o', 'l', 'd'});
    const RunResult r = build(c.keys, c.options);
    EXPECT_EQ(r.exitCode, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(dir / "app.exe"), (Bytes{'o', 'l', 'd'})) << c.message;
  }
}

}  // namespace
}  // namespace lumo::builder::test

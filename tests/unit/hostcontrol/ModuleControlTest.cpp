// The whole path a projector takes: the stand-in player mapped from memory into a player
// module, a control made with the module's class, a movie and its ExternalInterface call.
#include <windows.h>

#include <fstream>
#include <iterator>

#include "ControlFixture.h"
#include "SwfMovie.h"
#include "host/HostApi.h"
#include "host/PlayerModule.h"

namespace hostcontrol_test {
namespace {

std::vector<char> playerImage() {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dll(exe);
  dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"lumoplayer.dll";
  std::ifstream in(dll.c_str(), std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 320 x 240 control of the module in `parent`.
HWND moduleControl(lumo::PlayerModule* module, HWND parent) {
  return lumo::createControlWindow(module, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 320, 240, parent,
                                   reinterpret_cast<HMENU>(5), GetModuleHandleW(nullptr), nullptr);
}

TEST_F(HostControlTest, ControlOfThePlayerModuleLoadedFromMemoryRunsAMovie) {
  const std::vector<char> image = playerImage();
  ASSERT_FALSE(image.empty());
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  ASSERT_NE(lumo::controlClassAtom(module.get()), 0);

  HWND control = moduleControl(module.get(), createParent());
  ASSERT_NE(control, nullptr);
  lumo::PlayerControl* object = lumo::PlayerControl::fromWindow(control);
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->hasPlayer());
  EXPECT_TRUE(object->inPlaceActive());
  EXPECT_NE(lumo::playerWindow(control), nullptr);

  flashCallAnswer() = L"<string>from memory</string>";
  ASSERT_TRUE(loadMovie(control, writeMovie("module.swf", "call vor.mapped\nexpect \"from memory\"\n")));
  ASSERT_TRUE(waitTranscript("end"));
  EXPECT_TRUE(transcriptHas("PASS line 2"));
  int calls = 0;
  for (const Seen& s : seen()) calls += s.code == lumo::notify::kFlashCallW ? 1 : 0;
  EXPECT_EQ(calls, 1);

  DestroyWindow(control);
  pumpFor(20);
  EXPECT_TRUE(lumo::unloadPlayer(std::move(module)));
  EXPECT_FALSE(lumo::unloadPlayer(nullptr));
}

TEST_F(HostControlTest, MovieFromMemoryPlaysInAControlOfTheModule) {
  const std::vector<char> image = playerImage();
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  HWND control = moduleControl(module.get(), createParent());
  ASSERT_NE(control, nullptr);

  movie::SwfMovie m;
  m.xMax = 320 * 20;
  m.yMax = 240 * 20;
  m.script = "call vor.fromMemory\nexpect yes\n";
  m.hasScript = true;
  const std::vector<uint8_t> bytes = movie::writeSwf(m);
  flashCallAnswer() = L"<string>yes</string>";
  lumo::MovieFromMemoryRecord record{bytes.data(), bytes.size(), E_FAIL};
  ASSERT_EQ(send(control, lumo::msg::kPutMovieFromMemory, record), 1);
  ASSERT_EQ(record.result, S_OK);
  ASSERT_TRUE(waitTranscript("end"));
  EXPECT_TRUE(transcriptHas("PASS line 2"));
  // Ids count from 100 per module.
  EXPECT_NE(getText(control, 0x1540).find(L"\\100\\"), std::wstring::npos) << getText(control, 0x1540);

  DestroyWindow(control);
  pumpFor(20);
}

// The player's own context menu is a resource of its image: mapped from memory, it reaches the
// player only through the host's LoadMenuA, and it opens on a right release the flag lets through.
TEST_F(HostControlTest, ThePlayerModulesContextMenuComesFromItsImage) {
  const std::vector<char> image = playerImage();
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  HWND control = moduleControl(module.get(), createParent());
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(loadMovie(control, writeMovie("menu.swf", "")));
  lumo::ContextMenuRecord on{1, E_FAIL};
  send(control, lumo::msg::kSetContextMenu, on);
  closeMenuSoon();
  PostMessageW(lumo::playerWindow(control), WM_RBUTTONUP, 0, MAKELPARAM(12, 13));
  EXPECT_TRUE(waitTranscript("menu-dismissed", 5000)) << "the menu opened and was closed";
  EXPECT_FALSE(transcriptHas("menu-failed"));
  EXPECT_EQ(openedMenuItems(), (std::vector<std::wstring>{L"Play", L"Loop", L"", L"Rewind", L"Forward", L"Back"}));

  DestroyWindow(control);
  pumpFor(20);
  EXPECT_TRUE(lumo::unloadPlayer(std::move(module)));
}

HRESULT CALLBACK declining(const wchar_t*, IStream**, void*, void*) { return E_FAIL; }

// Answers http://lumo.test/ URLs with a stream of its own holding 5 bytes.
HRESULT CALLBACK replacing(const wchar_t* url, IStream** stream, void*, void*) {
  if (wcsncmp(url, L"http://lumo.test/", 17) != 0) return E_FAIL;
  IStream* own = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &own);
  own->Write("12345", 5, nullptr);
  *stream = own;
  return S_OK;
}

void writeFile(const std::wstring& path, std::size_t size) {
  std::ofstream(path.c_str(), std::ios::binary) << std::string(size, 'r');
}

TEST_F(HostControlTest, ResourcesOfAMovieFromMemoryComeFromBaseTheWorkingDirectoryOrAHandler) {
  const std::vector<char> image = playerImage();
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  lumo::registerResourceHandler(module.get(), nullptr, &declining, nullptr);
  lumo::registerResourceHandler(module.get(), nullptr, &replacing, nullptr);
  CreateDirectoryW((folder_ + L"\\images").c_str(), nullptr);
  writeFile(folder_ + L"\\images\\a.jpg", 1234);
  const std::wstring base = folder_ + L"\\base";
  CreateDirectoryW(base.c_str(), nullptr);
  CreateDirectoryW((base + L"\\images").c_str(), nullptr);
  writeFile(base + L"\\images\\a.jpg", 77);
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder_.c_str());

  struct Case {
    const wchar_t* base;  // the control's Base
    const char* load;
    const char* expected;
  } cases[] = {
      {L"", "images/a.jpg", "bytes 1234"},       // beside the movie: the working directory
      {base.c_str(), "images/a.jpg", "bytes 77"},  // the movie's Base folder
      {L"", "http://lumo.test/data.txt", "bytes 5"},  // the second handler's own stream
  };
  for (const Case& c : cases) {
    HWND parent = createParent();
    HWND control = lumo::createControlWindow(module.get(), 0, WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, parent,
                                             reinterpret_cast<HMENU>(5), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    lumo::TextRecord<wchar_t> putBase{c.base, E_FAIL};
    send(control, lumo::msg::kPutBaseW, putBase);
    movie::SwfMovie m;
    m.script = std::string("load ") + c.load + "\n";
    m.hasScript = true;
    const std::vector<uint8_t> bytes = movie::writeSwf(m);
    lumo::MovieFromMemoryRecord record{bytes.data(), bytes.size(), E_FAIL};
    ASSERT_EQ(send(control, lumo::msg::kPutMovieFromMemory, record), 1);
    ASSERT_TRUE(pumpUntil([&] {
      for (const std::string& line : transcript()) {
        if (line.rfind("resource", 0) == 0 && line.find(c.load) != std::string::npos) return true;
      }
      return false;
    })) << c.load;
    bool found = false;
    for (const std::string& line : transcript()) {
      if (line.rfind("resource ", 0) == 0 && line.find(c.load) != std::string::npos) {
        found = line.find(c.expected) != std::string::npos;
      }
    }
    EXPECT_TRUE(found) << c.load << " should give " << c.expected;
    DestroyWindow(control);
    pumpFor(20);
  }
  SetCurrentDirectoryW(previous);
}

TEST_F(HostControlTest, ResourceHandlersOfTheModuleCountFromOne) {
  const std::vector<char> image = playerImage();
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(lumo::registerResourceHandler(module.get(), nullptr, &declining, nullptr), 1);
  EXPECT_EQ(lumo::registerResourceHandler(module.get(), nullptr, &declining, nullptr), 2);
  EXPECT_EQ(lumo::registerResourceHandler(nullptr, nullptr, &declining, nullptr), 0);
}

}  // namespace
}  // namespace hostcontrol_test

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

TEST_F(HostControlTest, ControlOfThePlayerModuleLoadedFromMemoryRunsAMovie) {
  const std::vector<char> image = playerImage();
  ASSERT_FALSE(image.empty());
  std::unique_ptr<lumo::PlayerModule> module = lumo::loadPlayerFromMemory(image.data(), image.size());
  ASSERT_NE(module, nullptr);
  ASSERT_NE(lumo::controlClassAtom(module.get()), 0);

  HWND parent = createParent();
  HWND control = lumo::createControlWindow(module.get(), 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 320, 240,
                                           parent, reinterpret_cast<HMENU>(5), GetModuleHandleW(nullptr), nullptr);
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
  HWND parent = createParent();
  HWND control = lumo::createControlWindow(module.get(), 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 320, 240,
                                           parent, reinterpret_cast<HMENU>(5), GetModuleHandleW(nullptr), nullptr);
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

HRESULT CALLBACK declining(const wchar_t*, IStream**, void*, void*) { return E_FAIL; }

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

// Text drawn by the player control: text fields in the system's fonts (GDI outlines,
// anti-aliased as shapes are) for each generic name, and static text from a movie's font.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "MovieWriter.h"
#include "PlayerHarness.h"
#include "SceneText.h"

using namespace player_test;

namespace {

class PlayerText : public ::testing::Test, public PlayerFixtureBase {
 protected:
  // A white 200 x 100 stage from a scene text, shown unscaled in an area of its size.
  void load(const std::string& sceneText) {
    swf::MovieData m;
    m.version = 8;
    m.frameRect = swf::Rect{0, 200 * 20, 0, 100 * 20};
    m.background = swf::Rgba{255, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(scene::readScene(sceneText, m, error)) << error;
    const std::vector<uint8_t> bytes = swf::writeMovie(m, {});
    const std::wstring path = folder.file(L"text.swf");
    std::ofstream(std::filesystem::path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(S_OK, activate(site));
    ASSERT_TRUE(loadMovie(path));
  }
  std::vector<uint32_t> pixels() {
    ComPtr<IViewObject> view;
    EXPECT_EQ(S_OK, player->QueryInterface(IID_PPV_ARGS(&view)));
    return renderPixels(200, 100, 0x123456, [&](HDC dc) {
      RECTL bounds{0, 0, 200, 100};
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    });
  }
  struct Ink {
    int dark = 0, grey = 0;  // below mid-grey; between black and white (anti-aliased edges)
  };
  static Ink inkIn(const std::vector<uint32_t>& px, RECT box) {
    Ink ink;
    for (LONG y = box.top; y < box.bottom; ++y)
      for (LONG x = box.left; x < box.right; ++x) {
        const uint32_t p = px[size_t(y) * 200 + size_t(x)];
        const int sum = int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF);
        ink.dark += sum < 3 * 128;
        ink.grey += sum > 3 * 40 && sum < 3 * 215;
      }
    return ink;
  }
  TestSite& site = makeSite(/*allowWindowless=*/false, 200, 100);
};

TEST_F(PlayerText, DeviceFontFieldsDrawAntiAliasedTextInTheirBox) {
  for (const char* face : {"_sans", "_serif", "_typewriter", "Arial", "No Such Font"}) {
    SCOPED_TRACE(face);
    load(std::string("font 1 \"") + face + "\" device\n"
         "edittext 2 180 40 font 1 size 24 text \"Lumo text\"\nplace 2 depth 1 at 10 10\n");
    const std::vector<uint32_t> px = pixels();
    const Ink ink = inkIn(px, {10, 10, 190, 50});
    EXPECT_GT(ink.dark, 150);
    EXPECT_GT(ink.grey, 20);
    EXPECT_EQ(inkIn(px, {0, 55, 200, 100}).dark, 0);
  }
}

TEST_F(PlayerText, StaticTextDrawsFromTheMoviesFont) {
  load("font 1 Blocks\ntext 2 1 20 000000 \"HHHH\"\nplace 2 depth 1 at 10 10\n");
  const std::vector<uint32_t> px = pixels();
  EXPECT_GT(inkIn(px, {10, 10, 60, 30}).dark, 150);
  EXPECT_EQ(inkIn(px, {60, 0, 200, 100}).dark, 0);
}

}  // namespace

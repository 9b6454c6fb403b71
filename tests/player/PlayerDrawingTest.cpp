// The movie drawn by the player: its display list placed by ScaleMode and AlignMode over its
// background (or the container's), the script's shapes over it, its own alpha for a windowless
// container, the Quality property, and repaints of only what a new frame changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PlayerHarness.h"
#include "SceneText.h"
#include "MovieWriter.h"

using namespace player_test;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A movie of width x height stage pixels from a scene text, with the stand-in's script when given.
std::wstring writeSceneMovie(const std::wstring& path, int width, int height, uint32_t background,
                             const std::string& sceneText, const std::string& script = {}) {
  swf::MovieData m;
  m.version = 8;
  m.frameRect = swf::Rect{0, width * 20, 0, height * 20};
  m.frameRate = 30;
  m.background = swf::Rgba{uint8_t(background >> 16), uint8_t(background >> 8), uint8_t(background), 255};
  std::string error;
  EXPECT_TRUE(scene::readScene(sceneText, m, error)) << error;
  std::vector<swf::ExtraTag> extra;
  if (!script.empty()) extra.push_back({1000, std::vector<uint8_t>(script.begin(), script.end())});
  std::vector<uint8_t> bytes = swf::writeMovie(m, extra);
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<uint32_t> drawView(IUnknown* player, int width, int height, uint32_t fill) {
  ComPtr<IViewObject> view;
  EXPECT_EQ(S_OK, player->QueryInterface(IID_PPV_ARGS(&view)));
  return renderPixels(width, height, fill, [&](HDC dc) {
    RECTL bounds{0, 0, width, height};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  });
}

// Stage 100 x 80 in blue with a red 10 x 10 square in its top left corner.
constexpr const char* kCornerSquare = "shape 1 rect 0 0 10 10 fill FF0000\nplace 1 depth 1\n";

class PlayerDrawing : public ::testing::Test, public PlayerFixtureBase {
 protected:
  void load(const std::string& sceneText, const std::string& script = {}) {
    ASSERT_EQ(S_OK, activate(site));
    ASSERT_TRUE(loadMovie(writeSceneMovie(folder.file(L"scene.swf"), 100, 80, kBlue, sceneText, script)));
  }
  TestSite& site = makeSite(/*allowWindowless=*/false, 200, 100);
};

TEST_F(PlayerDrawing, ScaleModeAndAlignModePlaceTheStageInTheArea) {
  load(kCornerSquare);
  // The area is 200 x 100; the stage 100 x 80.
  struct Case {
    const char* name;
    int scaleMode, alignMode;
    POINT red, blue;
  } cases[] = {
      {"ShowAll, centred: 1.25 times, from x 37.5", 0, 0, {44, 5}, {30, 5}},
      {"NoScale, top left", 3, 1 | 4, {5, 5}, {12, 5}},
      {"NoScale, bottom right", 3, 2 | 8, {105, 25}, {95, 25}},
      {"ExactFit: 2 by 1.25", 2, 0, {18, 11}, {22, 5}},
      {"NoBorder, centred: 2 times, the top 30 rows cut", 1, 0, {5, 1}, {5, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    player->put_ScaleMode(c.scaleMode);
    player->put_AlignMode(c.alignMode);
    std::vector<uint32_t> px = drawView(player.Get(), 200, 100, 0x123456);
    if (c.scaleMode != 1) {
      EXPECT_EQ(kRed, px[c.red.y * 200 + c.red.x]) << std::hex << px[c.red.y * 200 + c.red.x];
    }
    EXPECT_EQ(kBlue, px[c.blue.y * 200 + c.blue.x]) << std::hex << px[c.blue.y * 200 + c.blue.x];
    EXPECT_EQ(kBlue, px[95 * 200 + 2]) << "the area outside the stage shows the background too";
  }
}

TEST_F(PlayerDrawing, TheContainersBackgroundWinsAndTheScriptsShapesLieOverTheMovie) {
  load(kCornerSquare, "draw rect 5 5 10 10 00FF00 255\nlog drawn\n");
  ASSERT_TRUE(transcript->waitFor("log \"drawn\""));
  player->put_ScaleMode(3);
  player->put_AlignMode(1 | 4);
  std::vector<uint32_t> px = drawView(player.Get(), 200, 100, 0);
  EXPECT_EQ(kRed, px[2 * 200 + 2]);
  EXPECT_EQ(kGreen, px[7 * 200 + 7]) << "the script's square over the movie's";
  EXPECT_EQ(kBlue, px[50 * 200 + 50]);
  player->put_BackgroundColor(0xFF00FF);
  px = drawView(player.Get(), 200, 100, 0);
  EXPECT_EQ(0xFF00FFu, px[50 * 200 + 50]);
  EXPECT_EQ(kRed, px[2 * 200 + 2]);
}

// ActionScript moves a clip: its onEnterFrame steps it 10 pixels right a frame until x 60,
// and the picture follows.
//   box.onEnterFrame = function() {
//     this._x += 10;
//     if (this._x >= 60) { delete this.onEnterFrame; trace("arrived " + this._x); }
//   };
TEST_F(PlayerDrawing, AClipMovedByItsOnEnterFrameIsDrawnWhereItWent) {
  load("shape 1 rect 0 0 10 10 fill FF0000\nsprite 2\nplace 1 depth 1\nend\nplace 2 depth 1 name box\n"
       "action 96050000626F78001C960E00006F6E456E7465724672616D65008E0800000000022900650096020004014C960400005F78004E960500070A00000047960400005F78004D4F9606000401005F78004E960500073C0000004812129D02002B009610000401006F6E456E7465724672616D65003A17961000006172726976656420000401005F78004E47264F00\n");
  ASSERT_TRUE(transcript->waitFor("trace \"arrived 60\""));
  player->put_ScaleMode(3);
  player->put_AlignMode(1 | 4);
  std::vector<uint32_t> px = drawView(player.Get(), 200, 100, 0);
  EXPECT_EQ(kRed, px[5 * 200 + 65]) << std::hex << px[5 * 200 + 65];
  EXPECT_EQ(kBlue, px[5 * 200 + 5]) << "the square left its first place";
  EXPECT_EQ(kBlue, px[5 * 200 + 75]);
}

TEST_F(PlayerDrawing, LowQualityDrawsEdgesWithoutAntiAliasing) {
  // A red square from x 10.5: its first column half covered.
  load("shape 1 rect 10.5 10 10 10 fill FF0000\nplace 1 depth 1\n");
  player->put_ScaleMode(3);
  player->put_AlignMode(1 | 4);
  struct {
    const wchar_t* quality;
    bool blended;
  } cases[] = {{L"High", true}, {L"Best", true}, {L"Low", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(narrow(c.quality));
    BSTR quality = bstr(c.quality);
    ASSERT_EQ(S_OK, player->put_Quality2(quality));
    SysFreeString(quality);
    uint32_t edge = drawView(player.Get(), 200, 100, 0)[15 * 200 + 10];
    int red = static_cast<int>(edge >> 16);
    if (c.blended) {
      EXPECT_NEAR(red, 128, 24) << std::hex << edge;
    } else {
      EXPECT_TRUE(edge == kRed || edge == kBlue) << std::hex << edge;
    }
  }
}

constexpr int kW = 100, kH = 80;

class PlayerDrawingWindowless : public ::testing::Test, public PlayerFixtureBase {
 protected:
  void load(const std::string& sceneText) {
    BSTR mode = bstr(L"Transparent");
    player->put_WMode(mode);
    SysFreeString(mode);
    ASSERT_EQ(S_OK, activate(site));
    ASSERT_TRUE(site.called("OnInPlaceActivateEx windowless"));
    ASSERT_TRUE(loadMovie(writeSceneMovie(folder.file(L"scene.swf"), kW, kH, 0xFFFFFF, sceneText)));
  }
  TestSite& site = makeSite(/*allowWindowless=*/true, kW, kH);
};

TEST_F(PlayerDrawingWindowless, TheMoviesOwnAlphaBlendsWithWhatTheContainerHasBehind) {
  load("shape 1 rect 10 10 20 20 fill FF0000\nshape 2 rect 50 10 20 20 fill 0000FF80\n"
       "place 1 depth 1\nplace 2 depth 2\n");
  std::vector<uint32_t> onBlack = drawView(player.Get(), kW, kH, 0x000000);
  std::vector<uint32_t> onWhite = drawView(player.Get(), kW, kH, 0xFFFFFF);
  auto at = [](const std::vector<uint32_t>& px, int x, int y) { return px[y * kW + x]; };
  EXPECT_EQ(kRed, at(onBlack, 20, 20));
  EXPECT_EQ(kRed, at(onWhite, 20, 20));
  EXPECT_EQ(0x000000u, at(onBlack, 40, 60)) << "the stage has no background of its own";
  EXPECT_EQ(0xFFFFFFu, at(onWhite, 40, 60));
  // Half-transparent blue: alpha 128 recovered from the two passes as a host does.
  uint32_t black = at(onBlack, 60, 20), white = at(onWhite, 60, 20);
  EXPECT_NEAR(static_cast<int>(black & 0xFF), 128, 2) << std::hex << black;
  EXPECT_NEAR(static_cast<int>(white >> 16), 127, 2) << std::hex << white;
  int alpha = 255 - static_cast<int>(white >> 16) + static_cast<int>(black >> 16);
  EXPECT_NEAR(alpha, 128, 3);

  ComPtr<IViewObjectEx> view;
  ASSERT_EQ(S_OK, player.As(&view));
  RECT bounds{0, 0, kW, kH};
  struct {
    POINT at;
    DWORD expected;
  } hits[] = {{{20, 20}, HITRESULT_HIT}, {{60, 20}, HITRESULT_HIT}, {{40, 60}, HITRESULT_TRANSPARENT}};
  for (const auto& h : hits) {
    DWORD result = 99;
    ASSERT_EQ(S_OK, view->QueryHitPoint(DVASPECT_CONTENT, &bounds, h.at, 0, &result));
    EXPECT_EQ(h.expected, result) << h.at.x << "," << h.at.y;
  }
}

TEST_F(PlayerDrawingWindowless, AButtonFollowsThePointerThroughTheForwardedMessages) {
  // Up: a red square; over and down: a blue one; hit: a 40 x 40 area drawn by no state. The
  // release traces "hit".
  load("shape 1 rect 0 0 10 10 fill FF0000\nshape 2 rect 0 0 10 10 fill 0000FF\nshape 3 rect 0 0 40 40 fill 000000\n"
       "button 4\n state up 1 depth 1\n state over,down 2 depth 1\n state hit 3 depth 2\n"
       " on release 96050000686974002600\nend\nplace 4 depth 1 at 10 10\n");
  ComPtr<IViewObjectEx> view;
  ASSERT_EQ(S_OK, player.As(&view));
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_EQ(S_OK, player.As(&windowless));
  RECT bounds{0, 0, kW, kH};
  auto hitAt = [&](POINT p) {
    DWORD result = 99;
    EXPECT_EQ(S_OK, view->QueryHitPoint(DVASPECT_CONTENT, &bounds, p, 0, &result));
    return result;
  };
  auto colourAt = [&](int x, int y) { return drawView(player.Get(), kW, kH, 0xFFFFFF)[y * kW + x]; };
  auto send = [&](UINT message, int x, int y) {
    LRESULT result = 0;
    windowless->OnWindowMessage(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y), &result);
  };
  auto handShown = [&] {
    LRESULT result = 0;
    windowless->OnWindowMessage(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), &result);
    return GetCursor() == LoadCursorW(nullptr, IDC_HAND);
  };
  EXPECT_EQ(DWORD(HITRESULT_HIT), hitAt({40, 40})) << "the hit area counts where nothing is painted";
  EXPECT_EQ(DWORD(HITRESULT_TRANSPARENT), hitAt({60, 60}));
  EXPECT_EQ(kRed, colourAt(15, 15));
  send(WM_MOUSEMOVE, 40, 40);
  EXPECT_EQ(kBlue, colourAt(15, 15)) << "the over state";
  EXPECT_TRUE(handShown());
  send(WM_LBUTTONDOWN, 40, 40);
  send(WM_LBUTTONUP, 40, 40);
  EXPECT_TRUE(transcript->has("trace \"hit\""));
  send(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(kRed, colourAt(15, 15)) << "rolled out: the up state";
  EXPECT_FALSE(handShown());
}

TEST_F(PlayerDrawingWindowless, EachFrameRepaintsOnlyTheAreaItChanged) {
  // A 10 x 10 square in a sprite, stepping 20 pixels right each frame along the top.
  load("shape 1 rect 0 0 10 10 fill 00FF00\n"
       "sprite 2\nplace 1 depth 1\nframe\nmove depth 1 at 20 0\nframe\nmove depth 1 at 40 0\nend\n"
       "place 2 depth 1\n");
  site.invalidated.clear();
  ASSERT_TRUE(pumpUntil([&] { return site.invalidated.size() >= 3; }, 5000)) << "the sprite does not animate";
  for (const RECT& r : site.invalidated) {
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 52) << "wider than the square's old and new places";
    EXPECT_LE(r.bottom, 12) << "taller than the square";
  }
  // What it shows is where the square is now: one of its three places, nowhere else.
  std::vector<uint32_t> px = drawView(player.Get(), kW, kH, 0);
  int shown = 0;
  for (int x : {5, 25, 45}) shown += px[5 * kW + x] == kGreen;
  EXPECT_EQ(1, shown);
  EXPECT_EQ(0u, px[30 * kW + 5]);
}

}  // namespace

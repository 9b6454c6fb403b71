// Movies loaded through a URL moniker, by path and relative to Base; the stage drawn windowed
// and through IViewObject::Draw; windowless siting, transparent drawing and hit testing.
#include <gtest/gtest.h>

#include "PlayerHarness.h"

using namespace player_test;

namespace {

class PlayerMovie : public ::testing::Test, public PlayerFixtureBase {};

struct LoadCase {
  const char* name;
  bool compressed;
  uint8_t version;
  uint32_t background;
  enum { Url, Path, RelativeToBase } how;
};

const LoadCase kLoads[] = {
    {"file URL, plain", false, 9, 0x204080, LoadCase::Url},
    {"file URL, compressed", true, 10, 0xC08040, LoadCase::Url},
    {"local path, version 8", false, 8, 0x00FF00, LoadCase::Path},
    {"relative to Base, compressed", true, 6, 0x800080, LoadCase::RelativeToBase},
};

TEST_F(PlayerMovie, LoadsByUrlMonikerAndByPathAndReportsVersionAndBackground) {
  for (const LoadCase& c : kLoads) {
    SCOPED_TRACE(c.name);
    movie::SwfMovie m = makeMovie(120, 90, c.background);
    m.compressed = c.compressed;
    m.version = c.version;
    std::wstring file = writeMovie(folder.file(L"m" + std::to_wstring(&c - kLoads) + L".swf"), m);
    std::wstring url = c.how == LoadCase::Url ? fileUrl(file) : file;
    if (c.how == LoadCase::RelativeToBase) {
      BSTR base = bstr(folder.path().c_str());
      player->put_Base(base);
      SysFreeString(base);
      url = file.substr(file.find_last_of(L'\\') + 1);
    }
    std::vector<std::string> before = transcript->lines();
    ASSERT_TRUE(loadMovie(url));
    std::vector<std::string> after = transcript->lines();
    ASSERT_GT(after.size(), before.size());
    std::string expected = "version " + std::to_string(c.version);
    bool found = false;
    for (size_t i = before.size(); i < after.size(); ++i)
      found |= after[i].rfind("movie ", 0) == 0 && after[i].find(expected) != std::string::npos;
    EXPECT_TRUE(found) << "no movie line with " << expected;

    long color = 0;
    player->get_BackgroundColor(&color);
    EXPECT_EQ(static_cast<long>(c.background), color);
    ComPtr<IViewObject> view;
    player.As(&view);
    std::vector<uint32_t> px = renderPixels(120, 90, 0x000000, [&](HDC dc) {
      RECTL bounds{0, 0, 120, 90};
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    });
    EXPECT_EQ(c.background, px[80 * 120 + 100]) << "bottom right is stage background";
  }
}

TEST_F(PlayerMovie, AMissingMovieIsReportedAndKeepsNothingLoaded) {
  BSTR url = bstr(fileUrl(folder.file(L"absent.swf")).c_str());
  player->put_Movie(url);
  SysFreeString(url);
  ASSERT_TRUE(transcript->waitFor("movie-failed "));
  long frames = -1;
  player->get_TotalFrames(&frames);
  EXPECT_EQ(0, frames);
}

TEST_F(PlayerMovie, BytesThatAreNoMovieAreRefused) {
  std::wstring path = folder.file(L"junk.swf");
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(f, "GIF89a not a movie", 18, &written, nullptr);
  CloseHandle(f);
  BSTR url = bstr(path.c_str());
  player->put_Movie(url);
  SysFreeString(url);
  ASSERT_TRUE(transcript->waitFor("movie-failed "));
}

TEST_F(PlayerMovie, WindowedPlayerPaintsItsOwnChildWindowWithTheBackground) {
  TestSite& site = makeSite(/*allowWindowless=*/true, 160, 120);
  ASSERT_EQ(S_OK, activate(site));
  // WMode stays "Window": the player makes its own child window even though the site could
  // take it windowless.
  EXPECT_FALSE(site.called("OnInPlaceActivateEx windowless"));
  EXPECT_TRUE(site.called("GetWindowContext"));
  ComPtr<IOleInPlaceObject> inPlace;
  player.As(&inPlace);
  HWND child = nullptr;
  ASSERT_EQ(S_OK, inPlace->GetWindow(&child));
  EXPECT_EQ(site.window(), GetParent(child));

  ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"windowed.swf"), makeMovie(160, 120, 0x0000FF))));
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  pumpFor(100);
  HDC dc = GetDC(child);
  COLORREF pixel = GetPixel(dc, 150, 110);
  ReleaseDC(child, dc);
  EXPECT_EQ(RGB(0, 0, 255), pixel);

  // A container that captures a frame sends WM_PAINT with its own DC.
  std::vector<uint32_t> frame = renderPixels(160, 120, 0x000000, [&](HDC memory) {
    SendMessageW(child, WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
  });
  EXPECT_EQ(0x0000FFu, frame[110 * 160 + 150]);

  // UI activation tells the site and the frame.
  ComPtr<IOleObject> ole;
  player.As(&ole);
  RECT client;
  GetClientRect(site.window(), &client);
  ASSERT_EQ(S_OK, ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, site.window(), &client));
  EXPECT_TRUE(site.called("OnUIActivate"));
  EXPECT_TRUE(site.called("SetActiveObject"));
  EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_TRUE(site.called("OnInPlaceDeactivate") || site.called("OnInPlaceDeactivateEx"));
}

TEST_F(PlayerMovie, TransparentModeFallsBackToAWindowWhereTheSiteRefusesWindowless) {
  BSTR mode = bstr(L"Transparent");
  player->put_WMode(mode);
  SysFreeString(mode);
  TestSite& site = makeSite(/*allowWindowless=*/false);
  ASSERT_EQ(S_OK, activate(site));
  EXPECT_FALSE(site.called("OnInPlaceActivateEx windowless"));
  ComPtr<IOleInPlaceObject> inPlace;
  player.As(&inPlace);
  HWND child = nullptr;
  EXPECT_EQ(S_OK, inPlace->GetWindow(&child));
  EXPECT_TRUE(IsWindow(child));
}

constexpr int kW = 100, kH = 80;
constexpr uint32_t kUntouched = 0x00FF00;

class PlayerWindowless : public PlayerMovie {
 protected:
  void SetUp() override {
    BSTR mode = bstr(L"Transparent");
    player->put_WMode(mode);
    SysFreeString(mode);
    ASSERT_EQ(S_OK, activate(site));
    ASSERT_TRUE(site.called("OnInPlaceActivateEx windowless"));
    // An opaque red square at 10,10 and a half-transparent blue one at 50,10, stage 100 x 80.
    const char* script =
        "draw rect 10 10 20 20 FF0000 255\n"
        "draw rect 50 10 20 20 0000FF 128\n";
    ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"shapes.swf"), makeMovie(kW, kH, 0xFFFFFF, script))));
    ASSERT_TRUE(transcript->waitFor("end"));
  }
  TestSite& site = makeSite(/*allowWindowless=*/true, kW, kH);
};

TEST_F(PlayerWindowless, SitesWithoutAWindowOfItsOwn) {
  ComPtr<IOleInPlaceObject> inPlace;
  player.As(&inPlace);
  HWND child = reinterpret_cast<HWND>(1);
  EXPECT_NE(S_OK, inPlace->GetWindow(&child));
  EXPECT_EQ(nullptr, GetWindow(site.window(), GW_CHILD));
  EXPECT_TRUE(site.called("GetWindowContext"));
  EXPECT_TRUE(site.called("InvalidateRect"));  // the drawn shapes asked for a repaint
  EXPECT_TRUE(site.called("GetDC"));
  EXPECT_TRUE(site.called("ReleaseDC"));
}

TEST_F(PlayerWindowless, DrawLeavesUnpaintedPixelsUntouched) {
  ComPtr<IViewObjectEx> view;
  ASSERT_EQ(S_OK, player.As(&view));
  std::vector<uint32_t> px = renderPixels(kW, kH, kUntouched, [&](HDC dc) {
    RECTL bounds{0, 0, kW, kH};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  });
  auto at = [&](int x, int y) { return px[y * kW + x]; };
  EXPECT_EQ(0xFF0000u, at(20, 20)) << "opaque shape";
  EXPECT_EQ(kUntouched, at(40, 60)) << "transparent stage";
  EXPECT_EQ(kUntouched, at(95, 75));
  uint32_t blended = at(60, 20);
  EXPECT_NEAR(static_cast<int>(blended & 0xFF), 0x80, 3) << std::hex << blended;
  EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 0x7F, 3) << "half of the green below stays";
}

TEST_F(PlayerWindowless, QueryHitPointMissesTransparentStagePixels) {
  ComPtr<IViewObjectEx> view;
  ASSERT_EQ(S_OK, player.As(&view));
  RECT bounds{0, 0, kW, kH};
  struct {
    POINT at;
    DWORD expected;
  } cases[] = {
      {{20, 20}, HITRESULT_HIT},          {{60, 20}, HITRESULT_HIT},
      {{40, 60}, HITRESULT_TRANSPARENT},  {{95, 75}, HITRESULT_TRANSPARENT},
      {{150, 20}, HITRESULT_OUTSIDE},
  };
  for (const auto& c : cases) {
    DWORD result = 99;
    ASSERT_EQ(S_OK, view->QueryHitPoint(DVASPECT_CONTENT, &bounds, c.at, 0, &result));
    EXPECT_EQ(c.expected, result) << c.at.x << "," << c.at.y;
  }
}

TEST_F(PlayerWindowless, ClicksTakeTheCaptureAndFocusThroughTheSite) {
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_EQ(S_OK, player.As(&windowless));
  LRESULT result = 0;
  EXPECT_EQ(S_OK, windowless->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20), &result));
  EXPECT_TRUE(site.capture);
  EXPECT_TRUE(site.focus);
  EXPECT_TRUE(site.called("OnUIActivate"));
  EXPECT_EQ(S_OK, windowless->OnWindowMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 20), &result));
  EXPECT_FALSE(site.capture);
  EXPECT_TRUE(transcript->has("mouse left down 20 20"));
  EXPECT_TRUE(transcript->has("mouse left up 20 20"));
  // What the movie does not take goes back to the container.
  EXPECT_EQ(S_FALSE, windowless->OnWindowMessage(WM_TIMER, 0, 0, &result));
}

}  // namespace

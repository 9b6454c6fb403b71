// Form windows of real projectors: styles from the description, geometry, start states, fixed
// movie sizes, the files of the movie start, closing, Escape and Alt+F4, fades, and the exit code.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumo::e2e {
namespace {

std::string readFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct StyleCase {
  const char* name;
  const char* keys;
  DWORD style;
  DWORD exStyle;
};

// Style bits the system adds or that follow the window's state are left out of the comparison.
constexpr DWORD kIgnoredStyle = WS_VISIBLE | WS_CLIPSIBLINGS | WS_MINIMIZE | WS_MAXIMIZE;
constexpr DWORD kComparedExStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST;

const StyleCase kStyleCases[] = {
    {"noBorderPopup", R"("borderStyle": "none", "popupFrame": true)", WS_POPUP, 0},
    {"dialogPopup", R"("borderStyle": "dialog", "popupFrame": true)", WS_POPUP | WS_DLGFRAME, 0},
    {"dialog", R"("borderStyle": "dialog", "popupFrame": false)", WS_CAPTION | WS_SYSMENU, 0},
    {"popupDropsBoxes", R"("popupFrame": true, "minimizeBox": true, "maximizeBox": true)",
     WS_POPUP | WS_BORDER | WS_SYSMENU, 0},
    {"sizeableWithBoxes",
     R"("popupFrame": false, "minimizeBox": true, "maximizeBox": true, "systemMenu": true, "borderStyle": "sizeable")",
     WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU | WS_THICKFRAME, 0},
    {"sizeableTool", R"("popupFrame": false, "borderStyle": "sizeableTool")", WS_CAPTION | WS_THICKFRAME,
     WS_EX_TOOLWINDOW},
    {"tool", R"("popupFrame": false, "borderStyle": "tool")", WS_CAPTION, WS_EX_TOOLWINDOW},
    {"alpha", R"("popupFrame": false, "windowKind": "alpha", "alpha": 200)", WS_CAPTION, WS_EX_LAYERED},
    {"onTop", R"("popupFrame": false, "alwaysOnTop": true)", WS_CAPTION, WS_EX_TOPMOST},
};

TEST(FormsWindows, StylesGeometryAndMovieFilesFollowTheDescriptions) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  std::string forms = R"({"name": "main", "movie": "old.swf", "windowTitle": "main", "width": 100, "height": 50})";
  forms += R"(, {"name": "percent", "movie": "new.swf", "windowTitle": "percent", "sizeUnit": "percent",
                "width": 50, "height": 10, "borderStyle": "none"})";
  forms += R"(, {"name": "third", "movie": "v8.swf", "windowTitle": "third", "centred": true, "width": 301,
                "height": 101, "borderStyle": "none"})";
  for (const StyleCase& c : kStyleCases) {
    forms += std::string(R"(, {"name": ")") + c.name + R"(", "movie": "new.swf", "windowTitle": ")" + c.name +
             R"(", "width": 100, "height": 50, )" + c.keys + "}";
  }
  forms += R"(, {"name": "fading", "movie": "new.swf", "windowTitle": "fading", "windowKind": "alpha",
                "alpha": 150, "fadeIn": true, "fadeStepMs": 0, "width": 50, "height": 50})";
  FormsProjector projector({{L"old.swf", "log old movie\n", 6}, {L"new.swf", "log new movie\n", 9},
                            {L"v8.swf", "log v8 movie\n", 8}},
                           R"({"title": "Windows", "forms": [)" + forms + "]}");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());

  for (const StyleCase& c : kStyleCases) {
    SCOPED_TRACE(c.name);
    HWND window = projector.formWindow(std::wstring(c.name, c.name + strlen(c.name)));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & ~kIgnoredStyle, c.style | WS_CLIPCHILDREN);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)) & kComparedExStyle, c.exStyle);
  }

  // Opacity: an alpha form without a fade is at its alpha at once; a fade-in (with a step of
  // 0 ms taken as 1) ends there.
  const auto alphaOf = [](HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? int{alpha} : -1;
  };
  EXPECT_EQ(alphaOf(projector.formWindow(L"alpha")), 200);
  HWND fading = projector.formWindow(L"fading");
  ASSERT_NE(fading, nullptr);
  for (int i = 0; i < 100 && alphaOf(fading) != 150; ++i) Sleep(50);
  EXPECT_EQ(alphaOf(fading), 150);

  // Percent sizes: the single-precision factor, the product truncated (1024 x 50 gives 511).
  HWND percent = projector.formWindow(L"percent");
  ASSERT_NE(percent, nullptr);
  RECT client{};
  GetClientRect(percent, &client);
  EXPECT_EQ(client.right, static_cast<int>(static_cast<double>(screenWidth) * static_cast<double>(0.01f) * 50.0));
  EXPECT_EQ(client.bottom, static_cast<int>(static_cast<double>(screenHeight) * static_cast<double>(0.01f) * 10.0));

  // Centred with odd sizes: both halves truncated.
  HWND third = projector.formWindow(L"third");
  ASSERT_NE(third, nullptr);
  RECT r{};
  GetWindowRect(third, &r);
  EXPECT_EQ(r.left, screenWidth / 2 - 150);
  EXPECT_EQ(r.top, screenHeight / 2 - 50);

  // Old movies go through the bridge files; the bridge carries the form id. Other projectors
  // may run beside this test: ours is the one with a third form's files. The files have no
  // event to wait on, so they are polled until the third is as long as the first.
  std::vector<std::wstring> folders;
  for (int attempt = 0; attempt < 150 && folders.empty(); ++attempt) {
    for (const std::wstring& folder : projector.privateFolders()) {
      const std::string first = readFile(folder + L"\\~swd1.swf");
      if (!first.empty() && readFile(folder + L"\\~swd3.swf").size() == first.size()) folders.push_back(folder);
    }
    if (folders.empty()) Sleep(100);
  }
  ASSERT_EQ(folders.size(), 1u);
  const std::string main = readFile(folders[0] + L"\\~swd1.dat");
  ASSERT_GT(main.size(), 4u);
  EXPECT_EQ(main.substr(0, 3), "FWS");
  EXPECT_EQ(main[3], 8) << "a version 6 movie is stored as version 8";
  const std::string third8 = readFile(folders[0] + L"\\~swd3.dat");
  ASSERT_GT(third8.size(), 4u);
  EXPECT_EQ(third8[3], 8);
  // The bridge movie (version 8) with the id written over its placeholder.
  const std::string bridge1 = readFile(folders[0] + L"\\~swd1.swf");
  const std::string bridge3 = readFile(folders[0] + L"\\~swd3.swf");
  ASSERT_GT(bridge1.size(), 4u);
  EXPECT_EQ(bridge1.substr(0, 4), std::string("FWS\x08"));
  EXPECT_NE(bridge1.find("000000"), std::string::npos);
  EXPECT_EQ(bridge1.find("!}id}!"), std::string::npos);
  EXPECT_NE(bridge3.find("000002"), std::string::npos);
  EXPECT_EQ(bridge1.size(), bridge3.size());
  EXPECT_EQ(GetFileAttributesW((folders[0] + L"\\~swd2.dat").c_str()), INVALID_FILE_ATTRIBUTES)
      << "a version 9 movie never touches the disk";
  EXPECT_EQ(GetFileAttributesW((folders[0] + L"\\~swd2.swf").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(projector.waitFor("log \"new movie\""));

  // A normal end removes the private folder.
  ASSERT_TRUE(projector.process().postQuit());
  EXPECT_EQ(projector.process().wait(15000), 0);
  EXPECT_EQ(GetFileAttributesW(folders[0].c_str()), INVALID_FILE_ATTRIBUTES) << "the private folder is removed";
}

struct CloseCase {
  const char* name;
  const char* keys;    // of the main form
  const char* action;  // the movie's user action
  bool exits;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class FormsClosing : public testing::TestWithParam<CloseCase> {};

TEST_P(FormsClosing, TheMainFormsCloseEndsTheProcessWithExitCodeZero) {
  const CloseCase& c = GetParam();
  const std::string script = std::string("wait 300\nuser ") + c.action + "\nlog acted\n";
  FormsProjector projector({{L"main.swf", script}},
                           std::string(R"({"title": "Closing", "forms": [{"name": "main", "movie": "main.swf",
                              "width": 200, "height": 100, "visibleAtStart": true, "popupFrame": false,
                              "systemMenu": true)") + (*c.keys ? ", " : "") + c.keys + "}]}");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  if (c.exits) {
    EXPECT_EQ(projector.process().wait(20000), 0);
  } else {
    ASSERT_TRUE(projector.waitFor("log \"acted\""));
    EXPECT_EQ(projector.process().wait(1500), std::nullopt) << "the form stays open";
    projector.process().kill();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormsClosing,
    testing::Values(CloseCase{"CloseBox", "", "close", true},
                    CloseCase{"AltF4", R"("altF4Closes": true)", "altf4", true},
                    CloseCase{"AltF4Refused", R"("altF4Closes": false)", "altf4", false},
                    CloseCase{"Escape", R"("escapeCloses": true)", "key 27", true},
                    CloseCase{"EscapeRefused", R"("escapeCloses": false)", "key 27", false},
                    CloseCase{"FadeOut", R"("windowKind": "alpha", "alpha": 255, "fadeOut": true, "fadeStepMs": 2)",
                              "close", true},
                    // A standard form never fades: a fade of 1 s a step would not end in the test's time.
                    CloseCase{"FadeOutOnAStandardForm", R"("alpha": 255, "fadeOut": true, "fadeStepMs": 1000)", "close",
                              true},
                    CloseCase{"FadeInThenOut",
                              R"("windowKind": "alpha", "alpha": 100, "fadeIn": true, "fadeOut": true, "fadeStepMs": 0)",
                              "close", true}),
    [](const testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(FormsWindows, ClosingAnotherFormHidesItAndTheProcessGoesOn) {
  FormsProjector projector({{L"main.swf", "log main\n"}, {L"second.swf", "wait 300\nuser close\nlog closed\n"}},
                           R"({"title": "Two", "forms": [
                              {"name": "main", "movie": "main.swf", "width": 200, "height": 100, "visibleAtStart": true},
                              {"name": "second", "movie": "second.swf", "windowTitle": "second", "width": 200,
                               "height": 100, "visibleAtStart": true, "popupFrame": false, "systemMenu": true}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND second = projector.formWindow(L"second");
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(projector.waitFor("log \"closed\""));
  EXPECT_FALSE(IsWindowVisible(second));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(projector.process().wait(1000), std::nullopt);
  projector.process().kill();
}

}  // namespace
}  // namespace lumo::e2e

namespace lumo::e2e {
namespace {

TEST(FormsWindows, ButtonModesDecideWhatReachesTheMovie) {
  const std::string script =
      "wait 300\n"
      "user click left 20 20\n"
      "user click right 20 20\n"
      "user key 27\n"  // Escape closes the context menu the release opened
      "user click middle 20 20\n"
      "log clicked\n";
  FormsProjector projector({{L"main.swf", script}},
                           R"({"title": "Buttons", "forms": [{"name": "main", "movie": "main.swf", "x": 50, "y": 50,
                              "width": 200, "height": 100, "visibleAtStart": true, "borderStyle": "none",
                              "leftButtonMode": "ignore", "rightButtonMode": "ignore", "middleButtonMode": "send"}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"clicked\""));
  // The clicks are queued input: the middle release comes after every other press and release.
  ASSERT_TRUE(projector.waitFor("mouse middle up"));
  const auto lines = projector.transcript();
  const auto seen = [&lines](const std::string& text) {
    for (const std::string& line : lines)
      if (line.rfind(text, 0) == 0) return true;
    return false;
  };
  EXPECT_FALSE(seen("mouse left down"));
  EXPECT_FALSE(seen("mouse left up"));
  EXPECT_FALSE(seen("mouse right down")) << "the press is kept";
  EXPECT_TRUE(seen("mouse right up")) << "the release goes on after the context menu";
  EXPECT_TRUE(seen("mouse middle down"));
  EXPECT_TRUE(seen("mouse middle up"));
  projector.process().kill();
}

// A 24-bit bitmap file: white (inside) in the left `insideColumns`, black elsewhere.
std::string maskBitmap(int width, int height, int insideColumns) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes * height);
  std::string file(54 + pixelBytes, '\0');
  auto put32 = [&file](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  put32(34, pixelBytes);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < insideColumns; ++x)
      for (int c = 0; c < 3; ++c) file[54 + static_cast<size_t>(y * rowBytes + x * 3 + c)] = static_cast<char>(0xFF);
  return file;
}

TEST(FormsWindows, TheScreenShowsTheMoviesBackgroundAndTheShapedFormsRegion) {
  FormsProjector projector(
      {{L"red.swf", "log red\n", 9, "--background FF0000 --size 200x100"},
       {L"green.swf", "log green\n", 9, "--background 00FF00 --size 100x100"}},
      R"({"title": "Screen", "forms": [
         {"name": "main", "movie": "red.swf", "x": 200, "y": 200, "width": 200, "height": 100,
          "visibleAtStart": true, "borderStyle": "none", "scaleEnabled": true},
         {"name": "shaped", "movie": "green.swf", "x": 500, "y": 200, "width": 100, "height": 100,
          "visibleAtStart": true, "windowKind": "shaped", "maskImage": "mask.bmp", "scaleEnabled": true}]})",
      {{L"mask.bmp", maskBitmap(100, 100, 50)}});
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  ASSERT_TRUE(projector.waitFor("log \"red\""));
  ASSERT_TRUE(projector.waitFor("log \"green\""));
  // Both players paint on their own time: wait until both backgrounds show (the checks below
  // say what is missing when they never do).
  test::pumpUntil([] { return screenPixel(300, 280) == RGB(255, 0, 0) && screenPixel(520, 260) == RGB(0, 255, 0); },
                  10000);
  EXPECT_EQ(screenPixel(300, 280), RGB(255, 0, 0)) << "the movie's background fills the client area";
  // The stand-in writes the movie's name at the top left: without fonts Wine draws no text.
  int textPixels = 0;
  for (int y = 201; y < 218; ++y)
    for (int x = 202; x < 250; ++x) textPixels += screenPixel(x, y) != RGB(255, 0, 0);
  EXPECT_GT(textPixels, 20) << "the caption line shows text";
  EXPECT_EQ(screenPixel(520, 260), RGB(0, 255, 0)) << "inside the shape";
  EXPECT_NE(screenPixel(580, 260), RGB(0, 255, 0)) << "outside the shape the window is cut away";
  projector.process().kill();
}

// A fixed-size old movie keeps its size in the middle of its window with the form's colour
// around it, unscaled, on the player background the project gives (a Windows colour turned
// into the player's RGB); start states minimise and maximise (the fixed form stays on top of
// the maximised one).
TEST(FormsWindows, AFixedSizeOldMovieAndTheStartStatesShowAsTheProjectSays) {
  FormsProjector projector(
      {{L"small.swf", "draw rect 0 0 50 25 00FF00 255\nlog drawn\n", 8, "--background FF0000 --size 50x25"},
       {L"plain.swf", "log plain\n", 9}},
      R"({"title": "Start", "forms": [
         {"name": "main", "movie": "small.swf", "windowTitle": "fixed", "x": 600, "y": 500, "width": 300,
          "height": 150, "visibleAtStart": true, "borderStyle": "none", "scaleEnabled": true,
          "fixedMovieSize": true, "movieWidth": 100, "movieHeight": 50, "backgroundColour": "#0000FF",
          "playerBackground": "#102030", "alwaysOnTop": true},
         {"name": "minimized", "movie": "plain.swf", "windowTitle": "minimized", "width": 100, "height": 50,
          "visibleAtStart": true, "startState": "minimized"},
         {"name": "maximized", "movie": "plain.swf", "windowTitle": "maximized", "width": 100, "height": 50,
          "visibleAtStart": true, "startState": "maximized"}]})");
  ASSERT_TRUE(projector.built());
  ASSERT_TRUE(projector.start());
  HWND fixed = projector.formWindow(L"fixed");
  ASSERT_NE(fixed, nullptr);
  ASSERT_TRUE(projector.waitFor("log \"drawn\""));

  // The player control: movieWidth x movieHeight, centred in the 300 x 150 client area.
  HWND control = FindWindowExW(fixed, nullptr, nullptr, nullptr);
  ASSERT_NE(control, nullptr);
  RECT r{};
  GetWindowRect(control, &r);
  EXPECT_EQ(r.left, 700);
  EXPECT_EQ(r.top, 550);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 50);

  // The 50 x 25 stage unscaled in the middle of the control, its green shape on the project's
  // player background; scaled, the shape would cover the whole control.
  const COLORREF playerBackground = RGB(0x10, 0x20, 0x30);
  test::pumpUntil([] { return screenPixel(770, 585) == RGB(0, 255, 0) && screenPixel(610, 510) == RGB(0, 0, 255); },
                  10000);
  EXPECT_EQ(screenPixel(610, 510), RGB(0, 0, 255)) << "the form's colour around the movie";
  EXPECT_EQ(screenPixel(770, 585), RGB(0, 255, 0)) << "the stage's shape";
  EXPECT_EQ(screenPixel(790, 595), playerBackground) << "beside the unscaled stage";
  EXPECT_EQ(screenPixel(710, 555), playerBackground);

  HWND minimized = projector.formWindow(L"minimized");
  HWND maximized = projector.formWindow(L"maximized");
  ASSERT_NE(minimized, nullptr);
  ASSERT_NE(maximized, nullptr);
  EXPECT_TRUE(IsIconic(minimized));
  EXPECT_TRUE(IsZoomed(maximized));
  projector.process().kill();
}

}  // namespace
}  // namespace lumo::e2e

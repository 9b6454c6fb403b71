// Transparent rendering: the alpha recovered from the two passes, the frames a windowless
// stand-in player composes in a layered popup and in a child control, and the input that reaches
// the player only over its painted pixels.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ControlFixture.h"
#include "host/AlphaRecovery.h"

namespace hostcontrol_test {
namespace {

namespace msg = lumo::msg;
namespace notify = lumo::notify;

constexpr DWORD kLayeredPopup = WS_POPUP | 0x1;
constexpr DWORD kTransparentChild = WS_CHILD | WS_VISIBLE | 0x1;

// --- alpha recovery -------------------------------------------------------------------------

struct PixelPair {
  const char* name;
  uint32_t white, black, expected;
};

TEST(AlphaRecovery, AlphaFromTheBlueDifferenceModulo256AndColourFromTheBlackPass) {
  const PixelPair cases[] = {
      {"untouched: white and black as filled", 0x00FFFFFF, 0x00000000, 0x00000000},
      {"opaque: both passes equal", 0x00336699, 0x00336699, 0xFF336699},
      {"red at 128 over white and black", 0x00FF7F7F, 0x00800000, 0x80800000},
      {"top bytes of the passes are ignored", 0xAAFF7F7F, 0x55800000, 0x80800000},
      {"a black pass brighter than white wraps", 0x00000010, 0x00000020, 0x0F000020},
  };
  for (const PixelPair& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t result = 0x12345678;
    lumo::recoverAlpha(&c.white, &c.black, &result, 1);
    EXPECT_EQ(result, c.expected);
  }
}

TEST(AlphaRecovery, RectangleLeavesEveryPixelOutsideAsItWas) {
  // 5 x 4 pixels, rows 1 to 2 and columns 1 to 3 composed.
  const size_t width = 5, height = 4;
  std::vector<uint32_t> white(width * height, 0x00FFFFFF), black(width * height, 0x00112233);
  std::vector<uint32_t> result(width * height, 0xDEADBEEF);
  lumo::recoverAlphaRect(white.data(), black.data(), result.data(), width, 1, 3, 1, 4);
  for (size_t row = 0; row < height; ++row) {
    for (size_t column = 0; column < width; ++column) {
      const bool inside = row >= 1 && row < 3 && column >= 1 && column < 4;
      EXPECT_EQ(result[row * width + column], inside ? 0x33112233u : 0xDEADBEEFu) << row << "," << column;
    }
  }
}

// --- frames of a windowless player ----------------------------------------------------------

// Stage 320 x 240 at scale 1: an opaque red square and a blue one at alpha 128.
const char kShapes[] =
    "draw rect 100 100 50 50 FF0000 255\n"
    "draw rect 200 100 50 50 0000FF 128\n";

// The pixel of a bottom-up 32-bit section at window coordinates.
uint32_t pixelAt(HBITMAP bitmap, int x, int y) {
  DIBSECTION section{};
  if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return 0xBAD0BAD0;
  const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
  return bits[static_cast<size_t>(section.dsBm.bmHeight - 1 - y) * section.dsBm.bmWidth + x];
}

TEST_F(HostControlTest, CapturedFrameOfALayeredPopupCarriesPremultipliedAlpha) {
  HWND control = createControl(kLayeredPopup, WS_EX_LAYERED, createParent());
  ASSERT_TRUE(lumo::PlayerControl::fromWindow(control)->windowless());
  ASSERT_TRUE(loadMovie(control, writeMovie("shapes.swf", kShapes)));
  ASSERT_TRUE(waitTranscript("end"));

  lumo::CaptureFrameRecord frame{nullptr, E_FAIL};
  EXPECT_EQ(send(control, msg::kCaptureFrame, frame), 1);
  ASSERT_EQ(frame.result, S_OK);
  ASSERT_NE(frame.bitmap, nullptr);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(frame.bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 320);
  EXPECT_EQ(section.dsBm.bmHeight, 240);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);

  EXPECT_EQ(pixelAt(frame.bitmap, 125, 125), 0xFFFF0000u) << "opaque red";
  EXPECT_EQ(pixelAt(frame.bitmap, 20, 200), 0x00000000u) << "the stage itself is transparent";
  const uint32_t half = pixelAt(frame.bitmap, 225, 125);
  EXPECT_NEAR(static_cast<int>(half >> 24), 128, 1) << std::hex << half;
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 128, 1) << "blue premultiplied by its alpha";
  EXPECT_EQ(half & 0x00FFFF00u, 0u);
  DeleteObject(frame.bitmap);
}

TEST_F(HostControlTest, PaintingComposesFramesAndRaisesTheirNotifications) {
  struct Case {
    const char* name;
    DWORD style, exStyle;
    std::vector<UINT> expected;  // the painting notifications, in order
  };
  const Case cases[] = {
      {"layered popup", kLayeredPopup, WS_EX_LAYERED, {notify::kFrameReady}},
      {"transparent child", kTransparentChild, 0, {notify::kDrawStage, notify::kFrameReady, notify::kDrawStage}},
  };
  HWND parent = createParent();
  ShowWindow(parent, SW_SHOWNA);  // a child of a hidden window is never painted
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND control = createControl(c.style, c.exStyle, parent);
    ASSERT_TRUE(loadMovie(control, writeMovie("paint.swf", kShapes)));
    pumpFor(50);
    ShowWindow(control, SW_SHOWNA);
    listen(control);
    seen().clear();
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<UINT> painting;
    std::vector<int32_t> numbers;
    for (const Seen& s : seen()) {
      if (s.who != "listener" || (s.code != notify::kDrawStage && s.code != notify::kFrameReady)) continue;
      painting.push_back(s.code);
      numbers.push_back(s.number);
    }
    ASSERT_GE(painting.size(), c.expected.size());
    EXPECT_EQ(std::vector<UINT>(painting.begin(), painting.begin() + c.expected.size()), c.expected);
    if (c.expected.size() == 3) {
      EXPECT_EQ(numbers[0], 0) << "stage 0 before the player draws";
      EXPECT_EQ(numbers[1], 1) << "the frame carries its pixels";
      EXPECT_EQ(numbers[2], 1) << "stage 1 after";
    } else {
      EXPECT_EQ(numbers[0], 1);
    }
    DestroyWindow(control);
  }
}

// --- input ----------------------------------------------------------------------------------

TEST_F(HostControlTest, ClicksReachTheWindowlessPlayerOnlyOverPaintedPixelsUnlessItHoldsTheCapture) {
  HWND control = createControl(kLayeredPopup, WS_EX_LAYERED, createParent());
  ASSERT_TRUE(loadMovie(control, writeMovie("clicks.swf", kShapes)));
  ASSERT_TRUE(waitTranscript("end"));

  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 200));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(20, 200));
  pumpFor(50);
  EXPECT_FALSE(transcriptHas("mouse left")) << "a click through a transparent pixel reached the player";

  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(125, 125));
  EXPECT_TRUE(waitTranscript("mouse left down 125 125", 2000));
  // The player took the capture with the press: the release counts wherever it happens.
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(20, 200));
  EXPECT_TRUE(waitTranscript("mouse left up 20 200", 2000));
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(21, 201));
  pumpFor(50);
  EXPECT_FALSE(transcriptHas("mouse left down 21 201")) << "the capture outlived the release";
}

TEST_F(HostControlTest, ContextMenuFlagKeepsRightButtonAndAppsKeyFromAWindowlessPlayer) {
  HWND control = createControl(kLayeredPopup, WS_EX_LAYERED, createParent());
  ASSERT_TRUE(loadMovie(control, writeMovie("menu.swf", kShapes)));
  ASSERT_TRUE(waitTranscript("end"));
  ShowWindow(control, SW_SHOW);
  SetFocus(control);
  pumpFor(50);

  SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(125, 125));
  SendMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(125, 125));
  EXPECT_EQ(SendMessageW(control, WM_KEYDOWN, VK_APPS, 0), 0);
  SendMessageW(control, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(waitTranscript("key down 65", 2000)) << "keys of a focused windowless player are forwarded";
  EXPECT_FALSE(transcriptHas("mouse right"));
  EXPECT_FALSE(transcriptHas("key down 93"));

  lumo::ContextMenuRecord on{1, E_FAIL};
  send(control, msg::kSetContextMenu, on);
  closeMenuSoon();
  SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(125, 125));
  SendMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(125, 125));
  SendMessageW(control, WM_KEYDOWN, VK_APPS, 0);
  EXPECT_TRUE(waitTranscript("mouse right up 125 125", 2000));
  EXPECT_TRUE(waitTranscript("key down 93", 2000));
}

}  // namespace
}  // namespace hostcontrol_test

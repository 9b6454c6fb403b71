// The placement rules (percent, centring) and the style table's row order, where a wrong order
// or rounding would only show as a slightly different window.
#include "forms/FormStyles.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(FormPlacement, PercentUsesTheSinglePrecisionFactorAndTruncates) {
  EXPECT_EQ(valueInUnit(50, 1, 1024), 511) << "1024 x 0.0099999998 x 50 = 511.99998";
  EXPECT_EQ(valueInUnit(100, 1, 800), 799);
  EXPECT_EQ(valueInUnit(-10, 1, 1000), -99) << "truncated toward zero";
  EXPECT_EQ(valueInUnit(50, 0, 1024), 50);
  EXPECT_EQ(valueInUnit(50, 2, 1024), 0) << "an unknown unit gives 0";
}

TEST(FormPlacement, CentringTruncatesBothHalves) {
  EXPECT_EQ(centredEdge(1024, 301), 362);
  EXPECT_EQ(centredEdge(1023, 301), 361);
}

struct StyleRow {
  const char* name;
  StyleFlags flags;
  bool popupFrame;
  DWORD style;
  DWORD exStyle;
};

StyleFlags with(BorderStyle border, bool alpha = false, bool shaped = false) {
  StyleFlags f;
  f.border = border;
  f.alphaBlended = alpha;
  f.shaped = shaped;
  return f;
}

TEST(FormStyles, RowsApplyInOrder) {
  StyleFlags boxes;
  boxes.minimiseBox = boxes.maximiseBox = boxes.systemMenu = true;
  boxes.border = BorderStyle::sizeable;
  StyleFlags visibleMaximised = with(BorderStyle::standard);
  visibleMaximised.visibleAtStart = visibleMaximised.startMaximised = true;
  const StyleRow rows[] = {
      {"boxes", boxes, false, WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU | WS_THICKFRAME, 0},
      {"popup drops boxes", boxes, true, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_THICKFRAME, 0},
      {"no border replaces popup", with(BorderStyle::noBorder), true, WS_POPUP, 0},
      {"dialog popup", with(BorderStyle::dialog), true, WS_POPUP | WS_DLGFRAME, 0},
      {"dialog", with(BorderStyle::dialog), false, WS_CAPTION | WS_SYSMENU, 0},
      {"tool", with(BorderStyle::tool), false, WS_CAPTION, WS_EX_TOOLWINDOW},
      {"sizeable tool", with(BorderStyle::sizeableTool), false, WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW},
      {"alpha", with(BorderStyle::tool, true), false, WS_CAPTION, WS_EX_TOOLWINDOW | WS_EX_LAYERED},
      {"shaped replaces the frame", with(BorderStyle::sizeable, false, true), false, WS_POPUP, 0},
      {"visible and maximised", visibleMaximised, false, WS_CAPTION | WS_VISIBLE | WS_MAXIMIZE, 0},
  };
  for (const StyleRow& row : rows) {
    SCOPED_TRACE(row.name);
    const WindowStyles s = windowStylesFor(row.flags, row.popupFrame);
    EXPECT_EQ(s.style, row.style | WS_CLIPCHILDREN);
    EXPECT_EQ(s.exStyle, row.exStyle);
  }
}

TEST(FormStyles, BorderStylesOutsideTheListSetNoBorderFlag) {
  EXPECT_EQ(borderFromDescription(5), BorderStyle::noBorder);
  EXPECT_EQ(borderFromDescription(6), BorderStyle::none);
  EXPECT_EQ(borderFromDescription(-1), BorderStyle::none);
}

}  // namespace
}  // namespace lumo

// Strokes: widths under scaling and the one-pixel minimum, caps and joins measured by the area
// they cover.
#include <gtest/gtest.h>

#include <numbers>

#include "RenderFixtures.h"

using namespace rendertest;

TEST(RenderStroke, WidthsScaleWithTheMatrixDownToOnePixel) {
  struct Case {
    const char* name;
    uint16_t widthTwips;
    double scale;
    bool noScale;
    double thickness;  // pixels, of a long horizontal line
  };
  const Case cases[] = {
      {"two pixels", 40, 1, false, 2},      {"scaled twice", 40, 2, false, 4},
      {"hairline", 0, 1, false, 1},         {"hairline scaled", 0, 3, false, 1},
      {"thinner than a pixel", 10, 1, false, 1}, {"not scaled", 40, 2, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    swf::LineStyle style = line(c.widthTwips, swf::CapStyle::None);
    style.noHScale = style.noVScale = c.noScale;
    const render::Frame frame = draw(strokedPath({{1, 5.3}, {11, 5.3}}, style), 40, 40, twipsToPixels(c.scale));
    const double length = 10 * c.scale;
    EXPECT_NEAR(coveredArea(frame) / length, c.thickness, 0.01);
  }
}

TEST(RenderStroke, CapsExtendTheEnds) {
  // 10 pixels long, 4 wide.
  struct Case {
    swf::CapStyle cap;
    double area;
  };
  const Case cases[] = {
      {swf::CapStyle::None, 40},
      {swf::CapStyle::Square, 56},
      {swf::CapStyle::Round, 40 + std::numbers::pi * 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.cap));
    const render::Frame frame = draw(strokedPath({{5, 10}, {15, 10}}, line(80, c.cap)), 20, 20);
    EXPECT_NEAR(coveredArea(frame), c.area, 0.1);
  }
}

TEST(RenderStroke, JoinsFillTheOuterCornerOnceOnly) {
  // A right angle, 4 wide without caps: two 40-pixel arms sharing a 4-pixel square, and the
  // outer corner's 2x2 square filled whole (miter), half (bevel) or by a quarter circle (round).
  struct Case {
    swf::JoinStyle join;
    double miterLimit;
    double area;
  };
  const Case cases[] = {
      {swf::JoinStyle::Miter, 3, 80},
      {swf::JoinStyle::Miter, 1.2, 79.817},  // cut square across 1.2 widths from the corner
      {swf::JoinStyle::Bevel, 3, 78},
      {swf::JoinStyle::Round, 3, 76 + std::numbers::pi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.join) << " limit " << c.miterLimit);
    swf::LineStyle style = line(80, swf::CapStyle::None, c.join);
    style.miterLimit = c.miterLimit;
    const render::Frame frame = draw(strokedPath({{5, 5}, {15, 5}, {15, 15}}, style), 20, 20);
    EXPECT_NEAR(coveredArea(frame), c.area, 0.1);
    EXPECT_EQ(frame.at(14, 5).a, 255);  // inside both arms: covered, not over-covered
  }
}

TEST(RenderStroke, ClosedPathsJoinWhereTheyBeganAndHaveNoCaps) {
  // A 10x10 square outline, 2 wide, mitred all round: 12x12 less 8x8.
  const render::Frame frame = draw(strokedPath(rect(4, 4, 14, 14), line(40, swf::CapStyle::Round, swf::JoinStyle::Miter), true), 20, 20);
  EXPECT_NEAR(coveredArea(frame), 144 - 64, 0.1);
  EXPECT_EQ(frame.at(3, 3).a, 255);
}

TEST(RenderStroke, DiagonalHairlineIsOnePixelAcross) {
  const render::Frame frame = draw(strokedPath({{2, 2}, {18, 18}}, line(0, swf::CapStyle::None)), 20, 20);
  EXPECT_NEAR(coveredArea(frame), 16 * std::numbers::sqrt2, 0.05);
  for (uint32_t x = 4; x < 16; ++x) {
    double column = 0;
    for (uint32_t y = 0; y < 20; ++y) column += frame.at(x, y).a / 255.0;
    EXPECT_NEAR(column, std::numbers::sqrt2, 0.02) << "column " << x;
  }
}

TEST(RenderStroke, PixelHintingPutsOddWidthsOnPixelCentres) {
  swf::LineStyle style = line(20, swf::CapStyle::None);
  style.pixelHinting = true;
  const render::Frame frame = draw(strokedPath({{2, 5.3}, {12, 5.3}}, style), 20, 20);
  EXPECT_EQ(frame.at(6, 5).a, 255);
  EXPECT_EQ(frame.at(6, 4).a, 0);
  EXPECT_EQ(frame.at(6, 6).a, 0);
}

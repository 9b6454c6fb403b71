// Coverage: exact areas of axis-aligned rectangles wherever they fall, the fill rules, fills
// meeting on a shared edge, and the quality levels.
#include <gtest/gtest.h>

#include <algorithm>

#include "RenderFixtures.h"

using namespace rendertest;

namespace {

double overlap(double a0, double a1, double b0, double b1) { return std::max(0.0, std::min(a1, b1) - std::max(a0, b0)); }

struct RectCase {
  const char* name;
  double x0, y0, x1, y1;
};

}  // namespace

TEST(RenderCoverage, AxisAlignedRectanglesCoverExactlyTheirAreaInEveryPixel) {
  const RectCase cases[] = {
      {"on pixel edges", 2, 2, 6, 6},
      {"on half pixels", 2.5, 2.5, 5.5, 5.5},
      {"on quarter pixels", 2.25, 1.75, 7.5, 3},
      {"thinner than a pixel", 4, 4, 4.25, 10},
      {"past the top left", -3, -3, 2.5, 2.5},
      {"past the bottom right", 13.5, 4, 20, 15},
      {"the whole frame and more", -10, -10, 30, 30},
  };
  for (const RectCase& c : cases) {
    SCOPED_TRACE(c.name);
    const render::Frame frame = draw(filledPolygon(rect(c.x0, c.y0, c.x1, c.y1)), 16, 12);
    for (uint32_t y = 0; y < frame.height; ++y)
      for (uint32_t x = 0; x < frame.width; ++x) {
        const double area = overlap(x, x + 1, c.x0, c.x1) * overlap(y, y + 1, c.y0, c.y1);
        ASSERT_NEAR(frame.at(x, y).a, area * 255, 1) << "pixel " << x << "," << y;
      }
  }
}

TEST(RenderCoverage, EvenOddLeavesTheOverlapOfOneFillEmptyAndNonZeroFillsIt) {
  // Two squares drawn the same way round with one fill style, overlapping in 6..10.
  std::vector<swf::ShapeRecord> records;
  addPath(records, rect(2, 2, 10, 10), 0, 1, 0);
  addPath(records, rect(6, 6, 14, 14), 0, 1, 0);
  swf::Shape shape = shapeOf({solid(0, 0, 0)}, {}, records);
  const render::Frame evenOdd = draw(shape, 16, 16);
  EXPECT_EQ(evenOdd.at(8, 8).a, 0);
  EXPECT_EQ(evenOdd.at(4, 4).a, 255);
  EXPECT_EQ(evenOdd.at(12, 12).a, 255);
  shape.version = 4;
  shape.usesFillWindingRule = true;
  const render::Frame nonZero = draw(shape, 16, 16);
  EXPECT_EQ(nonZero.at(8, 8).a, 255);
  EXPECT_EQ(nonZero.at(4, 4).a, 255);
}

TEST(RenderCoverage, TwoFillsMeetingOnAnEdgeLeaveNoSeam) {
  // Red left of x = 5.5, blue right of it; the shared edge carries both (fill1 red, fill0 blue).
  std::vector<swf::ShapeRecord> records;
  addPath(records, {{5.5, 4}, {0, 4}, {0, 0}, {5.5, 0}}, 0, 1, 0, false);
  addPath(records, {{5.5, 0}, {5.5, 4}}, 2, 1, 0, false);
  addPath(records, {{5.5, 0}, {10, 0}, {10, 4}, {5.5, 4}}, 0, 2, 0, false);
  const render::Frame frame =
      draw(shapeOf({solid(255, 0, 0), solid(0, 0, 255)}, {}, records), 12, 6, twipsToPixels(), {}, swf::Rgba{255, 255, 255, 255});
  for (uint32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(frame.at(5, y), (render::Pixel{128, 0, 127, 255})) << "row " << y;
    EXPECT_EQ(frame.at(2, y), (render::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(frame.at(8, y), (render::Pixel{0, 0, 255, 255}));
  }
  EXPECT_EQ(frame.at(5, 4), (render::Pixel{255, 255, 255, 255}));
}

TEST(RenderCoverage, LowQualityDrawsWithoutAntialiasingAndMediumCoarsely) {
  // Low takes the pixels whose centres are inside; a centre on a left or top edge is inside,
  // one on a right or bottom edge outside, so a box between centres covers exactly its area.
  const swf::Shape shape = filledPolygon(rect(2.5, 2.25, 8, 8));
  const render::Frame low = draw(shape, 10, 10, twipsToPixels(), {}, std::nullopt, render::Quality::Low);
  EXPECT_EQ(low.at(2, 4).a, 255);  // centre on the left edge
  EXPECT_EQ(low.at(4, 2).a, 255);  // centre just inside the top
  EXPECT_EQ(low.at(4, 1).a, 0);
  EXPECT_EQ(low.at(7, 4).a, 255);
  EXPECT_EQ(low.at(8, 4).a, 0);
  const render::Frame between = draw(filledPolygon(rect(2.5, 2.5, 7.5, 7.5)), 10, 10, twipsToPixels(), {},
                                     std::nullopt, render::Quality::Low);
  EXPECT_EQ(coveredArea(between), 25);
  EXPECT_EQ(between.at(7, 4).a, 0);  // centre on the right edge
  EXPECT_EQ(between.at(4, 7).a, 0);  // and on the bottom
  // A one-pixel line between two pixel columns takes one of them.
  const render::Frame hairline = draw(strokedPath({{4, 1}, {4, 8}}, line(20, swf::CapStyle::None)), 10, 10,
                                      twipsToPixels(), {}, std::nullopt, render::Quality::Low);
  EXPECT_EQ(coveredArea(hairline), 7);
  const render::Frame medium = draw(shape, 10, 10, twipsToPixels(), {}, std::nullopt, render::Quality::Medium);
  EXPECT_EQ(medium.at(2, 4).a, 128);
  EXPECT_EQ(medium.at(4, 2).a, 192);
}

TEST(RenderCoverage, LowQualityTakesThePixelsWhoseCentresAreInside) {
  // Slanted edges every way round: a pixel mostly inside is taken, one mostly outside is not.
  const Points star = {{10.3, 1.2}, {13.1, 8.7}, {19.6, 9.4}, {14.2, 13.3}, {16.8, 19.1}, {10.1, 15.2},
                       {3.7, 18.9}, {6.1, 12.8}, {0.9, 8.1}, {7.4, 7.9}};
  for (bool reversed : {false, true}) {
    Points points = star;
    if (reversed) std::reverse(points.begin(), points.end());
    const swf::Shape shape = filledPolygon(points);
    const render::Frame exact = draw(shape, 20, 20);
    const render::Frame low = draw(shape, 20, 20, twipsToPixels(), {}, std::nullopt, render::Quality::Low);
    for (uint32_t y = 0; y < 20; ++y)
      for (uint32_t x = 0; x < 20; ++x) {
        const int area = exact.at(x, y).a;
        if (area > 200) {
          EXPECT_EQ(low.at(x, y).a, 255) << x << "," << y;
        } else if (area < 55) {
          EXPECT_EQ(low.at(x, y).a, 0) << x << "," << y;
        }
      }
  }
}

TEST(RenderCoverage, ScaledCurvesStaySmooth) {
  // A quadratic arc bulging right, drawn at 10x and 400x: the area the flattened outline
  // loses against the exact one (2/3 of chord times depth) stays under the flattening
  // tolerance (0.15 pixels) times the arc's length, however far it is zoomed.
  std::vector<swf::ShapeRecord> records;
  swf::StyleChange start;
  start.moveTo = std::pair{0, 0};
  start.fill1 = 1;
  records.push_back(start);
  records.push_back(swf::CurvedEdge{20, 10, -20, 10});  // (0,0) ctrl (20,10) to (0,20) twips
  records.push_back(swf::StraightEdge{0, -20});
  const swf::Shape shape = shapeOf({solid(0, 0, 0)}, {}, records);
  for (double scale : {10.0, 400.0}) {
    SCOPED_TRACE(scale);
    const render::Frame frame = draw(shape, 400, 400, twipsToPixels(scale));
    const double base = scale, bulge = scale / 2;  // the chord and the curve's depth, pixels
    const double arcLength = 1.48 * scale;
    EXPECT_NEAR(coveredArea(frame), base * bulge * 2 / 3, 0.15 * arcLength);
  }
}

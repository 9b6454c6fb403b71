// Shape preparation: fill0 and fill1 edges joined into closed contours, style groups in their
// drawing order, open contours closed, morphs at a ratio, and malformed records drawn safely.
#include <gtest/gtest.h>

#include "RenderFixtures.h"

using namespace rendertest;
using render::Point;

namespace {

std::vector<Point> corners(const render::Contour& contour) {
  std::vector<Point> points{contour.start};
  for (const render::Segment& s : contour.segments) points.push_back(s.to);
  return points;
}

}  // namespace

TEST(RenderShape, Fill0EdgesAreReversedAndJoinedWithFill1EdgesIntoOneContour) {
  // A square drawn as two open halves: the top and right with fill1, the bottom and left
  // the other way round with fill0.
  std::vector<swf::ShapeRecord> records;
  addPath(records, {{0, 0}, {1, 0}, {1, 1}}, 0, 1, 0, false);
  addPath(records, {{0, 0}, {0, 1}, {1, 1}}, 1, 0, 0, false);
  const render::PreparedShape shape = render::prepareShape(shapeOf({solid(0, 0, 0)}, {}, records));
  ASSERT_EQ(shape.layers.size(), 1u);
  ASSERT_EQ(shape.layers[0].fill.outline.size(), 1u);
  const render::Contour& contour = shape.layers[0].fill.outline[0];
  EXPECT_EQ(corners(contour), (std::vector<Point>{{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}}));
  EXPECT_TRUE(contour.closed);
}

TEST(RenderShape, EachStyleGroupDrawsItsFillsThenItsLinesAboveTheGroupBefore) {
  std::vector<swf::ShapeRecord> records;
  addPath(records, rect(0, 0, 4, 4), 0, 1, 1);
  swf::StyleChange change;
  change.hasNewStyles = true;
  change.fills = {solid(0, 255, 0)};
  records.push_back(change);
  addPath(records, rect(2, 2, 6, 6), 0, 1, 0);
  const render::PreparedShape shape = render::prepareShape(shapeOf({solid(255, 0, 0)}, {line(20)}, records));
  ASSERT_EQ(shape.layers.size(), 3u);
  EXPECT_FALSE(shape.layers[0].isStroke);
  EXPECT_EQ(shape.layers[0].fill.style.color.r, 255);
  EXPECT_TRUE(shape.layers[1].isStroke);
  EXPECT_TRUE(shape.layers[1].stroke.path.at(0).closed);
  EXPECT_EQ(shape.layers[2].fill.style.color.g, 255);
  EXPECT_NE(shape.layers[0].group, shape.layers[2].group);
}

TEST(RenderShape, AnEdgeWithTheSameFillOnBothSidesBoundsNothing) {
  // An inner edge (as under a line drawn across a fill) from the square's corner, recorded
  // between the square's edges: joined into the square's contour it would cut a triangle out.
  std::vector<swf::ShapeRecord> records;
  addPath(records, {{6, 2}, {6, 6}, {2, 6}, {2, 2}}, 0, 1, 0, false);
  addPath(records, {{2, 2}, {4, 4}}, 1, 1, 0, false);
  addPath(records, {{2, 2}, {6, 2}}, 0, 1, 0, false);
  EXPECT_NEAR(coveredArea(draw(shapeOf({solid(0, 0, 0)}, {}, records), 8, 8)), 16, 0.01);
}

TEST(RenderShape, OpenFillContoursAreClosedSoNothingSpillsPastThem) {
  std::vector<swf::ShapeRecord> records;
  addPath(records, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 0, 1, 0, false);  // the left side missing
  const render::Frame frame = draw(shapeOf({solid(0, 0, 0)}, {}, records), 10, 10);
  EXPECT_EQ(frame.at(4, 4).a, 255);
  EXPECT_EQ(frame.at(8, 4).a, 0);
  EXPECT_NEAR(coveredArea(frame), 16, 0.01);
}

TEST(RenderShape, MorphsInterpolateEdgesAndStylesByRatio) {
  swf::MorphShape morph;
  morph.fills.push_back({solid(255, 0, 0), solid(0, 0, 255)});
  addPath(morph.startRecords, rect(0, 0, 2, 2), 0, 1, 0);
  std::vector<swf::ShapeRecord> end;
  addPath(end, {{4, 4}, {8, 4}, {8, 8}}, 0, 0, 0, false);
  end.push_back(swf::CurvedEdge{-40, 0, 0, 0});  // a curve against the start's straight edge
  end.push_back(swf::StraightEdge{0, -80});
  morph.endRecords = end;
  struct Case {
    uint16_t ratio;
    double x0, x1;
    uint8_t red;
  };
  for (const Case& c : {Case{0, 0, 40, 255}, Case{65535, 80, 160, 0}, Case{32768, 40, 100, 128}}) {
    SCOPED_TRACE(c.ratio);
    const render::PreparedShape shape = render::prepareMorphShape(morph, c.ratio);
    ASSERT_EQ(shape.layers.size(), 1u);
    const render::Contour& contour = shape.layers[0].fill.outline.at(0);
    EXPECT_NEAR(contour.start.x, c.x0, 0.01);
    EXPECT_NEAR(contour.segments.at(0).to.x, c.x1, 0.01);
    EXPECT_TRUE(contour.segments.at(2).isCurve);
    EXPECT_NEAR(shape.layers[0].fill.style.color.r, c.red, 1);
  }
}

TEST(RenderShape, MalformedRecordsDrawWhatTheyCanAndNeverFault) {
  std::vector<swf::ShapeRecord> records;
  addPath(records, rect(1, 1, 3, 3), 7, 9, 5);  // styles that do not exist
  records.push_back(swf::StraightEdge{1 << 30, -(1 << 30)});
  records.push_back(swf::CurvedEdge{1 << 30, 1 << 30, 1 << 30, 1 << 30});
  addPath(records, rect(4, 4, 6, 6), 0, 1, 1);
  swf::Shape shape = shapeOf({solid(0, 0, 0)}, {line(20)}, records);
  const render::Frame frame = draw(shape, 8, 8);
  EXPECT_EQ(frame.at(2, 2).a, 0);
  EXPECT_EQ(frame.at(5, 5).a, 255);
  // Degenerate matrices and frames.
  render::SoftwareRenderer renderer;
  renderer.beginFrame(0, 0, std::nullopt);
  renderer.drawShape(render::prepareShape(shape), twipsToPixels(), {});
  renderer.beginFrame(8, 8, std::nullopt);
  renderer.drawShape(render::prepareShape(shape), {0, 0, 0, 0, 0, 0}, {});
  renderer.drawShape(render::prepareShape(shape), {1e300, 0, 0, -1e300, 0, 0}, {});
  renderer.popMask();
  renderer.activateMask();
  EXPECT_EQ(renderer.frame().at(5, 5).a, 0);
}

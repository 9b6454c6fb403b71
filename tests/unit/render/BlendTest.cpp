// Blend modes: a layer blended into what is below it, per mode, and layers opened inside a mask.
#include <gtest/gtest.h>

#include "RenderFixtures.h"

using namespace rendertest;
using render::Pixel;

namespace {

// A 4x4 frame of `backdrop`, then a square over its left half drawn in a layer with `mode`.
render::Frame blended(swf::BlendMode mode, swf::Rgba backdrop, swf::FillStyle source) {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(4, 4, std::nullopt);
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 4, 4), solid(backdrop.r, backdrop.g, backdrop.b, backdrop.a))),
                     twipsToPixels(), {});
  renderer.pushLayer();
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 2, 4), source)), twipsToPixels(), {});
  renderer.popLayer(mode, {}, 1);
  renderer.endFrame();
  return renderer.frame();
}

}  // namespace

TEST(RenderBlend, EachModeMixesTheLayerWithTheBackdrop) {
  using M = swf::BlendMode;
  const swf::Rgba grey{128, 64, 192, 255};
  struct Case {
    M mode;
    swf::FillStyle source;
    Pixel expected;  // at a covered pixel; the uncovered half keeps the backdrop
  };
  const Case cases[] = {
      {M::Normal, solid(255, 0, 0), {255, 0, 0, 255}},
      {M::Layer, solid(255, 0, 0, 128), {192, 32, 96, 255}},
      {M::Multiply, solid(255, 128, 0), {128, 32, 0, 255}},
      {M::Screen, solid(255, 128, 0), {255, 160, 192, 255}},
      {M::Lighten, solid(255, 32, 0), {255, 64, 192, 255}},
      {M::Darken, solid(255, 32, 0), {128, 32, 0, 255}},
      {M::Difference, solid(255, 32, 0), {127, 32, 192, 255}},
      {M::Add, solid(255, 32, 16), {255, 96, 208, 255}},
      {M::Subtract, solid(255, 32, 16), {0, 32, 176, 255}},
      {M::Invert, solid(0, 0, 0), {127, 191, 63, 255}},
      {M::Overlay, solid(255, 255, 255), {255, 128, 255, 255}},   // light backdrop channels brighten
      {M::HardLight, solid(255, 0, 128), {255, 0, 193, 255}},    // by the source: screen or multiply
      {M::Erase, solid(0, 0, 0, 255), {0, 0, 0, 0}},
      {M::Alpha, solid(0, 0, 0, 128), {64, 32, 96, 128}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.mode));
    const render::Frame frame = blended(c.mode, grey, c.source);
    EXPECT_TRUE(closeTo(frame.at(0, 1), c.expected));
    EXPECT_TRUE(closeTo(frame.at(3, 1), {128, 64, 192, 255}));
  }
}

TEST(RenderBlend, LayersNestAndALayerInsideAMaskDrawsStraightThrough) {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(4, 4, swf::Rgba{0, 0, 0, 255});
  renderer.pushLayer();
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 4, 4), solid(255, 255, 255))), twipsToPixels(), {});
  renderer.pushLayer();  // erases the left half of the white layer, not the black stage
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 2, 4))), twipsToPixels(), {});
  renderer.popLayer(swf::BlendMode::Erase, {}, 1);
  renderer.popLayer(swf::BlendMode::Layer, {}, 1);
  // A mask drawn through a layer still takes the shape's coverage.
  renderer.pushMask();
  renderer.pushLayer();
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 4, 2))), twipsToPixels(), {});
  renderer.popLayer(swf::BlendMode::Multiply, {}, 1);
  renderer.activateMask();
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 4, 4), solid(0, 0, 255))), twipsToPixels(), {});
  renderer.popMask();
  renderer.endFrame();
  const render::Frame& f = renderer.frame();
  EXPECT_TRUE(closeTo(f.at(0, 3), {0, 0, 0, 255}));
  EXPECT_TRUE(closeTo(f.at(3, 3), {255, 255, 255, 255}));
  EXPECT_TRUE(closeTo(f.at(0, 0), {0, 0, 255, 255}));
  EXPECT_TRUE(closeTo(f.at(3, 1), {0, 0, 255, 255}));
}

TEST(RenderBlend, ALayerLeftOpenIsClosedAtTheEndAndDroppedByTheNextFrame) {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(2, 2, swf::Rgba{0, 0, 0, 255});
  renderer.pushLayer();
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 2, 2), solid(255, 0, 0))), twipsToPixels(), {});
  renderer.endFrame();
  EXPECT_TRUE(closeTo(renderer.frame().at(1, 1), {255, 0, 0, 255}));
  renderer.beginFrame(2, 2, swf::Rgba{0, 0, 0, 255});
  renderer.pushLayer();
  renderer.beginFrame(2, 2, swf::Rgba{0, 255, 0, 255});
  renderer.endFrame();
  EXPECT_TRUE(closeTo(renderer.frame().at(1, 1), {0, 255, 0, 255}));
}

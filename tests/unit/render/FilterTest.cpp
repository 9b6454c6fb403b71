// Filters on a layer: blur spreads without losing ink, shadows fall by their angle and
// distance in their colour, knockout and hidden objects, the colour matrix.
#include <gtest/gtest.h>

#include <cstring>

#include "../../../player/render/Filters.h"
#include "RenderFixtures.h"

using namespace rendertest;
using render::Pixel;

namespace {

void putU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void putFixed(std::vector<uint8_t>& b, double v) { putU32(b, uint32_t(int32_t(v * 65536))); }

swf::Filter blurFilter(double x, double y, int passes) {
  swf::Filter f{1, {}};
  putFixed(f.bytes, x);
  putFixed(f.bytes, y);
  f.bytes.push_back(uint8_t(passes << 3));
  return f;
}

swf::Filter shadowFilter(swf::Rgba color, double blur, double angle, double distance, uint8_t flags) {
  swf::Filter f{0, {color.r, color.g, color.b, color.a}};
  putFixed(f.bytes, blur);
  putFixed(f.bytes, blur);
  putFixed(f.bytes, angle);
  putFixed(f.bytes, distance);
  f.bytes.insert(f.bytes.end(), {0, 1});  // strength 1.0
  f.bytes.push_back(flags);
  return f;
}

// A 20x20 transparent layer with a white square from (5, 5) to (10, 10).
render::Frame square() {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(20, 20, std::nullopt);
  renderer.drawShape(render::prepareShape(filledPolygon(rect(5, 5, 10, 10), solid(255, 255, 255))), twipsToPixels(), {});
  return renderer.frame();
}

}  // namespace

TEST(RenderFilter, BlurSpreadsOverItsWidthAndKeepsTheInk) {
  const double before = coveredArea(square());
  for (int passes : {1, 3}) {
    render::Frame f = square();
    render::applyFilters({blurFilter(4, 4, passes)}, f, 1);
    EXPECT_NEAR(coveredArea(f), before, 0.5) << passes;
    EXPECT_GT(f.at(4, 7).a, 0) << passes;  // spread past the edge
    EXPECT_LT(f.at(5, 7).a, 255) << passes;  // and faded inside it
    EXPECT_EQ(f.at(7, 7).r, f.at(7, 7).a) << passes;  // white stays white
  }
  render::Frame wide = square();
  render::applyFilters({blurFilter(4, 4, 1)}, wide, 2);  // at twice the zoom: twice as far
  EXPECT_GT(wide.at(2, 7).a, 0);
  render::Frame thin = square();
  render::applyFilters({blurFilter(1, 1, 3)}, thin, 1);  // one pixel or less does nothing
  EXPECT_EQ(thin.pixels, square().pixels);
}

TEST(RenderFilter, ShadowsFallByAngleAndDistanceUnderOrInsteadOfTheObject) {
  constexpr uint8_t kCompositeSource = 0x20, kKnockout = 0x40, kInner = 0x80;
  const swf::Rgba red{255, 0, 0, 255};
  struct Case {
    const char* what;
    uint8_t flags;
    double angle;
    uint32_t x, y;
    Pixel expected;
  };
  const double down = 3.14159265 / 2;
  const Case cases[] = {
      {"under the object", kCompositeSource, 0, 7, 7, {255, 255, 255, 255}},
      {"moved right", kCompositeSource, 0, 12, 7, {255, 0, 0, 255}},
      {"moved down", kCompositeSource, down, 7, 12, {255, 0, 0, 255}},
      {"not left", kCompositeSource, 0, 4, 7, {0, 0, 0, 0}},
      {"object hidden", 0, 0, 6, 7, {0, 0, 0, 0}},
      {"object hidden, shadow kept", 0, 0, 12, 7, {255, 0, 0, 255}},
      {"knocked out", kKnockout | kCompositeSource, 0, 8, 7, {0, 0, 0, 0}},
      {"inner, by the moved edge", kInner | kCompositeSource, 0, 5, 7, {255, 0, 0, 255}},
      {"inner, away from it", kInner | kCompositeSource, 0, 9, 7, {255, 255, 255, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    render::Frame f = square();
    render::applyFilters({shadowFilter(red, 0, c.angle, 3, c.flags | 1)}, f, 1);
    EXPECT_TRUE(closeTo(f.at(c.x, c.y), c.expected));
  }
}

TEST(RenderFilter, ColourMatrixMixesStraightChannels) {
  swf::Filter swap{6, {}};
  const float rows[20] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0};  // red and blue swapped, half alpha
  for (float v : rows) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putU32(swap.bytes, bits);
  }
  render::SoftwareRenderer renderer;
  renderer.beginFrame(2, 2, std::nullopt);
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 2, 2), solid(200, 100, 0))), twipsToPixels(), {});
  render::Frame f = renderer.frame();
  render::applyFilters({swap}, f, 1);
  EXPECT_TRUE(closeTo(f.at(1, 1), {0, 50, 100, 128}));
  // A record cut short reads as zeros and is not a crash.
  swf::Filter cut{0, {255, 0}};
  render::applyFilters({cut, swf::Filter{1, {}}, swf::Filter{200, {1, 2, 3}}}, f, 1);
}

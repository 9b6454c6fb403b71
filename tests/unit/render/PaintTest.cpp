// Paints: gradient colours at known points for each kind and spread mode, bitmap sampling,
// colour transforms, and masks.
#include <gtest/gtest.h>

#include "../../../player/render/Paint.h"
#include "RenderFixtures.h"

using namespace rendertest;
using render::Pixel;

namespace {

// Black to white across pixels 0..10 of the frame (the gradient square scaled to 10 pixels).
swf::FillStyle blackToWhite(swf::FillKind kind, swf::SpreadMode spread,
                            swf::Interpolation interpolation = swf::Interpolation::Rgb) {
  swf::FillStyle fill;
  fill.kind = kind;
  fill.gradient.spread = spread;
  fill.gradient.interpolation = interpolation;
  const double scale = 200.0 / 32768;  // 200 twips, 10 pixels
  fill.gradient.matrix = {scale, 0, 0, scale, 100, 100};
  fill.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
  return fill;
}

uint8_t greyAt(const swf::FillStyle& fill, uint32_t x, uint32_t y = 5) {
  return draw(filledPolygon(rect(0, 0, 30, 30), fill), 30, 30).at(x, y).r;
}

}  // namespace

TEST(RenderPaint, LinearGradientSpreadsByItsMode) {
  struct Case {
    swf::SpreadMode spread;
    uint32_t x;  // sampled at x + 0.5: t = (x + 0.5) / 10
    int grey;
  };
  const Case cases[] = {
      {swf::SpreadMode::Pad, 0, 13},      {swf::SpreadMode::Pad, 5, 140},    {swf::SpreadMode::Pad, 12, 255},
      {swf::SpreadMode::Pad, 25, 255},    {swf::SpreadMode::Repeat, 12, 64}, {swf::SpreadMode::Repeat, 17, 191},
      {swf::SpreadMode::Reflect, 12, 191}, {swf::SpreadMode::Reflect, 17, 64}, {swf::SpreadMode::Reflect, 22, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "spread " << int(c.spread) << " x " << c.x);
    EXPECT_NEAR(greyAt(blackToWhite(swf::FillKind::LinearGradient, c.spread), c.x), c.grey, 2);
  }
}

TEST(RenderPaint, RadialAndFocalGradientsMeasureFromTheirCentreAndFocus) {
  // Radius 5 pixels around (5, 5.5): row 5's pixel centres lie on the gradient's axis.
  swf::FillStyle radial = blackToWhite(swf::FillKind::RadialGradient, swf::SpreadMode::Pad);
  radial.gradient.matrix.ty = 110;
  EXPECT_EQ(greyAt(radial, 5), 26);    // 0.5 pixels out: t = 0.1
  EXPECT_EQ(greyAt(radial, 7), 128);   // 2.5 pixels: half way
  EXPECT_EQ(greyAt(radial, 12), 255);  // 7.5 pixels: past the rim, padded
  radial.gradient.spread = swf::SpreadMode::Repeat;
  EXPECT_EQ(greyAt(radial, 12), 128);  // and repeated: half way round again
  // The focus half way to the right rim, at (7.5, 5.5): t runs from it to the rim.
  swf::FillStyle focal = radial;
  focal.kind = swf::FillKind::FocalGradient;
  focal.gradient.spread = swf::SpreadMode::Pad;
  focal.gradient.focalPoint = 0.5;
  EXPECT_EQ(greyAt(focal, 7), 0);     // at the focus
  EXPECT_EQ(greyAt(focal, 8), 102);   // 1 of the 2.5 pixels to the right rim
  EXPECT_EQ(greyAt(focal, 2), 170);   // 5 of the 7.5 pixels to the left rim
  EXPECT_EQ(greyAt(focal, 7, 4), 59);  // straight up: 1 of the 4.33 pixels to the rim
}

TEST(RenderPaint, LinearRgbInterpolationIsLighterInTheMiddle) {
  // Half way between black and white: 50% light is sRGB 188, against 128 in plain RGB.
  swf::FillStyle linear = blackToWhite(swf::FillKind::LinearGradient, swf::SpreadMode::Pad, swf::Interpolation::LinearRgb);
  linear.gradient.matrix.tx = 110;  // t = 0.5 at pixel 5's centre
  EXPECT_NEAR(greyAt(linear, 5), 188, 2);
  swf::FillStyle plain = linear;
  plain.gradient.interpolation = swf::Interpolation::Rgb;
  EXPECT_NEAR(greyAt(plain, 5), 128, 1);
}

TEST(RenderPaint, GradientStopsColourTheTableBetweenThem) {
  std::array<uint32_t, 256> table{};
  swf::Gradient gradient;
  gradient.stops = {{64, {255, 0, 0, 255}}, {192, {0, 0, 255, 0}}};
  render::buildGradientTable(gradient, {}, table);
  EXPECT_EQ(render::unpackPixel(table[0]), (Pixel{255, 0, 0, 255}));    // before the first stop
  EXPECT_EQ(render::unpackPixel(table[128]), (Pixel{64, 0, 64, 128}));  // half way, premultiplied
  EXPECT_EQ(render::unpackPixel(table[255]), (Pixel{0, 0, 0, 0}));
}

namespace {

// 2x2: red green / blue white.
const swf::Bitmap kChecker = bitmapOf(2, 2, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}});

render::Frame drawBitmap(const swf::Bitmap& bitmap, double scale, bool smoothing, const swf::ColorTransform& cx = {}) {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(16, 16, std::nullopt);
  renderer.drawBitmap(bitmap, {scale, 0, 0, scale, 0, 0}, smoothing, cx);
  return renderer.frame();
}

}  // namespace

TEST(RenderPaint, BitmapsSampleNearestOrBilinear) {
  const render::Frame nearest = drawBitmap(kChecker, 4, false);
  EXPECT_EQ(nearest.at(3, 1), (Pixel{255, 0, 0, 255}));
  EXPECT_EQ(nearest.at(4, 1), (Pixel{0, 255, 0, 255}));
  EXPECT_EQ(nearest.at(7, 7), (Pixel{255, 255, 255, 255}));
  EXPECT_EQ(nearest.at(8, 8).a, 0);  // past the bitmap: nothing
  const render::Frame smooth = drawBitmap(kChecker, 4, true);
  // Pixel 3's centre is 0.875 bitmap pixels in: 3/8 of the way from red's centre to green's.
  EXPECT_EQ(smooth.at(3, 0), (Pixel{159, 96, 0, 255}));
  EXPECT_EQ(smooth.at(0, 0), (Pixel{255, 0, 0, 255}));  // clamped at the edge, not wrapped
  EXPECT_EQ(smooth.at(4, 4), (Pixel{135, 159, 159, 255}));  // 5/8 of the way to white both ways
}

TEST(RenderPaint, BitmapFillsRepeatOrClampByKind) {
  struct Case {
    swf::FillKind kind;
    uint32_t x, y;
    Pixel expected;
  };
  const Case cases[] = {
      {swf::FillKind::RepeatingBitmapHard, 12, 2, {255, 0, 0, 255}},  // wraps to red
      {swf::FillKind::ClippedBitmapHard, 12, 2, {0, 255, 0, 255}},    // stretches green
      {swf::FillKind::ClippedBitmapHard, 12, 12, {255, 255, 255, 255}},
      {swf::FillKind::RepeatingBitmap, 10, 2, {153, 102, 0, 255}},    // 0.6 of the way to the next red
      {swf::FillKind::ClippedBitmap, 10, 2, {0, 255, 0, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " at " << c.x << "," << c.y);
    swf::FillStyle fill;
    fill.kind = c.kind;
    fill.bitmapId = 7;
    fill.bitmapMatrix = {100, 0, 0, 100, 0, 0};  // bitmap pixels of 5 frame pixels
    render::SoftwareRenderer renderer;
    renderer.setBitmapLookup([](swf::CharacterId id) { return id == 7 ? &kChecker : nullptr; });
    renderer.beginFrame(16, 16, std::nullopt);
    renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 16, 16), fill)), twipsToPixels(), {});
    EXPECT_TRUE(closeTo(renderer.frame().at(c.x, c.y), c.expected));
  }
}

TEST(RenderPaint, MissingBitmapsDrawNothing) {
  swf::FillStyle fill;
  fill.kind = swf::FillKind::RepeatingBitmap;
  fill.bitmapId = 9;
  const render::Frame frame = draw(filledPolygon(rect(0, 0, 4, 4), fill), 4, 4);
  EXPECT_EQ(frame.at(1, 1).a, 0);
}

TEST(RenderPaint, ColourTransformsApplyToEveryPaint) {
  struct Case {
    const char* name;
    swf::ColorTransform cx;
    Pixel expected;  // red (255, 0, 0, 255) through cx, over transparent
  };
  const Case cases[] = {
      {"half alpha", {256, 256, 256, 128, 0, 0, 0, 0}, {127, 0, 0, 127}},
      {"tint", {0, 256, 256, 256, 0, 255, 0, 0}, {0, 255, 0, 255}},
      {"negative add", {256, 256, 256, 256, -55, 0, 0, -55}, {157, 0, 0, 200}},
      {"alpha to zero", {256, 256, 256, 0, 0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(draw(filledPolygon(rect(0, 0, 4, 4), solid(255, 0, 0)), 4, 4, twipsToPixels(), c.cx).at(1, 1), c.expected);
    const swf::Bitmap red = bitmapOf(1, 1, {{255, 0, 0, 255}});
    EXPECT_EQ(drawBitmap(red, 4, false, c.cx).at(1, 1), c.expected);
    swf::FillStyle gradient = blackToWhite(swf::FillKind::LinearGradient, swf::SpreadMode::Pad);
    gradient.gradient.stops = {{0, {255, 0, 0, 255}}, {255, {255, 0, 0, 255}}};
    EXPECT_EQ(draw(filledPolygon(rect(0, 0, 4, 4), gradient), 4, 4, twipsToPixels(), c.cx).at(1, 1), c.expected);
  }
  // Half alpha red over white: pink.
  EXPECT_EQ(draw(filledPolygon(rect(0, 0, 4, 4), solid(255, 0, 0)), 4, 4, twipsToPixels(), cases[0].cx,
                 swf::Rgba{255, 255, 255, 255}).at(1, 1),
            (Pixel{255, 128, 128, 255}));
}

TEST(RenderPaint, MasksClipUntilPoppedAndNestedMasksIntersect) {
  render::SoftwareRenderer renderer;
  renderer.beginFrame(20, 10, std::nullopt);
  const render::PreparedShape everything = render::prepareShape(filledPolygon(rect(0, 0, 20, 10), solid(0, 0, 255)));
  renderer.pushMask();  // left half, its edge on a half pixel; the mask's colour does not show
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 10.5, 10), solid(255, 0, 0, 40))), twipsToPixels(), {});
  renderer.activateMask();
  renderer.pushMask();  // and the top half
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 0, 20, 5))), twipsToPixels(), {});
  renderer.activateMask();
  renderer.drawShape(everything, twipsToPixels(), {});
  renderer.popMask();
  const render::Frame& frame = renderer.frame();
  EXPECT_EQ(frame.at(2, 2), (Pixel{0, 0, 255, 255}));
  EXPECT_EQ(frame.at(10, 2), (Pixel{0, 0, 128, 128}));  // the mask's anti-aliased edge
  EXPECT_EQ(frame.at(2, 7).a, 0);   // outside the inner mask
  EXPECT_EQ(frame.at(15, 2).a, 0);  // outside the outer mask
  renderer.drawShape(render::prepareShape(filledPolygon(rect(0, 5, 20, 10), solid(0, 255, 0))), twipsToPixels(), {});
  EXPECT_EQ(renderer.frame().at(2, 7), (Pixel{0, 255, 0, 255}));   // the outer mask still holds
  EXPECT_EQ(renderer.frame().at(15, 7).a, 0);
  renderer.popMask();
  renderer.drawShape(everything, twipsToPixels(), {});
  EXPECT_EQ(renderer.frame().at(15, 7), (Pixel{0, 0, 255, 255}));
}

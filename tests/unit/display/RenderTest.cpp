// The display list drawn through the software renderer: positions and colours under nested
// matrices and colour transforms, a clip layer's mask, and a morph shape at its ratio.
#include <gtest/gtest.h>

#include "../../../player/display/MoviePlayer.h"
#include "../../../player/render/SoftwareRenderer.h"
#include "MovieFixture.h"

using fixture::place;
using fixture::translate;

namespace {

constexpr swf::Rgba kRed{255, 0, 0, 255};
constexpr swf::Rgba kBlue{0, 0, 255, 255};

struct Rendered {
  render::SoftwareRenderer renderer;
  const render::Frame& draw(display::MoviePlayer& player, double scale = 1) {
    player.renderStage(renderer, scale);
    return renderer.frame();
  }
};

render::Pixel rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }

void expectNear(render::Pixel got, render::Pixel want, const char* where) {
  EXPECT_NEAR(got.r, want.r, 2) << where;
  EXPECT_NEAR(got.g, want.g, 2) << where;
  EXPECT_NEAR(got.b, want.b, 2) << where;
  EXPECT_NEAR(got.a, want.a, 2) << where;
}

TEST(DisplayRender, ShapesSitOnTheStageColourAtTheirPlaceAndScale) {
  fixture::Movie m(40, 30);
  m.data->background = kBlue;
  m.add(fixture::rectangle(10, 10, 10, kRed));
  swf::PlaceObject p = place(1, 10);
  p.matrix = translate(5, 5);
  m.frame(1).tags = {p};
  display::MoviePlayer player(m.data);
  player.advance();
  Rendered r;
  const render::Frame& small = r.draw(player);
  ASSERT_EQ(small.width, 40u);
  ASSERT_EQ(small.height, 30u);
  expectNear(small.at(7, 7), rgb(255, 0, 0), "inside");
  expectNear(small.at(2, 2), rgb(0, 0, 255), "before");
  expectNear(small.at(16, 16), rgb(0, 0, 255), "after");
  const render::Frame& large = r.draw(player, 2);
  ASSERT_EQ(large.width, 80u);
  expectNear(large.at(28, 28), rgb(255, 0, 0), "inside at scale 2");
  expectNear(large.at(32, 32), rgb(0, 0, 255), "after at scale 2");
}

TEST(DisplayRender, ClipsConcatenateMatricesAndColourTransforms) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 10, 10, kRed));
  swf::Sprite clip;
  clip.id = 20;
  swf::PlaceObject inner = place(1, 10);
  inner.matrix = swf::Matrix{2, 0, 0, 2, 0, 0};
  inner.colorTransform = swf::ColorTransform{};
  inner.colorTransform->gAdd = 255;  // red turns yellow
  fixture::frameOf(clip.timeline, 1).tags = {inner};
  m.add(clip);
  swf::PlaceObject outer = place(1, 20);
  outer.matrix = translate(10, 0);
  outer.colorTransform = swf::ColorTransform{};
  outer.colorTransform->aMult = 128;  // then half transparent over white
  m.frame(1).tags = {outer};
  display::MoviePlayer player(m.data);
  player.advance();
  Rendered r;
  const render::Frame& f = r.draw(player);
  expectNear(f.at(5, 5), rgb(255, 255, 255), "left of the clip");
  expectNear(f.at(25, 15), rgb(255, 255, 127), "inside, scaled by the inner matrix");
  expectNear(f.at(35, 15), rgb(255, 255, 255), "past the scaled shape");
}

TEST(DisplayRender, AClipLayerMasksTheDepthsUpToItsClipDepth) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 20, 40, kBlue));  // the mask: the left half
  m.add(fixture::rectangle(11, 40, 40, kRed));
  m.add(fixture::rectangle(12, 10, 10, kBlue));
  swf::PlaceObject mask = place(1, 10), above = place(3, 12);
  mask.clipDepth = 2;
  above.matrix = translate(25, 25);
  m.frame(1).tags = {mask, place(2, 11), above};
  display::MoviePlayer player(m.data);
  player.advance();
  Rendered r;
  const render::Frame& f = r.draw(player);
  expectNear(f.at(5, 5), rgb(255, 0, 0), "masked layer inside the mask");
  expectNear(f.at(30, 5), rgb(255, 255, 255), "masked layer outside the mask");
  expectNear(f.at(30, 30), rgb(0, 0, 255), "a depth above the clip depth");
}

TEST(DisplayRender, BlendModesDrawThroughLayersAndAlphaNeedsAnEnclosingOne) {
  // A clip in Layer mode holds a red square and a half-transparent Alpha square over its left
  // half; a second Alpha square at the root, with no layer around it, shows nothing.
  fixture::Movie m;
  m.add(fixture::rectangle(10, 20, 20, kRed));
  m.add(fixture::rectangle(11, 10, 20, swf::Rgba{0, 0, 0, 128}));
  swf::Sprite clip;
  clip.id = 20;
  swf::PlaceObject cutter = place(2, 11);
  cutter.blendMode = swf::BlendMode::Alpha;
  fixture::frameOf(clip.timeline, 1).tags = {place(1, 10), cutter};
  m.add(clip);
  swf::PlaceObject layer = place(1, 20), stray = place(2, 11), multiply = place(3, 10);
  layer.blendMode = swf::BlendMode::Layer;
  stray.blendMode = swf::BlendMode::Alpha;
  stray.matrix = translate(20, 20);
  multiply.blendMode = swf::BlendMode::Multiply;
  multiply.matrix = translate(20, 0);
  m.frame(1).tags = {layer, stray, multiply};
  display::MoviePlayer player(m.data);
  player.advance();
  Rendered r;
  const render::Frame& f = r.draw(player);
  expectNear(f.at(5, 5), rgb(255, 128, 128), "the layer's red at half alpha over white");
  expectNear(f.at(15, 5), rgb(255, 0, 0), "the layer's red beyond the alpha square");
  expectNear(f.at(25, 25), rgb(255, 255, 255), "an alpha square without a layer");
  expectNear(f.at(25, 5), rgb(255, 0, 0), "red multiplied over white");
}

swf::MorphShape slidingSquare() {
  // A 10-pixel square moving from x 0 to x 20.
  swf::MorphShape morph;
  morph.id = 30;
  morph.startBounds = {0, 200, 0, 200};
  morph.endBounds = {400, 600, 0, 200};
  swf::MorphFillStyle fill;
  fill.start.color = kRed;
  fill.end.color = kRed;
  morph.fills.push_back(fill);
  auto records = [](int x) {
    swf::StyleChange start;
    start.moveTo = std::pair{x, 0};
    start.fill1 = 1;
    return std::vector<swf::ShapeRecord>{start, swf::StraightEdge{200, 0}, swf::StraightEdge{0, 200},
                                         swf::StraightEdge{-200, 0}, swf::StraightEdge{0, -200}};
  };
  morph.startRecords = records(0);
  morph.endRecords = records(400);
  return morph;
}

TEST(DisplayRender, AMorphShapeDrawsAtItsRatio) {
  const struct {
    uint16_t ratio;
    uint32_t filledX, emptyX;
  } cases[] = {{0, 5, 15}, {32768, 15, 5}, {65535, 25, 15}};
  for (const auto& c : cases) {
    fixture::Movie m;
    m.add(slidingSquare());
    swf::PlaceObject p = place(1, 30);
    p.ratio = c.ratio;
    m.frame(1).tags = {p};
    display::MoviePlayer player(m.data);
    player.advance();
    Rendered r;
    const render::Frame& f = r.draw(player);
    expectNear(f.at(c.filledX, 5), rgb(255, 0, 0), ("filled at ratio " + std::to_string(c.ratio)).c_str());
    expectNear(f.at(c.emptyX, 5), rgb(255, 255, 255), ("empty at ratio " + std::to_string(c.ratio)).c_str());
  }
}

}  // namespace

namespace {

TEST(DisplayRender, AButtonShowsItsUpState) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 40, 40, kRed));
  m.add(fixture::rectangle(11, 40, 40, kBlue));
  swf::RawCharacter button;
  button.id = 40;
  button.tagCode = 34;  // DefineButton2
  // id, menu flag, action offset; an up record (shape 10 at depth 1) and an over record
  // (shape 11 at depth 2), each with an empty matrix and colour transform; the end flag.
  button.body = {40, 0, 0, 0, 0, 0x01, 10, 0, 1, 0, 0x00, 0x00, 0x02, 11, 0, 2, 0, 0x00, 0x00, 0x00};
  m.add(button);
  m.frame(1).tags = {place(1, 40)};
  display::MoviePlayer player(m.data);
  player.advance();
  Rendered r;
  expectNear(r.draw(player).at(20, 20), rgb(255, 0, 0), "the up state");
}

}  // namespace

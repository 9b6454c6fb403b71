// The focus rectangle: a button rings its hit area (not the state it shows), three pixels of
// yellow inside the bounds at any scale, nothing drawn within.
#include <gtest/gtest.h>

#include "../display/MovieFixture.h"
#include "FocusRect.h"
#include "MoviePlayer.h"
#include "SceneButtons.h"
#include "SoftwareRenderer.h"
#include "TagCodes.h"

namespace {

TEST(FocusRect, AButtonIsRingedAroundItsHitAreaThreePixelsWide) {
  fixture::Movie m{100, 50};
  m.add(fixture::rectangle(10, 5, 5, swf::Rgba{0, 0, 255, 255}));
  m.add(fixture::rectangle(11, 20, 10, swf::Rgba{0, 0, 255, 255}));
  m.add(swf::RawCharacter{2, swf::tag::kDefineButton2,
                          scene::buttonBody(2, false, {{0x07, 10, 1, {}}, {0x08, 11, 1, {}}}, {})});
  swf::PlaceObject button = fixture::place(1, 2);
  button.matrix = fixture::translate(20, 10);
  m.frame(1).tags = {button};
  display::MoviePlayer player(m.data);
  player.advance();
  const display::DisplayObject& placed = *player.root().children().at(1);

  std::optional<clips::Bounds> b = clips::focusBounds(player.context().library(), placed);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->xMin, 400);
  EXPECT_EQ(b->yMin, 200);
  EXPECT_EQ(b->xMax, 800);
  EXPECT_EQ(b->yMax, 400);

  render::SoftwareRenderer renderer;
  renderer.beginFrame(200, 100, swf::Rgba{255, 255, 255, 255});
  clips::drawFocusRect(renderer, *b, swf::Matrix{2.0 / 20, 0, 0, 2.0 / 20, 0, 0});  // shown twice as large
  renderer.endFrame();
  const render::Frame& frame = renderer.frame();
  const render::Pixel yellow{255, 255, 0, 255}, white{255, 255, 255, 255};
  struct {
    uint32_t x, y;
    render::Pixel expected;
  } points[] = {{40, 20, yellow}, {42, 30, yellow}, {60, 22, yellow}, {77, 30, yellow}, {60, 39, yellow},
                {43, 30, white},  {60, 23, white},  {39, 30, white},  {80, 30, white},  {60, 40, white}};
  for (const auto& p : points) EXPECT_EQ(frame.at(p.x, p.y), p.expected) << p.x << "," << p.y;
}

}  // namespace

// PlaceObject 1-3 and RemoveObject over hand-made bodies: every optional field in its order,
// clip actions with SWF 5's and SWF 6's event flags, filters kept whole, blend modes.
#include "PlaceRecords.h"
#include "SwfBytes.h"

#include <gtest/gtest.h>

namespace {

using namespace swf;
using swf_test::Bytes;
using swf_test::SwfBytes;

std::optional<PlaceObject> place(const Bytes& body, uint8_t version, uint8_t swfVersion) {
  BitReader in(body.data(), body.size());
  return readPlaceObject(in, version, swfVersion);
}

TEST(PlaceObject, VersionOneHasAnOptionalColorTransform) {
  Bytes plain = SwfBytes().u16(5).u16(3).translate(100, -100).data();
  std::optional<PlaceObject> p = place(plain, 1, 4);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->characterId, 5);
  EXPECT_EQ(p->depth, 3);
  EXPECT_EQ(p->matrix->ty, -100);
  EXPECT_FALSE(p->colorTransform);

  SwfBytes tinted(SwfBytes().u16(5).u16(3).translate(0, 0));
  tinted.ubits(1, 1).ubits(0, 1).ubits(4, 4).sbits(1, 4).sbits(2, 4).sbits(3, 4);
  p = place(tinted.data(), 1, 4);
  ASSERT_TRUE(p && p->colorTransform);
  EXPECT_EQ(p->colorTransform->bAdd, 3);
  EXPECT_EQ(p->colorTransform->aMult, 256);
}

TEST(PlaceObject, VersionTwoReadsEveryFieldAndClipActions) {
  // SWF 6: 32-bit event flags. One record on load and enter frame, one on key press with its code.
  SwfBytes w;
  w.u8(0xFF).u16(10).u16(4).translate(20, 40);
  w.ubits(1, 1).ubits(1, 1).ubits(2, 4).sbits(1, 2).sbits(1, 2).sbits(1, 2).sbits(1, 2);  // mult, add 1s
  w.sbits(0, 2).sbits(-1, 2).sbits(0, 2).sbits(0, 2);
  w.u16(300).str("clip").u16(12);
  w.u16(0).u32(clip_event::kLoad | clip_event::kEnterFrame | clip_event::kKeyPress);
  w.u32(clip_event::kLoad | clip_event::kEnterFrame).u32(2).bytes({0x07, 0x00});
  w.u32(clip_event::kKeyPress).u32(3).u8(13).bytes({0x06, 0x00});
  w.u32(0);
  std::optional<PlaceObject> p = place(w.data(), 2, 6);
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->move);
  EXPECT_EQ(p->characterId, 4);
  EXPECT_EQ(p->depth, 10);
  EXPECT_EQ(p->matrix->tx, 20);
  EXPECT_EQ(p->colorTransform->gAdd, -1);
  EXPECT_EQ(p->colorTransform->aMult, 1);
  EXPECT_EQ(p->ratio, 300);
  EXPECT_EQ(p->name, "clip");
  EXPECT_EQ(p->clipDepth, 12);
  ASSERT_EQ(p->clipActions.size(), 2u);
  EXPECT_EQ(p->clipActions[0].events, clip_event::kLoad | clip_event::kEnterFrame);
  EXPECT_EQ(p->clipActions[0].actions, (Bytes{0x07, 0x00}));
  EXPECT_EQ(p->clipActions[1].keyCode, 13);
  EXPECT_EQ(p->clipActions[1].actions, (Bytes{0x06, 0x00}));  // the key code counts in the size
}

TEST(PlaceObject, SwfFiveClipActionsHaveSixteenBitFlags) {
  SwfBytes w;
  w.u8(0x82).u16(1).u16(2);  // clip actions, character
  w.u16(0).u16(clip_event::kMouseDown | clip_event::kPress);
  w.u16(clip_event::kMouseDown | clip_event::kPress).u32(1).u8(0x00);
  w.u16(0);
  std::optional<PlaceObject> p = place(w.data(), 2, 5);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->clipActions.size(), 1u);
  EXPECT_EQ(p->clipActions[0].events, clip_event::kMouseDown | clip_event::kPress);

  // Files in the wild end their last record with two bytes where SWF 6 wants four.
  SwfBytes cut;
  cut.u8(0x82).u16(1).u16(2).u16(0).u32(clip_event::kLoad).u32(clip_event::kLoad).u32(1).u8(0).u16(0);
  p = place(cut.data(), 2, 6);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->clipActions.size(), 1u);
}

TEST(PlaceObject, VersionThreeReadsFiltersBlendModeCacheAndClassName) {
  SwfBytes w;
  w.u8(0x02).u8(0x08 | 0x01 | 0x02 | 0x04).u16(7).str("Ball").u16(9);
  w.u8(4);
  w.u8(1).bytes(Bytes(9, 0xB1));                        // blur
  w.u8(0).bytes(Bytes(23, 0xD0));                       // drop shadow
  w.u8(4).u8(2).bytes(Bytes(2 * 5 + 19, 0x66));         // gradient glow, two colours
  w.u8(5).u8(3).u8(3).bytes(Bytes(8 + 9 * 4 + 5, 0xC0));  // convolution 3x3
  w.u8(3);                                              // multiply
  // the cache flag's byte is missing: the flag alone counts
  std::optional<PlaceObject> p = place(w.data(), 3, 8);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->className, "Ball");
  EXPECT_EQ(p->characterId, 9);
  ASSERT_TRUE(p->filters);
  ASSERT_EQ(p->filters->size(), 4u);
  EXPECT_EQ((*p->filters)[0].type, 1);
  EXPECT_EQ((*p->filters)[0].bytes, Bytes(9, 0xB1));
  EXPECT_EQ((*p->filters)[2].bytes.size(), 1u + 2 * 5 + 19);
  EXPECT_EQ((*p->filters)[3].bytes.size(), 2u + 8 + 36 + 5);
  EXPECT_EQ(p->blendMode, BlendMode::Multiply);
  EXPECT_EQ(p->cacheAsBitmap, true);
}

TEST(PlaceObject, BlendModesOutsideTheTableAreNormal) {
  const std::pair<uint8_t, BlendMode> cases[] = {{0, BlendMode::Normal}, {1, BlendMode::Normal},
                                                 {2, BlendMode::Layer},  {14, BlendMode::HardLight},
                                                 {15, BlendMode::Normal}, {255, BlendMode::Normal}};
  for (auto [value, mode] : cases) EXPECT_EQ(blendModeFor(value), mode) << int(value);
}

TEST(PlaceObject, MalformedBodiesAreRejected) {
  const std::pair<const char*, std::pair<Bytes, uint8_t>> cases[] = {
      {"neither move nor character", {{0x00, 1, 0}, 2}},
      {"unknown filter type", {SwfBytes().u8(0x02).u8(0x01).u16(1).u16(2).u8(1).u8(9).bytes(Bytes(30, 0)).data(), 3}},
      {"filter cut short", {SwfBytes().u8(0x02).u8(0x01).u16(1).u16(2).u8(1).u8(1).bytes(Bytes(8, 0)).data(), 3}},
      {"name without terminator", {{0x22, 1, 0, 2, 0, 'a'}, 2}},
      {"key press without its key code", {SwfBytes().u8(0x82).u16(1).u16(2).u16(0).u32(0).u32(clip_event::kKeyPress).u32(0).u32(0).data(), 2}},
  };
  for (const auto& [what, c] : cases) EXPECT_FALSE(place(c.first, c.second, 8)) << what;
}

TEST(RemoveObject, VersionOneNamesTheCharacter) {
  Bytes one = {4, 0, 9, 0};
  BitReader in1(one.data(), one.size());
  std::optional<RemoveObject> r = readRemoveObject(in1, 1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->characterId, 4);
  EXPECT_EQ(r->depth, 9);

  BitReader in2(one.data(), 2);
  r = readRemoveObject(in2, 2);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->characterId);
  EXPECT_EQ(r->depth, 4);

  BitReader cut(one.data(), 1);
  EXPECT_FALSE(readRemoveObject(cut, 2));
}

}  // namespace

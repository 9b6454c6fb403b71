// readMovie over whole hand-made movies: the header (plain and compressed, bounded by the file
// length), the timeline and sprites, the dictionary, and malformed tags skipped with the rest kept.
#include "MovieReader.h"
#include "SwfBytes.h"
#include "TagCodes.h"

#include <gtest/gtest.h>

namespace {

using namespace swf;
using swf_test::Bytes;
using swf_test::join;
using swf_test::movie;
using swf_test::SwfBytes;
using swf_test::tag;

// A DefineShape body (DefineShape3's with `rgba`): one red fill and a single edge.
Bytes shapeBody(CharacterId id, bool rgba = false) {
  SwfBytes w;
  w.u16(id).rect(0, 100, 0, 100, 9).u8(1).bytes({0x00, 255, 0, 0});
  if (rgba) w.u8(255);
  w.u8(0).u8(0x10);
  w.ubits(0b000101, 6).ubits(5, 5).sbits(0, 5).sbits(0, 5).ubits(1, 1);  // move to 0,0, fill0 1
  w.ubits(0b11, 2).ubits(5, 4).ubits(1, 1).sbits(100, 7).sbits(100, 7);
  w.ubits(0, 6);
  return w.data();
}

Bytes place2(uint16_t depth, CharacterId id) { return tag(tag::kPlaceObject2, SwfBytes().u8(0x02).u16(depth).u16(id).data()); }
Bytes showFrame() { return tag(tag::kShowFrame, {}); }

std::optional<MovieData> read(const Bytes& bytes) { return readMovie(bytes.data(), bytes.size()); }

template <typename T>
const T* character(const MovieData& m, CharacterId id) {
  auto it = m.characters.find(id);
  return it == m.characters.end() ? nullptr : std::get_if<T>(it->second.get());
}

TEST(MovieReader, OnlyNonSwfDataHasNoMovie) {
  Bytes lzma = movie(13, {});
  lzma[0] = 'Z';
  const std::pair<const char*, Bytes> cases[] = {
      {"empty", {}},
      {"short", {'F', 'W', 'S', 8, 0, 0, 0}},
      {"GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}},
      {"LZMA", lzma},
  };
  for (const auto& [what, bytes] : cases) EXPECT_FALSE(read(bytes)) << what;
  EXPECT_FALSE(readMovie(nullptr, 100));

  // A header with nothing behind it is still a SWF.
  std::optional<MovieData> bare = read({'F', 'W', 'S', 8, 8, 0, 0, 0});
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->version, 8);
  EXPECT_FALSE(bare->warnings.empty());
}

TEST(MovieReader, PlainAndCompressedMoviesReadTheSame) {
  Bytes tags = join({tag(tag::kFileAttributes, {0x09, 0, 0, 0}), tag(tag::kSetBackgroundColor, {0x33, 0x66, 0x99}),
                     tag(tag::kSetBackgroundColor, {1, 2, 3}), tag(tag::kDefineShape, shapeBody(1)), place2(1, 1),
                     showFrame()});
  for (bool compressed : {false, true}) {
    std::optional<MovieData> m = read(movie(8, tags, compressed));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->compressed, compressed);
    EXPECT_EQ(m->version, 8);
    EXPECT_EQ(m->frameRect, (Rect{0, 11000, 0, 8000}));
    EXPECT_DOUBLE_EQ(m->frameRate, 24);
    EXPECT_EQ(m->timeline.declaredFrameCount, 1);
    EXPECT_EQ(m->background, (Rgba{0x33, 0x66, 0x99, 255}));  // the first colour
    EXPECT_TRUE(m->actionScript3);
    EXPECT_TRUE(m->useNetwork);
    ASSERT_TRUE(character<Shape>(*m, 1));
    EXPECT_EQ(character<Shape>(*m, 1)->records.size(), 2u);  // a style change and an edge
    ASSERT_EQ(m->timeline.frames.size(), 1u);
    EXPECT_TRUE(m->warnings.empty()) << m->warnings.front();
  }
}

TEST(MovieReader, TheHeadersFileLengthBoundsTheBody) {
  Bytes shape = tag(tag::kDefineShape, shapeBody(1));
  for (bool compressed : {false, true}) {
    Bytes bytes = movie(8, shape, compressed);
    // Claim a file that ends before the shape's tag: the shape is not read.
    uint32_t length = 8 + 10;
    bytes[4] = length & 0xFF;
    bytes[5] = 0;
    std::optional<MovieData> m = read(bytes);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->characters.empty()) << compressed;
  }
}

TEST(MovieReader, FramesHoldTheirTagsInOrder) {
  Bytes tags = join({
      tag(tag::kDefineShape, shapeBody(1)),
      tag(tag::kPlaceObject, SwfBytes().u16(1).u16(1).translate(0, 0).data()),
      showFrame(),
      tag(tag::kFrameLabel, SwfBytes().str("intro").u8(1).data()),
      tag(tag::kDoAction, {0x07, 0x00}),
      tag(tag::kDoInitAction, {5, 0, 0x00}),
      tag(tag::kStartSound, {9, 0, 0x00}),
      showFrame(),
      tag(tag::kFrameLabel, SwfBytes().str("end").data()),
      tag(tag::kRemoveObject2, {1, 0}),  // after the last ShowFrame: a last frame
  });
  std::optional<MovieData> m = read(movie(6, tags));
  ASSERT_TRUE(m);
  const auto& frames = m->timeline.frames;
  ASSERT_EQ(frames.size(), 3u);
  ASSERT_EQ(frames[0].tags.size(), 1u);
  EXPECT_EQ(std::get<PlaceObject>(frames[0].tags[0]).characterId, 1);
  ASSERT_EQ(frames[1].tags.size(), 4u);
  EXPECT_EQ(std::get<FrameLabel>(frames[1].tags[0]).name, "intro");
  EXPECT_TRUE(std::get<FrameLabel>(frames[1].tags[0]).anchor);
  EXPECT_EQ(std::get<DoAction>(frames[1].tags[1]).actions, (Bytes{0x07, 0x00}));
  EXPECT_EQ(std::get<DoInitAction>(frames[1].tags[2]).spriteId, 5);
  EXPECT_EQ(std::get<StartSound>(frames[1].tags[3]).soundId, 9);
  EXPECT_FALSE(std::get<FrameLabel>(frames[2].tags[0]).anchor);
  EXPECT_EQ(std::get<RemoveObject>(frames[2].tags[1]).depth, 1);
}

Bytes sprite(CharacterId id, uint16_t frames, const Bytes& tags) {
  return tag(tag::kDefineSprite, SwfBytes().u16(id).u16(frames).bytes(tags).u16(0).data());
}

TEST(MovieReader, SpritesHaveTimelinesOfTheirOwnAndDefineIntoTheMovie) {
  Bytes inner = sprite(3, 1, join({place2(1, 1), showFrame()}));
  Bytes outer = sprite(2, 5, join({tag(tag::kDefineShape, shapeBody(1)), inner, place2(1, 3), showFrame(),
                                   showFrame(), tag(tag::kDoAction, {0x00})}));
  std::optional<MovieData> m = read(movie(8, join({outer, place2(1, 2), showFrame()})));
  ASSERT_TRUE(m);
  const Sprite* s = character<Sprite>(*m, 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->timeline.declaredFrameCount, 5);
  ASSERT_EQ(s->timeline.frames.size(), 3u);
  EXPECT_EQ(s->timeline.frames[0].tags.size(), 1u);
  EXPECT_TRUE(s->timeline.frames[1].tags.empty());
  EXPECT_TRUE(character<Shape>(*m, 1));
  ASSERT_TRUE(character<Sprite>(*m, 3));
  EXPECT_EQ(character<Sprite>(*m, 3)->timeline.frames.size(), 1u);
  ASSERT_EQ(m->timeline.frames.size(), 1u);  // the sprite's tags stay out of the main timeline
  EXPECT_EQ(std::get<PlaceObject>(m->timeline.frames[0].tags[0]).characterId, 2);
}

TEST(MovieReader, SpritesNestedTooDeepAreSkipped) {
  Bytes nested = sprite(100, 1, showFrame());
  for (CharacterId id = 99; id >= 50; --id) nested = sprite(id, 1, nested);
  std::optional<MovieData> m = read(movie(8, nested));
  ASSERT_TRUE(m);
  EXPECT_TRUE(character<Sprite>(*m, 50));
  EXPECT_FALSE(character<Sprite>(*m, 100));
  EXPECT_FALSE(m->warnings.empty());
}

TEST(MovieReader, MalformedTagsAreSkippedAndTheRestIsRead) {
  Bytes badShape = shapeBody(2);
  badShape.resize(badShape.size() - 2);  // its records cut off inside the tag
  Bytes badBitmap = SwfBytes().u16(4).u8(5).u16(1).u16(1).bytes({1, 2, 3}).data();
  Bytes tags = join({
      tag(tag::kDefineShape, shapeBody(1)),
      tag(tag::kDefineShape, badShape),
      tag(tag::kDefineBitsLossless, badBitmap),
      tag(tag::kPlaceObject2, {0x00, 1, 0}),                 // places nothing
      tag(tag::kDefineShape, shapeBody(1)),                  // the id is taken
      tag(500, {1, 2, 3}),                                   // unknown
      tag(tag::kDefineShape3, shapeBody(3, true), /*longForm=*/true),
      place2(1, 3),
      showFrame(),
  });
  std::optional<MovieData> m = read(movie(8, tags));
  ASSERT_TRUE(m);
  EXPECT_TRUE(character<Shape>(*m, 1));
  EXPECT_FALSE(m->characters.count(2));
  EXPECT_FALSE(m->characters.count(4));
  ASSERT_TRUE(character<Shape>(*m, 3));
  EXPECT_EQ(character<Shape>(*m, 3)->version, 3);
  ASSERT_EQ(m->timeline.frames.size(), 1u);
  EXPECT_EQ(m->timeline.frames[0].tags.size(), 1u);
  ASSERT_EQ(m->warnings.size(), 5u);
  EXPECT_NE(m->warnings[0].find("DefineShape"), std::string::npos) << m->warnings[0];
  EXPECT_NE(m->warnings[1].find("bitmap 4"), std::string::npos) << m->warnings[1];
}

TEST(MovieReader, WarningsStopAtAThousandLines) {
  Bytes unknown;
  for (int i = 0; i < 1500; ++i) unknown.insert(unknown.end(), {0x00, 0x7D});  // tag 500, empty
  std::optional<MovieData> m = read(movie(8, unknown));
  ASSERT_TRUE(m);
  ASSERT_EQ(m->warnings.size(), 1001u);
  EXPECT_EQ(m->warnings.back(), "further warnings left out");
}

TEST(MovieReader, ATruncatedFileKeepsWhatCameBefore) {
  // Padding the compressor cannot shrink away, so a cut file ends inside the last shape.
  Bytes padding(64);
  for (size_t i = 0; i < padding.size(); ++i) padding[i] = static_cast<uint8_t>(i * 97 + 13);
  Bytes tags = join({tag(tag::kDefineShape, shapeBody(1)), place2(1, 1), showFrame(), tag(tag::kDoAction, padding),
                     tag(tag::kDefineShape, shapeBody(2))});
  for (bool compressed : {false, true}) {
    Bytes bytes = movie(8, tags, compressed);
    bytes.resize(bytes.size() - 12);
    std::optional<MovieData> m = read(bytes);
    ASSERT_TRUE(m);
    EXPECT_TRUE(character<Shape>(*m, 1)) << compressed;
    EXPECT_FALSE(character<Shape>(*m, 2)) << compressed;
    EXPECT_EQ(m->timeline.frames.size(), 2u) << compressed;
    EXPECT_FALSE(m->warnings.empty()) << compressed;
  }
}

TEST(MovieReader, KeepsOtherCharactersAndTheirInfoRaw) {
  Bytes tags = join({
      tag(tag::kDefineFont2, {7, 0, 0xAA, 0xBB}),
      tag(tag::kDefineFontInfo, {7, 0, 0xCC}),
      tag(tag::kDefineButton2, {8, 0, 0x00}),
      tag(tag::kDefineButtonCxform, {8, 0, 0x00}),
      tag(tag::kExportAssets, SwfBytes().u16(2).u16(7).str("font").u16(8).str("button").data()),
      tag(tag::kImportAssets2, SwfBytes().str("lib.swf").u8(1).u8(0).u16(1).u16(20).str("ball").data()),
      tag(tag::kImportAssets, SwfBytes().str("old.swf").u16(1).u16(21).str("box").data()),
  });
  std::optional<MovieData> m = read(movie(8, tags));
  ASSERT_TRUE(m);
  const RawCharacter* font = character<RawCharacter>(*m, 7);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->tagCode, tag::kDefineFont2);
  EXPECT_EQ(font->body, (Bytes{7, 0, 0xAA, 0xBB}));
  EXPECT_TRUE(character<RawCharacter>(*m, 8));
  ASSERT_EQ(m->characterInfo.size(), 2u);
  EXPECT_EQ(m->characterInfo[0].id, 7);
  EXPECT_EQ(m->characterInfo[1].tagCode, tag::kDefineButtonCxform);
  ASSERT_EQ(m->exports.size(), 2u);
  EXPECT_EQ(m->exports[1].name, "button");
  ASSERT_EQ(m->imports.size(), 2u);
  EXPECT_EQ(m->imports[0].url, "lib.swf");
  EXPECT_EQ(m->imports[0].id, 20);
  EXPECT_EQ(m->imports[1].name, "box");
  EXPECT_TRUE(m->warnings.empty());
}

}  // namespace

// The scene text of lumo-movie: definitions and timeline commands into movie values, and a bad
// line reported with its number.
#include "SceneText.h"

#include "../../../player/display/ButtonRecords.h"
#include "../../../player/text/EditTextRecord.h"

#include <gtest/gtest.h>

#include <cmath>

namespace scene {
namespace {

swf::MovieData read(const std::string& text) {
  swf::MovieData movie;
  std::string error;
  EXPECT_TRUE(readScene(text, movie, error)) << error;
  return movie;
}

TEST(SceneText, DefinesShapesBitmapsAndSpritesAndPlacesThem) {
  swf::MovieData m = read(R"(
# a bitmap, straight alpha in the text
bitmap 1 2 1 FF0000 00FF0080
shape 2 rect 10 20 100 50 fill linear 0:FF0000 255:0000FF stroke 2 000000
shape 3 ellipse 50 50 40 20 fill radial reflect 0:FFFFFF 255:00000080
shape 4 rect 0 0 20 10 fill bitmap 1 repeat hard
sprite 5
  place 2 depth 1
  frame
  move depth 1 at 5 0
end
place 3 depth 1 clip 2 name cover
place 5 depth 2 at 100 50 scale 2 0.5 rotate 90 alpha 0.5
frame
label done
remove depth 2
)");
  ASSERT_EQ(m.characters.size(), 5u);
  const auto& bitmap = std::get<swf::Bitmap>(*m.characters.at(1));
  EXPECT_EQ(bitmap.rgba, (std::vector<uint8_t>{255, 0, 0, 255, 0, 128, 0, 128}));  // premultiplied

  const auto& rect = std::get<swf::Shape>(*m.characters.at(2));
  EXPECT_EQ(rect.version, 1);
  EXPECT_EQ(rect.edgeBounds, (swf::Rect{200, 2200, 400, 1400}));
  EXPECT_EQ(rect.bounds, (swf::Rect{180, 2220, 380, 1420}));  // half the stroke around
  ASSERT_EQ(rect.fills.size(), 1u);
  EXPECT_EQ(rect.fills[0].kind, swf::FillKind::LinearGradient);
  // The gradient square's edges land on the rectangle's.
  const swf::Matrix& g = rect.fills[0].gradient.matrix;
  EXPECT_NEAR(g.tx - 16384 * g.a, 200, 0.5);
  EXPECT_NEAR(g.tx + 16384 * g.a, 2200, 0.5);
  EXPECT_EQ(rect.lines.at(0).width, 40);

  const auto& ellipse = std::get<swf::Shape>(*m.characters.at(3));
  EXPECT_EQ(ellipse.version, 4);  // alpha and a spread mode
  int curves = 0, endX = 0, endY = 0;
  for (const swf::ShapeRecord& r : ellipse.records) {
    if (const auto* sc = std::get_if<swf::StyleChange>(&r); sc && sc->moveTo) {
      endX = sc->moveTo->first;
      endY = sc->moveTo->second;
    } else if (const auto* c = std::get_if<swf::CurvedEdge>(&r)) {
      ++curves;
      endX += c->controlDx + c->anchorDx;
      endY += c->controlDy + c->anchorDy;
    }
  }
  EXPECT_EQ(curves, 8);
  EXPECT_EQ(endX, 1800);  // closed where it began: (90, 50) pixels
  EXPECT_EQ(endY, 1000);

  const auto& tiled = std::get<swf::Shape>(*m.characters.at(4));
  EXPECT_EQ(tiled.fills.at(0).kind, swf::FillKind::RepeatingBitmapHard);
  EXPECT_EQ(tiled.fills.at(0).bitmapMatrix, (swf::Matrix{200, 0, 0, 200, 0, 0}));  // 2 x 1 pixels over 20 x 10

  const auto& sprite = std::get<swf::Sprite>(*m.characters.at(5));
  ASSERT_EQ(sprite.timeline.frames.size(), 2u);  // the tags after the last `frame` make one
  EXPECT_TRUE(std::get<swf::PlaceObject>(sprite.timeline.frames[1].tags.at(0)).move);

  ASSERT_EQ(m.timeline.frames.size(), 2u);
  const auto& mask = std::get<swf::PlaceObject>(m.timeline.frames[0].tags.at(0));
  EXPECT_EQ(mask.clipDepth, 2);
  EXPECT_EQ(mask.name, "cover");
  EXPECT_FALSE(mask.matrix);
  const auto& placed = std::get<swf::PlaceObject>(m.timeline.frames[0].tags.at(1));
  ASSERT_TRUE(placed.matrix);
  EXPECT_NEAR(placed.matrix->a, 0, 1e-9);
  EXPECT_NEAR(placed.matrix->b, 2, 1e-9);
  EXPECT_NEAR(placed.matrix->c, -0.5, 1e-9);
  EXPECT_EQ(placed.matrix->tx, 2000);
  EXPECT_EQ(placed.colorTransform->aMult, 128);
  EXPECT_EQ(std::get<swf::FrameLabel>(m.timeline.frames[1].tags.at(0)).name, "done");
}

TEST(SceneText, ButtonsFontsAndFieldsReadBackAsTheReaderSeesThem) {
  swf::MovieData m = read(R"(shape 1 rect 0 0 10 10 fill 0000FF
button 2 menu
  state up,hit 1 depth 1
  state over,down 1 depth 2 at 5 5
  on press,release 0700
  on key:13 0600
end
font 3 _sans device
field 4 0 0 100 20 font 3 size 12 var name password text hi
)");
  const auto* button = std::get_if<swf::RawCharacter>(m.characters.at(2).get());
  ASSERT_NE(button, nullptr);
  const display::ButtonDefinition b = display::readButton(*button);
  EXPECT_TRUE(b.trackAsMenu);
  ASSERT_EQ(b.records.size(), 2u);
  EXPECT_EQ(b.records[0].states, display::ButtonRecord::kUp | display::ButtonRecord::kHitTest);
  EXPECT_EQ(b.records[1].matrix.tx, 100);
  ASSERT_EQ(b.actions.size(), 2u);
  EXPECT_EQ(b.actions[0].conditions, display::kPress | display::kRelease);
  EXPECT_EQ(b.actions[0].bytes, (std::vector<uint8_t>{0x07, 0x00}));
  EXPECT_EQ(b.actions[1].keyCode, 13);
  const auto* field = std::get_if<swf::RawCharacter>(m.characters.at(4).get());
  ASSERT_NE(field, nullptr);
  const std::optional<text::EditTextRecord> f = text::readEditText(*field, 8);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->fontId, 3);
  EXPECT_EQ(f->height, 240);
  EXPECT_EQ(f->variableName, "name");
  EXPECT_TRUE(f->password);
  EXPECT_FALSE(f->readOnly);
  EXPECT_EQ(f->initialText, u"hi");
  EXPECT_EQ(f->bounds.xMax, 2000);
}

TEST(SceneText, ABadLineStopsWithItsNumberAndWhy) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"shape 1 rect 0 0 10 10", "line 1: a shape needs a fill or a stroke"},
      {"shape 1 rect 0 0 10 fill FF0000", "line 1: bad height 'fill'"},
      {"shape 1 circle 0 0 10 fill FF0000", "unknown geometry 'circle'"},
      {"shape 1 rect 0 0 1 1 fill F00", "bad colour 'F00'"},
      {"shape 1 rect 0 0 1 1 fill linear 0:FF0000", "2 to 15 stops"},
      {"shape 1 rect 0 0 1 1 fill linear 0:FF0000 300:00FF00", "bad gradient stop '300:00FF00'"},
      {"shape 1 rect 0 0 1 1 fill bitmap 2", "character 2 is not defined yet"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\nshape 2 rect 0 0 1 1 fill bitmap 1", "line 2: character 1 is no bitmap"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\nshape 1 rect 0 0 1 1 fill 00FF00", "line 2: character 1 is defined twice"},
      {"shape 1 path L 1 1 fill 00FF00", "a path starts with M"},
      {"bitmap 1 2 2 FF0000 FF0000 FF0000", "missing pixel"},
      {"bitmap 1 1 1 FF0000 00FF00", "unexpected '00FF00'"},
      {"\n\nplace 9 depth 1", "line 3: character 9 is not defined yet"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\nplace 1 at 0 0", "expected 'depth D'"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\nplace 1 depth 0", "depth must be a whole number from 1 to 65535"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\nplace 1 depth 1 spin 3", "unknown placing option 'spin'"},
      {"action 0", "bad action bytes '0'"},
      {"sprite 3\nsprite 4", "line 2: sprites do not nest"},
      {"sprite 3\nshape 1 rect 0 0 1 1 fill 00FF00", "define shapes outside sprites"},
      {"end", "'end' without 'sprite'"},
      {"sprite 3\nframe", "sprite 3 has no 'end'"},
      {"jump 3", "unknown command 'jump'"},
      {"button 2\nstate sideways 1 depth 1", "bad button states"},
      {"button 2\non hover 00", "bad button conditions"},
      {"button 2\non key:300 00", "bad button conditions"},
      {"button 2\nplace 1 depth 1", "unknown button command 'place'"},
      {"button 2", "button 2 has no 'end'"},
      {"field 4 0 0 10 10 italic", "unknown field option 'italic'"},
      {"font 1 A shiny", "unknown font option 'shiny'"},
      {"shape 1 rect 0 0 1 1 fill 00FF00\ntext 2 1 12 000000 hi", "line 2: character 1 is no font"},
      {"font 1 A\ntext 2 1 0 000000 hi", "text size must be above 0"},
      {"font 1 A\nedittext 2 10 10 align middle", "alignment is left, right, center or justify"},
      {"edittext 2 10 10 glow", "unknown field option 'glow'"},
      {"sprite 3\nfont 1 A", "define fonts and texts outside sprites"},
  };
  for (const Case& c : cases) {
    swf::MovieData movie;
    std::string error;
    EXPECT_FALSE(readScene(c.text, movie, error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " gave: " << error;
  }
}

}  // namespace
}  // namespace scene

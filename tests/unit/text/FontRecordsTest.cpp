// Reading fonts and text fields from their tag bodies: DefineFont2's codes and layout,
// DefineFont with DefineFontInfo, DefineFontName and DefineFontAlignZones, DefineEditText's
// fields, and bodies cut short anywhere.
#include <gtest/gtest.h>

#include "../../../player/display/FontGlyphs.h"
#include "../../../player/display/TextRecords.h"
#include "../../../player/scene/SceneFonts.h"
#include "../../../player/swf/SwfRecordWriter.h"
#include "../../../player/swf/TagCodes.h"
#include "../../../player/text/EditTextRecord.h"

namespace {

swf::RawCharacter raw(uint16_t tag, std::vector<uint8_t> body) {
  swf::RawCharacter r;
  r.id = uint16_t(body.at(0) | body.at(1) << 8);
  r.tagCode = tag;
  r.body = std::move(body);
  return r;
}

TEST(FontRecords, DefineFont2GivesCodesAdvancesAndMetrics) {
  const std::optional<display::FontGlyphs> font = display::readFontGlyphs(scene::blockFont(5, "Blocks", true, false, false), 8);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->name, "Blocks");
  EXPECT_TRUE(font->bold);
  EXPECT_FALSE(font->italic);
  ASSERT_EQ(font->glyphs.size(), 95u);
  ASSERT_TRUE(font->glyphFor(u'A'));
  EXPECT_EQ(*font->glyphFor(u'A'), uint32_t('A' - 32));
  EXPECT_FALSE(font->glyphFor(u'\u00e9'));
  EXPECT_TRUE(font->hasLayout);
  EXPECT_EQ(font->ascent, 820);
  EXPECT_EQ(font->descent, 204);
  EXPECT_EQ(font->advances.at(10), 640);
  EXPECT_EQ(font->emSquare, 1024);
  EXPECT_FALSE(font->glyphs[33].empty());  // 'A' has its block
  EXPECT_TRUE(font->glyphs[0].empty());    // the space has none

  const std::optional<display::FontGlyphs> device = display::readFontGlyphs(scene::blockFont(6, "_sans", false, true, true), 8);
  ASSERT_TRUE(device);
  EXPECT_EQ(device->name, "_sans");
  EXPECT_TRUE(device->italic);
  EXPECT_TRUE(device->glyphs.empty());
}

TEST(FontRecords, DefineFontTakesItsCodesAndNameFromItsInfoTags) {
  // DefineFont with two empty glyphs (each only an end record).
  const swf::RawCharacter font = raw(swf::tag::kDefineFont, {7, 0, 4, 0, 6, 0, 0x10, 0x00, 0x10, 0x00});
  std::optional<display::FontGlyphs> glyphs = display::readFontGlyphs(font, 5);
  ASSERT_TRUE(glyphs);
  ASSERT_EQ(glyphs->glyphs.size(), 2u);
  EXPECT_TRUE(glyphs->codes.empty());

  // DefineFontInfo: name "Ab", bold and italic, byte codes 'x' 'y'.
  display::applyFontInfo(*glyphs, raw(swf::tag::kDefineFontInfo, {7, 0, 2, 'A', 'b', 0x06, 'x', 'y'}));
  EXPECT_EQ(glyphs->name, "Ab");
  EXPECT_TRUE(glyphs->bold && glyphs->italic);
  EXPECT_EQ(glyphs->glyphFor(u'y'), 1u);
  // DefineFontInfo2: wide codes always, after a language byte.
  display::applyFontInfo(*glyphs, raw(swf::tag::kDefineFontInfo2, {7, 0, 1, 'C', 0x00, 1, 0x3B, 0x04, 'z', 0}));
  EXPECT_EQ(glyphs->name, "C");
  EXPECT_FALSE(glyphs->bold);
  EXPECT_EQ(glyphs->glyphFor(u'\u043b'), 0u);
  EXPECT_EQ(glyphs->glyphFor(u'z'), 1u);
  display::applyFontInfo(*glyphs, raw(swf::tag::kDefineFontName, {7, 0, 'N', 'm', 0, '(', 'c', ')', 0}));
  EXPECT_EQ(glyphs->fullName, "Nm");
  EXPECT_EQ(glyphs->name, "C");  // text asks for the font by its own name still
  EXPECT_EQ(glyphs->copyright, "(c)");
  // DefineFontAlignZones: thin hint, then per glyph two zones (half floats 1.0 and 0.5) and a mask.
  display::applyFontInfo(*glyphs, raw(swf::tag::kDefineFontAlignZones,
                                      {7, 0, 0x40, 2, 0x00, 0x3C, 0x00, 0x38, 0, 0, 0, 0, 0x03,
                                       2, 0, 0, 0, 0, 0, 0, 0, 0, 0x01}));
  EXPECT_EQ(glyphs->csmHint, 1);
  ASSERT_EQ(glyphs->alignZones.size(), 2u);
  EXPECT_EQ(glyphs->alignZones[0].position[0], 1.0f);
  EXPECT_EQ(glyphs->alignZones[0].range[0], 0.5f);
  EXPECT_TRUE(glyphs->alignZones[0].x && glyphs->alignZones[0].y);
  EXPECT_TRUE(glyphs->alignZones[1].x && !glyphs->alignZones[1].y);
}

scene::EditTextOptions everyField() {
  scene::EditTextOptions o;
  o.id = 9;
  o.width = 2000;
  o.height = 400;
  o.fontId = 3;
  o.size = 300;
  o.color = swf::Rgba{1, 2, 3, 4};
  o.text = "h\xc3\xa9llo";
  o.variable = "_root.v";
  o.html = o.multiline = o.wordWrap = o.password = o.readOnly = o.border = o.noSelect = o.autoSize = o.useOutlines = true;
  o.maxLength = 12;
  o.align = 2;
  o.leftMargin = 20;
  o.rightMargin = 40;
  o.indent = 60;
  o.leading = -20;
  return o;
}

TEST(FontRecords, DefineEditTextGivesEveryField) {
  const std::optional<text::EditTextRecord> r = text::readEditText(scene::editText(everyField()), 8);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->id, 9);
  EXPECT_EQ(r->bounds, (swf::Rect{0, 2000, 0, 400}));
  EXPECT_TRUE(r->html && r->multiline && r->wordWrap && r->password && r->readOnly && r->border && r->noSelect &&
              r->autoSize && r->useOutlines);
  EXPECT_FALSE(r->wasStatic);
  EXPECT_EQ(r->fontId, 3);
  EXPECT_EQ(r->height, 300);
  EXPECT_EQ(r->color, (swf::Rgba{1, 2, 3, 4}));
  EXPECT_EQ(r->maxLength, 12);
  EXPECT_EQ(r->align, text::Align::Center);
  EXPECT_EQ(r->leftMargin, 20);
  EXPECT_EQ(r->rightMargin, 40);
  EXPECT_EQ(r->indent, 60);
  EXPECT_EQ(r->leading, -20);
  EXPECT_EQ(r->variableName, "_root.v");
  EXPECT_EQ(r->initialText, u"h\u00e9llo");
  // Before SWF 6 text is in the system's code page: each byte a character.
  EXPECT_EQ(text::readEditText(scene::editText(everyField()), 5)->initialText, u"h\u00c3\u00a9llo");

  scene::EditTextOptions bare;
  bare.id = 1;
  const std::optional<text::EditTextRecord> plain = text::readEditText(scene::editText(bare), 8);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->fontId, 0);
  EXPECT_FALSE(plain->color || plain->maxLength || plain->align);
  EXPECT_TRUE(plain->initialText.empty());
}

TEST(FontRecords, BodiesCutShortAnywhereReadWithoutHarm) {
  const swf::RawCharacter bodies[] = {scene::editText(everyField()), scene::blockFont(5, "Blocks", false, false, false),
                                      scene::staticText(4, 5, 240, {0, 0, 0, 255}, "Hi")};
  for (const swf::RawCharacter& whole : bodies) {
    for (size_t length = 0; length < whole.body.size(); ++length) {
      swf::RawCharacter cut = whole;
      cut.body.resize(length);
      if (cut.tagCode == swf::tag::kDefineEditText) {
        // A record cut before its variable name is refused; one cut in its text keeps what it has.
        const std::optional<text::EditTextRecord> r = text::readEditText(cut, 8);
        if (r) {
          EXPECT_GE(length, whole.body.size() - 7) << length;
        }
      } else if (cut.tagCode == swf::tag::kDefineText) {
        display::readStaticText(cut);
      } else {
        display::readFontGlyphs(cut, 8);
      }
      display::FontGlyphs font;
      font.glyphs.resize(3);
      display::applyFontInfo(font, {5, swf::tag::kDefineFontAlignZones, cut.body, {}});
      display::applyFontInfo(font, {5, swf::tag::kDefineFontInfo, cut.body, {}});
    }
  }
}

}  // namespace

// Text layout with a font of known widths: lines, wrapping, alignment, justification, margins,
// indent, leading, bullets, tabs, kerning, password and the caret's positions.
#include <gtest/gtest.h>

#include "../../../player/text/TextLayout.h"
#include "FakeFont.h"

using text::kGutter;

namespace {

// 20-pixel text: glyphs 200 twips wide, ascent 320, descent 80.
text::TextFormat format20() {
  text::TextFormat f;
  f.size = 400;
  return f;
}

struct Laid {
  fixture::FakeFonts fonts;
  text::TextLayout layout;
  Laid(std::u16string_view s, double widthTwips, bool wrap, text::TextFormat f = format20(), bool password = false,
       bool movieFont = true) {
    fonts.font.movieFont = movieFont;
    text::StyledText t;
    t.append(s, f);
    layout = text::layoutText(t, {widthTwips, wrap, password}, fonts);
  }
  std::string line(size_t i, std::u16string_view s) const {
    const text::LayoutLine& l = layout.lines.at(i);
    return text::toUtf8(s.substr(l.begin, l.end - l.begin));
  }
};

TEST(TextLayout, WrapsAtBlanksAndBreaksWordsLongerThanTheLine) {
  struct Case {
    const char16_t* text;
    double width;  // twips, gutters included: room for (width - 80) / 200 glyphs
    std::vector<std::string> lines;
  } cases[] = {
      {u"aaa bbb ccc", 80 + 200 * 6, {"aaa ", "bbb ", "ccc"}},
      {u"aaa bbb ccc", 80 + 200 * 8, {"aaa bbb ", "ccc"}},  // the blank that overflows stays on its line
      {u"abcdefghij", 80 + 200 * 4, {"abcd", "efgh", "ij"}},
      {u"ab\rcd\r", 80 + 200 * 10, {"ab", "cd", ""}},       // paragraphs, an empty last one
      {u"", 1000, {""}},
  };
  for (const Case& c : cases) {
    Laid l(c.text, c.width, true);
    std::vector<std::string> got;
    for (size_t i = 0; i < l.layout.lines.size(); ++i) got.push_back(l.line(i, c.text));
    EXPECT_EQ(got, c.lines) << text::toUtf8(c.text);
  }
  Laid unwrapped(u"aaa bbb ccc", 80 + 200 * 4, false);
  EXPECT_EQ(unwrapped.layout.lines.size(), 1u);
  EXPECT_EQ(unwrapped.layout.textWidth, 200 * 11 - 0);
}

TEST(TextLayout, LinesStackByAscentDescentAndLeadingFromTheGutter) {
  text::TextFormat f = format20();
  f.leading = 100;
  Laid l(u"a\rb", 2000, false, f);
  ASSERT_EQ(l.layout.lines.size(), 2u);
  EXPECT_EQ(l.layout.lines[0].top, kGutter);
  EXPECT_EQ(l.layout.lines[0].baseline(), kGutter + 320);
  EXPECT_EQ(l.layout.lines[1].top, kGutter + 320 + 80 + 100);
  EXPECT_EQ(l.layout.textHeight, 2 * 400 + 100);
  EXPECT_EQ(l.layout.lines[0].glyphs[0].x, kGutter);
}

TEST(TextLayout, AlignmentMarginsAndBlockIndentPlaceEveryLine) {
  struct Case {
    text::Align align;
    double left, right, blockIndent;
    double firstX, secondX;  // "abc " and "de", wrapped in 800 twips
  } cases[] = {
      {text::Align::Left, 0, 0, 0, kGutter, kGutter},
      {text::Align::Right, 0, 0, 0, kGutter + 200, kGutter + 400},  // trailing blanks do not count
      {text::Align::Center, 0, 0, 0, kGutter + 100, kGutter + 200},
      {text::Align::Right, 0, 100, 0, kGutter + 100, kGutter + 300},
      {text::Align::Left, 100, 0, 50, kGutter + 150, kGutter + 150},
  };
  for (const Case& c : cases) {
    text::TextFormat f = format20();
    f.align = c.align;
    f.leftMargin = c.left;
    f.rightMargin = c.right;
    f.blockIndent = c.blockIndent;
    Laid l(u"abc de", 80 + 800, true, f);
    ASSERT_EQ(l.layout.lines.size(), 2u);
    EXPECT_EQ(l.layout.lines[0].glyphs[0].x, c.firstX) << int(c.align) << " " << c.left << " " << c.right;
    EXPECT_EQ(l.layout.lines[1].glyphs[0].x, c.secondX) << int(c.align) << " " << c.left << " " << c.right;
  }
}

TEST(TextLayout, IndentMovesEachParagraphsFirstLineOnly) {
  text::TextFormat f = format20();
  f.leftMargin = 100;
  f.indent = 300;
  Laid l(u"aaaa bbbb\rcc", 80 + 1400, true, f);
  ASSERT_EQ(l.layout.lines.size(), 3u);
  EXPECT_EQ(l.line(0, u"aaaa bbbb\rcc"), "aaaa ");
  EXPECT_EQ(l.layout.lines[0].glyphs[0].x, kGutter + 400);
  EXPECT_EQ(l.layout.lines[1].glyphs[0].x, kGutter + 100);
  EXPECT_EQ(l.layout.lines[2].glyphs[0].x, kGutter + 400);
}

TEST(TextLayout, PasswordShowsAsterisksAndMissingGlyphsTakeNoRoom) {
  Laid hidden(u"secret", 4000, false, format20(), true);
  EXPECT_EQ(hidden.fonts.font.asked, std::set<char16_t>{u'*'});
  ASSERT_EQ(hidden.layout.lines[0].glyphs.size(), 6u);
  EXPECT_EQ(hidden.layout.lines[0].glyphs[3].glyph, uint32_t('*'));

  Laid missing(u"a~b", 4000, false);
  const auto& g = missing.layout.lines[0].glyphs;
  EXPECT_EQ(g[1].font, nullptr);
  EXPECT_EQ(g[2].x, g[0].x + 200);
}

TEST(TextLayout, CaretPositionsAndHitsFollowTheGlyphs) {
  Laid l(u"abcd efgh", 80 + 200 * 6, true);  // "abcd " / "efgh"
  const text::TextLayout& layout = l.layout;
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(text::lineOf(layout, 0), 0u);
  EXPECT_EQ(text::lineOf(layout, 5), 1u);
  EXPECT_EQ(text::caretX(layout, 2), kGutter + 400);
  EXPECT_EQ(text::caretX(layout, 9), kGutter + 800);  // after the last glyph
  EXPECT_EQ(text::indexAt(layout, kGutter + 290, kGutter + 10), 1u);  // nearer the boundary after 'a'
  EXPECT_EQ(text::indexAt(layout, kGutter + 310, kGutter + 10), 2u);
  EXPECT_EQ(text::indexAt(layout, kGutter + 10, kGutter + 500), 5u);  // second line
  EXPECT_EQ(text::indexAt(layout, 99999, 99999), 9u);                 // past everything: the end
  EXPECT_EQ(text::indexAt(layout, -99, -99), 0u);
}

}  // namespace

TEST(TextLayout, JustifySpreadsWrappedLinesOverTheirGapsButNotAParagraphsLast) {
  text::TextFormat f = format20();
  f.align = text::Align::Justify;
  // "ab c d " / "ef": the first line reaches 1200 of 1400 twips, leaving 100 for each gap.
  Laid l(u"ab c d ef", 80 + 1400, true, f);
  ASSERT_EQ(l.layout.lines.size(), 2u);
  std::vector<double> xs;
  for (const text::PlacedGlyph& g : l.layout.lines[0].glyphs) xs.push_back(g.x - kGutter);
  EXPECT_EQ(xs, (std::vector<double>{0, 200, 400, 600 + 100, 800 + 100, 1000 + 200, 1200 + 200}));
  EXPECT_EQ(l.layout.lines[1].glyphs[0].x, kGutter) << "the paragraph's last line stays left";
  Laid single(u"ab cd", 80 + 1800, true, f);
  EXPECT_EQ(single.layout.lines[0].glyphs[3].x, kGutter + 600);
}

TEST(TextLayout, ListItemsIndentTheirTextAndDrawABulletOnTheirFirstLine) {
  text::TextFormat f = format20();
  f.bullet = true;
  f.align = text::Align::Center;  // list items stay left
  f.leftMargin = 100;
  // The margin and 720 twips of indent leave room for 4 glyphs of the 1700.
  Laid l(u"abcdefg", 80 + 1700, true, f);
  ASSERT_EQ(l.layout.lines.size(), 2u);
  EXPECT_EQ(l.layout.lines[0].glyphs[0].x, kGutter + 100 + 720);
  EXPECT_EQ(l.layout.lines[1].glyphs[0].x, kGutter + 100 + 720);
  EXPECT_EQ(l.layout.lines[0].glyphs.size(), 4u);
  ASSERT_TRUE(l.layout.lines[0].bullet);
  EXPECT_EQ(l.layout.lines[0].bullet->glyph, 0x2022u);
  EXPECT_EQ(l.layout.lines[0].bullet->x, kGutter + 100 + 360);
  EXPECT_FALSE(l.layout.lines[1].bullet);
}

TEST(TextLayout, TabsGoToTheNextStop) {
  struct Case {
    const char16_t* text;
    std::vector<double> stops;
    double lastX;  // of the last glyph, from the gutter
  } cases[] = {
      {u"a\tb", {}, 1080},              // every 2.7 ems: 1080 twips at 20 pixels
      {u"aaaaaa\tb", {}, 2160},         // past the first default stop, to the second
      {u"a\tb", {500, 1000}, 500},      // the first stop past the tab
      {u"aaa\tb", {500, 1000}, 1000},   // 600 is past 500
      {u"aaaaaa\tb", {500, 1000}, 1200}, // no stop left: the tab takes no room
  };
  for (const Case& c : cases) {
    text::TextFormat f = format20();
    f.tabStops = c.stops;
    Laid l(c.text, 8000, false, f);
    EXPECT_EQ(l.layout.lines[0].glyphs.back().x - kGutter, c.lastX) << text::toUtf8(c.text);
  }
}

TEST(TextLayout, KerningAppliesToAMoviesFontsWhenTheFormatAsksForIt) {
  text::TextFormat kerned = format20();
  kerned.kerning = true;
  EXPECT_EQ(Laid(u"AVA", 8000, false, kerned).layout.lines[0].glyphs[1].x, kGutter + 100);
  EXPECT_EQ(Laid(u"AVA", 8000, false).layout.lines[0].glyphs[1].x, kGutter + 200) << "the format's kerning off";
  EXPECT_EQ(Laid(u"AVA", 8000, false, kerned, false, false).layout.lines[0].glyphs[1].x, kGutter + 200)
      << "a system font";
}

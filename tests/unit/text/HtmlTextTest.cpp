// The HTML subset text fields read: the text it gives, the formats of its runs, and the HTML a
// field gives back.
#include <gtest/gtest.h>

#include "../../../player/text/HtmlText.h"

using text::parseHtml;
using text::toUtf8;

namespace {

std::string plain(const char16_t* html) { return toUtf8(parseHtml(html, {}).text); }

TEST(HtmlText, TextOfParagraphsBreaksEntitiesAndUnknownTags) {
  struct Case {
    const char16_t* html;
    const char* text;
  } cases[] = {
      {u"<p>a</p><p>b</p>", "a\rb"},                  // no break after the last paragraph
      {u"<P ALIGN=\"LEFT\">a</P>", "a"},              // tags in any case
      {u"a<br>b<br/>c", "a\rb\rc"},
      {u"<br/><br/>x", "\r\rx"},
      {u"<p>a</p><br>b", "a\r\rb"},
      {u"<li>one</li><li>two</li>", "one\rtwo"},
      {u"&lt;&gt;&amp;&quot;&apos;&#65;&#x42;", "<>&\"'AB"},
      {u"&bogus; & x", "&bogus; & x"},                // what is no entity stays as written
      {u"<blink>kept</blink> text", "kept text"},
      {u"</b>close first", "close first"},
      {u"line\none\r\ntwo", "line\rone\rtwo"},
      {u"cut <b", "cut "},                           // an unterminated tag ends the text
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(plain(c.html), c.text) << toUtf8(c.html);
}

TEST(HtmlText, TagsGiveTheirFormatToWhatTheyHoldAndNoFurther) {
  text::TextFormat base;
  base.size = 240;
  const text::StyledText t = parseHtml(
      u"<font face='Arial' size='20' color='#FF8000'>a<b>b<i>c</i></b><font size='+2'>d</font></font>e"
      u"<u><a href='http://x/' target='_blank'>f</a></u>",
      base);
  ASSERT_EQ(toUtf8(t.text), "abcdef");
  const text::TextFormat& a = t.formatAt(0);
  EXPECT_EQ(a.font, "Arial");
  EXPECT_EQ(a.size, 400);
  EXPECT_EQ(a.color, (swf::Rgba{255, 128, 0, 255}));
  EXPECT_FALSE(a.bold);
  EXPECT_TRUE(t.formatAt(1).bold);
  EXPECT_FALSE(t.formatAt(1).italic);
  EXPECT_TRUE(t.formatAt(2).bold && t.formatAt(2).italic);
  EXPECT_EQ(t.formatAt(3).size, 440);  // relative sizes are points added
  EXPECT_EQ(t.formatAt(4), base);
  EXPECT_TRUE(t.formatAt(5).underline);
  EXPECT_EQ(t.formatAt(5).url, "http://x/");
  EXPECT_EQ(t.formatAt(5).target, "_blank");
}

TEST(HtmlText, ParagraphFormatsComeFromPLiAndTextformat) {
  const text::StyledText t = parseHtml(
      u"<p align='center'>c</p><textformat leftmargin='5' rightmargin='6' indent='7' blockindent='8' leading='9'>"
      u"<p align='right'>r</p></textformat><li>bullet</li><textformat tabstops='10, x,25.5'><p>t</p></textformat>",
      {});
  ASSERT_EQ(toUtf8(t.text), "c\rr\rbullet\rt");
  EXPECT_EQ(t.formatAt(11).tabStops, (std::vector<double>{200, 510})) << "pixels to twips, malformed ones left out";
  EXPECT_TRUE(t.formatAt(2).tabStops.empty());
  EXPECT_EQ(t.formatAt(0).align, text::Align::Center);
  const text::TextFormat& r = t.formatAt(2);
  EXPECT_EQ(r.align, text::Align::Right);
  EXPECT_EQ(r.leftMargin, 100);
  EXPECT_EQ(r.rightMargin, 120);
  EXPECT_EQ(r.indent, 140);
  EXPECT_EQ(r.blockIndent, 160);
  EXPECT_EQ(r.leading, 180);
  EXPECT_TRUE(t.formatAt(4).bullet);
  EXPECT_FALSE(t.formatAt(0).bullet);
}

TEST(HtmlText, WrittenBackInThePlayersFormAndReadAgainUnchanged) {
  text::TextFormat base;
  base.font = "Times New Roman";
  const text::StyledText t = parseHtml(
      u"<p align='center'>a &amp; <b>b</b></p><p><font color='#0000FF'>c</font><font kerning='1'>k</font></p>", base);
  EXPECT_TRUE(t.formatAt(t.text.size() - 1).kerning);
  const std::u16string html = text::toHtml(t);
  const std::string prefix =
      "<P ALIGN=\"CENTER\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
      "KERNING=\"0\">a &amp; <B>b</B></FONT></P>";
  EXPECT_EQ(toUtf8(html).substr(0, prefix.size()), prefix);
  EXPECT_NE(toUtf8(html).find("KERNING=\"1\">k</FONT>"), std::string::npos);
  const text::StyledText again = parseHtml(html, base);
  EXPECT_EQ(again.text, t.text);
  for (size_t i = 0; i < t.text.size(); ++i) EXPECT_EQ(again.formatAt(i), t.formatAt(i)) << i;
}

}  // namespace

// Texts drawn through the display list: static text at any matrix, text fields with embedded
// and device fonts, their border, scrolling, clearing and password; movies made from scene texts.
#include <gtest/gtest.h>

#include "../../../player/display/EditTextObject.h"
#include "../../../player/display/MoviePlayer.h"
#include "../../../player/render/SoftwareRenderer.h"
#include "../../../player/scene/SceneText.h"
#include "../../../player/text/TrueTypeFonts.h"

namespace {

struct Stage {
  display::MoviePlayer player;
  render::SoftwareRenderer renderer;

  static std::shared_ptr<const swf::MovieData> movie(const std::string& sceneText) {
    auto data = std::make_shared<swf::MovieData>();
    data->version = 8;
    data->frameRect = {0, 200 * 20, 0, 100 * 20};
    data->background = swf::Rgba{255, 255, 255, 255};
    std::string error;
    EXPECT_TRUE(scene::readScene(sceneText, *data, error)) << error;
    return data;
  }
  explicit Stage(const std::string& sceneText) : player(movie(sceneText)) {
    player.library().setDeviceFonts(std::make_shared<text::TrueTypeFonts>());
    player.advance();
  }
  display::EditTextObject& field(int depth) {
    auto* f = dynamic_cast<display::EditTextObject*>(player.root().childAt(depth));
    EXPECT_NE(f, nullptr);
    return *f;
  }
  // Pixels darker than mid-grey in the stage rectangle x0..x1, y0..y1 (pixels, ends excluded).
  int dark(int x0, int y0, int x1, int y1) {
    player.renderStage(renderer, 1);
    const render::Frame& frame = renderer.frame();
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const render::Pixel p = render::unpackPixel(frame.pixels[size_t(y) * frame.width + size_t(x)]);
        count += p.r + p.g + p.b < 3 * 128;
      }
    return count;
  }
};

TEST(TextRender, StaticTextDrawsItsGlyphsWhereItsMatrixPutsThem) {
  Stage plain("font 1 Blocks\ntext 2 1 20 000000 \"HHHH\"\nplace 2 depth 1 at 10 10\n");
  EXPECT_GT(plain.dark(10, 10, 60, 30), 150);  // four blocks about 8 x 14 pixels
  EXPECT_EQ(plain.dark(60, 0, 200, 100), 0);
  EXPECT_EQ(plain.dark(0, 30, 200, 100), 0);

  // Turned a quarter to the right about its origin, the row of blocks runs downwards.
  Stage turned("font 1 Blocks\ntext 2 1 20 000000 \"HHHH\"\nplace 2 depth 1 at 100 10 rotate 90\n");
  EXPECT_GT(turned.dark(80, 10, 100, 60), 150);
  EXPECT_EQ(turned.dark(100, 0, 200, 100), 0);
  EXPECT_EQ(turned.dark(0, 60, 200, 100), 0);
}

TEST(TextRender, FieldsDrawTheirTextInsideTheirBoxAndNothingOnceCleared) {
  Stage s("font 1 _sans device\nfont 2 Blocks\n"
          "edittext 3 150 30 font 1 size 16 text \"Device text\" var v\n"
          "edittext 4 150 30 font 2 size 16 text \"Embedded\" outlines\n"
          "place 3 depth 1 at 10 10\nplace 4 depth 2 at 10 50\n");
  EXPECT_GT(s.dark(10, 10, 160, 40), 50);
  EXPECT_GT(s.dark(10, 50, 160, 80), 150);
  EXPECT_EQ(s.dark(0, 80, 200, 100), 0);
  s.field(1).state().setText(u"");
  s.field(2).state().setText(u"");
  EXPECT_EQ(s.dark(0, 0, 200, 100), 0);
}

TEST(TextRender, BorderAndBackgroundFrameTheFieldAtAnyScale) {
  Stage s("edittext 1 100 40 border\nplace 1 depth 1 at 10 10\n");
  EXPECT_EQ(s.dark(10, 10, 111, 11), 101);  // the top row, and the pixel just past the box
  EXPECT_EQ(s.dark(11, 11, 110, 50), 0);    // white inside
  Stage scaled("edittext 1 50 20 border\nplace 1 depth 1 at 10 10 scale 2\n");
  EXPECT_EQ(scaled.dark(10, 10, 111, 11), 101);  // still one pixel wide
  EXPECT_EQ(scaled.dark(10, 11, 111, 12), 2);
}

TEST(TextRender, ScrolledFieldsShowLaterLinesAndClipTheRest) {
  Stage s("font 1 Blocks\nedittext 2 100 24 font 1 size 16 multiline outlines text \"AAAA\\rBBBB\\rCCCC\"\n"
          "place 2 depth 1 at 10 10\n");
  const int firstLine = s.dark(10, 10, 110, 28);
  EXPECT_GT(firstLine, 100);
  EXPECT_EQ(s.dark(0, 34, 200, 100), 0);  // the lines below the box are clipped
  display::EditTextObject& f = s.field(1);
  EXPECT_EQ(f.state().maxScroll(), 3);
  f.state().setScroll(3);
  EXPECT_EQ(s.dark(10, 10, 110, 28), firstLine);  // a line of blocks as before, now the third
  EXPECT_EQ(s.dark(10, 28, 110, 34), 0);          // and no line after it
  EXPECT_EQ(s.dark(0, 34, 200, 100), 0);
}

TEST(TextRender, PasswordFieldsDrawAsterisksNotTheirText) {
  Stage plain("font 1 Blocks\nedittext 2 150 30 font 1 size 16 outlines text \"HHHH\"\nplace 2 depth 1 at 10 10\n");
  Stage hidden("font 1 Blocks\nedittext 2 150 30 font 1 size 16 outlines password text \"HHHH\"\nplace 2 depth 1 at 10 10\n");
  // The block font draws '*' as a short block: less ink than four capitals.
  EXPECT_GT(hidden.dark(10, 10, 160, 40), 0);
  EXPECT_LT(hidden.dark(10, 10, 160, 40), plain.dark(10, 10, 160, 40) / 2);
  EXPECT_EQ(text::toUtf8(hidden.field(1).state().text()), "HHHH");
}

TEST(TextRender, DeviceFontsMapGenericNamesToFamilies) {
  text::TrueTypeFonts fonts;
  const text::LayoutFont* sans = fonts.font("_sans", false, false);
  const text::LayoutFont* serif = fonts.font("Times New Roman", false, false);
  const text::LayoutFont* mono = fonts.font("_typewriter", false, false);
  const text::LayoutFont* bold = fonts.font("_sans", true, false);
  ASSERT_TRUE(sans && serif && mono && bold);
  EXPECT_NE(sans, serif);
  EXPECT_NE(sans, bold);
  EXPECT_EQ(fonts.font("Unknown Face", false, false), sans);
  const auto width = [](const text::LayoutFont* f, char16_t c) { return f->advance(*f->glyphFor(c)); };
  EXPECT_EQ(width(mono, u'i'), width(mono, u'W'));
  EXPECT_LT(width(sans, u'i'), width(sans, u'W'));
  EXPECT_NE(sans->glyphShape(*sans->glyphFor(u'A')), nullptr);
  EXPECT_EQ(sans->glyphShape(*sans->glyphFor(u' ')), nullptr);

  text::TrueTypeFonts none("/nonexistent");
  EXPECT_EQ(none.font("_sans", false, false), nullptr);
}

}  // namespace

// A text field's state: typing with its limits, the variable it tells, HTML fields, scrolling
// and auto-size, over the layout tests' font.
#include <gtest/gtest.h>

#include "../../../player/text/EditTextState.h"
#include "FakeFont.h"

namespace {

// A field 20 glyphs wide and two 20-pixel lines high (each line 400 twips).
text::EditTextRecord field() {
  text::EditTextRecord r;
  r.bounds = {0, 80 + 200 * 20, 0, 80 + 800};
  r.height = 400;
  r.variableName = "form.name";
  return r;
}

struct Field {
  fixture::FakeFonts fonts;
  text::EditTextState state;
  std::vector<std::pair<std::string, std::string>> told;
  explicit Field(const text::EditTextRecord& r) : state(r, text::formatOf(r), fonts) {
    state.setVariableListener([this](const std::string& n, const std::u16string& v) { told.push_back({n, text::toUtf8(v)}); });
  }
  std::string text() const { return text::toUtf8(state.text()); }
};

TEST(EditTextState, TypingReplacesTheSelectionAndTellsTheVariable) {
  text::EditTextRecord r = field();
  r.initialText = u"hello world";
  Field f(r);
  EXPECT_EQ(f.state.caret(), 11u);  // text set by the movie puts the caret at the end
  f.state.setSelection(0, 5);
  EXPECT_EQ(text::toUtf8(f.state.selectedText()), "hello");
  EXPECT_TRUE(f.state.replaceSelection(u"bye"));
  EXPECT_EQ(f.text(), "bye world");
  EXPECT_EQ(f.state.caret(), 3u);
  EXPECT_TRUE(f.state.erase(false));
  EXPECT_TRUE(f.state.erase(true));
  EXPECT_EQ(f.text(), "byworld");
  f.state.setSelection(0, 0);
  EXPECT_FALSE(f.state.erase(false));  // nothing before the caret
  f.state.setText(u"set by script");   // the one who sets the text knows: nobody is told
  EXPECT_EQ(f.told, (std::vector<std::pair<std::string, std::string>>{
                        {"form.name", "bye world"}, {"form.name", "by world"}, {"form.name", "byworld"}}));
}

TEST(EditTextState, LimitsOfReadOnlyMaximumLengthAndSingleLineFields) {
  text::EditTextRecord r = field();
  r.readOnly = true;
  Field readOnly(r);
  EXPECT_FALSE(readOnly.state.replaceSelection(u"x"));
  EXPECT_EQ(readOnly.text(), "");

  r = field();
  r.maxLength = 5;
  r.initialText = u"abc";
  Field limited(r);
  limited.state.replaceSelection(u"defgh");
  EXPECT_EQ(limited.text(), "abcde");
  EXPECT_FALSE(limited.state.replaceSelection(u"x"));
  limited.state.setSelection(0, 2);  // replacing makes room for what it replaces
  limited.state.replaceSelection(u"xyz");
  EXPECT_EQ(limited.text(), "xycde");

  r = field();
  Field single(r);
  single.state.replaceSelection(u"a\rb\nc");
  EXPECT_EQ(single.text(), "abc");
  r.multiline = true;
  Field multi(r);
  multi.state.replaceSelection(u"a\rb\r\nc");
  EXPECT_EQ(multi.text(), "a\rb\rc");
}

TEST(EditTextState, HtmlFieldsReadTheirTextAsHtmlAndGiveHtmlToTheVariable) {
  text::EditTextRecord r = field();
  r.html = true;
  r.initialText = u"<p>one</p><p><b>two</b></p>";
  Field f(r);
  EXPECT_EQ(f.text(), "one\rtwo");
  EXPECT_TRUE(f.state.styledText().formatAt(4).bold);
  f.state.setSelection(3, 3);
  f.state.replaceSelection(u"!");
  ASSERT_EQ(f.told.size(), 1u);
  EXPECT_EQ(f.told[0].second.substr(0, 17), "<P ALIGN=\"LEFT\"><");
  EXPECT_NE(f.told[0].second.find("one!"), std::string::npos);
  EXPECT_NE(f.told[0].second.find("<B>two</B>"), std::string::npos);
}

TEST(EditTextState, ScrollCountsLinesAndFollowsTheCaret) {
  text::EditTextRecord r = field();
  r.multiline = true;
  r.initialText = u"1\r2\r3\r4\r5";
  Field f(r);
  // Two lines fit: the top line can be 1 to 4.
  EXPECT_EQ(f.state.maxScroll(), 4);
  EXPECT_EQ(f.state.scroll(), 1);
  EXPECT_EQ(f.state.bottomScroll(), 2);
  f.state.setScroll(9);
  EXPECT_EQ(f.state.scroll(), 4);
  EXPECT_EQ(f.state.bottomScroll(), 5);
  f.state.setSelection(0, 0);
  f.state.replaceSelection(u"0");  // typing on line 1 scrolls it into view
  EXPECT_EQ(f.state.scroll(), 1);
  f.state.setText(u"short");
  EXPECT_EQ(f.state.maxScroll(), 1);
  EXPECT_EQ(f.state.scroll(), 1);
}

TEST(EditTextState, AutoSizeGrowsTheBoundsToTheText) {
  text::EditTextRecord r = field();
  r.autoSize = true;
  r.multiline = true;
  r.bounds = {100, 200, 100, 200};
  r.initialText = u"abc\rd";
  Field f(r);
  EXPECT_EQ(f.state.bounds(), (swf::Rect{100, 100 + 80 + 600, 100, 100 + 80 + 800}));
  r.wordWrap = true;  // wrapping keeps the width and grows only downwards
  Field wrapped(r);
  EXPECT_EQ(wrapped.state.bounds().xMax, 200);
  EXPECT_GT(wrapped.state.bounds().yMax, 200);
}

}  // namespace

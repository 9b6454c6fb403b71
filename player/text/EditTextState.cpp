// A text field's text, caret, selection, scrolling and variable.
#include "EditTextState.h"

#include <algorithm>

#include "HtmlText.h"

namespace text {

TextFormat formatOf(const EditTextRecord& record) {
  TextFormat f;
  f.size = record.height;
  if (record.color) f.color = *record.color;
  if (record.align) f.align = *record.align;
  f.leftMargin = record.leftMargin;
  f.rightMargin = record.rightMargin;
  f.indent = record.indent;
  f.leading = record.leading;
  return f;
}

EditTextState::EditTextState(const EditTextRecord& record, TextFormat format, FontResolver& fonts)
    : record_(record), fonts_(fonts), defaultFormat_(std::move(format)), bounds_(record.bounds) {
  look.background = look.border = record.border;
  if (record.autoSize) look.autoSize = "left";
  setFromVariable(record.initialText);
}

void EditTextState::setText(std::u16string_view text) {
  styled_ = {};
  std::u16string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain.push_back(text[i] == '\n' ? u'\r' : text[i]);
  }
  styled_.append(plain, defaultFormat_);
  if (styled_.runs.empty()) styled_.runs.push_back({0, defaultFormat_});
  caret_ = anchor_ = styled_.text.size();
  changed();
}

std::u16string EditTextState::htmlText() const { return toHtml(styled_); }

void EditTextState::setHtmlText(std::u16string_view html) {
  styled_ = parseHtml(html, defaultFormat_);
  if (styled_.runs.empty()) styled_.runs.push_back({0, defaultFormat_});
  caret_ = anchor_ = styled_.text.size();
  changed();
}

void EditTextState::setSelection(size_t anchor, size_t caret) {
  anchor_ = std::min(anchor, styled_.text.size());
  caret_ = std::min(caret, styled_.text.size());
}

std::u16string EditTextState::selectedText() const {
  return styled_.text.substr(selectionBegin(), selectionEnd() - selectionBegin());
}

bool EditTextState::replaceSelection(std::u16string_view typed) {
  if (!editable()) return false;
  std::u16string insert;
  for (size_t i = 0; i < typed.size(); ++i) {
    char16_t c = typed[i];
    if (c == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') continue;  // one break, as pasted from Windows
    if (c == '\n' || c == '\r') {
      if (!multiline()) continue;
      c = u'\r';
    }
    insert.push_back(c);
  }
  const size_t begin = selectionBegin(), end = selectionEnd();
  if (record_.maxLength) {
    const size_t kept = styled_.text.size() - (end - begin);
    const size_t room = *record_.maxLength > kept ? *record_.maxLength - kept : 0;
    if (insert.size() > room) insert.resize(room);
  }
  if (insert.empty() && begin == end) return false;
  // The typed text takes the format where it goes in; later runs move with the text after it.
  const TextFormat format = styled_.formatAt(begin > 0 ? begin - 1 : 0);
  StyledText next;
  auto copy = [&](size_t from, size_t to) {
    for (size_t i = from; i < to;) {
      size_t stop = to;
      for (const FormatRun& run : styled_.runs)
        if (run.start > i && run.start < stop) stop = run.start;
      next.append(std::u16string_view(styled_.text).substr(i, stop - i), styled_.formatAt(i));
      i = stop;
    }
  };
  copy(0, begin);
  next.append(insert, format);
  copy(end, styled_.text.size());
  if (next.runs.empty()) next.runs.push_back({0, format});
  styled_ = std::move(next);
  caret_ = anchor_ = begin + insert.size();
  changed();
  scrollToCaret();
  notifyVariable();
  return true;
}

bool EditTextState::erase(bool forward) {
  if (!editable()) return false;
  if (anchor_ == caret_) {
    if (forward ? caret_ >= styled_.text.size() : caret_ == 0) return false;
    if (forward) ++caret_;
    else --caret_;
  }
  return replaceSelection(u"");
}

const TextLayout& EditTextState::layout() {
  if (!layoutValid_) {
    LayoutOptions options;
    options.width = double(bounds_.xMax) - bounds_.xMin;
    options.wordWrap = record_.wordWrap;
    options.password = record_.password;
    layout_ = layoutText(styled_, options, fonts_);
    layoutValid_ = true;
  }
  return layout_;
}

swf::Rect EditTextState::bounds() {
  if (!record_.autoSize) return bounds_;
  const TextLayout& l = layout();
  swf::Rect grown = bounds_;
  if (!record_.wordWrap) grown.xMax = grown.xMin + int32_t(l.textWidth + 2 * kGutter + 0.5);
  grown.yMax = grown.yMin + int32_t(l.textHeight + 2 * kGutter + 0.5);
  return grown;
}

void EditTextState::setBounds(const swf::Rect& bounds) {
  bounds_ = bounds;
  changed();
}

void EditTextState::changed() {
  layoutValid_ = false;
  setScroll(scroll_);
}

void EditTextState::notifyVariable() {
  if (listener_ && !variableName().empty()) listener_(variableName(), variableValue());
}

namespace {
// Whether `line` shows wholly when the field scrolls to `first` (0-based).
bool fits(const TextLayout& l, size_t first, size_t line, double height) {
  const double offset = l.lines[first].top - kGutter;
  return l.lines[line].bottom() - offset <= height - kGutter + 0.5;
}
}  // namespace

int EditTextState::maxScroll() {
  const TextLayout& l = layout();
  const double height = double(bounds().yMax) - bounds().yMin;
  size_t first = 0;
  while (first + 1 < l.lines.size() && !fits(l, first, l.lines.size() - 1, height)) ++first;
  return int(first) + 1;
}

int EditTextState::bottomScroll() {
  const TextLayout& l = layout();
  const double height = double(bounds().yMax) - bounds().yMin;
  const size_t first = size_t(scroll_ - 1);
  size_t last = first;
  while (last + 1 < l.lines.size() && fits(l, first, last + 1, height)) ++last;
  return int(last) + 1;
}

void EditTextState::setScroll(int line) { scroll_ = std::clamp(line, 1, maxScroll()); }

void EditTextState::scrollToCaret() {
  const int caretLine = int(lineOf(layout(), caret_)) + 1;
  if (caretLine < scroll_) setScroll(caretLine);
  while (caretLine > bottomScroll() && scroll_ < maxScroll()) setScroll(scroll_ + 1);
}

}  // namespace text

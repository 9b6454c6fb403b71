// What a text field holds and does apart from drawing: its text and formats, the caret and
// selection, scrolling, auto-size and the variable it is bound to. Input (keys, the mouse,
// the clipboard) and ActionScript act on a field through this class.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "EditTextRecord.h"
#include "TextLayout.h"

namespace text {

// The default format a field's record gives: its height, colour, alignment, margins, indent
// and leading; the font stays the default face until the caller names the font.
TextFormat formatOf(const EditTextRecord& record);

class EditTextState {
 public:
  // `fonts` must outlive the state; the record gives flags, bounds and the initial text, and
  // `format` the text's default format (formatOf, with the font's name where it has one).
  EditTextState(const EditTextRecord& record, TextFormat format, FontResolver& fonts);

  const EditTextRecord& record() const { return record_; }
  bool editable() const { return !record_.readOnly; }
  bool selectable() const { return !record_.noSelect; }
  bool multiline() const { return record_.multiline; }
  bool password() const { return record_.password; }
  bool html() const { return record_.html; }
  const TextFormat& defaultFormat() const { return defaultFormat_; }

  // The text, paragraphs ended by '\r'. Setting it keeps the default format (plain) or reads
  // it as HTML; both put the caret at the end and leave the scroll position in range. Neither
  // tells the variable: the one that set the text knows.
  const std::u16string& text() const { return styled_.text; }
  const StyledText& styledText() const { return styled_; }
  void setText(std::u16string_view text);
  std::u16string htmlText() const;
  void setHtmlText(std::u16string_view html);
  // What ActionScript reads from the bound variable: the HTML in an HTML field, else the text.
  std::u16string variableValue() const { return html() ? htmlText() : text(); }
  void setFromVariable(std::u16string_view value) { html() ? setHtmlText(value) : setText(value); }

  // The variable binding: the name as the movie gives it (a path such as "form.name" or
  // "/clip:name"), and who hears of text the user changed (typed, pasted, cut).
  const std::string& variableName() const { return record_.variableName; }
  using VariableListener = std::function<void(const std::string& name, const std::u16string& value)>;
  void setVariableListener(VariableListener listener) { listener_ = std::move(listener); }

  // Caret and selection, as text indices: the selection runs from the anchor to the caret.
  size_t caret() const { return caret_; }
  size_t anchor() const { return anchor_; }
  size_t selectionBegin() const { return std::min(anchor_, caret_); }
  size_t selectionEnd() const { return std::max(anchor_, caret_); }
  void setSelection(size_t anchor, size_t caret);  // clamped to the text
  std::u16string selectedText() const;

  // Typing: replaces the selection with `typed` (a line break only in a multiline field; cut
  // to the maximum length), leaves the caret after it, scrolls it into view and tells the
  // variable. Nothing happens in a read-only field. False when nothing changed.
  bool replaceSelection(std::u16string_view typed);
  // Backspace (`forward` false) and Delete: the selection, or one unit beside the caret.
  bool erase(bool forward);

  // The layout of the current text in the current bounds, made again after any change.
  const TextLayout& layout();
  // The field's bounds in its own twips; auto-size grows them (from the left) to the text.
  swf::Rect bounds();
  void setBounds(const swf::Rect& bounds);

  // Scrolling, in lines counted from 1 as ActionScript's scroll and maxscroll are.
  int scroll() const { return scroll_; }
  void setScroll(int line);  // clamped to 1..maxScroll
  int maxScroll();
  int bottomScroll();  // the last line wholly shown
  void scrollToCaret();

  // What scripts change after the field was made (EditTextScripting.cpp): its flags (the
  // layout is made again), its default format, and the text or formats of a range.
  EditTextRecord& scriptRecord();
  void setDefaultFormat(const TextFormat& format) { defaultFormat_ = format; }
  // Replaces [begin, end) with `text` in the format at `begin` (the default format when the
  // field is empty); the caret goes after it. Tells nobody.
  void replaceRange(size_t begin, size_t end, std::u16string_view text);
  // Changes the format of every index in [begin, end).
  void formatRange(size_t begin, size_t end, const std::function<void(TextFormat&)>& change);
  // What only scripts set: background and border apart (the record's border flag shows
  // both) and their colours, the auto-size mode, the characters input may type.
  struct Look {
    bool background = false, border = false;
    swf::Rgba backgroundColor{255, 255, 255, 255}, borderColor{0, 0, 0, 255};
    std::string autoSize = "none";  // "none", "left", "center" or "right"
    std::optional<std::string> restrict;
    std::optional<double> tabIndex;
    std::string antiAliasType = "normal", gridFitType = "pixel";
    double sharpness = 0, thickness = 0;
    bool condenseWhite = false, mouseWheelEnabled = true;
  };
  Look look;

 private:
  void changed();  // the text changed: layout anew, keep scroll in range
  void notifyVariable();

  EditTextRecord record_;
  FontResolver& fonts_;
  TextFormat defaultFormat_;
  StyledText styled_;
  swf::Rect bounds_;
  size_t caret_ = 0, anchor_ = 0;
  int scroll_ = 1;
  bool layoutValid_ = false;
  TextLayout layout_;
  VariableListener listener_;
};

}  // namespace text

// The keyboard focus and what input does to text fields: a click focuses the field under the
// pointer and puts the caret there, a drag selects, keys move the caret (Shift extends the
// selection), characters replace the selection, Tab moves the focus along the fields and
// buttons in depth order. The clipboard stays with the caller (copy gives the text to put
// there, paste takes the text it holds).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "../render/PreparedShape.h"
#include "DisplayList.h"

namespace display {

class EditTextObject;

enum class EditKey { Left, Right, Home, End, Backspace, Delete, SelectAll, Enter };

class TextInput {
 public:
  // The primary button went down at `point` (stage twips): focuses the selectable field under
  // it (the caret at the click) or takes the focus from the field that had it. True when the
  // click landed on a field.
  bool press(const DisplayList& stage, render::Point point);
  // The pointer moved with the button held after a press on a field: the selection follows it.
  void drag(render::Point point);
  void release() { dragging_ = false; }

  // Editing keys and typed text on the focused field; true when its text changed (the caller
  // then tells the field's variable).
  bool key(EditKey key, bool shift);
  bool type(std::u16string_view text);
  // The selected text, for the clipboard; none without a focused field or a selection (and in
  // a password field, which never gives its text away).
  std::optional<std::u16string> copy() const;
  bool cut();

  // Tab: the next (or previous) field or button after the focused one, in depth order, round
  // to the first; a button taking the focus leaves no field focused.
  void tab(const DisplayList& stage, bool backwards);

  // Moves the focus as a script does: no one is told (the caller moved it).
  void setFocus(const std::shared_ptr<DisplayObject>& object) { focus(object); }
  // Told when a click or Tab moved the focus (to nothing: null).
  std::function<void(const std::shared_ptr<DisplayObject>&)> focusChanged;

  std::shared_ptr<EditTextObject> focusedField() const;
  std::shared_ptr<DisplayObject> focused() const;
  // The button or clip Tab focused, which the player rings with its focus rectangle; the mouse
  // and fields take the ring away.
  std::shared_ptr<DisplayObject> highlighted() const { return highlight_ ? focused() : nullptr; }

 private:
  void focus(const std::shared_ptr<DisplayObject>& object);
  void focusByUser(const std::shared_ptr<DisplayObject>& object);

  std::weak_ptr<DisplayObject> focused_;
  bool highlight_ = false;
  bool dragging_ = false;
  swf::Matrix dragMatrix_;  // the field's own twips to the stage's, at the press
};

// The topmost text field on `list` (looking into clips) whose box holds `point` (coordinates of
// the list's owner); `toOwner` gets the field's matrix into those coordinates.
std::shared_ptr<EditTextObject> topFieldAt(const DisplayList& list, render::Point point, swf::Matrix& toOwner);

}  // namespace display

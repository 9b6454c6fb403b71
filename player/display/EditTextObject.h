// An instance of a DefineEditText character: a text field. It holds the field's state (text,
// caret, selection, scroll, variable; text::EditTextState) and draws it: background and border,
// the visible lines clipped to its bounds, the selection and the caret while it has the focus.
#pragma once

#include <memory>

#include "../text/EditTextState.h"
#include "DisplayObject.h"

namespace display {

class EditTextObject final : public DisplayObject {
 public:
  EditTextObject(const text::EditTextRecord& record, CharacterLibrary& library);
  ~EditTextObject() override;

  text::EditTextState& state() { return *state_; }
  const text::EditTextState& state() const { return *state_; }

  // Input gives the field the focus; it then shows its caret, or its selection.
  bool focused() const { return focused_; }
  void setFocused(bool focused) { focused_ = focused; }

  // A point in the field's own twips to a text index (for clicks and drags).
  size_t indexAt(double x, double y);

  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;

 private:
  class Fonts;
  std::unique_ptr<Fonts> fonts_;
  std::unique_ptr<text::EditTextState> state_;
  bool focused_ = false;
};

}  // namespace display

// Focus, caret and selection moves, typing and Tab order over the display list's fields.
#include "TextInput.h"

#include <vector>

#include "ButtonObject.h"
#include "EditTextObject.h"
#include "HitTest.h"
#include "SpriteObject.h"
#include "Transform.h"

namespace display {

namespace {

constexpr int kMaxNesting = 64;

std::shared_ptr<EditTextObject> fieldIn(const DisplayList& list, render::Point point, const swf::Matrix& outer,
                                        swf::Matrix& toOwner, int nesting) {
  if (nesting > kMaxNesting) return nullptr;
  for (auto it = list.children().rbegin(); it != list.children().rend(); ++it) {
    const std::shared_ptr<DisplayObject>& child = it->second;
    if (child->clipDepth() || !child->visible()) continue;
    const swf::Matrix matrix = concatenate(outer, child->matrix());
    if (child->kind() == ObjectKind::Sprite) {
      if (auto found = fieldIn(static_cast<const SpriteObject&>(*child).children(), point, matrix, toOwner, nesting + 1))
        return found;
    } else if (child->kind() == ObjectKind::EditText) {
      auto field = std::static_pointer_cast<EditTextObject>(child);
      render::Point local;
      if (!toLocal(matrix, point, local)) continue;
      const swf::Rect box = field->state().bounds();
      if (local.x >= box.xMin && local.x <= box.xMax && local.y >= box.yMin && local.y <= box.yMax) {
        toOwner = matrix;
        return field;
      }
    }
  }
  return nullptr;
}

// Fields that take input and buttons, in depth order (a clip's before what lies above it).
void tabStops(const DisplayList& list, std::vector<std::shared_ptr<DisplayObject>>& out, int nesting) {
  if (nesting > kMaxNesting) return;
  for (const auto& [depth, child] : list.children()) {
    if (!child->visible() || child->clipDepth()) continue;
    if (child->kind() == ObjectKind::Sprite) {
      tabStops(static_cast<const SpriteObject&>(*child).children(), out, nesting + 1);
    } else if (child->kind() == ObjectKind::Button) {
      if (static_cast<const ButtonObject&>(*child).enabled()) out.push_back(child);
    } else if (child->kind() == ObjectKind::EditText) {
      if (static_cast<const EditTextObject&>(*child).state().editable()) out.push_back(child);
    }
  }
}

// The index one step left or right of `at` (a line break is one step, as any unit).
size_t step(size_t at, bool right, size_t length) {
  if (right) return at < length ? at + 1 : length;
  return at > 0 ? at - 1 : 0;
}

}  // namespace

std::shared_ptr<EditTextObject> topFieldAt(const DisplayList& list, render::Point point, swf::Matrix& toOwner) {
  return fieldIn(list, point, swf::Matrix{}, toOwner, 0);
}

std::shared_ptr<DisplayObject> TextInput::focused() const {
  std::shared_ptr<DisplayObject> object = focused_.lock();
  return object && !object->removed() ? object : nullptr;
}

std::shared_ptr<EditTextObject> TextInput::focusedField() const {
  std::shared_ptr<DisplayObject> object = focused();
  return object && object->kind() == ObjectKind::EditText ? std::static_pointer_cast<EditTextObject>(object) : nullptr;
}

void TextInput::focus(const std::shared_ptr<DisplayObject>& object) {
  if (auto field = focusedField()) field->setFocused(false);
  focused_ = object;
  if (auto field = focusedField()) field->setFocused(true);
}

void TextInput::focusByUser(const std::shared_ptr<DisplayObject>& object) {
  const bool moved = object != focused();
  focus(object);
  if (moved && focusChanged) focusChanged(object);
}

bool TextInput::press(const DisplayList& stage, render::Point point) {
  highlight_ = false;
  swf::Matrix toStage;
  std::shared_ptr<EditTextObject> field = topFieldAt(stage, point, toStage);
  if (!field || !field->state().selectable()) {
    if (focusedField()) focusByUser(nullptr);
    return field != nullptr;
  }
  if (field != focused()) focusByUser(field);
  render::Point local;
  if (toLocal(toStage, point, local)) {
    const size_t at = field->indexAt(local.x, local.y);
    field->state().setSelection(at, at);
  }
  dragging_ = true;
  dragMatrix_ = toStage;
  return true;
}

void TextInput::drag(render::Point point) {
  std::shared_ptr<EditTextObject> field = focusedField();
  render::Point local;
  if (!dragging_ || !field || !toLocal(dragMatrix_, point, local)) return;
  field->state().setSelection(field->state().anchor(), field->indexAt(local.x, local.y));
}

bool TextInput::key(EditKey key, bool shift) {
  std::shared_ptr<EditTextObject> field = focusedField();
  if (!field) return false;
  text::EditTextState& s = field->state();
  const size_t length = s.text().size();
  auto moveTo = [&](size_t at) { s.setSelection(shift ? s.anchor() : at, at); };
  switch (key) {
    case EditKey::Left:
    case EditKey::Right: {
      const bool right = key == EditKey::Right;
      // Without Shift an arrow first collapses a selection to its side.
      if (!shift && s.selectionBegin() != s.selectionEnd())
        moveTo(right ? s.selectionEnd() : s.selectionBegin());
      else
        moveTo(step(s.caret(), right, length));
      return false;
    }
    case EditKey::Home: moveTo(0); return false;
    case EditKey::End: moveTo(length); return false;
    case EditKey::SelectAll: s.setSelection(0, length); return false;
    case EditKey::Backspace: return s.erase(false);
    case EditKey::Delete: return s.erase(true);
    case EditKey::Enter: return s.multiline() && s.replaceSelection(u"\r");
  }
  return false;
}

bool TextInput::type(std::u16string_view text) {
  std::shared_ptr<EditTextObject> field = focusedField();
  return field && field->state().replaceSelection(text);
}

std::optional<std::u16string> TextInput::copy() const {
  std::shared_ptr<EditTextObject> field = focusedField();
  if (!field || field->state().password() || field->state().selectionBegin() == field->state().selectionEnd())
    return std::nullopt;
  return field->state().selectedText();
}

bool TextInput::cut() {
  std::shared_ptr<EditTextObject> field = focusedField();
  return copy() && field->state().replaceSelection(u"");
}

void TextInput::tab(const DisplayList& stage, bool backwards) {
  std::vector<std::shared_ptr<DisplayObject>> stops;
  tabStops(stage, stops, 0);
  if (stops.empty()) return;
  const std::shared_ptr<DisplayObject> current = focused();
  size_t next = backwards ? stops.size() - 1 : 0;
  for (size_t i = 0; i < stops.size(); ++i)
    if (stops[i] == current) next = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
  focusByUser(stops[next]);
  highlight_ = !focusedField();
  if (auto field = focusedField()) field->state().setSelection(0, field->state().text().size());
}

}  // namespace display

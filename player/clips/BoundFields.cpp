// Bound text fields: the variable read once a frame for each field, its text replaced only
// when the value differs from the one the field last knew, so the caret of a field being
// typed into stays where it is.
#include "BoundFields.h"

#include <cctype>
#include <vector>

#include "TextFormat.h"

namespace clips {

namespace {

bool startsWithNoCase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i)
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool absolute(const std::string& path) {
  return startsWithNoCase(path, "/") || startsWithNoCase(path, "_level") || startsWithNoCase(path, "_root") ||
         startsWithNoCase(path, "_global");
}

}  // namespace

std::string boundVariablePath(const display::EditTextObject& field) {
  const std::string& variable = field.state().variableName();
  if (variable.empty() || absolute(variable)) return variable;
  std::vector<const std::string*> names;
  for (const display::SpriteObject* clip = field.parent(); clip && clip->parent(); clip = clip->parent())
    names.push_back(&clip->name());
  if (names.empty()) return variable;  // _level0's own: resolved from there anyway
  std::string path = "_level0";
  for (auto it = names.rbegin(); it != names.rend(); ++it) path += "." + **it;
  return path + "." + variable;
}

void BoundFields::update(display::SpriteObject& root, avm1::Machine& machine) {
  struct Walk {
    BoundFields& fields;
    avm1::Machine& machine;
    void children(const display::DisplayList& list) {
      for (const auto& [depth, child] : list.children()) {
        if (child->kind() == display::ObjectKind::EditText)
          fields.updateField(child, machine);
        else if (child->kind() == display::ObjectKind::Sprite)
          children(static_cast<display::SpriteObject&>(*child).children());
      }
    }
  } walk{*this, machine};
  walk.children(root.children());
  for (auto it = seen_.begin(); it != seen_.end();) it = it->second.field.expired() ? seen_.erase(it) : std::next(it);
}

void BoundFields::updateField(const std::shared_ptr<display::DisplayObject>& object, avm1::Machine& machine) {
  auto& field = static_cast<display::EditTextObject&>(*object);
  text::EditTextState& state = field.state();
  if (state.variableName().empty()) return;
  const std::string path = boundVariablePath(field);
  const avm1::Value value = machine.getVariable(path);
  auto it = seen_.find(&field);
  const bool fresh = it == seen_.end() || it->second.field.lock().get() != &field;
  if (fresh) {
    it = seen_.insert_or_assign(&field, Seen{object, state.variableValue()}).first;
    if (value.isUndefined()) {
      // A field placed where its variable is undefined gives it its own text, if it has any.
      if (!it->second.value.empty()) machine.setVariable(path, avm1::Value(text::toUtf8(it->second.value)));
      return;
    }
  } else if (value.isUndefined()) {
    return;
  }
  std::u16string text = text::fromUtf8(machine.textOf(value));
  if (!fresh && text == it->second.value) return;
  it->second.value = text;
  if (text != state.variableValue()) state.setFromVariable(text);
}

}  // namespace clips

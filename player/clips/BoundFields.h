// Text fields bound to variables (DefineEditText's variable): once a frame each field shows
// its variable's value when ActionScript changed it, as the original player updates them.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "EditTextObject.h"
#include "Machine.h"
#include "SpriteObject.h"

namespace clips {

// The path of a field's variable from _level0: relative names are taken from the clip that
// holds the field ("a.b" in clip c becomes "_level0.c.a.b"); absolute ones stay as they are.
std::string boundVariablePath(const display::EditTextObject& field);

class BoundFields {
 public:
  // Walks the display list under `root`: a field seen the first time gives an undefined
  // variable its text (an empty field leaves it undefined), or takes the variable's value; later, a value ActionScript changed
  // replaces the field's text (text the user typed is already the variable's).
  void update(display::SpriteObject& root, avm1::Machine& machine);

 private:
  void updateField(const std::shared_ptr<display::DisplayObject>& field, avm1::Machine& machine);

  struct Seen {
    std::weak_ptr<display::DisplayObject> field;
    std::u16string value;  // the variable's value as the field last knew it
  };
  std::map<const display::DisplayObject*, Seen> seen_;
};

}  // namespace clips

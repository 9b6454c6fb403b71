// Text fields for the scene text: DefineEditText bodies with their box in the field's own pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SwfTypes.h"

namespace scene {

struct FieldSpec {
  swf::CharacterId id = 0;
  swf::Rect bounds;  // twips, in the field's own space
  swf::CharacterId fontId = 0;
  uint16_t height = 240;  // twips
  swf::Rgba color{0, 0, 0, 255};
  bool password = false, readOnly = false, border = false, multiline = false, noSelect = false;
  std::string variable;
  std::string text;  // UTF-8
};

std::vector<uint8_t> editTextBody(const FieldSpec& field);

}  // namespace scene

// The scene text's fonts and texts as tag bodies: a font whose glyphs are plain blocks (or a
// device font's name alone), a static text in it, and a text field.
#pragma once

#include <optional>
#include <string>

#include "SwfMovieData.h"

namespace scene {

// DefineFont2: printable ASCII as blocks (capitals and digits 0.7 em high, small letters 0.5,
// the rest 0.3; advance 0.625 em; ascent 0.8, descent 0.2), or with `device` no glyphs at all,
// so text fields that name it draw with the system's font of that name.
swf::RawCharacter blockFont(swf::CharacterId id, const std::string& name, bool bold, bool italic, bool device);

// DefineText (DefineText2 when the colour is not opaque) of ASCII text in a block font, its top
// left at 0,0; characters the font lacks are left out. `size` in twips.
swf::RawCharacter staticText(swf::CharacterId id, swf::CharacterId fontId, uint16_t size, swf::Rgba color,
                             const std::string& text);

struct EditTextOptions {
  swf::CharacterId id = 0;
  double width = 0, height = 0;  // twips
  std::optional<swf::CharacterId> fontId;
  uint16_t size = 240;  // twips
  std::optional<swf::Rgba> color;
  std::optional<std::string> text;
  std::string variable;
  bool html = false, multiline = false, wordWrap = false, password = false, readOnly = false;
  bool border = false, noSelect = false, autoSize = false, useOutlines = false;
  std::optional<uint16_t> maxLength;
  std::optional<uint8_t> align;  // 0 left, 1 right, 2 center, 3 justify
  uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
  int16_t leading = 0;
};

// DefineEditText.
swf::RawCharacter editText(const EditTextOptions& options);

}  // namespace scene

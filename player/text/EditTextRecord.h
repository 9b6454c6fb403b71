// A DefineEditText body (kept raw by the tag reader): the field's bounds, flags, font, colour,
// maximum length, paragraph layout, variable name and initial text.
#pragma once

#include <optional>
#include <string>

#include "../swf/SwfMovieData.h"
#include "TextFormat.h"

namespace text {

struct EditTextRecord {
  swf::CharacterId id = 0;
  swf::Rect bounds;
  bool wordWrap = false, multiline = false, password = false, readOnly = false;
  bool autoSize = false, noSelect = false, border = false, wasStatic = false, html = false;
  bool useOutlines = false;
  swf::CharacterId fontId = 0;  // 0: none
  std::string fontClass;
  uint16_t height = 240;  // twips
  std::optional<swf::Rgba> color;
  std::optional<uint16_t> maxLength;
  std::optional<Align> align;
  uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
  int16_t leading = 0;
  std::string variableName;  // UTF-8
  std::u16string initialText;
};

// nullopt for another tag or a body cut short before its variable name. SWF 6 and later keep
// text in UTF-8, earlier ones in the system's code page (read as Latin-1).
std::optional<EditTextRecord> readEditText(const swf::RawCharacter& raw, uint8_t swfVersion);

// A movie's string as UTF-16, by the rule above.
std::u16string movieText(const std::string& bytes, uint8_t swfVersion);

}  // namespace text

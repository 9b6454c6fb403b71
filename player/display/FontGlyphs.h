// The glyph outlines of a DefineFont, DefineFont2 or DefineFont3 body (kept raw by the tag
// reader), for drawing static text. Only the outlines: codes and layout wait for text fields.
#pragma once

#include <optional>
#include <vector>

#include "../swf/SwfMovieData.h"

namespace display {

struct FontGlyphs {
  std::vector<std::vector<swf::ShapeRecord>> glyphs;
  double emSquare = 1024;  // glyph units per text height; DefineFont3 draws 20 times finer
};

// nullopt for other tags or a font whose glyph table does not fit its body; a glyph whose
// records are cut short keeps what was read.
std::optional<FontGlyphs> readFontGlyphs(const swf::RawCharacter& font, uint8_t swfVersion);

}  // namespace display

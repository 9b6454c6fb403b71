// A movie's font laid out and drawn in text fields.
#include "EmbeddedFont.h"

#include "CharacterLibrary.h"

namespace display {

double EmbeddedFont::advance(uint32_t glyph) const {
  if (glyph < glyphs_.advances.size()) return glyphs_.advances[glyph];
  return glyphs_.emSquare / 2;
}

double EmbeddedFont::kerning(char16_t left, char16_t right) const {
  auto it = glyphs_.kerning.find({left, right});
  return it == glyphs_.kerning.end() ? 0 : it->second;
}

const render::PreparedShape* EmbeddedFont::glyphShape(uint32_t glyph) const {
  return library_.preparedGlyph(id_, glyph);
}

}  // namespace display

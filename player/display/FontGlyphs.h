// A DefineFont, DefineFont2 or DefineFont3 body (kept raw by the tag reader) read whole: glyph
// outlines, their character codes, and the layout the text fields place glyphs with.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../swf/SwfMovieData.h"

namespace display {

// DefineFontAlignZones: per glyph, the zones hinting would snap to (read, not applied: our
// renderer anti-aliases without hinting, as the player does for text it does not snap).
struct AlignZone {
  float position[2] = {0, 0};  // the two zones' start, in em units
  float range[2] = {0, 0};
  bool x = false, y = false;
};

struct FontGlyphs {
  std::vector<std::vector<swf::ShapeRecord>> glyphs;
  double emSquare = 1024;  // glyph units per text height; DefineFont3 draws 20 times finer

  std::string name;  // from the font or DefineFontInfo: what text fields and HTML ask for
  std::string fullName, copyright;  // DefineFontName's, for display only (e.g. "Arial Bold")
  bool bold = false, italic = false;
  std::vector<char16_t> codes;  // one per glyph; empty until a DefineFont's info names them
  // Layout (DefineFont2 and 3 with the layout flag), in emSquare units.
  bool hasLayout = false;
  double ascent = 0, descent = 0, leading = 0;
  std::vector<double> advances;
  std::map<std::pair<char16_t, char16_t>, double> kerning;
  std::vector<AlignZone> alignZones;
  uint8_t csmHint = 0;

  // The glyph drawing `code`; nullopt when the font has none.
  std::optional<uint32_t> glyphFor(char16_t code) const;
};

// nullopt for other tags or a font whose glyph table does not fit its body; a glyph whose
// records are cut short keeps what was read, and a layout cut short is dropped.
std::optional<FontGlyphs> readFontGlyphs(const swf::RawCharacter& font, uint8_t swfVersion);

// Adds DefineFontInfo 1 or 2, DefineFontName or DefineFontAlignZones (a body naming the font)
// to the font; other tags, and info cut short, change nothing they did not read.
void applyFontInfo(FontGlyphs& font, const swf::RawCharacter& info);

}  // namespace display

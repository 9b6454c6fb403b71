// The TEXTRECORDs of a DefineText or DefineText2 body (kept raw by the tag reader): runs of
// glyphs, each with its font, colour, height and start, after the text's own matrix.
#pragma once

#include <optional>
#include <vector>

#include "../swf/SwfMovieData.h"

namespace display {

struct TextGlyph {
  uint32_t index = 0;  // into the font's glyphs
  double x = 0;        // twips, where the glyph's origin sits on the run's line
};

struct TextRun {
  swf::CharacterId fontId = 0;
  swf::Rgba color;
  double y = 0;         // twips, the baseline
  uint16_t height = 0;  // twips
  std::vector<TextGlyph> glyphs;
};

struct StaticText {
  swf::Matrix matrix;
  std::vector<TextRun> runs;
};

// Font, colour, height and position carry from one record to the next until a record changes
// them. nullopt for other tags; records cut short end the text.
std::optional<StaticText> readStaticText(const swf::RawCharacter& text);

}  // namespace display

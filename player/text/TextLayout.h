// Lays styled text out in a text field: paragraphs, word wrap, margins, indent, leading and
// alignment, each glyph placed in twips from the field's top left (its 2-pixel gutter included).
#pragma once

#include <optional>
#include <vector>

#include "LayoutFont.h"
#include "TextFormat.h"

namespace text {

inline constexpr double kGutter = 40;  // twips between the field's edge and its text

struct PlacedGlyph {
  const LayoutFont* font = nullptr;  // nullptr: nothing to draw (no font, or no glyph)
  uint32_t glyph = 0;
  size_t index = 0;  // into the text
  double x = 0;      // twips, the glyph's origin on its line
  double advance = 0;
  double size = 0;   // twips, the text height
  swf::Rgba color;
  bool underline = false;
};

struct LayoutLine {
  size_t begin = 0, end = 0;  // the text the line shows; a break after it is not part of it
  double top = 0;             // twips, before scrolling
  double ascent = 0, descent = 0, leading = 0;
  double left = 0, width = 0;  // where its glyphs start, and how far they reach (trailing blanks not)
  std::vector<PlacedGlyph> glyphs;
  std::optional<PlacedGlyph> bullet;  // the first line of a list item's: drawn, not part of the text
  double baseline() const { return top + ascent; }
  double bottom() const { return top + ascent + descent; }
};

struct TextLayout {
  std::vector<LayoutLine> lines;  // at least one, also for no text
  double textWidth = 0, textHeight = 0;  // twips, the text's extent without the gutter
};

struct LayoutOptions {
  double width = 0;  // the field's width in twips, gutters included
  bool wordWrap = false;
  bool password = false;  // every character shows as '*'
};

TextLayout layoutText(const StyledText& text, const LayoutOptions& options, FontResolver& fonts);

// The text index nearest to a point in layout twips (for a click): the line under y (the first
// or last beyond them), then the glyph boundary nearest to x.
size_t indexAt(const TextLayout& layout, double x, double y);
// The line holding the caret at `index`, and the caret's x there.
size_t lineOf(const TextLayout& layout, size_t index);
double caretX(const TextLayout& layout, size_t index);

}  // namespace text

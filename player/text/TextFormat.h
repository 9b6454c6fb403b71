// The character and paragraph format of text in a text field, and text held as runs of one
// format each, as the HTML reader produces it and layout consumes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../swf/SwfTypes.h"

namespace text {

enum class Align : uint8_t { Left, Right, Center, Justify };

struct TextFormat {
  std::string font = "Times New Roman";
  double size = 240;  // twips
  swf::Rgba color{0, 0, 0, 255};
  bool bold = false, italic = false, underline = false;
  std::string url, target;
  // Paragraph format, twips.
  Align align = Align::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0, leading = 0;
  bool bullet = false;
  bool kerning = false;           // the font's kerning pairs apply (embedded fonts)
  std::vector<double> tabStops;  // twips from the line's start; none: every 2.7 ems
  friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

struct FormatRun {
  size_t start = 0;  // index into the text where this format begins
  TextFormat format;
};

// Text in UTF-16 units (as ActionScript counts them), paragraphs ended by '\r'; every index has
// the format of the last run starting at or before it.
struct StyledText {
  std::u16string text;
  std::vector<FormatRun> runs;

  void append(std::u16string_view more, const TextFormat& format);
  const TextFormat& formatAt(size_t index) const;  // the last run's for an index past the end
};

// UTF-8 to UTF-16 and back; malformed bytes become U+FFFD.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

}  // namespace text

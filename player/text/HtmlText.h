// The HTML subset text fields read (p, br, b, i, u, font with face, size and colour, a, li,
// textformat) into styled text, and the HTML a field gives back for its text.
#pragma once

#include <string>
#include <string_view>

#include "TextFormat.h"

namespace text {

// Unknown tags are dropped and their content kept; a close tag without its open tag does
// nothing. Paragraphs (p, li) end with '\r' except the last; br is always '\r'; newlines in the
// source are line breaks too.
StyledText parseHtml(std::u16string_view html, const TextFormat& base);

// The original player's form: each paragraph as <P ALIGN=..><FONT ...>..</FONT></P>, bold,
// italic, underline and links inside, TEXTFORMAT around paragraphs with margins or leading.
std::u16string toHtml(const StyledText& text);

}  // namespace text

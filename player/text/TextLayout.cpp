// Line breaking and placement of a text field's glyphs.
#include "TextLayout.h"

#include <algorithm>
#include <cmath>

namespace text {

namespace {

// Without a font, text still takes room so carets and sizes behave.
constexpr double kFallbackAscent = 0.8, kFallbackDescent = 0.2, kFallbackAdvance = 0.5;
// A list item's text starts 36 pixels in, its bullet 18 pixels in; without tab stops a tab goes
// to the next multiple of 2.7 ems from the line's start.
constexpr double kBulletIndent = 720, kBulletX = 360, kDefaultTabEms = 2.7;
constexpr char16_t kBullet = u'\u2022';

bool isBlank(char16_t c) { return c == ' ' || c == '\t'; }
bool isBreak(char16_t c) { return c == '\r' || c == '\n'; }

struct Metrics {
  double ascent = 0, descent = 0;
};

Metrics metricsOf(const LayoutFont* font, double size) {
  if (!font) return {kFallbackAscent * size, kFallbackDescent * size};
  return {font->ascent() * size / font->emSquare(), font->descent() * size / font->emSquare()};
}

PlacedGlyph place(const StyledText& text, size_t index, bool password, FontResolver& fonts) {
  const TextFormat& format = text.formatAt(index);
  const LayoutFont* font = fonts.resolve(format);
  const char16_t code = password ? u'*' : text.text[index];
  PlacedGlyph g;
  g.index = index;
  g.size = format.size;
  g.color = format.color;
  g.underline = format.underline;
  if (code == '\t') return g;  // its advance depends on where it stands: tabAdvance
  std::optional<uint32_t> glyph = font ? font->glyphFor(code) : std::nullopt;
  if (glyph) {
    g.font = font;
    g.glyph = *glyph;
    g.advance = font->advance(*glyph) * format.size / font->emSquare();
  } else if (!font) {
    g.advance = kFallbackAdvance * format.size;
  }
  return g;
}

// How far a tab at `x` (twips from the line's start) moves: to the next tab stop past x (none
// left: nowhere), or without stops to the next multiple of the default width.
double tabAdvance(const TextFormat& format, double x) {
  if (format.tabStops.empty()) {
    const double step = format.size * kDefaultTabEms;
    return step > 0 ? (std::floor(x / step) + 1) * step - x : 0;
  }
  for (double stop : format.tabStops)
    if (stop > x) return stop - x;
  return 0;
}

class Layouter {
 public:
  Layouter(const StyledText& text, const LayoutOptions& options, FontResolver& fonts)
      : text_(text), options_(options), fonts_(fonts) {}

  TextLayout run() {
    size_t begin = 0;
    top_ = kGutter;
    for (;;) {
      size_t end = begin;
      while (end < text_.text.size() && !isBreak(text_.text[end])) ++end;
      paragraph(begin, end);
      if (end >= text_.text.size()) break;
      begin = end + 1;
    }
    const LayoutLine& last = layout_.lines.back();
    layout_.textHeight = std::max(0.0, last.bottom() - kGutter);
    return std::move(layout_);
  }

 private:
  void paragraph(size_t begin, size_t end) {
    const TextFormat& format = text_.formatAt(begin);
    const double bulletIndent = format.bullet ? kBulletIndent : 0;
    const double inner =
        options_.width - 2 * kGutter - format.leftMargin - format.rightMargin - format.blockIndent - bulletIndent;
    bool firstLine = true;
    size_t lineBegin = begin;
    std::vector<PlacedGlyph> glyphs;
    for (size_t i = begin; i < end; ++i) glyphs.push_back(place(text_, i, options_.password, fonts_));
    kern(glyphs, begin);
    size_t at = 0;  // into glyphs
    do {
      const double indent = firstLine ? format.indent : 0;
      const double room = inner - indent;
      double x = 0;
      size_t stop = at, lastBreak = 0;  // lastBreak: one past the blank a wrap may follow
      for (; stop < glyphs.size(); ++stop) {
        const bool blank = isBlank(text_.text[begin + stop]);
        if (text_.text[begin + stop] == '\t') glyphs[stop].advance = tabAdvance(text_.formatAt(begin + stop), x);
        if (options_.wordWrap && !blank && stop > at && x + glyphs[stop].advance > room) break;
        x += glyphs[stop].advance;
        if (blank) lastBreak = stop + 1;
      }
      if (stop < glyphs.size() && lastBreak > at) stop = lastBreak;
      emitLine(format, std::vector<PlacedGlyph>(glyphs.begin() + at, glyphs.begin() + stop), lineBegin, begin + stop,
               format.leftMargin + format.blockIndent + indent + bulletIndent, room, stop >= glyphs.size());
      if (format.bullet && firstLine) layout_.lines.back().bullet = bullet(format, indent);
      lineBegin = begin + stop;
      at = stop;
      firstLine = false;
    } while (at < glyphs.size());
  }

  // With the kerning format and a movie's font, each pair of one font and size moves by the
  // font's kerning for its characters.
  void kern(std::vector<PlacedGlyph>& glyphs, size_t begin) const {
    for (size_t k = 0; k + 1 < glyphs.size(); ++k) {
      PlacedGlyph& left = glyphs[k];
      const PlacedGlyph& right = glyphs[k + 1];
      if (!left.font || left.font != right.font || left.size != right.size || !left.font->embedded()) continue;
      if (!text_.formatAt(begin + k).kerning) continue;
      const char16_t a = options_.password ? u'*' : text_.text[begin + k];
      const char16_t b = options_.password ? u'*' : text_.text[begin + k + 1];
      left.advance += left.font->kerning(a, b) * left.size / left.font->emSquare();
    }
  }

  // A list item's bullet, in its paragraph's font, half way into the item's indent.
  std::optional<PlacedGlyph> bullet(const TextFormat& format, double indent) {
    PlacedGlyph g;
    g.index = 0;
    g.size = format.size;
    g.color = format.color;
    g.x = kGutter + format.leftMargin + format.blockIndent + indent + kBulletX;
    const LayoutFont* font = fonts_.resolve(format);
    if (std::optional<uint32_t> glyph = font ? font->glyphFor(kBullet) : std::nullopt) {
      g.font = font;
      g.glyph = *glyph;
      g.advance = font->advance(*glyph) * format.size / font->emSquare();
    }
    return g;
  }

  void emitLine(const TextFormat& format, std::vector<PlacedGlyph> glyphs, size_t begin, size_t end, double left,
                double room, bool lastOfParagraph) {
    LayoutLine line;
    line.begin = begin;
    line.end = end;
    line.top = top_;
    Metrics m = metricsOf(fonts_.resolve(format), format.size);
    if (!glyphs.empty()) m = {};
    double x = 0, width = 0;
    for (PlacedGlyph& g : glyphs) {
      const Metrics gm = metricsOf(g.font ? g.font : fonts_.resolve(text_.formatAt(g.index)), g.size);
      m.ascent = std::max(m.ascent, gm.ascent);
      m.descent = std::max(m.descent, gm.descent);
      g.x = x;
      x += g.advance;
      if (!isBlank(text_.text[g.index])) width = x;
    }
    const Align align = format.bullet ? Align::Left : format.align;  // list items stay left
    double shift = 0;
    if (align == Align::Right) shift = std::max(0.0, room - width);
    else if (align == Align::Center) shift = std::max(0.0, (room - width) / 2);
    line.left = kGutter + left + shift;
    for (PlacedGlyph& g : glyphs) g.x += line.left;
    if (align == Align::Justify && !lastOfParagraph) width = justify(glyphs, room, width);
    line.width = width;
    line.ascent = m.ascent;
    line.descent = m.descent;
    line.leading = format.leading;
    line.glyphs = std::move(glyphs);
    top_ = line.bottom() + line.leading;
    layout_.textWidth = std::max(layout_.textWidth, left + width + format.rightMargin);
    layout_.lines.push_back(std::move(line));
  }

  // Spreads the room a wrapped line leaves over its gaps: each word after a space moves by one
  // share more than the word before it. Gives the line's new width.
  double justify(std::vector<PlacedGlyph>& glyphs, double room, double width) const {
    auto wordStarts = [&](size_t k) {
      return k > 0 && text_.text[glyphs[k - 1].index] == ' ' && !isBlank(text_.text[glyphs[k].index]);
    };
    size_t gaps = 0;
    for (size_t k = 0; k < glyphs.size(); ++k) gaps += wordStarts(k);
    if (gaps == 0 || room <= width) return width;
    const double share = (room - width) / double(gaps);
    size_t words = 0;
    for (size_t k = 0; k < glyphs.size(); ++k) {
      words += wordStarts(k);
      glyphs[k].x += share * double(words);
    }
    return room;
  }

  const StyledText& text_;
  const LayoutOptions& options_;
  FontResolver& fonts_;
  TextLayout layout_;
  double top_ = 0;
};

}  // namespace

TextLayout layoutText(const StyledText& text, const LayoutOptions& options, FontResolver& fonts) {
  return Layouter(text, options, fonts).run();
}

size_t lineOf(const TextLayout& layout, size_t index) {
  for (size_t i = 0; i + 1 < layout.lines.size(); ++i)
    if (index < layout.lines[i + 1].begin) return i;
  return layout.lines.empty() ? 0 : layout.lines.size() - 1;
}

double caretX(const TextLayout& layout, size_t index) {
  if (layout.lines.empty()) return kGutter;
  const LayoutLine& line = layout.lines[lineOf(layout, index)];
  for (const PlacedGlyph& g : line.glyphs)
    if (g.index >= index) return g.x;
  return line.glyphs.empty() ? line.left : line.glyphs.back().x + line.glyphs.back().advance;
}

size_t indexAt(const TextLayout& layout, double x, double y) {
  if (layout.lines.empty()) return 0;
  size_t l = 0;
  while (l + 1 < layout.lines.size() && y >= layout.lines[l + 1].top) ++l;
  const LayoutLine& line = layout.lines[l];
  for (const PlacedGlyph& g : line.glyphs)
    if (x < g.x + g.advance / 2) return g.index;
  return line.end;
}

}  // namespace text

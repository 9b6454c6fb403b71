// A font for layout tests: every glyph half an em wide (a space too, 'W' a whole em), ascent
// 0.8 em, descent 0.2 em, in a 1000-unit em square; it lacks '~'. "AV" kerns by -0.25 em, when
// the font counts as a movie's own.
#pragma once

#include <set>

#include "../../../player/text/LayoutFont.h"
#include "../../../player/text/TextFormat.h"

namespace fixture {

class FakeFont final : public text::LayoutFont {
 public:
  double emSquare() const override { return 1000; }
  double ascent() const override { return 800; }
  double descent() const override { return 200; }
  std::optional<uint32_t> glyphFor(char16_t code) const override;
  double advance(uint32_t glyph) const override { return glyph == 'W' ? 1000 : 500; }
  double kerning(char16_t left, char16_t right) const override { return left == 'A' && right == 'V' ? -250 : 0; }
  bool embedded() const override { return movieFont; }
  const render::PreparedShape* glyphShape(uint32_t) const override { return nullptr; }
  bool movieFont = true;
  mutable std::set<char16_t> asked;  // every code layout asked for
};

// Every format draws with the one fake font.
class FakeFonts final : public text::FontResolver {
 public:
  const text::LayoutFont* resolve(const text::TextFormat&) override { return &font; }
  FakeFont font;
};

}  // namespace fixture

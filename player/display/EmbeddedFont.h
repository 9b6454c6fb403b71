// A movie's DefineFont as a layout font: its codes, advances and ascent for text fields, its
// outlines prepared once through the character library.
#pragma once

#include "../text/LayoutFont.h"
#include "FontGlyphs.h"

namespace display {

class CharacterLibrary;

class EmbeddedFont final : public text::LayoutFont {
 public:
  EmbeddedFont(swf::CharacterId id, const FontGlyphs& glyphs, CharacterLibrary& library)
      : id_(id), glyphs_(glyphs), library_(library) {}

  const FontGlyphs& glyphs() const { return glyphs_; }
  double emSquare() const override { return glyphs_.emSquare; }
  // A font without layout (DefineFont, or one saved without it) is given the usual proportions.
  double ascent() const override { return glyphs_.hasLayout ? glyphs_.ascent : glyphs_.emSquare * 0.8; }
  double descent() const override { return glyphs_.hasLayout ? glyphs_.descent : glyphs_.emSquare * 0.2; }
  std::optional<uint32_t> glyphFor(char16_t code) const override { return glyphs_.glyphFor(code); }
  double advance(uint32_t glyph) const override;
  double kerning(char16_t left, char16_t right) const override;
  bool embedded() const override { return true; }
  const render::PreparedShape* glyphShape(uint32_t glyph) const override;

 private:
  swf::CharacterId id_;
  const FontGlyphs& glyphs_;
  CharacterLibrary& library_;
};

}  // namespace display

// An instance of a static text character.
#include "StaticTextObject.h"

#include "../render/Renderer.h"
#include "CharacterLibrary.h"
#include "Transform.h"

namespace display {

bool StaticTextObject::replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) {
  if (!library.staticText(id)) return false;
  setCharacterId(id);
  return true;
}

void StaticTextObject::render(RenderContext& context, const swf::Matrix& toPixels,
                              const swf::ColorTransform& colorTransform) const {
  const StaticText* text = context.library.staticText(characterId());
  if (!text) return;
  const swf::Matrix toText = concatenate(concatenate(toPixels, matrix()), text->matrix);
  const swf::ColorTransform own = concatenate(colorTransform, this->colorTransform());
  for (const TextRun& run : text->runs) {
    const FontGlyphs* font = context.library.fontGlyphs(run.fontId);
    if (!font) continue;
    const double scale = run.height / font->emSquare;
    const swf::ColorTransform color = concatenate(own, tint(run.color));
    for (const TextGlyph& glyph : run.glyphs) {
      const render::PreparedShape* shape = context.library.preparedGlyph(run.fontId, glyph.index);
      if (!shape) continue;
      const swf::Matrix place{scale, 0, 0, scale, glyph.x, run.y};
      context.renderer.drawShape(*shape, concatenate(toText, place), color);
    }
  }
}

}  // namespace display

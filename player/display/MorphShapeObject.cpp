// An instance of a DefineMorphShape character, drawn at its ratio.
#include "MorphShapeObject.h"

#include "CharacterLibrary.h"
#include "Transform.h"

namespace display {

bool MorphShapeObject::replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) {
  if (!library.get<swf::MorphShape>(id)) return false;
  setCharacterId(id);
  return true;
}

void MorphShapeObject::render(RenderContext& context, const swf::Matrix& toPixels,
                              const swf::ColorTransform& colorTransform) const {
  const swf::MorphShape* morph = context.library.get<swf::MorphShape>(characterId());
  if (!morph) return;
  context.renderer.drawShape(context.library.preparedMorph(*morph, ratio()), concatenate(toPixels, matrix()),
                             concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

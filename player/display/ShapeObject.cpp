// An instance of a DefineShape character.
#include "ShapeObject.h"

#include "CharacterLibrary.h"
#include "Transform.h"

namespace display {

bool ShapeObject::replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) {
  if (!library.get<swf::Shape>(id)) return false;
  setCharacterId(id);
  return true;
}

void ShapeObject::render(RenderContext& context, const swf::Matrix& toPixels,
                         const swf::ColorTransform& colorTransform) const {
  const swf::Shape* shape = context.library.get<swf::Shape>(characterId());
  if (!shape) return;
  context.renderer.drawShape(context.library.preparedShape(*shape), concatenate(toPixels, matrix()),
                             concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

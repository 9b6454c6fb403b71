// An instance of a DefineMorphShape character, drawn between its start and end shapes at the
// instance's ratio (0: start, 65535: end).
#pragma once

#include "DisplayObject.h"

namespace display {

class MorphShapeObject final : public DisplayObject {
 public:
  explicit MorphShapeObject(swf::CharacterId id) : DisplayObject(ObjectKind::MorphShape, id) {}
  bool replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;
};

}  // namespace display

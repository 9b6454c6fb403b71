// An instance of a DefineShape character: its prepared outline drawn with the concatenated
// matrix and colour transform.
#pragma once

#include "DisplayObject.h"

namespace display {

class ShapeObject final : public DisplayObject {
 public:
  explicit ShapeObject(swf::CharacterId id) : DisplayObject(ObjectKind::Shape, id) {}
  bool replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;
};

}  // namespace display

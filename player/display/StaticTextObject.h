// An instance of a DefineText or DefineText2 character: its glyphs drawn from their fonts'
// outlines, tinted with each run's colour.
#pragma once

#include "DisplayObject.h"

namespace display {

class StaticTextObject final : public DisplayObject {
 public:
  explicit StaticTextObject(swf::CharacterId id) : DisplayObject(ObjectKind::Text, id) {}
  bool replaceCharacter(swf::CharacterId id, const CharacterLibrary& library) override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;
};

}  // namespace display

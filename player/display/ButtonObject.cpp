// A button drawn in its up state.
#include "ButtonObject.h"

#include "ButtonRecords.h"
#include "DisplayContext.h"
#include "SpriteObject.h"
#include "Transform.h"

namespace display {

ButtonObject::ButtonObject(DisplayContext& context, const swf::RawCharacter& button)
    : DisplayObject(ObjectKind::Button, button.id) {
  for (const ButtonRecord& record : context.library().buttonRecords(button)) {
    if (!(record.states & ButtonRecord::kUp) || list_.at(record.depth) || record.characterId == button.id) continue;
    std::shared_ptr<DisplayObject> child = context.instantiate(record.characterId);
    if (!child) continue;
    child->setDepth(record.depth);
    child->setMatrix(record.matrix);
    child->setColorTransform(record.colorTransform);
    list_.put(child);
    if (child->kind() == ObjectKind::Sprite) context.runFirstFrame(static_cast<SpriteObject&>(*child));
  }
}

void ButtonObject::markRemoved() {
  DisplayObject::markRemoved();
  for (const auto& [depth, child] : list_.children()) child->markRemoved();
}

void ButtonObject::render(RenderContext& context, const swf::Matrix& toPixels,
                          const swf::ColorTransform& colorTransform) const {
  list_.render(context, concatenate(toPixels, matrix()), concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

// Making instances of characters, and running the clips' frames in the original player's order.
#include "DisplayContext.h"

#include "BitmapObject.h"
#include "MorphShapeObject.h"
#include "ShapeObject.h"
#include "SpriteObject.h"

namespace display {

std::shared_ptr<DisplayObject> DisplayContext::instantiate(swf::CharacterId id) {
  const swf::Character* character = library_.find(id);
  if (!character) return nullptr;
  if (std::holds_alternative<swf::Shape>(*character)) return std::make_shared<ShapeObject>(id);
  if (std::holds_alternative<swf::MorphShape>(*character)) return std::make_shared<MorphShapeObject>(id);
  if (std::holds_alternative<swf::Bitmap>(*character)) return std::make_shared<BitmapObject>(id);
  if (auto* sprite = std::get_if<swf::Sprite>(character)) {
    auto object = std::make_shared<SpriteObject>(*this, sprite->timeline, id);
    addToExecution(object);
    return object;
  }
  return std::make_shared<InertObject>(id);
}

void DisplayContext::addToExecution(std::shared_ptr<SpriteObject> sprite) { execution_.push_back(std::move(sprite)); }

void DisplayContext::runFrames() {
  for (size_t i = execution_.size(); i-- > 0;) {
    std::shared_ptr<SpriteObject> clip = execution_[i];
    if (!clip->removed()) clip->runFrame();
  }
  std::erase_if(execution_, [](const auto& clip) { return clip->removed(); });
}

}  // namespace display

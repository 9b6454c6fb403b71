// Making instances of characters, and running the clips' frames in the original player's order.
#include "DisplayContext.h"

#include "../swf/TagCodes.h"
#include "BitmapObject.h"
#include "ButtonObject.h"
#include "EditTextObject.h"
#include "MorphShapeObject.h"
#include "ScriptHooks.h"
#include "ShapeObject.h"
#include "SpriteObject.h"
#include "StaticTextObject.h"

namespace display {

namespace {
// How deep instances may be made inside instances in one go; a movie whose clips place
// themselves would otherwise recurse without end.
constexpr int kMaxNesting = 64;

struct Nested {
  int& nesting;
  explicit Nested(int& n) : nesting(++n) {}
  ~Nested() { --nesting; }
};
}  // namespace

void DisplayContext::runFirstFrame(SpriteObject& sprite) {
  Nested nested(nesting_);
  if (hooks_) hooks_->frameStarting(sprite);
  sprite.runFrame();
}

std::shared_ptr<DisplayObject> DisplayContext::instantiate(swf::CharacterId id) {
  const swf::Character* character = library_.find(id);
  if (!character || nesting_ >= kMaxNesting) return nullptr;
  Nested nested(nesting_);
  if (std::holds_alternative<swf::Shape>(*character)) return std::make_shared<ShapeObject>(id);
  if (std::holds_alternative<swf::MorphShape>(*character)) return std::make_shared<MorphShapeObject>(id);
  if (std::holds_alternative<swf::Bitmap>(*character)) return std::make_shared<BitmapObject>(id);
  if (auto* sprite = std::get_if<swf::Sprite>(character)) {
    auto object = std::make_shared<SpriteObject>(*this, sprite->timeline, id);
    addToExecution(object);
    return object;
  }
  if (auto* raw = std::get_if<swf::RawCharacter>(character);
      raw && (raw->tagCode == swf::tag::kDefineButton || raw->tagCode == swf::tag::kDefineButton2))
    return std::make_shared<ButtonObject>(*this, *raw);
  if (library_.staticText(id)) return std::make_shared<StaticTextObject>(id);
  if (const text::EditTextRecord* field = library_.editText(id)) return std::make_shared<EditTextObject>(*field, library_);
  return std::make_shared<InertObject>(id);
}

void DisplayContext::addToExecution(std::shared_ptr<SpriteObject> sprite) { execution_.push_back(std::move(sprite)); }

void DisplayContext::runFrames() {
  for (size_t i = execution_.size(); i-- > 0;) {
    std::shared_ptr<SpriteObject> clip = execution_[i];
    if (clip->removed()) continue;
    if (hooks_) hooks_->frameStarting(*clip);
    if (!clip->removed()) clip->runFrame();
  }
  std::erase_if(execution_, [](const auto& clip) { return clip->removed(); });
}

}  // namespace display

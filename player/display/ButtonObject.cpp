// A button drawn in its current state, hit-tested by its hit-test state.
#include "ButtonObject.h"

#include "DisplayContext.h"
#include "MovieSounds.h"
#include "SpriteObject.h"
#include "Transform.h"

namespace display {

namespace {
constexpr uint8_t kStateBits[] = {ButtonRecord::kUp, ButtonRecord::kOver, ButtonRecord::kDown};
}  // namespace

ButtonObject::ButtonObject(DisplayContext& context, const swf::RawCharacter& button)
    : DisplayObject(ObjectKind::Button, button.id), context_(context), definition_(context.library().button(button)) {
  fill(list_, ButtonRecord::kUp, nullptr);
  fill(hitArea_, ButtonRecord::kHitTest, nullptr);
}

void ButtonObject::fill(DisplayList& list, uint8_t stateBit, const DisplayList* keepFrom) {
  for (const ButtonRecord& record : definition_.records) {
    if (!(record.states & stateBit) || list.at(record.depth) || record.characterId == characterId()) continue;
    DisplayObject* old = keepFrom ? keepFrom->at(record.depth) : nullptr;
    if (old && old->characterId() == record.characterId) {
      old->setMatrix(record.matrix);
      old->setColorTransform(record.colorTransform);
      list.put(keepFrom->children().at(record.depth));
      continue;
    }
    std::shared_ptr<DisplayObject> child = context_.instantiate(record.characterId);
    if (!child) continue;
    child->setDepth(record.depth);
    child->setMatrix(record.matrix);
    child->setColorTransform(record.colorTransform);
    list.put(child);
    if (child->kind() == ObjectKind::Sprite) context_.runFirstFrame(static_cast<SpriteObject&>(*child));
  }
}

void ButtonObject::setState(ButtonState state) {
  if (state == state_) return;
  state_ = state;
  DisplayList next;
  fill(next, kStateBits[static_cast<int>(state)], &list_);
  for (const auto& [depth, child] : list_.children())
    if (next.at(depth) != child.get()) child->markRemoved();
  list_ = std::move(next);
}

void ButtonObject::playSound(ButtonCondition condition) {
  // DefineButtonSound has sounds for four conditions only, in this order.
  constexpr ButtonCondition kSounded[] = {kRollOut, kRollOver, kPress, kRelease};
  sound::MovieSounds* sounds = context_.sounds();
  for (int i = 0; sounds && i < 4; ++i)
    if (condition == kSounded[i]) sounds->buttonTransition(characterId(), i);
}

void ButtonObject::markRemoved() {
  DisplayObject::markRemoved();
  for (const auto& [depth, child] : list_.children()) child->markRemoved();
  for (const auto& [depth, child] : hitArea_.children()) child->markRemoved();
}

void ButtonObject::render(RenderContext& context, const swf::Matrix& toPixels,
                          const swf::ColorTransform& colorTransform) const {
  list_.render(context, concatenate(toPixels, matrix()), concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

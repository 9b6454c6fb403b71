// A movie clip's timeline: frames, gotos and the display tags they run.
#include "SpriteObject.h"

#include <algorithm>
#include <vector>

#include "DisplayContext.h"
#include "GotoPlan.h"
#include "MovieSounds.h"
#include "../render/Renderer.h"
#include "ScriptHooks.h"
#include "Transform.h"

namespace display {

SpriteObject::SpriteObject(DisplayContext& context, const swf::Timeline& timeline, swf::CharacterId id)
    : DisplayObject(ObjectKind::Sprite, id), context_(context), timeline_(timeline) {}

uint16_t SpriteObject::totalFrames() const {
  return static_cast<uint16_t>(std::min<size_t>(timeline_.frames.size(), 0xFFFF));
}

void SpriteObject::gotoFrame(uint16_t frame, bool stopThere) {
  playing_ = !stopThere;
  frame = std::max<uint16_t>(frame, 1);
  if (frame != currentFrame_) runGoto(frame);
}

bool SpriteObject::gotoLabel(std::string_view label, bool stopThere) {
  std::optional<uint16_t> frame = context_.library().labels(timeline_).frameOf(label);
  if (!frame) return false;
  gotoFrame(*frame, stopThere);
  return true;
}

void SpriteObject::nextFrame() {
  if (currentFrame_ < totalFrames()) gotoFrame(uint16_t(currentFrame_ + 1), true);
  else stop();
}

void SpriteObject::prevFrame() {
  if (currentFrame_ > 1) gotoFrame(uint16_t(currentFrame_ - 1), true);
  else stop();
}

void SpriteObject::runFrame() {
  if (!playing_) return;
  const uint16_t total = totalFrames();
  if (currentFrame_ < total) {
    ++currentFrame_;
    runFrameTags(currentFrame_);
  } else if (total <= 1) {
    stop();  // a one-frame clip does not loop
  } else {
    runGoto(1);
  }
}

void SpriteObject::runFrameTags(uint16_t frame) {
  for (const swf::FrameTag& tag : timeline_.frames[frame - 1].tags) {
    if (auto* p = std::get_if<swf::PlaceObject>(&tag)) place(*p);
    else if (auto* r = std::get_if<swf::RemoveObject>(&tag)) removeChild(r->depth);
    else if (auto* a = std::get_if<swf::DoAction>(&tag)) {
      if (context_.scriptHooks()) context_.scriptHooks()->frameActions(*this, a->actions);
    } else if (auto* i = std::get_if<swf::DoInitAction>(&tag)) {
      if (context_.scriptHooks()) context_.scriptHooks()->initActions(*this, i->spriteId, i->actions);
    } else if (context_.sounds()) {
      context_.sounds()->frameTag(this, tag);
    }
  }
}

void SpriteObject::runFrameScripts(uint16_t frame) {
  ScriptHooks* hooks = context_.scriptHooks();
  if (!hooks || frame < 1 || frame > timeline_.frames.size()) return;
  for (const swf::FrameTag& tag : timeline_.frames[frame - 1].tags) {
    if (auto* a = std::get_if<swf::DoAction>(&tag)) hooks->frameActions(*this, a->actions);
    else if (auto* i = std::get_if<swf::DoInitAction>(&tag)) hooks->initActions(*this, i->spriteId, i->actions);
  }
}

void SpriteObject::removeChild(int32_t depth) {
  DisplayObject* child = list_.at(depth);
  if (!child) return;
  if (ScriptHooks* hooks = context_.scriptHooks()) hooks->instanceRemoving(*child);
  list_.remove(depth);
}

void SpriteObject::removeAt(int32_t depth) { removeChild(depth); }

void SpriteObject::swapDepths(int32_t a, int32_t b) { list_.swap(a, b); }

DisplayObject* SpriteObject::attach(std::shared_ptr<DisplayObject> object, int32_t depth, const std::string& name,
                                    bool runFirstFrame) {
  if (!object) return nullptr;
  removeChild(depth);
  object->setDepth(depth);
  object->setName(name);
  object->setParent(this);
  object->setPlaceFrame(0);
  list_.put(object);
  if (ScriptHooks* hooks = context_.scriptHooks()) hooks->instancePlaced(*object);
  if (runFirstFrame && object->kind() == ObjectKind::Sprite && !object->removed())
    context_.runFirstFrame(static_cast<SpriteObject&>(*object));
  return object.get();
}

void SpriteObject::place(const swf::PlaceObject& place) {
  DisplayObject* child = list_.at(place.depth);
  switch (placeAction(place)) {
    case PlaceAction::Place: instantiate(*place.characterId, place, currentFrame_); break;
    case PlaceAction::Replace:
      if (child) {
        child->replaceCharacter(*place.characterId, context_.library());
        child->applyPlacement(place);
        child->setPlaceFrame(currentFrame_);
      }
      break;
    case PlaceAction::Modify:
      if (child) child->applyPlacement(place);
      break;
    case PlaceAction::None: break;
  }
}

DisplayObject* SpriteObject::instantiate(swf::CharacterId id, const swf::PlaceObject& place, uint16_t placeFrame) {
  if (list_.at(place.depth)) return nullptr;  // the original player refuses an occupied depth
  std::shared_ptr<DisplayObject> object = context_.instantiate(id);
  if (!object) return nullptr;
  object->setDepth(place.depth);
  object->setPlaceFrame(placeFrame);
  object->applyPlacement(place);
  if (place.name) object->setName(*place.name);
  if (place.clipDepth) object->setClipDepth(*place.clipDepth);
  object->setClipActions(place.clipActions);
  object->setParent(this);
  list_.put(object);
  if (ScriptHooks* hooks = context_.scriptHooks()) hooks->instancePlaced(*object);
  if (object->removed()) return nullptr;
  // A new clip shows its first frame at once.
  if (object->kind() == ObjectKind::Sprite) context_.runFirstFrame(static_cast<SpriteObject&>(*object));
  return object.get();
}

void SpriteObject::runGoto(uint16_t frame) {
  // Timelines store changes from frame to frame, so a rewind starts again from the first frame.
  const bool rewind = frame <= currentFrame_;
  if (rewind) currentFrame_ = 0;
  GotoPlan plan(rewind);
  const uint16_t lastFrame = std::min(frame, totalFrames());
  while (currentFrame_ < lastFrame) {
    ++currentFrame_;
    for (const swf::FrameTag& tag : timeline_.frames[currentFrame_ - 1].tags) {
      if (auto* p = std::get_if<swf::PlaceObject>(&tag)) {
        plan.place(*p, currentFrame_);
      } else if (auto* r = std::get_if<swf::RemoveObject>(&tag)) {
        plan.remove(r->depth);
        // Going forwards, an instance from before the goto that a skipped frame removes goes
        // now; a rewind decides about the old instances below.
        if (!rewind) removeChild(r->depth);
      }
    }
  }

  if (rewind) {
    std::vector<int32_t> gone;
    for (const auto& [depth, child] : list_.children())
      if (!survivesRewind(*child, plan)) gone.push_back(depth);
    for (int32_t depth : gone) removeChild(depth);
  }

  // Instances placed before the target frame are made first, then the target frame's own.
  const std::vector<const GotoPlacement*> ordered = plan.inOrder();
  for (const GotoPlacement* p : ordered)
    if (p->frame < frame) applyGotoPlacement(*p, rewind);
  // The target frame's scripts come before the clips it places run theirs.
  if (frame <= totalFrames()) runFrameScripts(frame);
  for (const GotoPlacement* p : ordered)
    if (p->frame >= frame) applyGotoPlacement(*p, rewind);
}

bool SpriteObject::survivesRewind(const DisplayObject& child, const GotoPlan& plan) const {
  const GotoPlacement* target = plan.at(child.depth());
  if (!target) return false;
  const swf::PlaceObject& p = target->place;
  const PlaceAction action = placeAction(p);
  if (action != PlaceAction::Place && action != PlaceAction::Replace) return false;
  const bool sameCharacter = *p.characterId == child.characterId();
  const bool sameRatio = !p.ratio || *p.ratio == child.ratio();
  const bool sameClipDepth = !p.clipDepth || *p.clipDepth == child.clipDepth();
  const bool sameMatrix = !p.matrix || *p.matrix == child.matrix();
  const bool sameColor = !p.colorTransform || *p.colorTransform == child.colorTransform();
  switch (child.kind()) {
    case ObjectKind::Shape:
    case ObjectKind::MorphShape:
    case ObjectKind::Text: return sameCharacter && sameRatio && sameClipDepth && sameMatrix && sameColor;
    case ObjectKind::Bitmap:
    case ObjectKind::Button:
    case ObjectKind::Inert:
    case ObjectKind::EditText: return sameCharacter && sameRatio && sameClipDepth;
    case ObjectKind::Sprite: return sameCharacter && sameRatio;
  }
  return false;
}

void SpriteObject::applyGotoPlacement(const GotoPlacement& placement, bool rewind) {
  const swf::PlaceObject& p = placement.place;
  DisplayObject* child = list_.at(p.depth);
  const PlaceAction action = placeAction(p);
  if (child && (rewind || action == PlaceAction::Modify)) {
    child->applyPlacement(p);  // after a rewind, an instance still here is the one the frame places
  } else if (child && action == PlaceAction::Replace) {
    child->replaceCharacter(*p.characterId, context_.library());
    child->applyPlacement(p);
    child->setPlaceFrame(placement.frame);
  } else if (!child && (action == PlaceAction::Place || action == PlaceAction::Replace)) {
    instantiate(*p.characterId, p, placement.frame);
  }
}

void SpriteObject::markRemoved() {
  DisplayObject::markRemoved();
  for (const auto& [depth, child] : list_.children()) child->markRemoved();
}

void SpriteObject::render(RenderContext& context, const swf::Matrix& toPixels,
                          const swf::ColorTransform& colorTransform) const {
  // A movie loaded into a clip draws from its own characters.
  if (&context.library != &context_.library()) {
    RenderContext own{context.renderer, context_.library(), context.drawingMask, context.openLayers, context.stageScale};
    context.renderer.setBitmapLookup(context_.library().bitmapLookup());
    render(own, toPixels, colorTransform);
    context.renderer.setBitmapLookup(context.library.bitmapLookup());
    return;
  }
  if (drawing_ && !drawing_->empty())
    context.renderer.drawShape(drawing_->prepared(), concatenate(toPixels, matrix()),
                               concatenate(colorTransform, this->colorTransform()));
  list_.render(context, concatenate(toPixels, matrix()), concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

// A container's children by depth, and drawing them with their clip layers.
#include "DisplayList.h"

#include <vector>

#include "../render/Renderer.h"
#include "ButtonObject.h"
#include "SpriteObject.h"

namespace display {

DisplayObject* DisplayList::at(int32_t depth) const {
  auto it = children_.find(depth);
  return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* DisplayList::byName(std::string_view name) const {
  for (const auto& [depth, child] : children_)
    if (child->name() == name) return child.get();
  return nullptr;
}

void DisplayList::put(std::shared_ptr<DisplayObject> object) {
  const int32_t depth = object->depth();
  auto [it, inserted] = children_.try_emplace(depth, object);
  if (!inserted) {
    it->second->markRemoved();
    it->second = std::move(object);
  }
}

void DisplayList::remove(int32_t depth) {
  auto it = children_.find(depth);
  if (it == children_.end()) return;
  it->second->markRemoved();
  children_.erase(it);
}

void DisplayList::clear() {
  for (auto& [depth, child] : children_) child->markRemoved();
  children_.clear();
}

void DisplayList::swap(int32_t a, int32_t b) {
  if (a == b) return;
  auto first = children_.extract(a), second = children_.extract(b);
  if (!first.empty()) {
    first.key() = b;
    first.mapped()->setDepth(b);
    children_.insert(std::move(first));
  }
  if (!second.empty()) {
    second.key() = a;
    second.mapped()->setDepth(a);
    children_.insert(std::move(second));
  }
}

namespace {

// Whether a clip layer masks at all: an empty sprite or a character we do not draw masks
// nothing, and the original player then draws it and its maskees plainly.
bool masks(const DisplayObject& object) {
  switch (object.kind()) {
    case ObjectKind::Sprite: return !static_cast<const SpriteObject&>(object).children().empty();
    case ObjectKind::Button: return !static_cast<const ButtonObject&>(object).children().empty();
    case ObjectKind::Inert: return false;
    default: return true;
  }
}

// An object with a blend mode or filters is drawn into a layer of its own, filtered, and blended
// into what is below. Alpha and erase act on an enclosing layer; with none they show nothing.
void renderBlended(RenderContext& context, const DisplayObject& child, const swf::Matrix& toPixels,
                   const swf::ColorTransform& colorTransform) {
  const swf::BlendMode mode = child.blendMode();
  if (mode == swf::BlendMode::Normal && child.filters().empty()) {
    child.render(context, toPixels, colorTransform);
    return;
  }
  if ((mode == swf::BlendMode::Alpha || mode == swf::BlendMode::Erase) && context.openLayers == 0) return;
  context.renderer.pushLayer();
  ++context.openLayers;
  child.render(context, toPixels, colorTransform);
  --context.openLayers;
  context.renderer.popLayer(mode, child.filters(), context.stageScale);
}

}  // namespace

void DisplayList::render(RenderContext& context, const swf::Matrix& toPixels,
                         const swf::ColorTransform& colorTransform) const {
  std::vector<int32_t> clipDepths;  // the open clip layers' clip depths, innermost last
  for (const auto& [depth, child] : children_) {
    while (!clipDepths.empty() && depth > clipDepths.back()) {
      context.renderer.popMask();
      clipDepths.pop_back();
    }
    if (child->clipDepth() > 0 && masks(*child)) {
      context.renderer.pushMask();
      const bool wasDrawingMask = context.drawingMask;
      context.drawingMask = true;
      child->render(context, toPixels, colorTransform);
      context.drawingMask = wasDrawingMask;
      context.renderer.activateMask();
      clipDepths.push_back(child->clipDepth());
    } else if (context.drawingMask) {
      // A mask's descendants draw into it whatever their visibility or blend mode.
      child->render(context, toPixels, colorTransform);
    } else if (child->visible()) {
      renderBlended(context, *child, toPixels, colorTransform);
    }
  }
  for (size_t i = 0; i < clipDepths.size(); ++i) context.renderer.popMask();
}

}  // namespace display

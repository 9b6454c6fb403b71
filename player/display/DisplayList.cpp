// A container's children by depth, and drawing them with their clip layers.
#include "DisplayList.h"

#include <cmath>
#include <vector>

#include "../render/Renderer.h"
#include "ButtonObject.h"
#include "SpriteObject.h"
#include "Transform.h"

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
    case ObjectKind::Sprite: {
      const auto& sprite = static_cast<const SpriteObject&>(object);
      return !sprite.children().empty() || (sprite.drawing() && !sprite.drawing()->empty());
    }
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

// The matrix from the object's space up through every parent's.
swf::Matrix toTop(const DisplayObject& object) {
  swf::Matrix m = object.matrix();
  int guard = 0;
  for (const DisplayObject* p = object.parent(); p && guard < 256; p = p->parent(), ++guard) m = concatenate(p->matrix(), m);
  return m;
}

bool invert(const swf::Matrix& m, swf::Matrix& out) {
  const double det = m.a * m.d - m.b * m.c;
  if (std::abs(det) < 1e-12) return false;
  out.a = m.d / det, out.b = -m.b / det, out.c = -m.c / det, out.d = m.a / det;
  out.tx = -(out.a * m.tx + out.c * m.ty);
  out.ty = -(out.b * m.tx + out.d * m.ty);
  return true;
}

// A script's mask over `child` (drawn with `toPixels`, its parent's): the mask object drawn
// where it stands on the stage, then activated. False (nothing pushed) when there is none.
bool pushScriptMask(RenderContext& context, const DisplayObject& child, const swf::Matrix& toPixels) {
  std::shared_ptr<ScriptLink> link = child.scriptMask.lock();
  const DisplayObject* mask = link ? link->linked() : nullptr;
  const DisplayObject* parent = child.parent();
  if (!mask || !parent || mask == &child) return false;
  swf::Matrix fromParent;
  if (!invert(toTop(*parent), fromParent)) return false;
  const swf::Matrix view = concatenate(toPixels, fromParent);
  const swf::Matrix maskParent = mask->parent() ? toTop(*mask->parent()) : swf::Matrix{};
  context.renderer.pushMask();
  const bool wasDrawingMask = context.drawingMask;
  context.drawingMask = true;
  mask->render(context, concatenate(view, maskParent), swf::ColorTransform{});
  context.drawingMask = wasDrawingMask;
  context.renderer.activateMask();
  return true;
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
    } else if (child->isScriptMask) {
      // drawn only as the mask of what it masks
    } else if (child->visible()) {
      const bool masked = pushScriptMask(context, *child, toPixels);
      renderBlended(context, *child, toPixels, colorTransform);
      if (masked) context.renderer.popMask();
    }
  }
  for (size_t i = 0; i < clipDepths.size(); ++i) context.renderer.popMask();
}

}  // namespace display

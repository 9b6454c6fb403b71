// Clip layers and setMask's masks in the pointer's hit tests.
#include "ClipMasks.h"

#include "ClipGeometry.h"
#include "DisplayContext.h"
#include "SpriteObject.h"

namespace clips {

bool masksAllow(const display::SpriteObject& owner, const display::DisplayObject& child,
                render::Point point, render::Point stagePoint) {
  display::CharacterLibrary& library = owner.context().library();
  if (!display::insideClipLayer(owner.children(), child, library, point)) return false;
  std::shared_ptr<display::ScriptLink> link = child.scriptMask.lock();
  const display::DisplayObject* mask = link ? link->linked() : nullptr;
  if (!mask || mask->removed()) return true;
  // The mask may stand anywhere: the point in its parent's space.
  const swf::Matrix toParent = mask->parent() ? inverse(toRoot(*mask->parent())) : swf::Matrix{};
  const render::Point inParent{toParent.a * stagePoint.x + toParent.c * stagePoint.y + toParent.tx,
                               toParent.b * stagePoint.x + toParent.d * stagePoint.y + toParent.ty};
  return display::objectContains(*mask, library, inParent);
}

}  // namespace clips

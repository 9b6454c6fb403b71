// Dragging clips by script: startDrag (centre locked or kept where it was taken, within an
// optional rectangle), stopDrag and the _droptarget it leaves; setMask's binding.
#include <algorithm>
#include <cmath>

#include "ClipGeometry.h"
#include "ClipMasks.h"
#include "ClipStage.h"
#include "HitTest.h"
#include "SpriteObject.h"
#include "globals/Globals.h"

namespace clips {

namespace {

using avm1::Args;
using avm1::Machine;
using avm1::Value;

constexpr int kMaxNesting = 64;

render::Point inParentOf(const display::DisplayObject& object, render::Point stage) {
  const swf::Matrix m = object.parent() ? inverse(toRoot(*object.parent())) : swf::Matrix{};
  return render::Point{m.a * stage.x + m.c * stage.y + m.tx, m.b * stage.x + m.d * stage.y + m.ty};
}

// The deepest clip whose drawing lies under `point` (in `owner`'s space), leaving out `skip`.
display::SpriteObject* clipUnder(display::SpriteObject& owner, render::Point point, render::Point stagePoint,
                                 const display::DisplayObject* skip, int nesting) {
  if (nesting > kMaxNesting) return nullptr;
  const auto& children = owner.children().children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    display::DisplayObject& child = *it->second;
    if (&child == skip || child.kind() != display::ObjectKind::Sprite || child.clipDepth() || child.isScriptMask)
      continue;
    if (!masksAllow(owner, child, point, stagePoint)) continue;
    auto& sprite = static_cast<display::SpriteObject&>(child);
    render::Point local;
    if (!display::toLocal(child.matrix(), point, local)) continue;
    if (display::SpriteObject* inner = clipUnder(sprite, local, stagePoint, skip, nesting + 1)) return inner;
    if (display::objectContains(child, owner.context().library(), point)) return &sprite;
  }
  return nullptr;
}

// startDrag(lockCentre, left, top, right, bottom): a second argument constrains the drag,
// missing edges counting as 0.
Value startDrag(ClipStage& stage, Machine& m, ClipObject& clip, const Args& args) {
  double bounds[4];
  const bool constrained = args.size() > 1;
  if (constrained)
    for (size_t i = 0; i < 4; ++i) bounds[i] = m.toNumber(avm1::arg(args, i + 1));
  beginDrag(stage, clip, !args.empty() && m.toBoolean(args[0]), constrained ? bounds : nullptr);
  return Value();
}

Value stopDrag(ClipStage& stage, Machine&, ClipObject&, const Args&) {
  endDrag(stage);
  return Value();
}

// The slash path of the clip under the pointer, the dragged one left out.
void updateDropTarget(ClipStage& stage, ClipObject& dragged) {
  display::SpriteObject* under = clipUnder(stage.player().root(), stage.pointer, stage.pointer, dragged.display(), 0);
  auto target = under ? std::dynamic_pointer_cast<ClipObject>(scriptObjectOf(stage, *under)) : nullptr;
  dragged.dropTarget = target ? target->slashPath() : "";
}

// setMask(clip): the clip draws only inside the other's drawing, which is no longer drawn
// itself; setMask(null) takes the mask away.
Value setMask(ClipStage&, Machine&, ClipObject& clip, const Args& args) {
  display::DisplayObject* d = clip.display();
  std::shared_ptr<display::ScriptLink> old = d->scriptMask.lock();
  if (display::DisplayObject* previous = old ? old->linked() : nullptr) previous->isScriptMask = false;
  d->scriptMask.reset();
  ClipObject* mask = args.empty() ? nullptr : asClip(args[0]);
  if (!mask || !mask->display() || mask == &clip) return Value(true);
  d->scriptMask = std::static_pointer_cast<ClipObject>(mask->shared_from_this());
  mask->display()->isScriptMask = true;
  return Value(true);
}

using Method = Value (*)(ClipStage&, Machine&, ClipObject&, const Args&);
struct MethodRow {
  const char* name;
  Method method;
};
const MethodRow kMethods[] = {{"startDrag", startDrag}, {"stopDrag", stopDrag}, {"setMask", setMask}};

}  // namespace

void beginDrag(ClipStage& stage, ClipObject& clip, bool lockCentre, const double* bounds) {
  display::DisplayObject* d = clip.display();
  if (!d) return;
  ClipStage::Drag drag;
  drag.clip = std::static_pointer_cast<ClipObject>(clip.shared_from_this());
  if (!lockCentre) {
    const render::Point p = inParentOf(*d, stage.pointer);
    drag.offsetX = d->matrix().tx - p.x;
    drag.offsetY = d->matrix().ty - p.y;
  }
  if (bounds) {
    // Edges that are not numbers count as 0; the rectangle is taken whichever way round.
    double edge[4];
    for (size_t i = 0; i < 4; ++i) edge[i] = std::isfinite(bounds[i]) ? bounds[i] * 20 : 0;
    drag.bounded = true;
    drag.left = std::min(edge[0], edge[2]), drag.right = std::max(edge[0], edge[2]);
    drag.top = std::min(edge[1], edge[3]), drag.bottom = std::max(edge[1], edge[3]);
  }
  stage.drag = drag;
  followPointer(stage);
}

void endDrag(ClipStage& stage) {
  followPointer(stage);  // a drag started and stopped in one script still moves the clip once
  stage.drag.reset();
}

void followPointer(ClipStage& stage) {
  if (!stage.drag) return;
  std::shared_ptr<ClipObject> clip = stage.drag->clip.lock();
  display::DisplayObject* d = clip ? clip->display() : nullptr;
  if (!d) {
    stage.drag.reset();
    return;
  }
  const render::Point p = inParentOf(*d, stage.pointer);
  double x = p.x + stage.drag->offsetX, y = p.y + stage.drag->offsetY;
  if (stage.drag->bounded) {
    x = std::clamp(x, stage.drag->left, stage.drag->right);
    y = std::clamp(y, stage.drag->top, stage.drag->bottom);
  }
  swf::Matrix matrix = d->matrix();
  matrix.tx = std::round(x), matrix.ty = std::round(y);
  d->setMatrix(matrix);
  updateDropTarget(stage, *clip);
}

void installInteractionMethods(ClipStage& stage) {
  Machine& m = stage.machine();
  avm1::ObjectRef proto = m.prototypeOf("MovieClip");
  if (!proto) return;
  ClipStage* at = &stage;
  for (const MethodRow& row : kMethods) {
    Method method = row.method;
    proto->define(m, row.name, Value(m.newFunction(whileStageLives(stage, [method, at](Machine& mm, const Value& self, const Args& args) {
      ClipObject* clip = asClip(self);
      return clip && clip->display() ? method(*at, mm, *clip, args) : Value();
    }))), avm1::kDontEnum);
  }
}

}  // namespace clips

namespace clips {

// The StartDrag and EndDrag actions drag as the methods do.
void ClipStage::startDrag(avm1::Machine&, const avm1::ObjectRef& clip, bool lockCentre, const double* bounds) {
  if (ClipObject* object = asClip(avm1::Value(clip)); object && object->display())
    beginDrag(*this, *object, lockCentre, bounds);
}

void ClipStage::endDrag(avm1::Machine&) { clips::endDrag(*this); }

}  // namespace clips

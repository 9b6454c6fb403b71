// Mouse and key input for clips: the broadcast events, and the clips that act as buttons.
#include "ClipInput.h"

#include "ClipMasks.h"
#include "PlaceRecords.h"
#include "SpriteObject.h"

namespace clips {

namespace {

namespace ev = swf::clip_event;

constexpr const char* kButtonHandlers[] = {"onPress",    "onRelease",  "onReleaseOutside", "onRollOver",
                                           "onRollOut",  "onDragOver", "onDragOut"};
constexpr uint32_t kButtonEvents = ev::kPress | ev::kRelease | ev::kReleaseOutside | ev::kRollOver | ev::kRollOut |
                                   ev::kDragOver | ev::kDragOut;
constexpr int kMaxNesting = 64;

std::shared_ptr<ClipObject> clipOf(ClipStage& stage, display::DisplayObject& object) {
  return std::dynamic_pointer_cast<ClipObject>(scriptObjectOf(stage, object));
}

// The topmost clip acting as a button under `point` (in the list owner's space); a clip that
// acts as one takes the pointer for everything inside it.
std::shared_ptr<ClipObject> topClipIn(ClipStage& stage, const display::SpriteObject& owner, render::Point point,
                                      render::Point stagePoint, int nesting) {
  if (nesting > kMaxNesting) return nullptr;
  const auto& children = owner.children().children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    display::DisplayObject& child = *it->second;
    if (child.kind() != display::ObjectKind::Sprite || !child.visible() || child.clipDepth() || child.isScriptMask)
      continue;
    if (!masksAllow(owner, child, point, stagePoint)) continue;  // masked away here, children too
    std::shared_ptr<ClipObject> clip = clipOf(stage, child);
    if (clip && actsAsButton(stage.machine(), *clip)) {
      if (display::objectContains(child, owner.context().library(), point)) return clip;
      continue;
    }
    render::Point local;
    if (!display::toLocal(child.matrix(), point, local)) continue;
    if (auto found = topClipIn(stage, static_cast<display::SpriteObject&>(child), local, stagePoint, nesting + 1))
      return found;
  }
  return nullptr;
}

// Every clip under `sprite`, children (topmost first) before their parent.
void everyClip(ClipStage& stage, display::SpriteObject& sprite, std::vector<std::shared_ptr<ClipObject>>* out,
               int nesting) {
  if (nesting > kMaxNesting) return;
  const auto& children = sprite.children().children();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (it->second->kind() == display::ObjectKind::Sprite)
      everyClip(stage, static_cast<display::SpriteObject&>(*it->second), out, nesting + 1);
  if (auto clip = clipOf(stage, sprite)) out->push_back(clip);
}

}  // namespace

bool actsAsButton(avm1::Machine& m, ClipObject& clip) {
  display::DisplayObject* d = clip.display();
  if (!d) return false;
  bool handler = false;
  for (const swf::ClipAction& action : d->clipActions()) handler = handler || (action.events & kButtonEvents);
  for (const char* name : kButtonHandlers) {
    if (handler) break;
    handler = clip.get(m, name).isObject();
  }
  return handler && m.toBoolean(clip.get(m, "enabled"));
}

std::shared_ptr<ClipObject> ClipInput::clipAt(render::Point stage) {
  return topClipIn(stage_, stage_.player().root(), stage, stage, 0);
}

void ClipInput::event(const std::shared_ptr<ClipObject>& clip, uint32_t eventFlag, const char* method) {
  if (clip && clip->display()) stage_.queueEvent(*clip, eventFlag, method);
}

void ClipInput::broadcast(uint32_t eventFlag, const char* method) {
  std::vector<std::shared_ptr<ClipObject>> clips;
  everyClip(stage_, stage_.player().root(), &clips, 0);
  for (const auto& clip : clips) event(clip, eventFlag, method);
}

// Roll over and out while the button is up; drag over and out of the pressed clip while down.
void ClipInput::hover(const std::shared_ptr<ClipObject>& target) {
  std::shared_ptr<ClipObject> hovered = hovered_.lock();
  if (target == hovered) return;
  if (std::shared_ptr<ClipObject> pressed = pressed_.lock(); down_ && pressed) {
    if (hovered == pressed) event(pressed, ev::kDragOut, "onDragOut");
    if (target == pressed) event(pressed, ev::kDragOver, "onDragOver");
  } else if (!down_) {
    event(hovered, ev::kRollOut, "onRollOut");
    event(target, ev::kRollOver, "onRollOver");
  }
  hovered_ = target;
}

void ClipInput::move(render::Point stage) {
  stage_.pointer = stage;
  followPointer(stage_);
  hover(clipAt(stage));
  broadcast(ev::kMouseMove, "onMouseMove");
  stage_.runQueue();
}

void ClipInput::leave() {
  hover(nullptr);
  stage_.runQueue();
}

void ClipInput::press(render::Point stage) {
  stage_.pointer = stage;
  std::shared_ptr<ClipObject> target = clipAt(stage);
  hover(target);
  broadcast(ev::kMouseDown, "onMouseDown");
  down_ = true;
  pressed_ = target;
  event(target, ev::kPress, "onPress");
  stage_.runQueue();
}

void ClipInput::release(render::Point stage) {
  stage_.pointer = stage;
  std::shared_ptr<ClipObject> target = clipAt(stage);
  broadcast(ev::kMouseUp, "onMouseUp");
  std::shared_ptr<ClipObject> pressed = pressed_.lock();
  down_ = false;
  pressed_.reset();
  if (pressed && pressed == target) {
    event(pressed, ev::kRelease, "onRelease");
  } else if (pressed) {
    event(pressed, ev::kReleaseOutside, "onReleaseOutside");
    hovered_.reset();
    if (target) event(target, ev::kRollOver, "onRollOver");
  }
  hovered_ = target;
  stage_.runQueue();
}

// Every clip hears the key by its clip actions; the one with the keyboard focus (SWF 6 and
// later) also by its onKeyDown or onKeyUp method, in its turn, or after them when it is a
// button or a field. Enter and Space press and release a focused clip acting as a button.
void ClipInput::key(uint32_t eventFlag, const char* method, int code) {
  std::vector<std::shared_ptr<ClipObject>> clips;
  everyClip(stage_, stage_.player().root(), &clips, 0);
  avm1::ObjectRef focus = stage_.input().keyFocus();
  ClipObject* focused = stage_.machine().rules().version() >= 6 && focus ? asClip(avm1::Value(focus)) : nullptr;
  bool heard = false;
  for (const auto& clip : clips) {
    const bool isFocused = clip.get() == focused;
    heard = heard || isFocused;
    event(clip, eventFlag, isFocused ? method : nullptr);
  }
  if (!focused || !focused->display()) return;
  if (!heard) stage_.queueEvent(*focused, 0, method);
  if (eventFlag == ev::kKeyDown && (code == 13 || code == 32) && focused->display()->kind() == display::ObjectKind::Sprite &&
      actsAsButton(stage_.machine(), *focused)) {
    auto self = std::static_pointer_cast<ClipObject>(focused->shared_from_this());
    event(self, ev::kPress, "onPress");
    event(self, ev::kRelease, "onRelease");
  }
}

void ClipInput::keyDown(int code, int ascii) {
  lastCode_ = code, lastAscii_ = ascii;
  key(ev::kKeyDown, "onKeyDown", code);
  stage_.runQueue();
}

void ClipInput::keyUp(int code, int ascii) {
  lastCode_ = code, lastAscii_ = ascii;
  key(ev::kKeyUp, "onKeyUp", code);
  stage_.runQueue();
}

bool ClipInput::handCursor() {
  std::shared_ptr<ClipObject> hovered = hovered_.lock();
  if (!hovered || !hovered->display() || !actsAsButton(stage_.machine(), *hovered)) return false;
  return stage_.machine().toBoolean(hovered->get(stage_.machine(), "useHandCursor"));
}

}  // namespace clips

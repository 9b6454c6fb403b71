// Button state changes from the pointer: push buttons keep the pointer's attention while held
// (drag out and over, release outside); track-as-menu buttons take it as the pointer passes.
#include "PointerTracker.h"

#include "SpriteObject.h"

namespace display {

namespace {

std::shared_ptr<ButtonObject> alive(const std::weak_ptr<ButtonObject>& button) {
  std::shared_ptr<ButtonObject> b = button.lock();
  return b && !b->removed() ? b : nullptr;
}

constexpr int kMaxNesting = 64;

void collectKeyActions(const DisplayList& list, uint8_t swfKey, int nesting,
                       std::vector<std::pair<std::shared_ptr<ButtonObject>, const ButtonAction*>>& out) {
  if (nesting > kMaxNesting) return;
  for (auto it = list.children().rbegin(); it != list.children().rend(); ++it) {
    if (it->second->kind() == ObjectKind::Sprite) {
      collectKeyActions(static_cast<const SpriteObject&>(*it->second).children(), swfKey, nesting + 1, out);
    } else if (it->second->kind() == ObjectKind::Button) {
      auto button = std::static_pointer_cast<ButtonObject>(it->second);
      if (!button->enabled()) continue;
      for (const ButtonAction& action : button->definition().actions)
        if (action.keyCode == swfKey) out.emplace_back(button, &action);
    }
  }
}

}  // namespace

std::shared_ptr<ButtonObject> PointerTracker::hovered() const { return alive(hovered_); }

void PointerTracker::emit(std::vector<ButtonEvent>& out, const std::shared_ptr<ButtonObject>& button,
                          ButtonCondition condition, ButtonState state) {
  if (!button->enabled()) return;
  button->setState(state);
  button->playSound(condition);
  out.push_back({button, condition});
}

std::vector<ButtonEvent> PointerTracker::move(const std::shared_ptr<ButtonObject>& rawTarget) {
  std::vector<ButtonEvent> out;
  std::shared_ptr<ButtonObject> target = rawTarget && !rawTarget->removed() ? rawTarget : nullptr;
  std::shared_ptr<ButtonObject> hovered = alive(hovered_);
  std::shared_ptr<ButtonObject> pressed = alive(pressed_);
  if (down_ && pressed && !pressed->trackAsMenu()) {
    // A held push button follows the pointer alone.
    if (target == pressed && hovered != pressed) {
      emit(out, pressed, kDragOver, ButtonState::Down);
      hovered_ = pressed;
    } else if (target != pressed && hovered == pressed) {
      emit(out, pressed, kDragOut, ButtonState::Over);
      hovered_.reset();
    }
    return out;
  }
  if (target == hovered) return out;
  if (down_) {
    // Dragging over menu buttons: each one entered shows down, each one left goes idle.
    if (hovered) emit(out, hovered, hovered->trackAsMenu() ? kMenuDragOut : kDragOut,
                      hovered->trackAsMenu() ? ButtonState::Up : ButtonState::Over);
    hovered_.reset();
    if (target && target->trackAsMenu()) {
      emit(out, target, kMenuDragOver, ButtonState::Down);
      hovered_ = target;
    }
    return out;
  }
  if (hovered) emit(out, hovered, kRollOut, ButtonState::Up);
  if (target) emit(out, target, kRollOver, ButtonState::Over);
  hovered_ = target;
  return out;
}

std::vector<ButtonEvent> PointerTracker::press(const std::shared_ptr<ButtonObject>& target) {
  std::vector<ButtonEvent> out = move(target);
  if (down_) return out;
  down_ = true;
  pressed_.reset();
  if (std::shared_ptr<ButtonObject> hovered = alive(hovered_)) {
    emit(out, hovered, kPress, ButtonState::Down);
    pressed_ = hovered;
  }
  return out;
}

std::vector<ButtonEvent> PointerTracker::release(const std::shared_ptr<ButtonObject>& target) {
  std::vector<ButtonEvent> out = move(target);
  if (!down_) return out;
  down_ = false;
  std::shared_ptr<ButtonObject> pressed = alive(pressed_);
  std::shared_ptr<ButtonObject> hovered = alive(hovered_);
  pressed_.reset();
  if (hovered) {
    emit(out, hovered, kRelease, ButtonState::Over);
  } else if (pressed && !pressed->trackAsMenu()) {
    emit(out, pressed, kReleaseOutside, ButtonState::Up);
  }
  // Now free, the pointer rolls over whatever it is on.
  std::vector<ButtonEvent> after = move(target);
  out.insert(out.end(), after.begin(), after.end());
  return out;
}

std::vector<const ButtonAction*> actionsFor(const ButtonEvent& event) {
  std::vector<const ButtonAction*> out;
  for (const ButtonAction& action : event.button->definition().actions)
    if (action.conditions & event.condition) out.push_back(&action);
  return out;
}

std::vector<std::pair<std::shared_ptr<ButtonObject>, const ButtonAction*>> keyPressActions(const DisplayList& list,
                                                                                          uint8_t swfKey) {
  std::vector<std::pair<std::shared_ptr<ButtonObject>, const ButtonAction*>> out;
  if (swfKey) collectKeyActions(list, swfKey, 0, out);
  return out;
}

}  // namespace display

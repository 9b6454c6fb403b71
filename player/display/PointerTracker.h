// The buttons' side of the pointer, as the original player tracks it: which button the pointer
// is over and which one the primary button pressed, the state each button shows, and the
// conditions (roll over and out, press, release, release outside, drag over and out, the menu
// drags of track-as-menu buttons) that their actions run on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ButtonObject.h"

namespace display {

struct ButtonEvent {
  std::shared_ptr<ButtonObject> button;
  ButtonCondition condition;
};

class PointerTracker {
 public:
  // The pointer is now over `target` (nullptr: over no button); the primary button is as before.
  std::vector<ButtonEvent> move(const std::shared_ptr<ButtonObject>& target);
  // The primary button went down or up with the pointer over `target`.
  std::vector<ButtonEvent> press(const std::shared_ptr<ButtonObject>& target);
  std::vector<ButtonEvent> release(const std::shared_ptr<ButtonObject>& target);

  // The button under the pointer that reacts to it now (none while another is held).
  std::shared_ptr<ButtonObject> hovered() const;
  bool buttonDown() const { return down_; }

 private:
  void emit(std::vector<ButtonEvent>& out, const std::shared_ptr<ButtonObject>& button, ButtonCondition condition,
            ButtonState state);

  std::weak_ptr<ButtonObject> hovered_;
  std::weak_ptr<ButtonObject> pressed_;
  bool down_ = false;
};

// The actions of `event`'s button whose conditions hold its condition.
std::vector<const ButtonAction*> actionsFor(const ButtonEvent& event);

// The actions of the buttons on `list` (looking into clips, topmost first) that run on a key
// press of `swfKey` (SWF key codes: 1-19 for the named keys, 32-126 for characters).
std::vector<std::pair<std::shared_ptr<ButtonObject>, const ButtonAction*>> keyPressActions(const DisplayList& list,
                                                                                          uint8_t swfKey);

}  // namespace display

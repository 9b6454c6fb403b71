// Where buttons' actions go to run: the player gives each action it took from a button event
// (copied, since an action may unload the movie) to whoever runs ActionScript for it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace display {

class ButtonObject;

struct PendingButtonAction {
  std::weak_ptr<ButtonObject> button;  // the original player runs it with the button's parent as target
  std::vector<uint8_t> bytes;
};

class ButtonActionRunner {
 public:
  virtual ~ButtonActionRunner() = default;
  virtual void runButtonAction(const PendingButtonAction& action) = 0;
};

}  // namespace display

// The pointer and keys as clips hear them: mouse and key clip events and onMouseDown-style
// handlers broadcast to every clip, and clips with onPress-style handlers (or on(press)
// clip actions) tracked as buttons are: roll over and out, press, release, release outside,
// drag over and out, with the hand cursor where useHandCursor asks for it.
#pragma once

#include <memory>

#include "ClipStage.h"
#include "HitTest.h"

namespace clips {

class ClipInput {
 public:
  explicit ClipInput(ClipStage& stage) : stage_(stage) {}

  // The pointer at `stage` (twips of the stage), or gone from the stage; the primary button.
  void move(render::Point stage);
  void leave();
  void press(render::Point stage);
  void release(render::Point stage);
  // A key went down or up: its key code (Key.getCode's) and character (Key.getAscii's).
  void keyDown(int code, int ascii);
  void keyUp(int code, int ascii);

  // The clip acting as a button under the pointer shows the hand.
  bool handCursor();
  int lastKeyCode() const { return lastCode_; }
  int lastKeyAscii() const { return lastAscii_; }

 private:
  std::shared_ptr<ClipObject> clipAt(render::Point stage);
  void broadcast(uint32_t eventFlag, const char* method);
  void key(uint32_t eventFlag, const char* method, int code);
  void event(const std::shared_ptr<ClipObject>& clip, uint32_t eventFlag, const char* method);
  void hover(const std::shared_ptr<ClipObject>& target);

  ClipStage& stage_;
  std::weak_ptr<ClipObject> hovered_, pressed_;
  bool down_ = false;
  int lastCode_ = 0, lastAscii_ = 0;
};

// Whether a clip reacts to the pointer as a button: an onPress-style handler or clip action,
// and `enabled`.
bool actsAsButton(avm1::Machine& m, ClipObject& clip);

}  // namespace clips

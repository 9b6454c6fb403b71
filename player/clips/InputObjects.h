// The input objects of ActionScript: Key, Mouse, Stage and Selection on _global, each an
// AsBroadcaster, and the state behind them (keys held, the focus, the stage's scale mode). The
// player reports input and resizes here; the listeners hear of them.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "Machine.h"

namespace display {
class DisplayObject;
}

namespace clips {

class ClipStage;

class InputObjects {
 public:
  explicit InputObjects(ClipStage& stage);  // installs the four objects on the stage's machine

  // Input from the player, in the order it came. Codes are the player's key codes (Windows
  // virtual keys); ascii is the character the key gave (0 for none).
  void keyDown(int code, int ascii);
  void keyUp(int code, int ascii);
  void mouseDown();
  void mouseUp();
  void mouseMove();
  void mouseWheel(int delta);
  // The area the movie shows, in pixels: Stage.width and height under "noScale", and onResize
  // when that changes the stage's size.
  void resized(int width, int height);
  // The scale mode and alignment as the control keeps them (ScaleMode 0 showAll, 1 noBorder,
  // 2 exactFit, 3 noScale; AlignMode bits 1 left, 2 right, 4 top, 8 bottom): the container set
  // them. `layoutChanged` hears when a script sets them.
  void setLayout(int scaleModeIndex, int alignBits);
  int scaleModeIndex() const;
  int alignBits() const;
  std::function<void()> layoutChanged;

  bool isDown(int code) const { return held_.count(code) != 0; }
  bool mouseHidden() const { return mouseHidden_; }
  const std::string& scaleMode() const { return scaleMode_; }
  const std::string& align() const { return align_; }
  bool showMenu() const { return showMenu_; }

  // The focused text field, button or clip (Selection.getFocus); null for none.
  const avm1::ObjectRef& focus() const { return focus_; }
  // Whether the focused field has a selection scripts see (Selection.getBeginIndex...).
  bool hasSelection() const { return focus_ && selected_; }
  // Moves the focus: the old one hears onKillFocus(new), the new one onSetFocus(old), then
  // Selection's listeners onSetFocus(old, new). `focusMoved` then hears of the new one (the
  // player's own keyboard focus follows it).
  void setFocus(const avm1::ObjectRef& focus);
  std::function<void(display::DisplayObject*)> focusMoved;
  // The focus while keys reach it: a focus given by Tab or by script, until the pointer acts
  // (any pointer input before SWF 9, a press from then on).
  avm1::ObjectRef keyFocus() const { return focusActive_ ? focus_ : nullptr; }

 private:
  void install();
  void broadcast(const avm1::ObjectRef& on, const char* event, const avm1::Args& args = {});
  // Stage.width and height: the area shown under noScale (once known), else the movie's size.
  std::pair<double, double> stageSize() const;
  // Applies a new mode, alignment or area; onResize when the stage's size changed under noScale.
  void relayout(const std::string& scaleMode, const std::string& align, int width, int height);

  ClipStage& stage_;
  avm1::ObjectRef key_, mouse_, stageObject_, selection_;
  std::set<int> held_;
  int lastCode_ = 0, lastAscii_ = 0;
  bool capsLock_ = false, numLock_ = false, scrollLock_ = false;
  bool mouseHidden_ = false;
  std::string scaleMode_ = "showAll", align_;
  bool showMenu_ = true;
  int width_ = 0, height_ = 0;  // 0: the movie's own size
  avm1::ObjectRef focus_;
  bool selected_ = false;  // a script chose the focused field's selection: until then it has none
  bool focusActive_ = false;
};

}  // namespace clips

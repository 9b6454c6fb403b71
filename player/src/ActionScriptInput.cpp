// The stage's mouse and key messages as the movie's clips hear them: the pointer's moves,
// presses and releases and the keys' downs and ups, in the order the window gets them.
#include <windowsx.h>

#include "ActionScriptMovie.h"
#include "ScriptClasses.h"

void ActionScriptMovie::clipInput(UINT message, WPARAM wParam, std::optional<render::Point> stage) {
  clips::ClipInput* input = input_.get();
  if (!input) return;
  hasCode_ = true;
  switch (message) {
    case WM_MOUSEMOVE:
      if (stage) input->move(*stage);
      break;
    case WM_MOUSELEAVE: input->leave(); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (stage) input->press(*stage);
      break;
    case WM_LBUTTONUP:
      if (stage) input->release(*stage);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      // Key.getAscii's character: what the key types without modifiers, in lower case.
      const int ascii = static_cast<int>(MapVirtualKeyW(static_cast<UINT>(wParam), MAPVK_VK_TO_CHAR) & 0x7FFF);
      const int lower = ascii >= 'A' && ascii <= 'Z' && !(GetKeyState(VK_SHIFT) & 0x8000) ? ascii + 32 : ascii;
      if (message == WM_KEYDOWN) input->keyDown(static_cast<int>(wParam), lower);
      else input->keyUp(static_cast<int>(wParam), lower);
      break;
    }
    default: break;
  }
}

bool ActionScriptMovie::clipHandCursor() { return input_ && input_->handCursor(); }

void ActionScriptMovie::focusFromUser(display::DisplayObject* object) {
  if (!stage_) return;
  hasCode_ = true;
  stage_->input().setFocus(object ? clips::scriptObjectOf(*stage_, *object) : nullptr);
}

void ActionScriptMovie::fieldTyped(display::EditTextObject& field) {
  if (stage_) clips::fieldChanged(*stage_, field);
}

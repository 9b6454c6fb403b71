// The movie's side of the stage's input: the pointer and keys handed to its buttons, their
// actions run, and the hand cursor over an active button.
#include <windowsx.h>

#include "ActionScriptMovie.h"
#include "FlashPlayer.h"

namespace {

// Virtual keys as the SWF key codes of key-press conditions; characters come from WM_CHAR.
constexpr struct {
  WPARAM virtualKey;
  uint8_t swfKey;
} kNamedKeys[] = {
    {VK_LEFT, 1},  {VK_RIGHT, 2}, {VK_HOME, 3},  {VK_END, 4},    {VK_INSERT, 5}, {VK_DELETE, 6}, {VK_BACK, 8},
    {VK_RETURN, 13}, {VK_UP, 14}, {VK_DOWN, 15}, {VK_PRIOR, 16}, {VK_NEXT, 17},  {VK_TAB, 18},   {VK_ESCAPE, 19},
};

uint8_t swfKeyOf(UINT message, WPARAM wParam) {
  if (message == WM_CHAR) return wParam >= 32 && wParam <= 126 ? static_cast<uint8_t>(wParam) : 0;
  for (const auto& k : kNamedKeys)
    if (k.virtualKey == wParam) return k.swfKey;
  return 0;
}

}  // namespace

void FlashPlayer::movieInput(UINT message, WPARAM wParam, POINT point) {
  if (!movieView_.loaded()) return;
  std::vector<display::PendingButtonAction> actions;
  switch (message) {
    case WM_MOUSEMOVE:
      if (stageWindow_ && !trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, stageWindow_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      actions = movieView_.pointer(MovieView::Pointer::Move, point);
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      actions = movieView_.pointer(MovieView::Pointer::Leave, point);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      actions = movieView_.pointer(MovieView::Pointer::Press, point);
      break;
    case WM_LBUTTONUP:
      actions = movieView_.pointer(MovieView::Pointer::Release, point);
      break;
    case WM_KEYDOWN:
    case WM_CHAR:
      if (uint8_t key = swfKeyOf(message, wParam)) actions = movieView_.keyPress(key);
      break;
    default:
      return;
  }
  // The actions come first, then the picture with the buttons' new states and what they did.
  if (auto actionScript = actionScript_)
    for (const display::PendingButtonAction& action : actions) actionScript->runButtonAction(action);
  refreshMovie();
}

bool FlashPlayer::setMovieCursor() {
  if (!movieView_.handCursor()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

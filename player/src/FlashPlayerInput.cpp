// The movie's side of the stage's input: the pointer and keys handed to its buttons, their
// actions run, and the hand cursor over an active button.
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <string>

#include "ActionScriptMovie.h"
#include "ScriptInput.h"
#include "FlashPlayer.h"
#include "SpriteObject.h"
#include "Text.h"

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

// Keys that edit the focused field.
constexpr struct {
  WPARAM virtualKey;
  display::EditKey key;
} kEditKeys[] = {{VK_LEFT, display::EditKey::Left},      {VK_RIGHT, display::EditKey::Right},
                 {VK_HOME, display::EditKey::Home},      {VK_END, display::EditKey::End},
                 {VK_BACK, display::EditKey::Backspace}, {VK_DELETE, display::EditKey::Delete},
                 {VK_RETURN, display::EditKey::Enter}};

bool held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

std::optional<std::u16string> clipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return std::nullopt;
  std::optional<std::u16string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
      text.emplace(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void setClipboardText(HWND owner, const std::u16string& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t))) {
    if (auto* chars = static_cast<char16_t*>(GlobalLock(data))) {
      std::copy(text.begin(), text.end(), chars);
      chars[text.size()] = 0;
      GlobalUnlock(data);
      if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
    } else {
      GlobalFree(data);
    }
  }
  CloseClipboard();
}

}  // namespace

// Tab, the editing keys, the clipboard's Ctrl keys and typed characters, on the focused field.
void FlashPlayer::fieldInput(UINT message, WPARAM wParam) {
  std::optional<MovieView::FieldChange> change;
  if (message == WM_KEYDOWN) {
    if (wParam == VK_TAB) movieView_.tab(held(VK_SHIFT));
    for (const auto& k : kEditKeys)
      if (k.virtualKey == wParam) change = movieView_.editKey(k.key, held(VK_SHIFT));
    if (held(VK_CONTROL)) {
      HWND owner = inputWindow();
      if (wParam == 'A') change = movieView_.editKey(display::EditKey::SelectAll, false);
      if (wParam == 'C' || wParam == 'X')
        if (std::optional<std::u16string> text = movieView_.copy()) setClipboardText(owner, *text);
      if (wParam == 'X') change = movieView_.cut();
      if (wParam == 'V')
        if (std::optional<std::u16string> text = clipboardText(owner)) change = movieView_.type(*text);
    }
  } else if (message == WM_CHAR && wParam >= 32 && wParam != 127) {
    // Composed IME text arrives as WM_CHAR too. The stage window is an ANSI window: its
    // characters come in the ANSI code page; a windowless container's are UTF-16 when its
    // window is a Unicode one.
    std::u16string typed;
    if (windowless_ && parentWindow_ && IsWindowUnicode(parentWindow_)) {
      typed.push_back(static_cast<char16_t>(wParam));
    } else {
      char bytes[2] = {};
      int count = 0;
      if ((wParam >> 8) & 0xFF) bytes[count++] = static_cast<char>((wParam >> 8) & 0xFF);
      bytes[count++] = static_cast<char>(wParam & 0xFF);
      wchar_t wide[2] = {};
      const int made = MultiByteToWideChar(CP_ACP, 0, bytes, count, wide, 2);
      typed.assign(wide, wide + std::max(made, 0));
    }
    change = movieView_.type(typed);
  }
  if (change)
    if (auto actionScript = actionScript_) {
      if (!change->variable.empty())
        actionScript->setVariable(utf8ToWide(change->variable), std::wstring(change->value.begin(), change->value.end()));
      actionScript->fieldTyped(*change->field);
    }
}

// The player's keyboard focus (clicks and Tab on fields and buttons) and the script's
// (Selection) are one: each side follows the other.
void FlashPlayer::bindFocus() {
  clips::InputObjects* input = actionScript_ ? actionScript_->input() : nullptr;
  display::TextInput* text = movieView_.textInput();
  if (!input || !text) return;
  text->focusChanged = [this](const std::shared_ptr<display::DisplayObject>& object) {
    if (auto actionScript = actionScript_) actionScript->focusFromUser(object.get());
  };
  input->focusMoved = [this](display::DisplayObject* object) {
    display::TextInput* text = movieView_.textInput();
    if (!text) return;
    std::shared_ptr<display::DisplayObject> shared;
    if (object && object->parent())
      for (const auto& [depth, child] : object->parent()->children().children())
        if (child.get() == object) shared = child;
    text->setFocus(shared);
  };
}

void FlashPlayer::movieInput(UINT message, WPARAM wParam, POINT point) {
  if (!movieView_.loaded()) return;
  if (auto actionScript = actionScript_) reportScriptInput(*actionScript, message, wParam);
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
      fieldInput(message, wParam);
      if (uint8_t key = swfKeyOf(message, wParam)) actions = movieView_.keyPress(key);
      break;
    case WM_KEYUP: break;
    default:
      return;
  }
  // The actions come first, then the buttons' script handlers, then the clips' events, then the
  // picture with the buttons' new states and what they did.
  if (auto actionScript = actionScript_) {
    for (const display::PendingButtonAction& action : actions) actionScript->runButtonAction(action);
    for (const display::ButtonEvent& event : movieView_.takeButtonEvents()) actionScript->buttonEvent(event);
    actionScript->clipInput(message, wParam, movieView_.stagePoint(point));
  }
  refreshMovie();
}

bool FlashPlayer::setMovieCursor() {
  if (auto actionScript = actionScript_)
    if (clips::InputObjects* input = actionScript->input(); input && input->mouseHidden()) {
      SetCursor(nullptr);  // Mouse.hide()
      return true;
    }
  const bool clipHand = actionScript_ && actionScript_->clipHandCursor();
  if (!movieView_.handCursor() && !clipHand) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

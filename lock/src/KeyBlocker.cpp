// Blocking keys with low-level hooks on a thread of the library's own.
#include "KeyBlocker.h"

#include "Module.h"

#include <algorithm>

namespace lumolock {
namespace {

// Posted by a hook to its own thread, so that notifications run outside the hook call.
constexpr UINT kNotifyMessage = WM_APP + 0x4C4B;
// A window that does not answer within this time is not waited for: the hook thread must stay
// free, or the system stops calling the hooks and keys get through.
constexpr UINT kSendTimeoutMs = 250;
constexpr DWORD kThreadWaitMs = 5000;

struct SharedLock {
  explicit SharedLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockShared(&lock_); }
  ~SharedLock() { ReleaseSRWLockShared(&lock_); }
  SRWLOCK& lock_;
};
struct ExclusiveLock {
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  SRWLOCK& lock_;
};

// The modifier bit a key stands for, 0 for other keys.
UINT modifierOf(UINT virtualKey) {
  switch (virtualKey) {
    case VK_MENU: case VK_LMENU: case VK_RMENU: return WL_MOD_ALT;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return WL_MOD_CTRL;
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return WL_MOD_SHIFT;
    case VK_LWIN: case VK_RWIN: return WL_MOD_WIN;
    default: return 0;
  }
}

constexpr UINT kModifierKeys[] = {VK_MENU,  VK_LMENU, VK_RMENU, VK_CONTROL, VK_LCONTROL,
                                   VK_RCONTROL, VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_LWIN, VK_RWIN};

struct ButtonEvent {
  UINT message;
  UINT virtualKey;
  bool down;
};
constexpr ButtonEvent kButtons[] = {
    {WM_LBUTTONDOWN, VK_LBUTTON, true}, {WM_LBUTTONUP, VK_LBUTTON, false},
    {WM_RBUTTONDOWN, VK_RBUTTON, true}, {WM_RBUTTONUP, VK_RBUTTON, false},
    {WM_MBUTTONDOWN, VK_MBUTTON, true}, {WM_MBUTTONUP, VK_MBUTTON, false},
};

bool inFront(HWND window) {
  HWND front = GetForegroundWindow();
  if (!front) return false;
  return front == window || GetAncestor(front, GA_ROOTOWNER) == window || GetAncestor(front, GA_ROOT) == window;
}

}  // namespace

KeyBlocker& KeyBlocker::instance() {
  static KeyBlocker blocker;
  return blocker;
}

bool KeyBlocker::setBlocked(HWND window, UINT virtualKey, UINT modifiers, bool blocked) {
  if (virtualKey > 0xFF || (virtualKey == 0 && modifiers == 0)) return false;
  if (blocked) {
    ExclusiveLock starting(threadLock_);
    if (!startThread()) return false;
  }
  ExclusiveLock guard(lock_);
  auto same = [&](const Block& b) { return b.virtualKey == virtualKey && b.modifiers == modifiers; };
  auto it = std::find_if(blocks_.begin(), blocks_.end(), same);
  if (!blocked) {
    if (it == blocks_.end()) return false;
    blocks_.erase(it);
  } else if (it != blocks_.end()) {
    it->window = window;
  } else {
    blocks_.push_back({virtualKey, modifiers, window});
  }
  return true;
}

bool KeyBlocker::isBlocked(UINT virtualKey, UINT modifiers) const {
  SharedLock guard(lock_);
  return std::any_of(blocks_.begin(), blocks_.end(),
                     [&](const Block& b) { return b.virtualKey == virtualKey && b.modifiers == modifiers; });
}

bool KeyBlocker::blockedAt(UINT index, UINT* virtualKey, UINT* modifiers) const {
  SharedLock guard(lock_);
  if (index >= blocks_.size()) return false;
  if (virtualKey) *virtualKey = blocks_[index].virtualKey;
  if (modifiers) *modifiers = blocks_[index].modifiers;
  return true;
}

void KeyBlocker::setSendMessage(HWND window, UINT message) {
  ExclusiveLock guard(lock_);
  sendWindow_ = window;
  sendMessage_ = message;
}

void KeyBlocker::setPostMessage(HWND window, UINT message) {
  ExclusiveLock guard(lock_);
  postWindow_ = window;
  postMessage_ = message;
}

void KeyBlocker::setCallback(WlKeyCallback callback, void* context) {
  ExclusiveLock guard(lock_);
  callback_ = callback;
  callbackContext_ = context;
}

void KeyBlocker::clear() {
  {
    ExclusiveLock stopping(threadLock_);
    stopThread();
  }
  ExclusiveLock guard(lock_);
  blocks_.clear();
  sendWindow_ = postWindow_ = nullptr;
  sendMessage_ = postMessage_ = 0;
  callback_ = nullptr;
  callbackContext_ = nullptr;
}

bool KeyBlocker::startThread() {
  if (thread_) return hooked_;
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  stopped_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  hooked_ = false;
  if (ready_ && stopped_) thread_ = CreateThread(nullptr, 0, &KeyBlocker::threadMain, this, 0, &threadId_);
  if (!thread_ || WaitForSingleObject(ready_, kThreadWaitMs) != WAIT_OBJECT_0 || !hooked_) {
    stopThread();
    return false;
  }
  return true;
}

// The hook thread ends parked: it unhooks, signals, and sleeps until the stopper terminates
// it. Waiting for a thread's normal exit inside DllMain would deadlock on the loader lock, and
// a thread that returned after signalling could still be running the library's code while the
// library is unmapped; a parked thread holds no lock and runs no code.
void KeyBlocker::stopThread() {
  if (thread_) {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(stopped_, kThreadWaitMs);
    TerminateThread(thread_, 0);
    WaitForSingleObject(thread_, kThreadWaitMs);
    CloseHandle(thread_);
  }
  if (ready_) CloseHandle(ready_);
  if (stopped_) CloseHandle(stopped_);
  thread_ = ready_ = stopped_ = nullptr;
  threadId_ = 0;
  hooked_ = false;
}

DWORD WINAPI KeyBlocker::threadMain(void* self) {
  auto* blocker = static_cast<KeyBlocker*>(self);
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before "ready"
  std::fill(std::begin(blocker->down_), std::end(blocker->down_), false);
  blocker->swallowed_.clear();
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyBlocker::keyboardHook, libraryModule(), 0);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, &KeyBlocker::mouseHook, libraryModule(), 0);
  blocker->hooked_ = keyboard && mouse;
  SetEvent(blocker->ready_);
  if (blocker->hooked_) {
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (!message.hwnd && message.message == kNotifyMessage)
        blocker->notify(static_cast<UINT>(message.wParam), static_cast<UINT>(message.lParam));
      else
        DispatchMessageW(&message);
    }
  }
  if (keyboard) UnhookWindowsHookEx(keyboard);
  if (mouse) UnhookWindowsHookEx(mouse);
  SetEvent(blocker->stopped_);
  for (;;) Sleep(INFINITE);
}

LRESULT CALLBACK KeyBlocker::keyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const UINT alt = (event->flags & LLKHF_ALTDOWN) ? WL_MOD_ALT : 0;
    if (instance().swallow(event->vkCode & 0xFF, down, alt)) return 1;
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK KeyBlocker::mouseHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    for (const ButtonEvent& button : kButtons) {
      if (button.message == message && instance().swallow(button.virtualKey, button.down, 0)) return 1;
    }
    if (message == WM_XBUTTONDOWN || message == WM_XBUTTONUP) {
      const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
      const UINT key = HIWORD(event->mouseData) == XBUTTON2 ? VK_XBUTTON2 : VK_XBUTTON1;
      if (instance().swallow(key, message == WM_XBUTTONDOWN, 0)) return 1;
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

bool KeyBlocker::swallow(UINT virtualKey, bool down, UINT extraModifiers) {
  if (modifierOf(virtualKey)) down_[virtualKey] = down;
  auto known = std::find(swallowed_.begin(), swallowed_.end(), virtualKey);
  if (!down) {
    if (known == swallowed_.end()) return false;
    swallowed_.erase(known);
    return true;
  }
  const UINT modifiers = heldModifiers() | extraModifiers;
  bool blocked;
  {
    SharedLock guard(lock_);
    blocked = matches(virtualKey, modifiers);
  }
  if (!blocked) return false;
  if (known == swallowed_.end()) {  // a key's auto-repeat is not told again
    swallowed_.push_back(virtualKey);
    PostThreadMessageW(GetCurrentThreadId(), kNotifyMessage, virtualKey, modifiers);
  }
  return true;
}

// What this thread saw (swallowed modifier presses never reach the system's key state) and
// what the system knows from before the hooks existed.
UINT KeyBlocker::heldModifiers() const {
  UINT modifiers = 0;
  for (UINT key : kModifierKeys) {
    if (down_[key] || (GetAsyncKeyState(static_cast<int>(key)) & 0x8000)) modifiers |= modifierOf(key);
  }
  return modifiers;
}

bool KeyBlocker::matches(UINT virtualKey, UINT modifiers) const {
  for (const Block& b : blocks_) {
    if ((b.modifiers & modifiers) != b.modifiers) continue;
    if (b.virtualKey != virtualKey && b.virtualKey != 0) continue;
    if (b.window && !inFront(b.window)) continue;
    return true;
  }
  return false;
}

void KeyBlocker::notify(UINT virtualKey, UINT modifiers) {
  HWND sendWindow, postWindow;
  UINT sendMessage, postMessage;
  WlKeyCallback callback;
  void* context;
  {
    SharedLock guard(lock_);
    sendWindow = sendWindow_;
    sendMessage = sendMessage_;
    postWindow = postWindow_;
    postMessage = postMessage_;
    callback = callback_;
    context = callbackContext_;
  }
  DWORD_PTR answer = 0;
  if (sendWindow)
    SendMessageTimeoutW(sendWindow, sendMessage, virtualKey, modifiers, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer);
  if (postWindow) PostMessageW(postWindow, postMessage, virtualKey, modifiers);
  if (callback) callback(virtualKey, modifiers, context);
}

}  // namespace lumolock

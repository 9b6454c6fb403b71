// The blocked keys and mouse buttons, and the hook thread that swallows them: low-level
// keyboard and mouse hooks on a thread of the library's own with a message loop, which also
// tells the caller's window or callback about each blocked press.
#pragma once

#include "LumoLock.h"

#include <windows.h>

#include <vector>

namespace lumolock {

class KeyBlocker {
 public:
  static KeyBlocker& instance();

  // Adds or removes the block of (virtualKey, modifiers); a key is the pair, so an unblock
  // needs no window. Virtual key 0 blocks the modifier keys themselves and every key pressed
  // with them; 0 with no modifier is refused. False when the hooks cannot be installed.
  bool setBlocked(HWND window, UINT virtualKey, UINT modifiers, bool blocked);
  bool isBlocked(UINT virtualKey, UINT modifiers) const;
  bool blockedAt(UINT index, UINT* virtualKey, UINT* modifiers) const;

  void setSendMessage(HWND window, UINT message);
  void setPostMessage(HWND window, UINT message);
  void setCallback(WlKeyCallback callback, void* context);

  // Unblocks everything, forgets the notification targets and stops the hook thread. Safe
  // inside the library's DllMain (see stopThread).
  void clear();

 private:
  struct Block {
    UINT virtualKey;
    UINT modifiers;
    HWND window;  // 0: everywhere; else only while this window (or one it owns) is in front
  };

  bool startThread();
  void stopThread();
  static DWORD WINAPI threadMain(void* self);
  static LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data);
  static LRESULT CALLBACK mouseHook(int code, WPARAM message, LPARAM data);

  // Hook thread: whether this press or release is swallowed; a swallowed press also
  // swallows its release.
  bool swallow(UINT virtualKey, bool down, UINT extraModifiers);
  UINT heldModifiers() const;
  bool matches(UINT virtualKey, UINT modifiers) const;
  void notify(UINT virtualKey, UINT modifiers);

  mutable SRWLOCK lock_ = SRWLOCK_INIT;  // guards the blocks and the notification targets
  std::vector<Block> blocks_;
  HWND sendWindow_ = nullptr;
  UINT sendMessage_ = 0;
  HWND postWindow_ = nullptr;
  UINT postMessage_ = 0;
  WlKeyCallback callback_ = nullptr;
  void* callbackContext_ = nullptr;

  // Guarded by threadLock_: the hook thread's start and stop.
  SRWLOCK threadLock_ = SRWLOCK_INIT;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HANDLE ready_ = nullptr;
  HANDLE stopped_ = nullptr;
  bool hooked_ = false;

  // Hook thread only.
  bool down_[256] = {};
  std::vector<UINT> swallowed_;
};

}  // namespace lumolock

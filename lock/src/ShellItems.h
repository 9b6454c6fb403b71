// Hiding and showing parts of the shell (desktop icons, desktop, Start button, notification
// area, taskbar), with a state file that outlives the process: what a process hid and could
// not show again (it crashed or was killed) is shown by the library's next load.
#pragma once

#include <windows.h>

#include <vector>

namespace lumolock {

class ShellItems {
 public:
  static ShellItems& instance();

  // Hides the item's visible windows (false when it has none), or shows again what this
  // process hid (false when it hid nothing).
  bool setHidden(UINT item, bool hidden);
  bool isHidden(UINT item) const;
  // Shows everything this process hid and drops it from the state file; waits for no other
  // process, so it also serves DllMain.
  void showAll();
  // At load: shows what processes that no longer run left hidden.
  void restoreLeftovers();

  // The windows that make up an item, found by class each time (the shell may have been
  // restarted since); none for an unknown item.
  static std::vector<HWND> windowsOf(UINT item);
  // The desktop's icon list, or null.
  static HWND desktopIconList();

 private:
  struct Hidden {
    UINT item;
    std::vector<HWND> windows;  // what this process hid (visible before)
  };
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  std::vector<Hidden> hidden_;
};

}  // namespace lumolock

// Tells a window when a pop-up menu of this process waits for input: a modal menu loop on any of
// the process's threads sends its owner WM_ENTERIDLE (MSGF_MENU) once it is shown and idle.
#pragma once

#include <windows.h>

#include <vector>

#include "UniqueHandle.h"

class MenuWatch {
 public:
  // Posts `message` to `notify` when a menu loop of the process next goes idle; once, until
  // arm() asks for the next time.
  MenuWatch(HWND notify, UINT message);
  void arm();
  ~MenuWatch();
  MenuWatch(const MenuWatch&) = delete;
  MenuWatch& operator=(const MenuWatch&) = delete;

 private:
  HWND notify_;
  std::vector<lumo::UniqueHook> hooks_;
};

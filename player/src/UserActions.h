// The script's `user` actions: what a person does to the top-level window holding the player,
// delivered through the window manager's messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class FlashPlayer;

struct UserActionResult {
  std::wstring error;      // an unknown action, bad arguments, or the system refused: an error line
  std::wstring failure;    // what the action acts on is missing (a menu item, the icon): a FAIL line
  std::wstring note;       // appended to the action's transcript line ("-> tray")
  bool awaitMenu = false;  // `pick` found no open menu: try again once one opens,
  DWORD awaitMs = 10000;   // for this long at most
};

// Performs `args` (action name first); false with `result` saying why.
bool performUserAction(FlashPlayer& player, const std::vector<std::wstring>& args, UserActionResult& result);

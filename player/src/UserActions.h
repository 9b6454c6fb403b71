// The script's `user` actions: what a person does to the top-level window holding the player,
// delivered through the window manager's messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class FlashPlayer;

// Performs `args` (action name first); false with `error` set for an unknown action or bad
// arguments.
bool performUserAction(FlashPlayer& player, const std::vector<std::wstring>& args, std::wstring* error);

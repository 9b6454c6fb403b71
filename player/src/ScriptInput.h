// The player's window messages as ActionScript's Key and Mouse objects hear them: keys held
// and released with their characters, the primary button, moves and the wheel.
#pragma once

#include <windows.h>

class ActionScriptMovie;

void reportScriptInput(ActionScriptMovie& movie, UINT message, WPARAM wParam);

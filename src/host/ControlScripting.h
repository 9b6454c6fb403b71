// The scripting family of the player control (messages 0x1500 to 0x1574): one table from
// message to IShockwaveFlash member, whose record layout follows the member's parameters.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <array>

#include "ShockwaveFlash.h"

namespace lumo {

// One scripting pointer per player generation (3, 4, 5, 6, 7, 8 and later).
using GenerationPointers = std::array<Microsoft::WRL::ComPtr<IShockwaveFlash>, 6>;

// Runs a scripting message on the record at `record`. False when `message` is not one of the
// family (nothing touched). Otherwise the record's result is E_FAIL until a member answers.
bool runScriptingMessage(const GenerationPointers& players, UINT message, void* record);

// The player's generation from FlashVersion (bits 16 to 23); 0 when it cannot be read.
int playerGeneration(IShockwaveFlash* player);

// How many messages the family table holds and whether one is in it (for the table's checks).
size_t scriptingMessageCount();
bool isScriptingMessage(UINT message);

}  // namespace lumo

// The transcript: when LUMO_PLAYER_TRANSCRIPT names a file, one line per observable thing is
// appended to it, each written and flushed on its own so that several players can share a file.
#pragma once

#include <string>
#include <string_view>

namespace transcript {

// Appends `line` and a newline (UTF-8) when the variable is set; does nothing otherwise.
void write(std::wstring_view line);

// A text as one quoted transcript token (the script's quoting).
std::wstring quote(std::wstring_view text);

}  // namespace transcript

// Diagnostic lines on the debugger output, written only while somebody can read them: a
// debugger attached to the process or a system-wide DBWIN listener. Unread, a line costs a
// system exception and a few kernel calls; with this check it costs a flag test.
#pragma once

#include <string_view>

namespace lumo {

// True while a debugger or a DBWIN listener is there to receive the debugger output.
bool debugOutputListened();

// The text on the debugger output when somebody listens.
void debugOutput(std::wstring_view text);
void debugOutput(const char* text);

}  // namespace lumo

// The call log a test or a support person switches on with LUMO_LOCK_CALL_LOG: one line per
// entry point called, its name and arguments in decimal.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace lumolock {

void logCall(const char* name, std::initializer_list<unsigned long long> arguments = {});
// For entry points with texts: the texts are written as given (a password as "*").
void logCallText(const char* name, const std::string& arguments);

}  // namespace lumolock

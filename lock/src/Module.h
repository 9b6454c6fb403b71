// The library's own module handle, as DllMain received it, and the folder of its own files.
#pragma once

#include <windows.h>

#include <string>

namespace lumolock {

HMODULE libraryModule();
void setLibraryModule(HMODULE module);

// The folder of the library's settings and state, "LumoLock" under the user's local
// application data, created when missing. Read from the environment so that it works inside
// DllMain, where the shell must not be loaded.
std::wstring dataFolder();

}  // namespace lumolock

// Load and unload: a load shows what crashed or killed processes left hidden; an unload
// removes the hooks and shows what this process hid. At process exit the system has already
// ended the hook thread, and only the shell needs restoring.
#include "KeyBlocker.h"
#include "Module.h"
#include "ShellItems.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
  using namespace lumolock;
  if (reason == DLL_PROCESS_ATTACH) {
    setLibraryModule(instance);
    ShellItems::instance().restoreLeftovers();
  } else if (reason == DLL_PROCESS_DETACH) {
    if (!reserved) KeyBlocker::instance().clear();
    ShellItems::instance().showAll();
  }
  return TRUE;
}

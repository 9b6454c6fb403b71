// Library, memory and code-cache hooks: the support DLL of an installed player is refused,
// guard-page commits become plain commits of the whole region, flushed code stays executable.
#include <cstring>

#include "host/AnsiText.h"
#include "host/Hooks.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {

bool isRefusedSupportLibrary(const char* path) {
  if (!path) return false;
  for (const char* at = path + std::strlen(path); at-- != path;) {
    if (*at == '\\' && (equalsIgnoringCase(at, "\\swsupport.dll") || equalsIgnoringCase(at, "\\swsupport")))
      return true;
  }
  return false;
}

HMODULE WINAPI loadLibraryA(decltype(&LoadLibraryA) real, PlayerModule* module, LPCSTR path) {
  if (isRefusedSupportLibrary(path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  HMODULE loaded = real(path);
  // A library with TLS of its own makes the system replace every thread's TLS vector.
  if (LoadedImage* image = module->mapping(); loaded && image && image->staticTls()) image->staticTls()->refresh();
  return loaded;
}

LPVOID WINAPI virtualAlloc(decltype(&VirtualAlloc) real, PlayerModule*, LPVOID address, SIZE_T size,
                           DWORD allocationType, DWORD protection) {
  if (address && (protection & PAGE_GUARD)) {
    protection &= ~static_cast<DWORD>(PAGE_GUARD);
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(address, &region, sizeof region) == sizeof region) size = region.RegionSize;
  }
  return real(address, size, allocationType, protection);
}

BOOL WINAPI flushInstructionCache(decltype(&FlushInstructionCache) real, PlayerModule*, HANDLE process,
                                  LPCVOID address, SIZE_T size) {
  DWORD previous = 0;
  if (address && size) VirtualProtect(const_cast<LPVOID>(address), size, PAGE_EXECUTE_READWRITE, &previous);
  return real(process, address, size);
}

}  // namespace lumo::hooks

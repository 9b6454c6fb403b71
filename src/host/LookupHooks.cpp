// Lookup hooks: GetProcAddress hands out the hook table's replacements and answers for the
// mapped image itself; the image base and function-table lookups other runtimes make while they
// throw and unwind answer for the mapped image, which the system does not know as a module.
#include <algorithm>

#include "host/Hooks.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {

FARPROC WINAPI getProcAddress(decltype(&GetProcAddress) real, PlayerModule* module, HMODULE library, LPCSTR name) {
  const LoadedImage* image = module->mapping();
  if (image && library == image->module()) {
    FARPROC own = IS_INTRESOURCE(name) ? image->exportByOrdinal(static_cast<WORD>(reinterpret_cast<uintptr_t>(name)))
                                       : image->exportAddress(name);
    if (!own) SetLastError(ERROR_PROC_NOT_FOUND);
    return own;
  }
  return module->replacementFor(library, name, real(library, name));
}

PVOID WINAPI rtlPcToFileHeader(PVOID(WINAPI* real)(PVOID, PVOID*), PlayerModule* module, PVOID pc, PVOID* base) {
  const LoadedImage* image = module->mapping();
  if (image && base && image->contains(pc)) {
    *base = image->base();
    return *base;
  }
  return real(pc, base);
}

#ifdef _WIN64
PRUNTIME_FUNCTION WINAPI rtlLookupFunctionEntry(PRUNTIME_FUNCTION(WINAPI* real)(DWORD64, PDWORD64, PVOID),
                                                PlayerModule* module, DWORD64 pc, PDWORD64 base, PVOID history) {
  const LoadedImage* image = module->mapping();
  if (!image || !image->contains(reinterpret_cast<const void*>(pc))) return real(pc, base, history);
  *base = reinterpret_cast<DWORD64>(image->base());
  auto* table = static_cast<RUNTIME_FUNCTION*>(image->functionTable());
  if (!table) return nullptr;  // no table: every function is a leaf
  const auto offset = static_cast<DWORD>(pc - *base);
  // The table is sorted by start address (the linker writes it so); the entry that may hold the
  // address is the last one starting at or before it.
  RUNTIME_FUNCTION* end = table + image->functionCount();
  RUNTIME_FUNCTION* after = std::upper_bound(
      table, end, offset, [](DWORD value, const RUNTIME_FUNCTION& f) { return value < f.BeginAddress; });
  if (after == table) return nullptr;
  RUNTIME_FUNCTION* candidate = after - 1;
  return offset < candidate->EndAddress ? candidate : nullptr;
}
#endif

}  // namespace lumo::hooks

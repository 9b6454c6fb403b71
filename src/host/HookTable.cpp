// The hook table as data, one line per imported function, in the order the host documents it.
#include "host/HookTable.h"

#include <cstring>
#include <vector>

#include "host/AnsiText.h"
#include "host/Hooks.h"

namespace lumo {
namespace {

template <typename R, typename... A>
constexpr size_t parameterCount(R (*)(A...)) {
  return sizeof...(A);
}

// One table line. On x86_64 the thunk must know how many arguments to move, so the count is
// checked against the replacement's own parameter list (the API's arguments plus two in front).
template <auto Replacement, unsigned Count>
HookEntry hook(const char* function) {
#ifdef _WIN64
  static_assert(parameterCount(Replacement) == Count + 2, "argument count of a hook");
#endif
  return {function, reinterpret_cast<const void*>(Replacement), Count};
}
HookEntry passThrough(const char* function) { return {function, nullptr, 0}; }

const std::vector<HookEntry>& table() {
  using namespace hooks;
  static const std::vector<HookEntry> entries{
      hook<&createUrlMoniker, 3>("CreateURLMoniker"),
      hook<&createWindowExA, 12>("CreateWindowExA"),
      hook<&registerClassExA, 1>("RegisterClassExA"),
      hook<&registerClassA, 1>("RegisterClassA"),
      hook<&unregisterClassA, 2>("UnregisterClassA"),
      hook<&getClassInfoExA, 3>("GetClassInfoExA"),
      hook<&loadCursorA, 2>("LoadCursorA"),
      hook<&loadMenuA, 2>("LoadMenuA"),
      hook<&waveOutOpen, 6>("waveOutOpen"),
      hook<&waveOutWrite, 3>("waveOutWrite"),
      hook<&waveOutClose, 1>("waveOutClose"),
      hook<&createFileA, 7>("CreateFileA"),
      hook<&createFileW, 7>("CreateFileW"),
      hook<&flushInstructionCache, 3>("FlushInstructionCache"),
      hook<&loadLibraryA, 1>("LoadLibraryA"),
      passThrough("GetModuleHandleA"),
      passThrough("GetClassNameA"),
      passThrough("LoadLibraryExA"),
      passThrough("FindResourceA"),
      passThrough("FindResourceExA"),
      passThrough("FindResourceExW"),
      passThrough("SetTimer"),
      hook<&virtualAlloc, 4>("VirtualAlloc"),
      hook<&getProcAddress, 2>("GetProcAddress"),
      hook<&rtlPcToFileHeader, 2>("RtlPcToFileHeader"),
#ifdef _WIN64
      hook<&rtlLookupFunctionEntry, 3>("RtlLookupFunctionEntry"),
#endif
  };
  return entries;
}

}  // namespace

const HookEntry* findHook(const char* function) {
  if (!function) return nullptr;
  for (const HookEntry& entry : table()) {
    if (equalsIgnoringCase(entry.function, function)) return &entry;
  }
  return nullptr;
}

const HookEntry* hookTable(size_t& count) {
  count = table().size();
  return table().data();
}

}  // namespace lumo

// The import hook table: imported function name → replacement, looked up by name only
// (case-insensitive; the importing library is not looked at).
#pragma once

#include <cstddef>

namespace lumo {

struct HookEntry {
  const char* function;
  const void* replacement;  // null: listed, passed through unchanged
  unsigned argumentCount;   // the API's own arguments; the replacement takes two more in front
};

const HookEntry* findHook(const char* function);
// The whole table, for checks.
const HookEntry* hookTable(size_t& count);

}  // namespace lumo

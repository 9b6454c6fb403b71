// Resource lookup in a mapped image: type, then name, then language in the host's order (thread
// locale, system default, user default, neutral, 1033).
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "host/BoundedBytes.h"

namespace lumo {

struct ResourceEntry {
  DWORD dataRva = 0;
  DWORD size = 0;
  WORD language = 0;
};

// The languages tried, in order, as 16-bit language ids.
std::vector<WORD> resourceLanguageOrder();

// `type` and `name`: an id (below 0x10000) or an ANSI name compared exactly. `directoryRva` is
// the resource directory inside `image`. When no language of the order is present, the first
// language entry is taken, as the system's own lookup does.
std::optional<ResourceEntry> findImageResource(const BoundedBytes& image, DWORD directoryRva, const char* type,
                                               const char* name);

}  // namespace lumo

// Writing the kiosk lock library out of the executable and loading it: resource "BIN" 140 to
// "dwlGina2.dll" in the private temporary folder, then its 26 entry points.
#pragma once

#include "LockFunctions.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace lumo {

inline constexpr int kLockLibraryResource = 140;
inline constexpr wchar_t kLockLibraryFileName[] = L"dwlGina2.dll";

// The bytes of resource "BIN" 140 of `instance`; empty when missing.
std::span<const std::byte> lockLibraryResource(HINSTANCE instance);

// Writes `image` to `folder`\dwlGina2.dll (in one write), adds the path to `extracted`, loads
// it into `library` and resolves `functions`. False at the first step that fails; a library
// missing an entry point stays loaded (and is freed with `library`).
bool loadLockLibrary(std::span<const std::byte> image, const std::wstring& folder,
                     std::vector<std::wstring>& extracted, UniqueModule& library, LockFunctions& functions);

}  // namespace lumo

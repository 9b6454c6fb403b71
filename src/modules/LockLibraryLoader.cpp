// The lock library's extraction and load, step by step.
#include "modules/LockLibraryLoader.h"

#include <cstdio>

namespace lumo {

std::span<const std::byte> lockLibraryResource(HINSTANCE instance) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(kLockLibraryResource), L"BIN");
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(instance, resource);
  if (!bytes || size == 0) return {};
  return {static_cast<const std::byte*>(bytes), size};
}

bool loadLockLibrary(std::span<const std::byte> image, const std::wstring& folder,
                     std::vector<std::wstring>& extracted, UniqueModule& library, LockFunctions& functions) {
  if (image.empty()) return false;
  const std::wstring path = folder + L"\\" + kLockLibraryFileName;
  FILE* file = _wfopen(path.c_str(), L"wb+");
  if (!file) return false;
  const size_t written = std::fwrite(image.data(), 1, image.size(), file);
  const bool closed = std::fclose(file) == 0;
  if (written != image.size() || !closed) return false;
  // Removed with the private temporary folder at exit.
  extracted.push_back(path);
  library.reset(LoadLibraryW(path.c_str()));
  if (!library) return false;
  return functions.resolve(library.get());
}

}  // namespace lumo

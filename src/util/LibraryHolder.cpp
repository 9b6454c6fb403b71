// Library holder: LoadLibraryW, GetProcAddress and FreeLibrary with a borrowed-handle flag.
#include "util/LibraryHolder.h"

namespace lumo {

bool LibraryHolder::load(const std::wstring& path) {
  if (!free()) return false;
  module_ = LoadLibraryW(path.c_str());
  borrowed_ = false;
  return module_ != nullptr;
}

FARPROC LibraryHolder::entryPoint(const char* name) const {
  return module_ ? GetProcAddress(module_, name) : nullptr;
}

bool LibraryHolder::free() {
  if (module_ && !borrowed_ && !FreeLibrary(module_)) return false;
  module_ = nullptr;
  borrowed_ = false;
  return true;
}

}  // namespace lumo

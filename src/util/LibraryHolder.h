// Holder of a dynamically loaded library: frees what it loaded, never a module it was lent.
#pragma once

#include <windows.h>

#include <string>

namespace lumo {

class LibraryHolder {
 public:
  LibraryHolder() = default;
  explicit LibraryHolder(HMODULE borrowed) : borrowed_(borrowed != nullptr), module_(borrowed) {}
  LibraryHolder(const LibraryHolder&) = delete;
  LibraryHolder& operator=(const LibraryHolder&) = delete;
  ~LibraryHolder() { free(); }

  // Frees the held module first (unless lent; a failing free fails the load), then loads.
  bool load(const std::wstring& path);
  FARPROC entryPoint(const char* name) const;
  // Releases an owned module; a lent one is only forgotten. False when FreeLibrary fails.
  bool free();

  HMODULE handle() const { return module_; }
  bool borrowed() const { return borrowed_; }

 private:
  bool borrowed_ = false;
  HMODULE module_ = nullptr;
};

}  // namespace lumo

// The installed player control's DLL, named by the registry, mapped read-only for the loader.
#pragma once

#include <windows.h>

#include <string>

#include "UniqueHandle.h"

namespace lumo {

struct MappedViewTraits {
  using Handle = const void*;
  static Handle invalid() { return nullptr; }
  static void close(Handle view) { UnmapViewOfFile(view); }
};

class InstalledControl {
 public:
  // The default value of HKCR "CLSID\{D27CDB6E-AE6D-11cf-96B8-444553540000}\InprocServer32".
  static std::wstring registeredPath();
  // Opens and maps the registered file; false when the key, value, file or mapping is missing.
  bool open();

  const void* data() const { return view_.get(); }
  size_t size() const { return size_; }

 private:
  UniqueFileHandle file_;
  UniqueKernelHandle mapping_;
  UniqueHandle<MappedViewTraits> view_;
  size_t size_ = 0;
};

}  // namespace lumo

// A DLL image mapped by hand: its memory, the libraries its imports loaded, its exception
// table, TLS callbacks, static TLS and entry point; export and resource lookup; detach and release.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "host/BoundedBytes.h"
#include "host/StaticTls.h"
#include "UniqueHandle.h"

namespace lumo {

struct ImageResource {
  const void* data = nullptr;
  DWORD size = 0;
  WORD language = 0;
};

class LoadedImage {
 public:
  LoadedImage(const LoadedImage&) = delete;
  LoadedImage& operator=(const LoadedImage&) = delete;
  // Detaches (when attached), then releases the function table, memory and libraries.
  ~LoadedImage();

  HMODULE module() const { return reinterpret_cast<HMODULE>(base_); }
  uint8_t* base() const { return base_; }
  size_t size() const { return size_; }
  uintptr_t preferredBase() const { return preferredBase_; }
  bool attached() const { return attached_; }
  BoundedBytes bytes() const { return BoundedBytes(base_, size_); }
  bool contains(const void* address) const {
    return address >= base_ && static_cast<const uint8_t*>(address) < base_ + size_;
  }

  // Case-sensitive search of the export name table; null when absent or forwarded.
  FARPROC exportAddress(const char* name) const;
  // The export with this ordinal (biased as the export directory says); null when absent or forwarded.
  FARPROC exportByOrdinal(WORD ordinal) const;
  // Resource by type and name (ids below 0x10000 or ANSI names), languages in the host's order.
  std::optional<ImageResource> findResource(const char* type, const char* name) const;

  // Calls the TLS callbacks and then the entry point with `reason` and a null reserved pointer.
  // Returns the entry point's answer (true when there is none).
  bool notify(DWORD reason);
  // A thread starting or ending (DLL_THREAD_ATTACH or DETACH): its TLS block is made before the
  // image hears of the start and freed after it heard of the end.
  void threadNotification(DWORD reason);
  // The image's static TLS, or null when it has none.
  StaticTls* staticTls() const { return staticTls_.get(); }
  // The registered RUNTIME_FUNCTION array and its length (x86_64; null elsewhere).
  void* functionTable() const { return functionTable_; }
  DWORD functionCount() const { return functionCount_; }

 private:
  friend class ImageLoader;  // fills the image step by step
  LoadedImage(uint8_t* base, size_t size) : base_(base), size_(size) {}

  struct Directory {
    DWORD rva = 0;
    DWORD size = 0;
  };

  uint8_t* base_ = nullptr;
  size_t size_ = 0;
  uintptr_t preferredBase_ = 0;
  Directory exports_;
  Directory resources_;
  using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
  EntryPoint entry_ = nullptr;
  std::vector<PIMAGE_TLS_CALLBACK> tlsCallbacks_;
  std::vector<UniqueModule> libraries_;
  void* functionTable_ = nullptr;  // registered RUNTIME_FUNCTION array (x86_64)
  DWORD functionCount_ = 0;
  std::unique_ptr<StaticTls> staticTls_;
  bool attached_ = false;
  std::atomic<bool> hearsThreads_{false};  // set once the process attach succeeded
  bool threadNotifications_ = false;
};

}  // namespace lumo

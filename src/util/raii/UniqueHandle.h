// One move-only owner for every kind of Windows handle: kernel handles, GDI objects, memory DCs,
// hooks, modules, find handles, menus, icons, windows. A traits struct per kind gives its invalid
// value and how to close it. Shared by the runtime and the stand-in player.
#pragma once

#include <windows.h>

#include <utility>

namespace lumo {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::invalid(); }
  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    if (handle_ != Traits::invalid()) Traits::close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {  // events, threads, processes, mappings: closed, null when empty
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile handles: INVALID_HANDLE_VALUE when empty
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { FindClose(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteObject(h); }
};
struct DcTraits {  // made by CreateCompatibleDC, CreateDC or a print dialog: deleted, never released
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteDC(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyMenu(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyIcon(h); }
};
struct HookTraits {
  using Handle = HHOOK;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { UnhookWindowsHookEx(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyWindow(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueDc = UniqueHandle<DcTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

}  // namespace lumo

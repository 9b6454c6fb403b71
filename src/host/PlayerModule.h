// The player module: the player control's DLL mapped from memory with its imports hooked, the
// two control window classes, and the state the hooks keep. One per process.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/ClassNameMap.h"
#include "host/CursorCache.h"
#include "host/LoadedImage.h"
#include "host/StreamInterception.h"
#include "host/WaveVolume.h"

namespace lumo {

class PlayerModule;
class ControlClasses;
class ExecutableStub;
class WorkingSetTimer;

// The control windows' procedure; the window-procedure stub passes the module first.
using ControlWindowProcedure = LRESULT(CALLBACK*)(PlayerModule* module, HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam);

struct PlayerModuleOptions {
  ControlWindowProcedure controlProcedure = nullptr;  // null: DefWindowProc
  std::string ansiClassName;                          // empty: generated
  std::wstring wideClassName;                         // empty: generated
  std::unique_ptr<StreamInterception> streams;        // null: pass through
};

struct HookedImport {
  std::string library;
  std::string function;
  void** slot = nullptr;
};

class PlayerModule {
 public:
  // An empty module (COM initialised, working-set timer running, sound on at 65535).
  explicit PlayerModule(PlayerModuleOptions options = {});
  PlayerModule(const PlayerModule&) = delete;
  PlayerModule& operator=(const PlayerModule&) = delete;
  ~PlayerModule();

  // A module with the image mapped and the control classes registered, or null. A null image
  // loads the installed control named in the registry.
  static std::unique_ptr<PlayerModule> loadFromMemory(const void* image, size_t size,
                                                      PlayerModuleOptions options = {});

  // Maps the image (unloading any earlier one first) and registers the control classes:
  // S_OK, or E_FAIL with nothing registered.
  HRESULT load(const void* image, size_t size);
  // Detaches and releases the image, forgets its hooked imports, frees its libraries.
  void unload();

  HMODULE imageBase() const { return imageBase_.load(); }
  const LoadedImage* image() const { return image_.get(); }
  // The image being loaded or loaded: what the lookup hooks answer for (set before its code runs).
  LoadedImage* mapping() const { return mapping_.load(); }
  FARPROC exportAddress(const char* name) const;
  std::optional<ImageResource> findResource(const char* type, const char* name) const;
  // The step at which the last load failed, for diagnostics.
  const std::string& lastFailure() const { return lastFailure_; }

  ATOM controlClassAtom() const;      // the wide class: controls are created with it
  ATOM ansiControlClassAtom() const;
  const std::vector<HookedImport>& hookedImports() const { return hookedImports_; }

  // What a function found at run time (GetProcAddress) becomes: its hook thunk when the hook
  // table replaces it, made once per function, else the function itself.
  FARPROC replacementFor(HMODULE library, const char* name, FARPROC found);

  // State of the hooks.
  HINSTANCE runtimeInstance() const;
  ClassNameMap& classNames() { return classNames_; }
  CursorCache& cursors() { return cursors_; }
  WaveOutState& sound() { return sound_; }
  StreamInterception& streams() { return *streams_; }

 private:
  class HookResolver;

  PlayerModuleOptions options_;
  bool comInitialised_ = false;
  std::unique_ptr<WorkingSetTimer> workingSetTimer_;
  std::unique_ptr<StreamInterception> streams_;
  std::unique_ptr<LoadedImage> image_;
  std::atomic<HMODULE> imageBase_{nullptr};
  std::vector<HookedImport> hookedImports_;
  std::vector<std::unique_ptr<ExecutableStub>> hookThunks_;
  std::atomic<LoadedImage*> mapping_{nullptr};
  // Thunks made for functions found at run time, by real function; they live with the module.
  std::mutex lateThunkLock_;
  std::map<FARPROC, std::unique_ptr<ExecutableStub>> lateThunks_;
  std::unique_ptr<ControlClasses> controlClasses_;
  ClassNameMap classNames_;
  CursorCache cursors_;
  WaveOutState sound_;
  std::string lastFailure_;
};

}  // namespace lumo

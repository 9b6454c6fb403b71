// Maps a DLL image of this process's architecture from bytes in memory, one visible pipeline
// of steps; import resolution is handed in, which is where the hook table plugs in.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/LoadedImage.h"

namespace lumo {

// Decides what a resolved import becomes. `name` is null for an import by ordinal.
class ImportResolver {
 public:
  virtual ~ImportResolver() = default;
  virtual FARPROC resolve(const char* library, const char* name, FARPROC real, void** slot) = 0;
  // The image has its place and bytes: lookups the hooks answer for it may start.
  virtual void mapped(LoadedImage&) {}
  // Whether a delay-loaded import by this name is resolved at once (through resolve) instead
  // of by the image's own helper on first call.
  virtual bool resolvesDelayed(const char* name) {
    (void)name;
    return false;
  }
};

class ImageLoader {
 public:
  // The mapped and attached image, or null; `failure` then names the step that refused.
  static std::unique_ptr<LoadedImage> load(const void* data, size_t size, ImportResolver* resolver,
                                           std::string* failure = nullptr);

 private:
  struct Mapping;
  // The steps, in pipeline order; each answers whether the load may go on.
  static bool checkHeaders(Mapping& m);
  static bool reserve(Mapping& m);
  static bool copyHeaders(Mapping& m);
  static bool copySections(Mapping& m);
  static bool relocate(Mapping& m);
  static bool resolveImports(Mapping& m);
  static bool resolveDelayedImports(Mapping& m);
  static bool flushCode(Mapping& m);
  static bool registerExceptionTable(Mapping& m);
  static bool checkHandlerTable(Mapping& m);
  static bool setUpTls(Mapping& m);
  static bool attach(Mapping& m);
};

}  // namespace lumo

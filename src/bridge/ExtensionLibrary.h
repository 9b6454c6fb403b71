// One loaded extension library: its module, its two entry points and the plug-in modules it
// handed out (they belong to the library; the runtime never destroys them).
#pragma once

#include <vector>

#include "lumo/RuntimeModule.h"
#include "util/LibraryHolder.h"

namespace lumo {

struct ExtensionLibrary {
  using GetNumPluginsFunction = int (*)();
  using GetPluginInstanceFunction = RuntimeModule* (*)(int index);

  LibraryHolder library;
  GetNumPluginsFunction getNumPlugins = nullptr;
  GetPluginInstanceFunction getPluginInstance = nullptr;
  std::vector<RuntimeModule*> plugins;

  // Lets every plug-in drop its methods, then releases the library file.
  void unload() {
    for (RuntimeModule* plugin : plugins)
      if (plugin) plugin->clearMethods();
    plugins.clear();
    library.free();
  }
};

}  // namespace lumo

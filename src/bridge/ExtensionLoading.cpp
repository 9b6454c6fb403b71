// Extension libraries: every ".vdd" of a folder loaded in listing order, each asked for its
// plug-in modules, which register under their own names like built-in modules. A library that
// fails leaves nothing behind and stops the loading of the rest.
#include "bridge/CommandEngine.h"
#include "util/FileSystem.h"

namespace lumo {
namespace {

template <typename Function>
Function entryPoint(const LibraryHolder& library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(library.entryPoint(name)));
}

}  // namespace

bool CommandEngine::loadExtensions(const std::wstring& directory) {
  std::vector<std::wstring> names;
  if (!listFiles(directory + L"\\*.vdd", names) || names.empty()) return false;
  for (const std::wstring& name : names)
    if (!loadExtension(directory + L"\\" + name)) return false;
  return startPollThread();
}

bool CommandEngine::loadExtension(const std::wstring& path) {
  auto library = std::make_unique<ExtensionLibrary>();
  if (!library->library.load(path)) return false;
  std::vector<std::wstring> registered;
  const auto fail = [&] {
    for (const std::wstring& name : registered) unregisterModule(name);
    library->plugins.clear();
    library->library.free();
    return false;
  };

  library->getNumPlugins = entryPoint<ExtensionLibrary::GetNumPluginsFunction>(library->library, "GetNumPlugins");
  if (!library->getNumPlugins) return fail();
  const int count = library->getNumPlugins();
  if (count == -1) return fail();
  for (int index = 0; index < count; ++index) {
    if (!library->getPluginInstance) {
      library->getPluginInstance =
          entryPoint<ExtensionLibrary::GetPluginInstanceFunction>(library->library, "GetPluginInstance");
      if (!library->getPluginInstance) return fail();
    }
    library->plugins.push_back(library->getPluginInstance(index));
  }

  for (RuntimeModule* plugin : library->plugins) {
    if (!plugin || !plugin->registerMethods()) return fail();
    plugin->engine = this;
    // A name already taken keeps its first module; only what this library added is undone.
    if (registerModule(plugin->name, plugin)) registered.push_back(plugin->name);
  }
  addExtensionLibrary(std::move(library));
  return true;
}

}  // namespace lumo

// Extension libraries: every ".vdd" of a folder is loaded in listing order, its plug-in modules
// registered under their own names; the first library that fails stops the loading.
#include <windows.h>

#include <string>
#include <vector>

#include "bridge/CommandEngine.h"
#include "util/UniqueHandle.h"

namespace lumo {
namespace {

template <typename Function>
Function entryPoint(const LibraryHolder& library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(library.entryPoint(name)));
}

}  // namespace

bool CommandEngine::loadExtensions(const std::wstring& directory) {
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle listing(FindFirstFileW((directory + L"\\*.vdd").c_str(), &entry));
  if (!listing) return false;  // also when no file matches: no libraries, no poll thread
  std::vector<std::wstring> names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
  } while (FindNextFileW(listing.get(), &entry));
  listing.reset();

  for (const std::wstring& name : names)
    if (!loadExtension(directory + L"\\" + name)) return false;  // earlier ones stay loaded
  return startPollThread();
}

bool CommandEngine::loadExtension(const std::wstring& path) {
  auto library = std::make_unique<ExtensionLibrary>();
  if (!library->library.load(path)) return false;

  // Only the names this library actually took leave the table again on a failure: a name that
  // an earlier module holds stays with it.
  std::vector<std::wstring> registered;
  const auto fail = [&] {
    for (const std::wstring& name : registered) unregisterModule(name);
    library->library.free();
    return false;
  };

  library->getNumPlugins =
      entryPoint<ExtensionLibrary::GetNumPluginsFunction>(library->library, "GetNumPlugins");
  if (!library->getNumPlugins) return fail();
  const int count = library->getNumPlugins();
  for (int index = 0; index < count; ++index) {
    if (!library->getPluginInstance) {
      library->getPluginInstance =
          entryPoint<ExtensionLibrary::GetPluginInstanceFunction>(library->library, "GetPluginInstance");
      if (!library->getPluginInstance) return fail();
    }
    library->plugins.push_back(library->getPluginInstance(index));
  }
  if (count == -1) return fail();  // 0 and other negative counts load with no modules

  for (RuntimeModule* plugin : library->plugins) {
    if (!plugin || !plugin->registerMethods()) return fail();
    plugin->engine = this;
    if (registerModule(plugin->name, plugin)) registered.push_back(plugin->name);
  }
  extensions_.push_back(std::move(library));
  return true;
}

}  // namespace lumo

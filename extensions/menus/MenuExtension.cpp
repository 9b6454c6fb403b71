// The standard menu extension: the modules behind the movie's classes Menu.Main, Menu.Context
// and Menu.Tray, over the form's menu and tray operations.
#include <iterator>

#include "MenuModule.h"

namespace {

lumo::menus::MenuModule mainMenu(L"vor.Menu.Main", lumo::menus::mainMenuMethods());
lumo::menus::MenuModule contextMenu(L"vor.Menu.Context", lumo::menus::contextMenuMethods());
lumo::menus::MenuModule trayMenu(L"vor.Menu.Tray", lumo::menus::trayMenuMethods());

lumo::RuntimeModule* const kModules[] = {&mainMenu, &contextMenu, &trayMenu};

}  // namespace

LUMO_EXTENSION_EXPORT int GetNumPlugins() { return static_cast<int>(std::size(kModules)); }

LUMO_EXTENSION_EXPORT lumo::RuntimeModule* GetPluginInstance(int index) {
  return index >= 0 && index < GetNumPlugins() ? kModules[index] : nullptr;
}

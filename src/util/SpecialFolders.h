// Paths of the Windows special folders the runtime uses, one named value per folder, in the
// order the API declaration lists them.
#pragma once

#include <string>

namespace lumo {

enum class SpecialFolder {
  Programs,
  ProgramFiles,
  Windows,
  System,
  Desktop,
  Personal,
  Favorites,
  Startup,
  Recent,
  Fonts,
  History,
  Cookies,
  NetHood,
  StartMenu,
  AppData,
  CommonAdminTools,
  CommonAppData,
  CommonPrograms,
  CommonStartMenu,
  CommonStartup,
};

int csidlOf(SpecialFolder folder);

// The folder's path, or the empty text when the system has none for it.
std::wstring specialFolderPath(int csidl);
std::wstring specialFolderPath(SpecialFolder folder);

}  // namespace lumo

// The kiosk lock library's entry points as the runtime resolves them: all 26 by name in a
// fixed order (the first missing one refuses the library), five of them called.
#pragma once

#include "LumoLock.h"

#include <windows.h>

#include <array>

namespace lumo {

struct LockFunctions {
  static constexpr std::array<const char*, 26> kNames = {
      "wlVersion",         "wlDisableKey",      "wlIsKeyDisabled",      "wlGetDisabledKey",
      "wlSetKeySendMessage", "wlSetKeyPostMessage", "wlSetKeyCallback",   "wlRestoreAll",
      "wlDisableItem",     "wlIsItemDisabled",  "wlInstallGina",        "wlUninstallGina",
      "wlIsGinaInstalled", "wlIsNTSystem",      "wlNeedGinaInstall",    "wlExitWindows",
      "wlWinVersion",      "wlGetKeyState",     "wlSetKeyState",        "wlIsAdmin",
      "wlEnableAutologin", "wlMapScancode",     "wlDisableDesktopIcon", "wlDesktopIconCount",
      "wlRestoreDesktopIcons", "wlExit"};
  enum Index { kDisableKey = 1, kDisableItem = 8, kInstallGina = 10, kUninstallGina = 11, kIsGinaInstalled = 12 };

  std::array<FARPROC, 26> entries{};

  // Resolves every entry point in order; false at the first one missing (those before it stay).
  bool resolve(HMODULE library) {
    entries.fill(nullptr);
    for (size_t i = 0; i < kNames.size(); ++i) {
      entries[i] = GetProcAddress(library, kNames[i]);
      if (!entries[i]) return false;
    }
    return true;
  }
  void clear() { entries.fill(nullptr); }

  // The five the commands call; null when not resolved.
  decltype(&wlDisableKey) disableKey() const { return as<decltype(&wlDisableKey)>(kDisableKey); }
  decltype(&wlDisableItem) disableItem() const { return as<decltype(&wlDisableItem)>(kDisableItem); }
  decltype(&wlInstallGina) installGina() const { return as<decltype(&wlInstallGina)>(kInstallGina); }
  decltype(&wlUninstallGina) uninstallGina() const { return as<decltype(&wlUninstallGina)>(kUninstallGina); }
  decltype(&wlIsGinaInstalled) isGinaInstalled() const { return as<decltype(&wlIsGinaInstalled)>(kIsGinaInstalled); }

 private:
  template <typename Function>
  Function as(Index index) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(entries[index]));
  }
};

}  // namespace lumo

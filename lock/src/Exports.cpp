// The 26 entry points: each logs its call (when asked) and hands over to the part that does
// the work.
#include "LumoLock.h"

#include "CallLog.h"
#include "KeyBlocker.h"
#include "LoginComponent.h"
#include "ShellItems.h"
#include "SystemQuestions.h"

#include <commctrl.h>

#include <cstdint>

using namespace lumolock;

namespace {

unsigned long long handleValue(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

extern "C" {

DWORD WINAPI wlVersion(void) {
  logCall("wlVersion");
  return WL_VERSION;
}

BOOL WINAPI wlDisableKey(HWND window, UINT virtualKey, UINT modifiers, BOOL disable) {
  logCall("wlDisableKey", {handleValue(window), virtualKey, modifiers, static_cast<unsigned>(disable)});
  return KeyBlocker::instance().setBlocked(window, virtualKey, modifiers, disable != FALSE);
}

BOOL WINAPI wlIsKeyDisabled(UINT virtualKey, UINT modifiers) {
  logCall("wlIsKeyDisabled", {virtualKey, modifiers});
  return KeyBlocker::instance().isBlocked(virtualKey, modifiers);
}

BOOL WINAPI wlGetDisabledKey(UINT index, UINT* virtualKey, UINT* modifiers) {
  logCall("wlGetDisabledKey", {index});
  return KeyBlocker::instance().blockedAt(index, virtualKey, modifiers);
}

BOOL WINAPI wlSetKeySendMessage(HWND window, UINT message) {
  logCall("wlSetKeySendMessage", {handleValue(window), message});
  KeyBlocker::instance().setSendMessage(window, message);
  return TRUE;
}

BOOL WINAPI wlSetKeyPostMessage(HWND window, UINT message) {
  logCall("wlSetKeyPostMessage", {handleValue(window), message});
  KeyBlocker::instance().setPostMessage(window, message);
  return TRUE;
}

BOOL WINAPI wlSetKeyCallback(WlKeyCallback callback, void* context) {
  logCall("wlSetKeyCallback", {callback ? 1ull : 0ull});
  KeyBlocker::instance().setCallback(callback, context);
  return TRUE;
}

BOOL WINAPI wlRestoreAll(void) {
  logCall("wlRestoreAll");
  KeyBlocker::instance().clear();
  ShellItems::instance().showAll();
  return TRUE;
}

BOOL WINAPI wlDisableItem(UINT item, BOOL disable) {
  logCall("wlDisableItem", {item, static_cast<unsigned>(disable)});
  return ShellItems::instance().setHidden(item, disable != FALSE);
}

BOOL WINAPI wlIsItemDisabled(UINT item) {
  logCall("wlIsItemDisabled", {item});
  return ShellItems::instance().isHidden(item);
}

BOOL WINAPI wlInstallGina(UINT tag) {
  logCall("wlInstallGina", {tag});
  return installLoginComponent(tag);
}

BOOL WINAPI wlUninstallGina(UINT tag) {
  logCall("wlUninstallGina", {tag});
  return uninstallLoginComponent(tag);
}

BOOL WINAPI wlIsGinaInstalled(void) {
  logCall("wlIsGinaInstalled");
  return loginComponentInstalled();
}

BOOL WINAPI wlIsNTSystem(void) {
  logCall("wlIsNTSystem");
  return isNtSystem();
}

BOOL WINAPI wlNeedGinaInstall(void) {
  logCall("wlNeedGinaInstall");
  return !loginComponentInstalled();
}

BOOL WINAPI wlExitWindows(UINT flags) {
  logCall("wlExitWindows", {flags});
  return exitWindows(flags);
}

DWORD WINAPI wlWinVersion(void) {
  logCall("wlWinVersion");
  return windowsVersion();
}

UINT WINAPI wlGetKeyState(UINT virtualKey) {
  logCall("wlGetKeyState", {virtualKey});
  return keyState(virtualKey);
}

BOOL WINAPI wlSetKeyState(UINT virtualKey, BOOL on) {
  logCall("wlSetKeyState", {virtualKey, static_cast<unsigned>(on)});
  return setToggleKey(virtualKey, on != FALSE);
}

BOOL WINAPI wlIsAdmin(void) {
  logCall("wlIsAdmin");
  return isAdministrator();
}

BOOL WINAPI wlEnableAutologin(LPCWSTR user, LPCWSTR domain, LPCWSTR password, BOOL enable) {
  logCallText("wlEnableAutologin", std::string(user ? "user" : "-") + (domain ? " domain" : " -") +
                                       (password ? " *" : " -") + (enable ? " 1" : " 0"));
  return enableAutologin(user, domain, password, enable != FALSE);
}

UINT WINAPI wlMapScancode(UINT scanCode) {
  logCall("wlMapScancode", {scanCode});
  return MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX);
}

BOOL WINAPI wlDisableDesktopIcon(BOOL disable) {
  logCall("wlDisableDesktopIcon", {static_cast<unsigned>(disable)});
  return ShellItems::instance().setHidden(WL_ITEM_DESKTOP_ICONS, disable != FALSE);
}

UINT WINAPI wlDesktopIconCount(void) {
  logCall("wlDesktopIconCount");
  HWND list = ShellItems::desktopIconList();
  DWORD_PTR count = 0;
  if (!list || !SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count)) return 0;
  return static_cast<UINT>(count);
}

BOOL WINAPI wlRestoreDesktopIcons(void) {
  logCall("wlRestoreDesktopIcons");
  ShellItems& items = ShellItems::instance();
  return !items.isHidden(WL_ITEM_DESKTOP_ICONS) || items.setHidden(WL_ITEM_DESKTOP_ICONS, false);
}

BOOL WINAPI wlExit(void) {
  logCall("wlExit");
  KeyBlocker::instance().clear();
  ShellItems::instance().showAll();
  return TRUE;
}

}  // extern "C"

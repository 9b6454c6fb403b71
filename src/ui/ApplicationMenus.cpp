#include "ui/ApplicationMenus.h"

namespace lumo {

void ApplicationMenus::attach(HMENU trayPopup, HMENU contextPopup) {
  std::lock_guard lock(mutex_);
  trayPopup_ = trayPopup;
  contextPopup_ = contextPopup;
}

void ApplicationMenus::addSeparator(MenuKind kind) {
  const auto id = takeCommandId ? takeCommandId() : std::nullopt;
  if (!id) return;
  std::lock_guard lock(mutex_);
  table(kind).add(*id, L"", kind, popup(kind), true);
}

void ApplicationMenus::addItem(MenuKind kind, const std::wstring& name) {
  const auto id = takeCommandId ? takeCommandId() : std::nullopt;
  if (!id) return;
  std::lock_guard lock(mutex_);
  // Unlike a main-menu item, a new tray or context item starts enabled.
  table(kind).add(*id, name, kind, popup(kind), false).enableValue = MF_ENABLED;
}

void ApplicationMenus::setItemChecked(MenuKind kind, const std::wstring& name, bool on) {
  std::lock_guard lock(mutex_);
  table(kind).setChecked(name, on);
}

void ApplicationMenus::setItemEnabled(MenuKind kind, const std::wstring& name, bool on) {
  std::lock_guard lock(mutex_);
  table(kind).setEnabled(name, on);
}

void ApplicationMenus::setItemVisible(MenuKind kind, const std::wstring& name, bool on) {
  std::lock_guard lock(mutex_);
  table(kind).setVisible(name, on);
}

void ApplicationMenus::removeItem(MenuKind kind, const std::wstring& name) {
  std::lock_guard lock(mutex_);
  table(kind).remove(name);
}

void ApplicationMenus::setContextMenuEnabled(bool on) {
  std::lock_guard lock(mutex_);
  contextMenuEnabled_ = on;
}

std::wstring ApplicationMenus::setting(int which) {
  std::lock_guard lock(mutex_);
  return which == 1 ? setting1_ : setting2_;
}

void ApplicationMenus::setSetting(int which, const std::wstring& value) {
  std::lock_guard lock(mutex_);
  (which == 1 ? setting1_ : setting2_) = value;
}

std::optional<MenuItemRecord> ApplicationMenus::findCommand(WORD commandId) {
  std::lock_guard lock(mutex_);
  if (auto record = tray_.findPicked(commandId)) return record;
  return context_.findPicked(commandId);
}

void ApplicationMenus::showTrayMenu(POINT at) {
  HWND owner = mainWindow ? mainWindow() : nullptr;
  if (owner) show(MenuKind::tray, owner, at);
}

bool ApplicationMenus::showContextMenu(POINT at) {
  HWND owner = mainWindow ? mainWindow() : nullptr;
  bool enabled = false;
  {
    std::lock_guard lock(mutex_);
    enabled = contextMenuEnabled_;
  }
  if (!enabled) return true;  // switched off: no menu at all, neither ours nor the player's
  if (!owner) return false;
  return show(MenuKind::context, owner, at);
}

bool ApplicationMenus::show(MenuKind kind, HWND owner, POINT at) {
  // A second pop-up while one is open would empty the open one under the person's cursor.
  if (tracking_) return true;
  HMENU menu = nullptr;
  {
    std::lock_guard lock(mutex_);
    menu = popup(kind);
    if (!menu) return false;
    clearPopup(menu);
    table(kind).append();
  }
  // An empty menu shows nothing; the click is then not the menu's.
  const bool shown = GetMenuItemCount(menu) > 0;
  tracking_ = true;
  // The owner must be in front, or the menu would not close when the person clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, owner, nullptr);
  tracking_ = false;
  PostMessageW(owner, WM_USER, 0, 0);
  return shown;
}

}  // namespace lumo

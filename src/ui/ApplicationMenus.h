// The process's tray and context menus: their pop-ups (made at start-up), their records, the
// context-menu switch and the two application menu settings; showing either pop-up at a
// screen point, owned by the main form, whose window then receives the pick as WM_COMMAND.
//
// Plug-in modules may change the records from the command poll thread: one mutex guards the
// records, the settings and the pop-ups' contents; it is never held while a menu is tracked
// or a message is sent.
#pragma once

#include "forms/ApplicationMenuControls.h"
#include "ui/MenuRecords.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace lumo {

class ApplicationMenus final : public ApplicationMenuControls {
 public:
  // The main form's window (the owner of both pop-ups) and its next command id; none before
  // the main form exists.
  std::function<HWND()> mainWindow;
  std::function<std::optional<UINT>()> takeCommandId;

  ApplicationMenus() = default;
  ApplicationMenus(const ApplicationMenus&) = delete;
  ApplicationMenus& operator=(const ApplicationMenus&) = delete;

  // The pop-ups to fill: sub-menu 0 of the tray and context menu bars.
  void attach(HMENU trayPopup, HMENU contextPopup);

  void addSeparator(MenuKind kind) override;
  void addItem(MenuKind kind, const std::wstring& name) override;
  void setItemChecked(MenuKind kind, const std::wstring& name, bool on) override;
  void setItemEnabled(MenuKind kind, const std::wstring& name, bool on) override;
  void setItemVisible(MenuKind kind, const std::wstring& name, bool on) override;
  void removeItem(MenuKind kind, const std::wstring& name) override;
  void setContextMenuEnabled(bool on) override;
  std::wstring setting(int which) override;
  void setSetting(int which, const std::wstring& value) override;
  std::optional<MenuItemRecord> findCommand(WORD commandId) override;

  // The tray menu at a screen point (the icon's right click).
  void showTrayMenu(POINT at);
  // False also when no main form exists to own the menu.
  bool showContextMenu(POINT at) override;

 private:
  MenuRecordTable& table(MenuKind kind) { return kind == MenuKind::tray ? tray_ : context_; }
  HMENU popup(MenuKind kind) const { return kind == MenuKind::tray ? trayPopup_ : contextPopup_; }
  // True when the menu had something to show.
  bool show(MenuKind kind, HWND owner, POINT at);

  std::mutex mutex_;
  HMENU trayPopup_ = nullptr;
  HMENU contextPopup_ = nullptr;
  MenuRecordTable tray_;
  MenuRecordTable context_;
  bool contextMenuEnabled_ = true;
  std::wstring setting1_ = L"normal";
  std::wstring setting2_ = L"normal";
  bool tracking_ = false;  // a pop-up is open (main thread only)
};

}  // namespace lumo

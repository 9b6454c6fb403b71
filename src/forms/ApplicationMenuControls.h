// The tray and context menu operations forms hand on (FormInterface 78 to 83 and 89 to 101):
// the application owns the two pop-ups of the process and puts its implementation in
// FormEnvironment.
#pragma once

#include "ui/MenuRecords.h"

#include <optional>
#include <string>

namespace lumo {

class ApplicationMenuControls {
 public:
  // `kind` is MenuKind::tray or MenuKind::context.
  virtual void addSeparator(MenuKind kind) = 0;
  virtual void addItem(MenuKind kind, const std::wstring& name) = 0;
  virtual void setItemChecked(MenuKind kind, const std::wstring& name, bool on) = 0;
  virtual void setItemEnabled(MenuKind kind, const std::wstring& name, bool on) = 0;
  virtual void setItemVisible(MenuKind kind, const std::wstring& name, bool on) = 0;
  virtual void removeItem(MenuKind kind, const std::wstring& name) = 0;
  virtual void setContextMenuEnabled(bool on) = 0;
  // The two application menu settings, `which` 1 or 2.
  virtual std::wstring setting(int which) = 0;
  virtual void setSetting(int which, const std::wstring& value) = 0;
  // The tray record, else the context record, a command id of the main form names.
  virtual std::optional<MenuItemRecord> findCommand(WORD commandId) = 0;
  // A right-button release over a movie at a screen point: the context menu while the switch
  // is on. True when the release was the context menu's (a menu with items shown, or the
  // switch off: no menu at all), so the player must not see it; false when nothing was shown.
  virtual bool showContextMenu(POINT at) = 0;

 protected:
  ~ApplicationMenuControls() = default;
};

}  // namespace lumo

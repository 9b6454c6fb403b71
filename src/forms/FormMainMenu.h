// A form's main menu: its bar, made on first use, the top-level pop-ups by name, the item
// records, and the rebuild when the bar opens. Also the form's command-id counter, which the
// application's tray and context records take their ids from on the main form.
//
// Plug-in modules may call the operations from the command poll thread while the main thread
// rebuilds: one mutex guards the tables and the Win32 menus; calls that send messages to the
// window (SetMenu, MoveWindow, DrawMenuBar) are made after it is released, so a handler that
// runs meanwhile can come back here, and a send across threads never waits on the lock.
#pragma once

#include "ui/MenuRecords.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace lumo {

class FormMainMenu {
 public:
  FormMainMenu() = default;
  FormMainMenu(const FormMainMenu&) = delete;
  FormMainMenu& operator=(const FormMainMenu&) = delete;

  // The next command id of this form.
  UINT takeCommandId() { return nextCommandId_.fetch_add(1); }

  void addSeparator(HWND window, const std::wstring& menu);
  void addMenu(HWND window, const std::wstring& menu);
  void addItem(HWND window, const std::wstring& menu, const std::wstring& item);
  void setItemChecked(HWND window, const std::wstring& menu, const std::wstring& item, bool on);
  void setItemEnabled(HWND window, const std::wstring& menu, const std::wstring& item, bool on);
  void setItemVisible(HWND window, const std::wstring& menu, const std::wstring& item, bool on);
  void removeMenu(HWND window, const std::wstring& menu);
  void removeItem(HWND window, const std::wstring& menu, const std::wstring& item);

  // WM_INITMENU: rebuilds the items when `opening` is this form's bar.
  void rebuild(HWND window, HMENU opening);
  // The record a menu pick's command id names, or none.
  std::optional<MenuItemRecord> find(WORD commandId) const;
  HMENU bar() const;

 private:
  // The position of a top-level menu known by that name whose text on the bar is the name.
  std::optional<int> findMenu(const std::wstring& menu) const;
  // Sets one item's flag by name when its menu exists; redraws the bar either way.
  template <typename Change>
  void changeItem(HWND window, const std::wstring& menu, Change change);

  mutable std::mutex mutex_;
  HMENU bar_ = nullptr;
  int nextPosition_ = 0;
  std::map<std::wstring, int, std::less<>> menus_;  // top-level menu name to position value
  MenuRecordTable records_;
  std::atomic<UINT> nextCommandId_{0};
};

}  // namespace lumo

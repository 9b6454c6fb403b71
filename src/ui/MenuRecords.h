// The records behind the runtime's menus and the one rule that rebuilds a Win32 menu from
// them: items and separators with their visible, enabled, checked and removed states, found
// by command id, or by name for the newest record of that name.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumo {

// The three menus of a click, with the values the records store.
enum class MenuKind : UINT { main = 0, context = 1, tray = 2 };

inline constexpr wchar_t kMenuSeparatorName[] = L"---";

struct MenuItemRecord {
  std::wstring name;  // as given; "---" for a separator
  MenuKind kind = MenuKind::main;
  bool visible = true;
  UINT enableValue = MF_GRAYED;  // EnableMenuItem's flag: 0 enabled, 1 grayed
  UINT checkValue = 1;           // CheckMenuItem's flag: 8 checked, 0 (or 1) unchecked
  HMENU parent = nullptr;        // the pop-up holding the item; null once that pop-up is gone
  UINT commandId = 0;
  bool removed = false;
  bool separator = false;
};

// One menu's name table and records. Adding a name again points the name at the newer
// record; the older one stays and is still shown.
class MenuRecordTable {
 public:
  MenuItemRecord& add(UINT commandId, const std::wstring& name, MenuKind kind, HMENU parent, bool separator);
  // The record a command id names, or none.
  std::optional<MenuItemRecord> find(UINT commandId) const;
  // The record a menu pick names: WM_COMMAND carries only the low 16 bits of an id, so of the
  // records sharing them the newest one that can be shown, or none.
  std::optional<MenuItemRecord> findPicked(WORD commandId) const;
  // The newest record of `name`, or null.
  MenuItemRecord* findByName(std::wstring_view name);

  // The item operations by name; false (and nothing changed) for an unknown name.
  bool setChecked(std::wstring_view name, bool on);
  bool setEnabled(std::wstring_view name, bool on);
  bool setVisible(std::wstring_view name, bool on);
  bool remove(std::wstring_view name);

  // Takes every record's item out of its pop-up by command id (a main menu's first step).
  void deleteItemsByCommand() const;
  // Appends the shown records in ascending id, dropping separators until an item was
  // appended in this pass, and applies every shown record's check and enable values.
  void append() const;
  // The pop-up `menu` is gone: its records stay, but are never shown again.
  void detach(HMENU menu);

 private:
  std::map<std::wstring, UINT, std::less<>> names_;
  std::map<UINT, MenuItemRecord> records_;
};

// Empties a pop-up from position 0 until nothing is left (the tray and context rebuild).
void clearPopup(HMENU popup);

}  // namespace lumo

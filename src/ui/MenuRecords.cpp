#include "ui/MenuRecords.h"

#include <climits>

namespace lumo {

MenuItemRecord& MenuRecordTable::add(UINT commandId, const std::wstring& name, MenuKind kind, HMENU parent,
                                     bool separator) {
  names_.insert_or_assign(separator ? std::wstring(kMenuSeparatorName) : name, commandId);
  MenuItemRecord record;
  record.name = separator ? std::wstring(kMenuSeparatorName) : name;
  record.kind = kind;
  record.parent = parent;
  record.commandId = commandId;
  record.separator = separator;
  return records_.insert_or_assign(commandId, std::move(record)).first->second;
}

std::optional<MenuItemRecord> MenuRecordTable::find(UINT commandId) const {
  const auto found = records_.find(commandId);
  if (found == records_.end()) return std::nullopt;
  return found->second;
}

std::optional<MenuItemRecord> MenuRecordTable::findPicked(WORD commandId) const {
  if (records_.empty()) return std::nullopt;
  const UINT newest = records_.rbegin()->first;
  std::optional<MenuItemRecord> picked;
  // Ids past 0xFFFF come back cut: a form that made that many records must not run an old one.
  for (UINT id = commandId; id <= newest; id += 0x10000) {
    const auto found = records_.find(id);
    if (found != records_.end() && (!picked || (found->second.visible && !found->second.removed && found->second.parent)))
      picked = found->second;
    if (id > UINT_MAX - 0x10000) break;
  }
  return picked;
}

MenuItemRecord* MenuRecordTable::findByName(std::wstring_view name) {
  const auto id = names_.find(name);
  if (id == names_.end()) return nullptr;
  const auto found = records_.find(id->second);
  return found == records_.end() ? nullptr : &found->second;
}

bool MenuRecordTable::setChecked(std::wstring_view name, bool on) {
  MenuItemRecord* record = findByName(name);
  if (record) record->checkValue = on ? MF_CHECKED : MF_UNCHECKED;
  return record != nullptr;
}

bool MenuRecordTable::setEnabled(std::wstring_view name, bool on) {
  MenuItemRecord* record = findByName(name);
  if (record) record->enableValue = on ? MF_ENABLED : MF_GRAYED;
  return record != nullptr;
}

bool MenuRecordTable::setVisible(std::wstring_view name, bool on) {
  MenuItemRecord* record = findByName(name);
  if (record) record->visible = on;
  return record != nullptr;
}

bool MenuRecordTable::remove(std::wstring_view name) {
  MenuItemRecord* record = findByName(name);
  if (record) record->removed = true;
  return record != nullptr;
}

void MenuRecordTable::deleteItemsByCommand() const {
  for (const auto& [id, record] : records_)
    if (record.parent) DeleteMenu(record.parent, id, MF_BYCOMMAND);
}

void MenuRecordTable::append() const {
  bool itemAppended = false;  // one flag for the whole pass, across every pop-up of the table
  for (const auto& [id, record] : records_) {
    if (!record.visible || record.removed || !record.parent) continue;
    if (!record.separator) {
      AppendMenuW(record.parent, MF_STRING, id, record.name.c_str());
      itemAppended = true;
    } else if (itemAppended) {
      AppendMenuW(record.parent, MF_SEPARATOR, id, nullptr);
    }
    CheckMenuItem(record.parent, id, record.checkValue);
    EnableMenuItem(record.parent, id, record.enableValue);
  }
}

void MenuRecordTable::detach(HMENU menu) {
  // A destroyed pop-up's handle may be given to a new one: the old records must not follow.
  for (auto& [id, record] : records_)
    if (record.parent == menu) record.parent = nullptr;
}

void clearPopup(HMENU popup) {
  while (DeleteMenu(popup, 0, MF_BYPOSITION)) {
  }
}

}  // namespace lumo

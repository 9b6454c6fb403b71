#include "forms/FormMainMenu.h"

namespace lumo {
namespace {

// Grows or shrinks the window by the menu bar's height, keeping its left, top and width, so
// that the client area keeps its size as the bar comes.
void resizeByMenuBar(HWND window, int direction) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return;
  if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top + direction * GetSystemMetrics(SM_CYMENU),
             TRUE);
}

}  // namespace

HMENU FormMainMenu::bar() const {
  std::lock_guard lock(mutex_);
  return bar_;
}

std::optional<int> FormMainMenu::findMenu(const std::wstring& menu) const {
  if (!bar_ || !menus_.contains(menu)) return std::nullopt;
  for (int position = 0; GetSubMenu(bar_, position); ++position) {
    wchar_t text[512] = {};
    const int length = GetMenuStringW(bar_, position, text, 512, MF_BYPOSITION);
    if (length >= 0 && std::wstring_view(text, length) == menu) return position;
  }
  return std::nullopt;
}

void FormMainMenu::addSeparator(HWND window, const std::wstring& menu) {
  bool added = false;
  {
    std::lock_guard lock(mutex_);
    if (bar_ && GetMenu(window) == bar_) {
      if (const auto position = findMenu(menu)) {
        records_.add(takeCommandId(), L"", MenuKind::main, GetSubMenu(bar_, *position), true);
        added = true;
      }
    }
  }
  if (added) DrawMenuBar(window);
}

void FormMainMenu::addMenu(HWND window, const std::wstring& menu) {
  bool created = false;
  HMENU bar = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (!bar_) {
      bar_ = CreateMenu();
      created = true;
    }
    bar = bar_;
    menus_.insert_or_assign(menu, nextPosition_++);
    HMENU popup = CreatePopupMenu();
    if (!InsertMenuW(bar_, static_cast<UINT>(-1), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                     menu.c_str()))
      DestroyMenu(popup);
  }
  if (created) {
    // The bar stays attached from now on; the window grows so the movie keeps its area.
    SetMenu(window, bar);
    resizeByMenuBar(window, +1);
  }
  DrawMenuBar(window);
}

void FormMainMenu::addItem(HWND window, const std::wstring& menu, const std::wstring& item) {
  {
    std::lock_guard lock(mutex_);
    if (const auto position = findMenu(menu)) {
      HMENU popup = GetSubMenu(bar_, *position);
      const UINT id = takeCommandId();
      records_.add(id, item, MenuKind::main, popup, false);
      AppendMenuW(popup, MF_STRING, id, item.c_str());
    }
  }
  DrawMenuBar(window);
}

template <typename Change>
void FormMainMenu::changeItem(HWND window, const std::wstring& menu, Change change) {
  {
    std::lock_guard lock(mutex_);
    if (findMenu(menu)) change(records_);
  }
  DrawMenuBar(window);
}

void FormMainMenu::setItemChecked(HWND window, const std::wstring& menu, const std::wstring& item, bool on) {
  changeItem(window, menu, [&](MenuRecordTable& records) { records.setChecked(item, on); });
}

void FormMainMenu::setItemEnabled(HWND window, const std::wstring& menu, const std::wstring& item, bool on) {
  changeItem(window, menu, [&](MenuRecordTable& records) { records.setEnabled(item, on); });
}

void FormMainMenu::setItemVisible(HWND window, const std::wstring& menu, const std::wstring& item, bool on) {
  changeItem(window, menu, [&](MenuRecordTable& records) { records.setVisible(item, on); });
}

void FormMainMenu::removeItem(HWND window, const std::wstring& menu, const std::wstring& item) {
  changeItem(window, menu, [&](MenuRecordTable& records) { records.remove(item); });
}

void FormMainMenu::removeMenu(HWND window, const std::wstring& menu) {
  bool lastGone = false;
  {
    std::lock_guard lock(mutex_);
    if (const auto position = findMenu(menu)) {
      HMENU popup = GetSubMenu(bar_, *position);
      DeleteMenu(bar_, *position, MF_BYPOSITION);  // destroys the pop-up
      records_.detach(popup);
      menus_.erase(menu);
      lastGone = menus_.empty();
    }
  }
  // The bar stays attached; the window gives back the height it took for it.
  if (lastGone) resizeByMenuBar(window, -1);
  DrawMenuBar(window);
}

void FormMainMenu::rebuild(HWND window, HMENU opening) {
  {
    std::lock_guard lock(mutex_);
    if (!bar_ || opening != bar_) return;
    records_.deleteItemsByCommand();
    records_.append();
  }
  DrawMenuBar(window);
}

std::optional<MenuItemRecord> FormMainMenu::find(WORD commandId) const {
  std::lock_guard lock(mutex_);
  return records_.findPicked(commandId);
}

}  // namespace lumo

// The form's menu operations (FormInterface 68 to 76, 78 to 83, 87, 89 to 101) and the pick
// of a menu command: the main menu is the form's own, the tray and context menus and the
// application menu settings are the application's.
#include "forms/ApplicationMenuControls.h"
#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "forms/MenuClick.h"

namespace lumo {
namespace {

// The application's menus, when start-up made them; the operations do nothing without them.
template <typename Operation>
void onApplicationMenus(Operation operation) {
  if (ApplicationMenuControls* menus = FormEnvironment::instance().menus) operation(*menus);
}

}  // namespace

void Form::addMainMenuSeparator(const std::wstring& menu) { mainMenu_.addSeparator(window_, menu); }
void Form::addMainMenu(const std::wstring& menu) { mainMenu_.addMenu(window_, menu); }
void Form::addMainMenuItem(const std::wstring& menu, const std::wstring& item) {
  mainMenu_.addItem(window_, menu, item);
}
void Form::setMainMenuItemChecked(const std::wstring& menu, const std::wstring& item, bool on) {
  mainMenu_.setItemChecked(window_, menu, item, on);
}
void Form::setMainMenuItemEnabled(const std::wstring& menu, const std::wstring& item, bool on) {
  mainMenu_.setItemEnabled(window_, menu, item, on);
}
void Form::setMainMenuItemVisible(const std::wstring& menu, const std::wstring& item, bool on) {
  mainMenu_.setItemVisible(window_, menu, item, on);
}
void Form::removeMainMenu(const std::wstring& menu) { mainMenu_.removeMenu(window_, menu); }
void Form::removeMainMenuItem(const std::wstring& menu, const std::wstring& item) {
  mainMenu_.removeItem(window_, menu, item);
}

void Form::setMainMenuType(const std::wstring& type) {
  std::lock_guard lock(menuTypesMutex_);
  mainMenuType = type;
}
void Form::setTrayMenuType(const std::wstring& type) {
  std::lock_guard lock(menuTypesMutex_);
  trayMenuType = type;
}
void Form::setContextMenuType(const std::wstring& type) {
  std::lock_guard lock(menuTypesMutex_);
  contextMenuType_ = type;
}

void Form::addTrayMenuSeparator() {
  onApplicationMenus([](auto& menus) { menus.addSeparator(MenuKind::tray); });
}
void Form::addTrayMenuItem(const std::wstring& item) {
  onApplicationMenus([&](auto& menus) { menus.addItem(MenuKind::tray, item); });
}
void Form::setTrayMenuItemChecked(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemChecked(MenuKind::tray, item, on); });
}
void Form::setTrayMenuItemEnabled(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemEnabled(MenuKind::tray, item, on); });
}
void Form::setTrayMenuItemVisible(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemVisible(MenuKind::tray, item, on); });
}
void Form::removeTrayMenuItem(const std::wstring& item) {
  onApplicationMenus([&](auto& menus) { menus.removeItem(MenuKind::tray, item); });
}

void Form::disableContextMenu() {
  onApplicationMenus([](auto& menus) { menus.setContextMenuEnabled(false); });
}
void Form::enableContextMenu() {
  onApplicationMenus([](auto& menus) { menus.setContextMenuEnabled(true); });
}
void Form::addContextMenuSeparator() {
  onApplicationMenus([](auto& menus) { menus.addSeparator(MenuKind::context); });
}
void Form::addContextMenuItem(const std::wstring& item) {
  onApplicationMenus([&](auto& menus) { menus.addItem(MenuKind::context, item); });
}
void Form::setContextMenuItemChecked(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemChecked(MenuKind::context, item, on); });
}
void Form::setContextMenuItemEnabled(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemEnabled(MenuKind::context, item, on); });
}
void Form::setContextMenuItemVisible(const std::wstring& item, bool on) {
  onApplicationMenus([&](auto& menus) { menus.setItemVisible(MenuKind::context, item, on); });
}
void Form::removeContextMenuItem(const std::wstring& item) {
  onApplicationMenus([&](auto& menus) { menus.removeItem(MenuKind::context, item); });
}

std::wstring Form::getAppMenuSetting1() {
  std::wstring value = L"normal";
  onApplicationMenus([&](auto& menus) { value = menus.setting(1); });
  return value;
}
void Form::setAppMenuSetting1(const std::wstring& value) {
  onApplicationMenus([&](auto& menus) { menus.setSetting(1, value); });
}
std::wstring Form::getAppMenuSetting2() {
  std::wstring value = L"normal";
  onApplicationMenus([&](auto& menus) { value = menus.setting(2); });
  return value;
}
void Form::setAppMenuSetting2(const std::wstring& value) {
  onApplicationMenus([&](auto& menus) { menus.setSetting(2, value); });
}

bool Form::dispatchMenuCommand(WORD commandId) {
  // The form's own bar first; the tray and context pop-ups are owned by the main form only,
  // and their ids come from its counter, so they never meet its own.
  std::optional<MenuItemRecord> record = mainMenu_.find(commandId);
  if (!record && isMain()) {
    if (ApplicationMenuControls* menus = FormEnvironment::instance().menus) record = menus->findCommand(commandId);
  }
  if (!record) return false;
  std::wstring mainType, trayType, contextType;
  {
    std::lock_guard lock(menuTypesMutex_);
    mainType = mainMenuType;
    trayType = trayMenuType;
    contextType = contextMenuType_;
  }
  // Outside the lock: the movie's handler may set a menu type again.
  dispatchMenuClick(*this, mainType, trayType, contextType, *record);
  return true;
}

}  // namespace lumo

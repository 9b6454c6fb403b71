// vor.Menu.Main: the calling form's menu bar, its top-level menus and their items.
#include "ItemCommands.h"
#include "MenuModule.h"

namespace lumo::menus {
namespace {

using F = FormInterface;

// The two application menu settings, quoted as texts reach the movie.
template <std::wstring (FormInterface::*Getter)()>
std::wstring setting(FormInterface& form, const Arguments&) {
  return L"\"" + (form.*Getter)() + L"\"";
}

const MethodSpec kMethods[] = {
    {L"addMenu", 1, withText<&F::addMainMenu>},
    {L"removeMenu", 1, withText<&F::removeMainMenu>},
    {L"addItem", 2, withMenuAndItem<&F::addMainMenuItem>},
    {L"addSeparator", 1, withText<&F::addMainMenuSeparator>},
    {L"removeItem", 2, withMenuAndItem<&F::removeMainMenuItem>},
    {L"setItemChecked", 3, menuItemFlag<&F::setMainMenuItemChecked>},
    {L"setItemEnabled", 3, menuItemFlag<&F::setMainMenuItemEnabled>},
    {L"setItemVisible", 3, menuItemFlag<&F::setMainMenuItemVisible>},
    {L"checkItem", 2, menuItemFixed<&F::setMainMenuItemChecked, true>},
    {L"uncheckItem", 2, menuItemFixed<&F::setMainMenuItemChecked, false>},
    {L"enableItem", 2, menuItemFixed<&F::setMainMenuItemEnabled, true>},
    {L"disableItem", 2, menuItemFixed<&F::setMainMenuItemEnabled, false>},
    {L"showItem", 2, menuItemFixed<&F::setMainMenuItemVisible, true>},
    {L"hideItem", 2, menuItemFixed<&F::setMainMenuItemVisible, false>},
    {L"setmenuType", 1, withText<&F::setMainMenuType, false>},  // the menuType property
    {L"getAppMenuSetting1", 0, setting<&F::getAppMenuSetting1>},
    {L"setAppMenuSetting1", 1, withText<&F::setAppMenuSetting1, false>},
    {L"getAppMenuSetting2", 0, setting<&F::getAppMenuSetting2>},
    {L"setAppMenuSetting2", 1, withText<&F::setAppMenuSetting2, false>},
};

}  // namespace

std::span<const MethodSpec> mainMenuMethods() { return kMethods; }

}  // namespace lumo::menus

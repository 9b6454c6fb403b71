// vor.Menu.Context: the application's context menu, shown on a right click over a form's movie.
#include "ItemCommands.h"
#include "MenuModule.h"

namespace lumo::menus {
namespace {

using F = FormInterface;

std::wstring setEnabled(FormInterface& form, const Arguments& arguments) {
  const auto on = parseFlag(arguments[0]);
  if (!on) return kRefused;
  *on ? form.enableContextMenu() : form.disableContextMenu();
  return kDone;
}

const MethodSpec kMethods[] = {
    {L"enable", 0, plain<&F::enableContextMenu>},
    {L"disable", 0, plain<&F::disableContextMenu>},
    {L"setEnabled", 1, setEnabled},
    {L"addItem", 1, withText<&F::addContextMenuItem>},
    {L"addSeparator", 0, plain<&F::addContextMenuSeparator>},
    {L"removeItem", 1, withText<&F::removeContextMenuItem>},
    {L"setItemChecked", 2, itemFlag<&F::setContextMenuItemChecked>},
    {L"setItemEnabled", 2, itemFlag<&F::setContextMenuItemEnabled>},
    {L"setItemVisible", 2, itemFlag<&F::setContextMenuItemVisible>},
    {L"checkItem", 1, itemFixed<&F::setContextMenuItemChecked, true>},
    {L"uncheckItem", 1, itemFixed<&F::setContextMenuItemChecked, false>},
    {L"enableItem", 1, itemFixed<&F::setContextMenuItemEnabled, true>},
    {L"disableItem", 1, itemFixed<&F::setContextMenuItemEnabled, false>},
    {L"showItem", 1, itemFixed<&F::setContextMenuItemVisible, true>},
    {L"hideItem", 1, itemFixed<&F::setContextMenuItemVisible, false>},
    {L"setmenuType", 1, withText<&F::setContextMenuType, false>},  // the menuType property
};

}  // namespace

std::span<const MethodSpec> contextMenuMethods() { return kMethods; }

}  // namespace lumo::menus

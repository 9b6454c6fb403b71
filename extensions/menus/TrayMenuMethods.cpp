// vor.Menu.Tray: the application's tray icon (shown, hidden, its picture, hint and balloons)
// and the menu it opens on a right click.
#include "ItemCommands.h"
#include "MenuModule.h"

namespace lumo::menus {
namespace {

using F = FormInterface;

// Windows shows a balloon for about ten seconds when it is given no time.
const wchar_t kDefaultBalloonTimeout[] = L"10000";

// title, text [, icon "info" | "warning" | "error" (other: none) [, timeout ms [, click function]]]
std::wstring showBalloon(FormInterface& form, const Arguments& arguments) {
  auto argument = [&](std::size_t i, const wchar_t* fallback) {
    return i < arguments.size() && !arguments[i].empty() ? arguments[i] : std::wstring(fallback);
  };
  form.showTrayBalloon(arguments[0], arguments[1], argument(2, L""), argument(3, kDefaultBalloonTimeout),
                       argument(4, L""));
  return kDone;
}

const MethodSpec kMethods[] = {
    {L"showIcon", 0, plain<&F::showTrayIcon>},
    {L"hideIcon", 0, plain<&F::hideTrayIcon>},
    {L"setIcon", 1, withText<&F::setTrayIcon>},
    {L"seticonHint", 1, withText<&F::setTrayHint, false>},  // the iconHint property
    {L"showBalloon", 2, showBalloon},
    {L"addItem", 1, withText<&F::addTrayMenuItem>},
    {L"addSeparator", 0, plain<&F::addTrayMenuSeparator>},
    {L"removeItem", 1, withText<&F::removeTrayMenuItem>},
    {L"setItemChecked", 2, itemFlag<&F::setTrayMenuItemChecked>},
    {L"setItemEnabled", 2, itemFlag<&F::setTrayMenuItemEnabled>},
    {L"setItemVisible", 2, itemFlag<&F::setTrayMenuItemVisible>},
    {L"checkItem", 1, itemFixed<&F::setTrayMenuItemChecked, true>},
    {L"uncheckItem", 1, itemFixed<&F::setTrayMenuItemChecked, false>},
    {L"enableItem", 1, itemFixed<&F::setTrayMenuItemEnabled, true>},
    {L"disableItem", 1, itemFixed<&F::setTrayMenuItemEnabled, false>},
    {L"showItem", 1, itemFixed<&F::setTrayMenuItemVisible, true>},
    {L"hideItem", 1, itemFixed<&F::setTrayMenuItemVisible, false>},
    {L"setmenuType", 1, withText<&F::setTrayMenuType, false>},  // the menuType property
};

}  // namespace

std::span<const MethodSpec> trayMenuMethods() { return kMethods; }

}  // namespace lumo::menus

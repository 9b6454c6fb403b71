// What a menu pick does: the click event to the movie, then the menu type's action (call a
// movie function, set a movie variable or go to a frame label).
#pragma once

#include "ui/MenuRecords.h"

#include <string>
#include <string_view>

namespace lumo {

class FormInterface;

// An item's name made fit for the names of its event, handler, variable and frame label:
// "&" dropped; "(", ")", ",", '"', ".", "{", "}" and spaces become "_".
std::wstring sanitizeMenuItemName(std::wstring_view name);

// Sends the click of `record` to `form`'s movie; `menuType` is the type of a main-menu item
// (tray and context items use the form's own types).
void dispatchMenuClick(FormInterface& form, const std::wstring& menuType, const std::wstring& trayMenuType,
                       const std::wstring& contextMenuType, const MenuItemRecord& record);

}  // namespace lumo

// The modal dialog that asks for the project password at start-up.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lumo {

// Shows dialog 150 captioned `title`; the typed text when OK was pressed, nullopt otherwise.
std::optional<std::wstring> askPassword(HINSTANCE instance, const std::wstring& title);

}  // namespace lumo

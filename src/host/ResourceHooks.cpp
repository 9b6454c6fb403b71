// Cursor and menu hooks: for the image's own instance the resources come from the mapped image
// (the system cannot find them there); other instances go to the real functions.
#include "host/Hooks.h"

#include "CallBoundary.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {
namespace {

bool isImage(PlayerModule* module, HINSTANCE instance) {
  return instance && module->image() && reinterpret_cast<HMODULE>(instance) == module->imageBase();
}

}  // namespace

HCURSOR WINAPI loadCursorA(decltype(&LoadCursorA) real, PlayerModule* module, HINSTANCE instance, LPCSTR name) {
  return atBoundary("LoadCursorA hook", HCURSOR{}, [&]() -> HCURSOR {
    if (!isImage(module, instance)) return real(instance, name);
    return module->cursors().load(*module->image(), name);
  });
}

HMENU WINAPI loadMenuA(decltype(&LoadMenuA) real, PlayerModule* module, HINSTANCE instance, LPCSTR name) {
  return atBoundary("LoadMenuA hook", HMENU{}, [&]() -> HMENU {
    if (!isImage(module, instance)) return real(instance, name);
    const auto menu = module->findResource(MAKEINTRESOURCEA(4), name);  // RT_MENU
    return menu ? LoadMenuIndirectA(menu->data) : nullptr;
  });
}

}  // namespace lumo::hooks

// Window-class hooks: the player's class names become generated names registered with the
// runtime's own instance, so an installed player's classes are never met.
#include <optional>
#include <string>

#include "host/Hooks.h"

#include "CallBoundary.h"
#include "host/PlayerModule.h"

namespace lumo::hooks {
namespace {

// The generated name for a player's class name given as a string; atoms are left alone.
std::optional<std::string> mappedName(PlayerModule* module, LPCSTR className) {
  if (!className || IS_INTRESOURCE(className)) return std::nullopt;
  return module->classNames().find(className);
}

}  // namespace

HWND WINAPI createWindowExA(decltype(&CreateWindowExA) real, PlayerModule* module, DWORD exStyle, LPCSTR className,
                            LPCSTR windowName, DWORD style, int x, int y, int width, int height, HWND parent,
                            HMENU menu, HINSTANCE instance, LPVOID parameter) {
  return atBoundary("CreateWindowExA hook", HWND{}, [&]() -> HWND {
    const std::optional<std::string> generated = mappedName(module, className);
    if (generated) className = generated->c_str();
    if (instance) instance = module->runtimeInstance();
    return real(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, parameter);
  });
}

ATOM WINAPI registerClassExA(decltype(&RegisterClassExA) real, PlayerModule* module, const WNDCLASSEXA* description) {
  return atBoundary("RegisterClassExA hook", ATOM{0}, [&]() -> ATOM {
    if (!description || !description->lpszClassName || IS_INTRESOURCE(description->lpszClassName))
      return real(description);
    WNDCLASSEXA copy = *description;
    const std::string generated = module->classNames().add(copy.lpszClassName);
    copy.lpszClassName = generated.c_str();
    copy.hInstance = module->runtimeInstance();
    return real(&copy);
  });
}

ATOM WINAPI registerClassA(decltype(&RegisterClassA) real, PlayerModule* module, const WNDCLASSA* description) {
  return atBoundary("RegisterClassA hook", ATOM{0}, [&]() -> ATOM {
    if (!description || !description->lpszClassName || IS_INTRESOURCE(description->lpszClassName))
      return real(description);
    WNDCLASSA copy = *description;
    const std::string generated = module->classNames().add(copy.lpszClassName);
    copy.lpszClassName = generated.c_str();
    copy.hInstance = module->runtimeInstance();
    return real(&copy);
  });
}

BOOL WINAPI unregisterClassA(decltype(&UnregisterClassA) real, PlayerModule* module, LPCSTR className,
                             HINSTANCE instance) {
  return atBoundary("UnregisterClassA hook", BOOL{FALSE}, [&]() -> BOOL {
    const std::optional<std::string> generated = mappedName(module, className);
    if (!generated) return real(className, instance);
    const BOOL unregistered = real(generated->c_str(), module->runtimeInstance());
    if (unregistered) module->classNames().removeFirst(className);
    return unregistered;
  });
}

BOOL WINAPI getClassInfoExA(decltype(&GetClassInfoExA) real, PlayerModule* module, HINSTANCE instance,
                            LPCSTR className, LPWNDCLASSEXA description) {
  return atBoundary("GetClassInfoExA hook", BOOL{FALSE}, [&]() -> BOOL {
    const std::optional<std::string> generated = mappedName(module, className);
    if (generated) className = generated->c_str();
    if (instance) instance = module->runtimeInstance();
    return real(instance, className, description);
  });
}

}  // namespace lumo::hooks

// The built-in runtime modules in their start-up order, each with its factory.
#pragma once

#include "bridge/BuiltInModules.h"

#include <span>

namespace lumo {

// vor.Application, vor.Application.Kiosk, vor.Application.Library,
// vor.Application.Screensaver, vor.Application.Timer; a module not built yet has no factory.
std::span<const BuiltInModule> builtInModuleTable();

}  // namespace lumo

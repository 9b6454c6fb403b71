// The registration step start-up runs for the built-in runtime modules, in their fixed order,
// each only after its own registerMethods succeeded.
#pragma once

#include <memory>
#include <span>

#include "lumo/RuntimeModule.h"

namespace lumo {

class CommandEngine;

struct BuiltInModule {
  enum class When { Always, KioskMode, ScreensaverMode };
  const wchar_t* name;
  When when;
  std::unique_ptr<RuntimeModule> (*create)();  // nullptr until the module exists
};

// False at the first module whose registerMethods refuses; the rest are not registered.
bool registerBuiltInModules(CommandEngine& engine, bool kioskMode, bool screensaverMode,
                            std::span<const BuiltInModule> table);

}  // namespace lumo

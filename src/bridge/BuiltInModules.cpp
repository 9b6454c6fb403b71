// Registration of the built-in modules from a table (the runtime's own table lives with the
// modules, which build on the application object).
#include "bridge/BuiltInModules.h"

#include "bridge/CommandEngine.h"

namespace lumo {

bool registerBuiltInModules(CommandEngine& engine, bool kioskMode, bool screensaverMode,
                            std::span<const BuiltInModule> table) {
  for (const BuiltInModule& entry : table) {
    if (entry.when == BuiltInModule::When::KioskMode && !kioskMode) continue;
    if (entry.when == BuiltInModule::When::ScreensaverMode && !screensaverMode) continue;
    if (!entry.create) continue;
    std::unique_ptr<RuntimeModule> module = entry.create();
    if (!module || !module->registerMethods()) return false;
    // A plug-in module that took the name first keeps it.
    engine.registerModule(std::move(module));
  }
  return true;
}

}  // namespace lumo

// The built-in module table: each module's issue fills in its factory where it lands.
#include "bridge/BuiltInModules.h"

#include "bridge/CommandEngine.h"

namespace lumo {
namespace {

const BuiltInModule kBuiltInModules[] = {
    {L"vor.Application", BuiltInModule::When::Always, nullptr},
    {L"vor.Application.Kiosk", BuiltInModule::When::KioskMode, nullptr},
    {L"vor.Application.Library", BuiltInModule::When::Always, nullptr},
    {L"vor.Application.Screensaver", BuiltInModule::When::ScreensaverMode, nullptr},
    {L"vor.Application.Timer", BuiltInModule::When::Always, nullptr},
};

}  // namespace

std::span<const BuiltInModule> builtInModules() { return kBuiltInModules; }

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

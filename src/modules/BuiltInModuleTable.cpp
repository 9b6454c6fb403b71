// The built-in runtime modules in their start-up order.
#include "modules/BuiltInModuleTable.h"

#include "modules/ApplicationModule.h"
#include "modules/KioskModule.h"

namespace lumo {
namespace {

const BuiltInModule kBuiltInModules[] = {
    {L"vor.Application", BuiltInModule::When::Always, &ApplicationModule::create},
    {L"vor.Application.Kiosk", BuiltInModule::When::KioskMode, &KioskModule::create},
    {L"vor.Application.Library", BuiltInModule::When::Always, nullptr},
    {L"vor.Application.Screensaver", BuiltInModule::When::ScreensaverMode, nullptr},
    {L"vor.Application.Timer", BuiltInModule::When::Always, nullptr},
};

}  // namespace

std::span<const BuiltInModule> builtInModuleTable() { return kBuiltInModules; }

}  // namespace lumo

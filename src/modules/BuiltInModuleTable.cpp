// The built-in runtime modules in their start-up order.
#include "modules/BuiltInModuleTable.h"

#include "modules/ApplicationModule.h"
#include "modules/KioskModule.h"
#include "modules/LibraryModule.h"
#include "modules/ScreensaverModule.h"
#include "modules/TimerModule.h"

namespace lumo {
namespace {

const BuiltInModule kBuiltInModules[] = {
    {L"vor.Application", BuiltInModule::When::Always, &ApplicationModule::create},
    {L"vor.Application.Kiosk", BuiltInModule::When::KioskMode, &KioskModule::create},
    {L"vor.Application.Library", BuiltInModule::When::Always, &LibraryModule::create},
    {L"vor.Application.Screensaver", BuiltInModule::When::ScreensaverMode, &ScreensaverModule::create},
    {L"vor.Application.Timer", BuiltInModule::When::Always, &TimerModule::create},
};

}  // namespace

std::span<const BuiltInModule> builtInModuleTable() { return kBuiltInModules; }

}  // namespace lumo

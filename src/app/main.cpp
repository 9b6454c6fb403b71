// The runtime's entry point: start the project, run the message loop, return the exit code.
#include "DisplayModeList.h"
#include "RuntimeApp.h"
#include "modules/BuiltInModuleTable.h"
#include "modules/TimerModule.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  InitCommonControls();
  auto& app = lumo::RuntimeApp::instance();
  app.runtimeModules = lumo::builtInModuleTable();
  app.stopModuleThreads = &lumo::TimerModule::destroyAllTimers;
  if (!app.initialise(instance, nullptr)) return -1;
  app.runMessageLoop();
  app.shutdown();
  lumo::DisplayModeList::instance().release();
  return app.exitCode;
}

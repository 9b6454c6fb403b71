// vor.Application.Kiosk's command table and the calls into the lock library.
#include "modules/KioskModule.h"

#include "RuntimeApp.h"
#include "lumo/FormInterface.h"
#include "modules/LockLibraryLoader.h"
#include "util/FileSystem.h"

namespace lumo {
namespace {

// Modifier values and shell items as the library takes them.
constexpr UINT kNone = 0, kAlt = 1, kCtrl = 2, kCtrlAlt = 3, kWin = 8;
constexpr UINT kDesktop = 2, kStartButton = 3, kTaskbar = 5;
// The values the login-screen component's install and uninstall are called with.
constexpr UINT kInstallTag = 25, kUninstallTag = 26;

}  // namespace

const KioskModule::Command KioskModule::kCommands[] = {
    {L"disableAltEsc", Kind::KeyWithFormWindow, VK_ESCAPE, kAlt, 1},
    {L"disableAltF4", Kind::Key, VK_F4, kAlt, 1},
    {L"disableAltTab", Kind::Key, VK_TAB, kAlt, 1},
    {L"disableAppKey", Kind::Key, VK_APPS, kNone, 1},
    {L"disableCtrlAltDel", Kind::CtrlAltDel, VK_DELETE, kCtrlAlt, 1},
    {L"disableCtrlEsc", Kind::Key, VK_ESCAPE, kCtrl, 1},
    {L"disableRMouseButton", Kind::Key, VK_RBUTTON, kNone, 1},
    {L"disableWinKey", Kind::Key, 0, kWin, 1},
    {L"disableWindowsDesktop", Kind::Item, kDesktop, 0, 1},
    {L"disableWindowsStartButton", Kind::Item, kStartButton, 0, 1},
    {L"disableWindowsTaskbar", Kind::Item, kTaskbar, 0, 1},
    {L"enableAltEsc", Kind::Key, VK_ESCAPE, kAlt, 0},
    {L"enableAltF4", Kind::Key, VK_F4, kAlt, 0},
    {L"enableAltTab", Kind::Key, VK_TAB, kAlt, 0},
    {L"enableAppKey", Kind::Key, VK_APPS, kNone, 0},
    {L"enableCtrlAltDel", Kind::CtrlAltDel, VK_DELETE, kCtrlAlt, 0},
    {L"enableCtrlEsc", Kind::Key, VK_ESCAPE, kCtrl, 0},
    {L"enableRMouseButton", Kind::Key, VK_RBUTTON, kNone, 0},
    {L"enableWinKey", Kind::Key, 0, kWin, 0},
    {L"enableWindowsDesktop", Kind::Item, kDesktop, 0, 0},
    {L"enableWindowsStartButton", Kind::Item, kStartButton, 0, 0},
    {L"enableWindowsTaskbar", Kind::Item, kTaskbar, 0, 0},
    {L"installLoginScreen", Kind::InstallLoginScreen, 0, 0, 0},
    {L"uninstallLoginScreen", Kind::UninstallLoginScreen, 0, 0, 0},
};

KioskModule::KioskModule(const LockFunctions& functions, std::wstring componentFolder, std::function<bool()> load)
    : RuntimeModule(L"vor.Application.Kiosk", L"1.0.0", L"", true),
      functions_(functions),
      componentFolder_(std::move(componentFolder)),
      load_(std::move(load)) {}

std::unique_ptr<RuntimeModule> KioskModule::create() {
  RuntimeApp& app = RuntimeApp::instance();
  return std::make_unique<KioskModule>(app.lockFunctions, app.privateTempFolder, [&app] {
    return loadLockLibrary(lockLibraryResource(app.instance_), app.privateTempFolder, app.extractedExtensions,
                           app.kioskLibrary, app.lockFunctions);
  });
}

bool KioskModule::registerMethods() {
  if (load_ && !load_()) return false;
  for (const Command& command : kCommands) {
    addMethod(std::make_unique<CommandMethod>(command.name, [this, &command](FormInterface* form, const Arguments&) {
      run(form, command);
      return std::wstring();
    }));
  }
  return true;
}

void KioskModule::run(FormInterface* form, const Command& command) const {
  switch (command.kind) {
    case Kind::KeyWithFormWindow:
    case Kind::Key:
      if (auto disableKey = functions_.disableKey()) {
        HWND window = command.kind == Kind::KeyWithFormWindow && form ? form->windowHandle() : nullptr;
        disableKey(window, command.code, command.modifiers, command.disable);
      }
      break;
    case Kind::CtrlAltDel:
      // The sequence is the login-screen component's: nothing before it is installed.
      if (loginScreenInstalled())
        if (auto disableKey = functions_.disableKey()) disableKey(nullptr, command.code, command.modifiers, command.disable);
      break;
    case Kind::Item:
      if (auto disableItem = functions_.disableItem()) disableItem(command.code, command.disable);
      break;
    case Kind::InstallLoginScreen:
      installLoginScreen();
      break;
    case Kind::UninstallLoginScreen:
      if (loginScreenInstalled())
        if (auto uninstallGina = functions_.uninstallGina()) uninstallGina(kUninstallTag);
      break;
  }
}

bool KioskModule::loginScreenInstalled() const {
  auto isGinaInstalled = functions_.isGinaInstalled();
  return isGinaInstalled && isGinaInstalled() != 0;
}

// The component installs from the folder that holds the library: that folder is current for
// the call, and the previous one current again afterwards.
void KioskModule::installLoginScreen() const {
  const std::wstring previous = currentDirectory();  // a long one comes back too
  SetCurrentDirectoryW(componentFolder_.c_str());
  auto isGinaInstalled = functions_.isGinaInstalled();
  auto installGina = functions_.installGina();
  if (isGinaInstalled && isGinaInstalled() == 0 && installGina) installGina(kInstallTag);
  if (!previous.empty()) SetCurrentDirectoryW(previous.c_str());
}

}  // namespace lumo

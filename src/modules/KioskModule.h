// The built-in module vor.Application.Kiosk: each command is one call into the kiosk lock
// library (keys, the right mouse button, shell parts, the login-screen component).
#pragma once

#include "LockFunctions.h"
#include "lumo/RuntimeModule.h"
#include "modules/CommandMethod.h"

#include <functional>
#include <memory>
#include <string>

namespace lumo {

class KioskModule final : public RuntimeModule {
 public:
  // `functions`: the entry points the commands call through; `componentFolder`: the folder
  // holding the library, current while the login-screen component installs; `load`: what
  // registerMethods runs first (writing and loading the library).
  KioskModule(const LockFunctions& functions, std::wstring componentFolder, std::function<bool()> load);

  // Loads the library, then registers the 24 commands; false (no command) when the load fails.
  bool registerMethods() override;
  void poll() override {}

  // The runtime's module: the library from the executable's resource into the private
  // temporary folder, the entry points kept by the application object.
  static std::unique_ptr<RuntimeModule> create();

 private:
  enum class Kind { Key, KeyWithFormWindow, CtrlAltDel, Item, InstallLoginScreen, UninstallLoginScreen };
  // One command as data: what it calls and with which values.
  struct Command {
    const wchar_t* name;
    Kind kind;
    UINT code;       // the virtual key, or the shell item
    UINT modifiers;  // of a key
    BOOL disable;    // 1 block, 0 unblock
  };
  static const Command kCommands[];

  void run(FormInterface* form, const Command& command) const;
  bool loginScreenInstalled() const;
  void installLoginScreen() const;

  const LockFunctions& functions_;
  std::wstring componentFolder_;
  std::function<bool()> load_;
};

}  // namespace lumo

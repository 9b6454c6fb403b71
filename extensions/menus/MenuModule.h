// A runtime module whose methods come from a table: one each for vor.Menu.Main,
// vor.Menu.Context and vor.Menu.Tray. Menus need no polling.
#pragma once

#include <span>

#include "MenuMethod.h"

namespace lumo::menus {

class MenuModule final : public RuntimeModule {
 public:
  MenuModule(const wchar_t* moduleName, std::span<const MethodSpec> table)
      : RuntimeModule(moduleName, L"1.0.0", L"Lumo", true), table_(table) {}

  bool registerMethods() override;
  void poll() override {}

 private:
  std::span<const MethodSpec> table_;
};

// The method tables of the three classes.
std::span<const MethodSpec> mainMenuMethods();
std::span<const MethodSpec> contextMenuMethods();
std::span<const MethodSpec> trayMenuMethods();

}  // namespace lumo::menus

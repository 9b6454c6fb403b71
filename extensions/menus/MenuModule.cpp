#include "MenuModule.h"

#include <memory>

namespace lumo::menus {

bool MenuModule::registerMethods() {
  methods.clear();
  for (const MethodSpec& spec : table_) {
    if (!addMethod(std::make_unique<MenuMethod>(spec))) return false;  // a name twice in a table
  }
  return true;
}

}  // namespace lumo::menus

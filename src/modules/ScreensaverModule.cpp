// vor.Application.Screensaver: mouseMoveExits and keyPressExits set the calling form's switch
// to whether their argument is exactly "true"; without an argument they do nothing.
#include "modules/ScreensaverModule.h"

#include "lumo/FormInterface.h"
#include "modules/CommandMethod.h"

namespace lumo {

ScreensaverModule::ScreensaverModule() : RuntimeModule(L"vor.Application.Screensaver", L"1.0.0", L"", true) {}

bool ScreensaverModule::registerMethods() {
  using Setter = void (FormInterface::*)(bool);
  static const std::pair<const wchar_t*, Setter> kSwitches[] = {
      {L"mouseMoveExits", &FormInterface::setCloseOnMouse},
      {L"keyPressExits", &FormInterface::setCloseOnKey},
  };
  for (const auto& [name, setter] : kSwitches) {
    addMethod(std::make_unique<CommandMethod>(name, [setter](FormInterface* form, const Arguments& arguments) {
      if (form && !arguments.empty()) (form->*setter)(arguments[0] == L"true");
      return std::wstring();
    }));
  }
  return true;
}

}  // namespace lumo

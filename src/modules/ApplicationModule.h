// The built-in module vor.Application: the application as a whole (exit, title, full screen,
// printing, speech, environment) and the calling form (maximize, minimize, exit handler).
#pragma once

#include "lumo/RuntimeModule.h"
#include "modules/CommandMethod.h"

#include <windows.h>

#include <memory>
#include <string>

namespace lumo {

class ApplicationModule final : public RuntimeModule {
 public:
  ApplicationModule();

  bool registerMethods() override;
  void poll() override {}

  static std::unique_ptr<RuntimeModule> create() { return std::make_unique<ApplicationModule>(); }

 private:
  using Command = std::wstring (ApplicationModule::*)(FormInterface* form, const Arguments& arguments);
  struct Entry {
    const wchar_t* name;
    Command command;
  };
  static const Entry kCommands[];

  // Commands without behaviour: the movie sees an empty result.
  std::wstring nothing(FormInterface*, const Arguments&) { return {}; }

  // Windows: ApplicationWindowCommands.cpp
  std::wstring createForm(FormInterface* form, const Arguments& arguments);
  std::wstring bringToFront(FormInterface* form, const Arguments& arguments);
  std::wstring sendToBack(FormInterface* form, const Arguments& arguments);
  std::wstring maximize(FormInterface* form, const Arguments& arguments);
  std::wstring minimize(FormInterface* form, const Arguments& arguments);
  std::wstring restore(FormInterface* form, const Arguments& arguments);
  std::wstring minimizeToTray(FormInterface* form, const Arguments& arguments);
  std::wstring shake(FormInterface* form, const Arguments& arguments);
  std::wstring setTitle(FormInterface* form, const Arguments& arguments);
  std::wstring isMinimized(FormInterface* form, const Arguments& arguments);
  std::wstring formNames(FormInterface* form, const Arguments& arguments);
  std::wstring switchFullScreen(FormInterface* form, const Arguments& arguments);

  // Exit and waiting: ApplicationExitCommands.cpp
  std::wstring delay(FormInterface* form, const Arguments& arguments);
  std::wstring enableExitHandler(FormInterface* form, const Arguments& arguments);
  std::wstring exit(FormInterface* form, const Arguments& arguments);
  std::wstring exitWithCode(FormInterface* form, const Arguments& arguments);
  std::wstring exitWithModalResult(FormInterface* form, const Arguments& arguments);

  // Process, project and devices: ApplicationProcessCommands.cpp
  std::wstring commandLineParameter(FormInterface* form, const Arguments& arguments);
  std::wstring environmentVariable(FormInterface* form, const Arguments& arguments);
  std::wstring setEnvironmentVariable(FormInterface* form, const Arguments& arguments);
  std::wstring secureVariable(FormInterface* form, const Arguments& arguments);
  std::wstring globalVariable(FormInterface* form, const Arguments& arguments);
  std::wstring fileName(FormInterface* form, const Arguments& arguments);
  std::wstring path(FormInterface* form, const Arguments& arguments);
  std::wstring printText(FormInterface* form, const Arguments& arguments);
  std::wstring say(FormInterface* form, const Arguments& arguments);

  // switchFullScreen's state: whether the main form is full screen, and its style before.
  bool fullScreen_ = false;
  LONG_PTR styleBeforeFullScreen_ = 0;
};

}  // namespace lumo

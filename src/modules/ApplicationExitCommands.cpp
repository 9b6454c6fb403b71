// vor.Application's commands that end the application or a form, or hold the main thread.
#include "modules/ApplicationModule.h"

#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "RuntimeApp.h"
#include "bridge/ValueFormat.h"
#include "util/MessageBoxHelper.h"

namespace lumo {

std::wstring ApplicationModule::delay(FormInterface*, const Arguments& arguments) {
  // A negative time would be a wait of nearly fifty days: nothing to wait for.
  const long milliseconds = arguments.empty() ? 0 : toInteger(arguments[0]);
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
  return {};
}

std::wstring ApplicationModule::enableExitHandler(FormInterface* form, const Arguments&) {
  if (form) form->enableExitHandler();
  return {};
}

std::wstring ApplicationModule::exit(FormInterface*, const Arguments& arguments) {
  if (arguments.size() >= 2 && arguments[0] == L"ask") {
    const int answer = MessageBoxHelper::instance().show(
        arguments[1], L"Information", MessageBoxFlag::kOkCancel | MessageBoxFlag::kInformation);
    if (answer == MessageBoxAnswer::kCancel) return {};
  }
  RuntimeApp::instance().exitApplication();
  return {};
}

std::wstring ApplicationModule::exitWithCode(FormInterface*, const Arguments& arguments) {
  if (!arguments.empty()) RuntimeApp::instance().setExitCode(static_cast<int>(toInteger(arguments[0])));
  return {};
}

std::wstring ApplicationModule::exitWithModalResult(FormInterface* form, const Arguments& arguments) {
  if (arguments.empty() || !form) return {};
  FormEnvironment::instance().modalResult = arguments[0];
  form->close();
  return {};
}

}  // namespace lumo

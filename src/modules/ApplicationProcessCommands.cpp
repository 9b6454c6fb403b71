// vor.Application's commands on the process (command line, environment, executable path),
// the project's variables, the printer and the speech voice.
#include "modules/ApplicationModule.h"

#include "forms/Form.h"
#include "RuntimeApp.h"
#include "bridge/TextHelpers.h"
#include "bridge/ValueFormat.h"
#include "modules/PagePrinter.h"

#include <sapi.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <optional>

namespace lumo {
namespace {

const wchar_t kNotFound[] = L"vor_notfound";

std::wstring inQuotes(const std::wstring& text) { return L"\"" + text + L"\""; }

// A project variable as the movie reads it: quoted, with "vor_notfound" for an absent one.
std::wstring projectVariable(const std::optional<std::wstring>& value) {
  if (!value || *value == kNotFound) return inQuotes(kNotFound);
  return inQuotes(quoteEscape(*value));
}

std::wstring modulePath(HMODULE module, DWORD limit) {
  std::wstring path(limit, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), limit);
  path.resize(length < limit ? length : 0);
  return path;
}

}  // namespace

std::wstring ApplicationModule::commandLineParameter(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  int count = 0;
  LPWSTR* parameters = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!parameters) return inQuotes({});
  // Index 0 is the program itself and is never handed out.
  const long index = toInteger(arguments[0]);
  std::wstring result = index >= 1 && index < count ? inQuotes(parameters[index]) : inQuotes({});
  LocalFree(parameters);
  return result;
}

std::wstring ApplicationModule::environmentVariable(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  // Any length is read whole: ask for the size first, and again if the value grew meanwhile.
  std::wstring value;
  for (DWORD size = GetEnvironmentVariableW(arguments[0].c_str(), nullptr, 0); size > 1;) {
    value.assign(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(arguments[0].c_str(), value.data(), size);
    if (length < size) {
      value.resize(length);
      break;
    }
    size = length;
  }
  if (value.empty()) return {};
  replaceAll(value, L"\\", L"\\\\");
  return inQuotes(value);
}

std::wstring ApplicationModule::setEnvironmentVariable(FormInterface*, const Arguments& arguments) {
  if (arguments.size() >= 2) SetEnvironmentVariableW(arguments[0].c_str(), arguments[1].c_str());
  return {};
}

std::wstring ApplicationModule::secureVariable(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return inQuotes(kNotFound);
  return projectVariable(RuntimeApp::instance().settings.secureVar(arguments[0]));
}

std::wstring ApplicationModule::globalVariable(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return inQuotes(kNotFound);
  return projectVariable(RuntimeApp::instance().settings.globalVar(arguments[0]));
}

std::wstring ApplicationModule::fileName(FormInterface*, const Arguments&) {
  const std::wstring path = modulePath(nullptr, MAX_PATH);
  return path.substr(path.rfind(L'\\') + 1);
}

std::wstring ApplicationModule::path(FormInterface*, const Arguments&) {
  return modulePath(RuntimeApp::instance().instance_, 1024);
}

std::wstring ApplicationModule::printText(FormInterface* form, const Arguments& arguments) {
  if (arguments.size() < 2) return {};
  printPage(form ? form->windowHandle() : nullptr, arguments[0], arguments[1] == L"true",
            RuntimeApp::instance().applicationTitle);
  return {};
}

std::wstring ApplicationModule::say(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  if (ISpVoice* voice = RuntimeApp::instance().speakingVoice()) voice->Speak(arguments[0].c_str(), SPF_DEFAULT, nullptr);
  return {};
}

}  // namespace lumo

// What forms take from the application object without depending on it: the player module,
// the project's modes and the hooks into later parts (screensaver close, tray, splash).
#pragma once

#include <windows.h>
#include <objidl.h>

#include <functional>
#include <string>

namespace lumo {

class PlayerModule;
class Form;
class TrayControls;
class ApplicationMenuControls;

struct FormEnvironment {
  static FormEnvironment& instance();

  PlayerModule* playerModule = nullptr;
  bool screensaverMode = false;
  bool kioskMode = false;
  // The resource handler every form registers with the player module (user data: the form).
  HRESULT(CALLBACK* resourceHandler)(const wchar_t* url, IStream** stream, void* reserved, void* userData) = nullptr;
  // The modal result: written by the Application module's exitWithModalResult, cleared and
  // read by a form's modal wait.
  std::wstring modalResult;
  // Optional hooks; unset ones do nothing.
  std::function<void()> closeScreensaver;  // input ended a screensaver that has no preview parent
  std::function<void(Form&)> showSplash;  // main form, before its window is shown
  std::function<void(Form&, WPARAM, LPARAM)> trayCallback;
  TrayControls* tray = nullptr;  // the tray icon operations of every form
  std::function<void(Form&)> applicationMinimise;
  ApplicationMenuControls* menus = nullptr;  // the tray and context menus of every form
};

}  // namespace lumo

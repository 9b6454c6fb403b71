// The process-wide application object: reads the project from the executable, starts the
// forms, and releases everything at shutdown. Created on first use by instance().
#pragma once

#include "LockFunctions.h"
#include "ProjectSettings.h"
#include "UniqueHandle.h"
#include "bridge/BuiltInModules.h"
#include "ui/ApplicationMenus.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"

#include <windows.h>
#include <sapi.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumo {

class PlayerModule;
class Form;

class RuntimeApp {
 public:
  static RuntimeApp& instance();

  RuntimeApp(const RuntimeApp&) = delete;
  RuntimeApp& operator=(const RuntimeApp&) = delete;

  // The start-up sequence; false when the projector cannot start (exit code -1).
  bool initialise(HINSTANCE instance, HWND previewParent);
  // Runs the message loop until the main form has finished closing or WM_QUIT arrives.
  void runMessageLoop();
  // A form made by the movie (command createForm): false when the name is taken, the movie
  // file cannot be read or the form cannot start.
  bool createForm(const std::wstring& name, const std::wstring& moviePath, int x, int y, int width, int height,
                  const std::wstring& style);
  // Stores the exit code and closes the main form, which ends the process.
  void setExitCode(int code);
  // Ends the application through the main form (its fade-out, if it has one), whatever its
  // exit handler says.
  void exitApplication();
  // The application's minimize for a form id: another form alone, or the main form; then the
  // main form hears onAppMinimize.
  void minimizeApplication(int formId);
  // Restores every open form; then the main form hears onAppRestore.
  void restoreApplication();
  // Releases what start-up acquired; safe to call more than once.
  void shutdown();

  // The built-in runtime modules start-up registers; the entry point gives the table.
  std::span<const BuiltInModule> runtimeModules;
  // Stops what the built-in modules run on other threads (their timers); shutdown runs it
  // first, so nothing reaches a form or the command engine while they go.
  void (*stopModuleThreads)() = nullptr;
  HINSTANCE instance_ = nullptr;
  UniqueModule kioskLibrary;
  LockFunctions lockFunctions;  // the kiosk lock library's entry points, filled at its load
  HMENU contextMenuBar = nullptr;
  HMENU trayMenuBar = nullptr;
  std::wstring privateTempFolder;
  UniqueFileHandle privateFolderLock;  // held while the run lives, so a later run can tell
  std::vector<std::unique_ptr<Form>> forms;  // in creation order
  int nextFormId = 0;
  Form* mainForm = nullptr;  // the form with id 0 once it exists
  std::wstring applicationTitle;
  bool screensaverMode = false;
  bool kioskMode = false;
  bool minimizeToTray = false;
  int exitCode = 0;
  record::ProjectSettings settings;
  Microsoft::WRL::ComPtr<ISpVoice> speechVoice;  // made by speakingVoice on first use
  // The speech voice, created the first time something speaks; null on a machine without one.
  ISpVoice* speakingVoice();
  std::vector<std::wstring> extractedExtensions;
  Microsoft::WRL::ComPtr<ITaskbarList> taskbarList;
  std::wstring workingDirectory;
  std::wstring executablePath;
  // The player control's code, mapped at start-up and released at process exit.
  std::unique_ptr<PlayerModule> playerModule;
  SplashWindow splash;
  TrayIcon tray;  // the notification-area icon and its record
  ApplicationMenus menus;  // the tray and context menus, their switch and settings

 private:
  RuntimeApp();
  ~RuntimeApp();

  bool loadSettings();
  bool loadPlayer();
  bool checkPassword();
  void createMenuBars();
  bool createForms(HWND previewParent);
  void setModeFlags();
  void showSplash(Form& mainForm);

  // A screensaver's command-line switches: false when start-up ends here (its settings asked
  // for, or a preview window that is gone), with the loop ending at once and exit code 0.
  bool applyScreensaverSwitches(HWND& previewParent);
  void watchPreviewParent(HWND window);
  static void CALLBACK checkPreviewParent(HWND, UINT, UINT_PTR timer, DWORD);

  bool comInitialised_ = false;
  HWND previewParent_ = nullptr;
};

}  // namespace lumo

#include "RuntimeApp.h"

#include "CallBoundary.h"

#include "DisplayModeList.h"
#include "LocalFileResolver.h"
#include "bridge/BuiltInModules.h"
#include "bridge/CommandEngine.h"
#include "bridge/TextHelpers.h"
#include "forms/Form.h"
#include "forms/FormEnvironment.h"
#include "forms/FormEvents.h"
#include "forms/FormWindowProcedure.h"
#include "host/HostApi.h"
#include "host/PlayerModule.h"
#include "PasswordDialog.h"
#include "PrivateTempFolder.h"
#include "ScreensaverSwitches.h"
#include "resource.h"
#include "util/DebugOutput.h"
#include "util/FileSystem.h"

#include <cstdio>

namespace lumo {

namespace {

constexpr wchar_t kFormWindowClass[] = L"VORLUMO3WINDOW";
constexpr wchar_t kFallbackRecordFile[] = L"~~~~,~l3.exe";

// The resource handler every form registers: files under the working directory.
HRESULT CALLBACK serveMovieResource(const wchar_t* url, IStream** stream, void* /*reserved*/, void* /*form*/) {
  return atBoundary("resource handler", HRESULT{E_FAIL}, [&]() -> HRESULT {
    Microsoft::WRL::ComPtr<IStream> file;
    if (!url || !stream || FAILED(openMovieResource(url, file))) return E_FAIL;
    *stream = file.Detach();  // put in place of the offered stream, which stays its owner's
    return S_OK;
  });
}

void registerFormWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &FormWindowProcedure::procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LUMO));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEW(142);  // no such menu: forms get no class menu
  wc.lpszClassName = kFormWindowClass;
  RegisterClassExW(&wc);
}

}  // namespace

RuntimeApp& RuntimeApp::instance() {
  static RuntimeApp app;
  return app;
}

RuntimeApp::RuntimeApp() {
  // The engine must outlive this object: forms left by a failed start-up are destroyed by its
  // destructor at process exit, and they leave the engine's forms table then.
  CommandEngine::instance();
  comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&taskbarList)))) {
    taskbarList->HrInit();
  }
}

RuntimeApp::~RuntimeApp() {
  shutdown();
  taskbarList.Reset();
  playerModule.reset();
  if (comInitialised_) CoUninitialize();
}

bool RuntimeApp::initialise(HINSTANCE instance, HWND previewParent) {
  instance_ = instance;
  workingDirectory = currentDirectory();  // whatever its length
  wchar_t path[1024];
  const DWORD pathLength = GetModuleFileNameW(instance, path, 1024);
  executablePath.assign(path, pathLength > 0 && pathLength < 1024 ? pathLength : 0);

  // Start-up fails silently for the user; the debugger output says which step refused.
  const auto fail = [](const wchar_t* step) {
    debugOutput(std::wstring(L"start-up failed: ") + step);
    return false;
  };
  if (!loadSettings()) return fail(L"no project record");
  setModeFlags();
  // Only a screensaver reads the command line at start-up: Windows passes it /s, /p or /c.
  if (screensaverMode && !applyScreensaverSwitches(previewParent)) return true;
  registerFormWindowClass(instance);
  if (!loadPlayer()) return fail(L"player module");
  if (!checkPassword()) return fail(L"password");
  removeFoldersOfDeadRuns();
  const auto folder = createPrivateTempFolder();
  if (!folder) return fail(L"private temporary folder");
  privateTempFolder = *folder;
  privateFolderLock = holdPrivateFolderLock(privateTempFolder);
  if (!writeExtensions(privateTempFolder, settings.extensions(), extractedExtensions)) return fail(L"extensions");
  // Extension libraries come from the private folder, else from the working directory; a
  // failure here never stops start-up.
  if (!CommandEngine::instance().loadExtensions(privateTempFolder))
    CommandEngine::instance().loadExtensions(workingDirectory);
  createMenuBars();
  applicationTitle = settings.title;
  setModeFlags();
  auto& engine = CommandEngine::instance();
  engine.setDeclarationSource([instance] { return DeclarationValues::fromSystem(instance); });
  if (!registerBuiltInModules(engine, kioskMode, screensaverMode, runtimeModules)) return fail(L"runtime modules");
  if (!createForms(previewParent)) return fail(L"forms");
  if (previewParent) watchPreviewParent(previewParent);
  // The speech voice and the display-mode list are made when first asked for (see
  // speakingVoice and DisplayModeList): most projectors never ask.
  DisplayModeList::instance().setMainWindow(mainForm ? mainForm->windowHandle() : nullptr);
  engine.setPollingEnabled(true);
  return true;
}

ISpVoice* RuntimeApp::speakingVoice() {
  // Speech is optional: a machine without a voice still runs the projector.
  if (!speechVoice) CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&speechVoice));
  return speechVoice.Get();
}

bool RuntimeApp::loadSettings() {
  if (settings.loadFromExecutable(executablePath)) return true;
  // A partly read record must not leak into the second attempt.
  settings = record::ProjectSettings{};
  return settings.loadFromExecutable(workingDirectory + L"\\" + kFallbackRecordFile);
}

bool RuntimeApp::loadPlayer() {
  // The player control's DLL travels as resource "BIN" 135 and is mapped from memory.
  HRSRC resource = FindResourceW(instance_, MAKEINTRESOURCEW(IDR_PLAYER), L"BIN");
  HGLOBAL loaded = resource ? LoadResource(instance_, resource) : nullptr;
  const void* image = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = resource ? SizeofResource(instance_, resource) : 0;
  if (!image || size == 0) return false;
  playerModule = loadPlayerFromMemory(image, size);
  return playerModule != nullptr;
}

void RuntimeApp::setModeFlags() {
  screensaverMode = settings.projectMode == 1;
  kioskMode = settings.projectMode == 2;
}

bool RuntimeApp::checkPassword() {
  if (!settings.passwordRequired) return true;
  const auto typed = askPassword(instance_, settings.title);
  if (!typed) return false;
  if (*typed != settings.password) {
    MessageBoxW(GetDesktopWindow(), L"Password is incorrect!", settings.title.c_str(), 0);
    return false;
  }
  return true;
}

void RuntimeApp::createMenuBars() {
  trayMenuBar = CreateMenu();
  contextMenuBar = CreateMenu();
  AppendMenuW(trayMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), nullptr);
  AppendMenuW(contextMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), nullptr);
  menus.attach(GetSubMenu(trayMenuBar, 0), GetSubMenu(contextMenuBar, 0));
  // Both pop-ups are owned by the main form, whose counter numbers their items.
  menus.mainWindow = [this] { return mainForm ? mainForm->windowHandle() : nullptr; };
  menus.takeCommandId = [this]() -> std::optional<UINT> {
    if (!mainForm) return std::nullopt;
    return mainForm->takeMenuCommandId();
  };
  tray.showTrayMenu = [this](POINT at) { menus.showTrayMenu(at); };
  FormEnvironment::instance().menus = &menus;
}

bool RuntimeApp::createForms(HWND previewParent) {
  auto& environment = FormEnvironment::instance();
  environment.playerModule = playerModule.get();
  environment.screensaverMode = screensaverMode;
  environment.kioskMode = kioskMode;
  environment.resourceHandler = &serveMovieResource;
  environment.applicationMinimise = [this](Form&) { minimizeApplication(0); };
  environment.showSplash = [this](Form& form) { showSplash(form); };
  tray.instance = instance_;
  tray.privateFolder = privateTempFolder;
  tray.projectPicture = [this] { return settings.trayIconImage(); };
  environment.tray = &tray;
  environment.trayCallback = [this](Form& form, WPARAM wParam, LPARAM lParam) {
    tray.handleCallback(form, wParam, lParam);
  };
  // Input that ends a screensaver closes it as the person's close of the main form would,
  // through its exit handler when the movie enabled one.
  environment.closeScreensaver = [this] {
    if (mainForm) SendMessageW(mainForm->windowHandle(), WM_CLOSE, 0, 0);
  };
  auto& engine = CommandEngine::instance();
  for (const auto& description : settings.forms) {
    HWND parent = mainForm ? mainForm->windowHandle() : nullptr;
    const int id = nextFormId++;
    forms.push_back(std::make_unique<Form>(id, parent, instance_, previewParent));
    Form* form = forms.back().get();
    engine.addForm(id, form);
    // Global variables reach every movie as FlashVars, unescaped, in key order.
    std::vector<std::wstring> pairs;
    for (const auto& [key, value] : settings.globalVariables) pairs.push_back(key + L"=" + value.get());
    const std::wstring flashVars = join(pairs, L"&");
    if (!flashVars.empty()) form->setFlashVars(flashVars);
    if (id == 0) {
      mainForm = form;
      engine.setMainForm(form);
    }
    if (!form->start(instance_, *description, privateTempFolder)) return false;
    if (id == 0) {
      tray.mainWindow = form->windowHandle();
      // A movie the player gets straight (SWF 9 and later) listens once it has reported
      // vor.flash9ready: the message loop hands it the held events then. The bridge movie of
      // an older one takes them now, as it takes every event before its movie plays.
      if (description->movieVersion() < 9) splash.deliverHeldEvents(*form);
    }
  }
  if (!mainForm) return true;
  if (!settings.showInTaskbar) {
    HWND window = mainForm->windowHandle();
    if (mainForm->transparent || settings.forms.front()->borderStyle == 5) {
      ShowWindow(window, SW_HIDE);
      SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
      ShowWindow(window, SW_SHOW);
    } else if (taskbarList) {
      taskbarList->DeleteTab(window);
    }
  }
  if (settings.trayIconAtStart) tray.showIcon();
  return true;
}

void RuntimeApp::showSplash(Form& form) {
  if (!settings.splashEnabled) return;
  const auto image = settings.splashImage();
  if (!image) return;
  const SplashWindow::Settings splashSettings{settings.splashWidth, settings.splashHeight,
                                              static_cast<DWORD>(settings.splashDuration)};
  splash.show(instance_, *image, splashSettings, form.windowHandle());
}

bool RuntimeApp::createForm(const std::wstring& name, const std::wstring& moviePath, int x, int y, int width,
                            int height, const std::wstring& style) {
  auto& engine = CommandEngine::instance();
  if (engine.findFormByName(name)) return false;
  const int id = nextFormId++;
  auto form = std::make_unique<Form>(id, mainForm ? mainForm->windowHandle() : nullptr, instance_, nullptr);

  record::FormDescription description;
  description.name = name;
  description.x = x;
  description.y = y;
  description.width = width;
  description.height = height;
  static const std::pair<const wchar_t*, int> kBorders[] = {{L"standard", 0},     {L"sizeablestandard", 1},
                                                            {L"tool", 2},         {L"sizeabletool", 3},
                                                            {L"dialog", 4},       {L"noborder", 5}};
  for (const auto& [word, border] : kBorders)
    if (style == word) description.borderStyle = border;
  if (style == L"transparent") description.windowKind = 3;
  description.maximizeBox = description.minimizeBox = description.systemMenu = true;
  description.scaleEnabled = true;
  description.visibleAtStart = true;
  description.alpha = 255;
  description.altF4Closes = true;
  description.popupFrame = false;

  std::FILE* file = _wfopen(moviePath.c_str(), L"rb");
  if (!file) return false;
  record::Bytes movie;
  unsigned char buffer[65536];
  for (size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) movie.insert(movie.end(), buffer, buffer + read);
  const bool readWhole = std::ferror(file) == 0;
  std::fclose(file);
  if (!readWhole) return false;
  description.movie = record::StoredBlock::fromPlain(std::move(movie), record::BlockKind::Movie);

  Form* raw = form.get();
  forms.push_back(std::move(form));
  engine.addForm(id, raw);
  if (raw->start(instance_, description, privateTempFolder)) return true;
  engine.removeForm(id);
  forms.pop_back();
  return false;
}

void RuntimeApp::runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (mainForm && splash.eventsHeld() && mainForm->eiReady.load()) splash.deliverHeldEvents(*mainForm);
    if (mainForm && mainForm->quit()) {
      ShowWindow(mainForm->windowHandle(), SW_HIDE);
      break;
    }
  }
}

void RuntimeApp::setExitCode(int code) {
  exitCode = code;
  if (mainForm) SendMessageW(mainForm->windowHandle(), WM_CLOSE, 0, 0);
}

void RuntimeApp::exitApplication() {
  if (mainForm) mainForm->closeWindow();
  else PostQuitMessage(exitCode);
}

void RuntimeApp::minimizeApplication(int formId) {
  auto& engine = CommandEngine::instance();
  if (minimizeToTray && mainForm) {
    tray.mainWindow = mainForm->windowHandle();
    if (tray.addForMinimize()) {
      ShowWindow(mainForm->windowHandle(), SW_MINIMIZE);
      ShowWindow(mainForm->windowHandle(), SW_HIDE);
    } else {
      MessageBoxW(GetDesktopWindow(), L"Unable to Set Tray Icon", L"ERROR", MB_OK);
    }
  } else if (formId != 0) {
    if (FormInterface* form = engine.findForm(formId)) form->minimize();
  } else if (mainForm) {
    mainForm->minimize();
  }
  if (mainForm) events::appMinimize(*mainForm);
}

void RuntimeApp::restoreApplication() {
  // A form closed by the user or the movie is hidden, not gone: it stays closed. Each restore
  // raises events whose handlers may close forms, which leave the table: the walk goes over
  // the ids as they were and looks each form up again.
  auto& engine = CommandEngine::instance();
  std::vector<int> ids;
  for (const auto& entry : engine.forms()) ids.push_back(entry.first);
  for (const int id : ids) {
    FormInterface* form = engine.findForm(id);
    if (form && (id == 0 || IsWindowVisible(form->windowHandle()))) form->restore();
  }
  if (mainForm) events::appRestore(*mainForm);
}

bool RuntimeApp::applyScreensaverSwitches(HWND& previewParent) {
  const ScreensaverSwitches switches = parseScreensaverSwitches(GetCommandLineW());
  const auto finishAtOnce = [] {
    PostQuitMessage(0);
    return false;
  };
  switch (switches.action) {
    case ScreensaverSwitches::Action::Configure:
      MessageBoxW(IsWindow(switches.window) ? switches.window : nullptr,
                  L"This screensaver has no settings to change.", settings.title.c_str(), MB_OK | MB_ICONINFORMATION);
      return finishAtOnce();
    case ScreensaverSwitches::Action::Preview:
      if (!IsWindow(switches.window)) return finishAtOnce();
      previewParent = switches.window;
      return true;
    case ScreensaverSwitches::Action::Run:
      return true;
  }
  return true;
}

void RuntimeApp::watchPreviewParent(HWND window) {
  // The preview lives as long as the window that shows it: the settings page closes it by
  // destroying that window, which may belong to another process.
  previewParent_ = window;
  SetTimer(nullptr, 0, 250, &RuntimeApp::checkPreviewParent);
}

void CALLBACK RuntimeApp::checkPreviewParent(HWND, UINT, UINT_PTR timer, DWORD) {
  RuntimeApp& app = RuntimeApp::instance();
  if (IsWindow(app.previewParent_)) return;
  KillTimer(nullptr, timer);
  atBoundary("preview parent timer", [&] { app.exitApplication(); });
}

void RuntimeApp::shutdown() {
  // No dead icon may stay in the tray: removed first, and again once everything else went.
  tray.hideIcon();
  if (stopModuleThreads) stopModuleThreads();
  speechVoice.Reset();
  mainForm = nullptr;
  forms.clear();
  lockFunctions.clear();
  kioskLibrary.reset();
  FormEnvironment::instance().menus = nullptr;
  menus.attach(nullptr, nullptr);
  if (trayMenuBar) DestroyMenu(std::exchange(trayMenuBar, nullptr));
  if (contextMenuBar) DestroyMenu(std::exchange(contextMenuBar, nullptr));
  // The main form's window unloads the extensions as it goes; a run that never had one (no
  // forms, or a main form that failed before its window) still holds them, and a loaded
  // library's file cannot be deleted.
  CommandEngine::instance().unloadAll();
  privateFolderLock.reset();  // closed first: the folder's clean-up deletes the lock file too
  cleanPrivateTempFolder(privateTempFolder);
  privateTempFolder.clear();
  tray.hideIcon();
}

}  // namespace lumo

#include "RuntimeApp.h"

#include "DisplayModeList.h"
#include "bridge/BuiltInModules.h"
#include "bridge/CommandEngine.h"
#include "host/HostApi.h"
#include "host/PlayerModule.h"
#include "PasswordDialog.h"
#include "PrivateTempFolder.h"
#include "resource.h"

namespace lumo {

namespace {

constexpr wchar_t kFormWindowClass[] = L"VORLUMO3WINDOW";
constexpr wchar_t kFallbackRecordFile[] = L"~~~~,~l3.exe";

// Forms get their own window procedure with the forms; until then the class answers with
// the default one.
LRESULT CALLBACK formWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerFormWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = formWindowProc;
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

bool RuntimeApp::initialise(HINSTANCE instance, HWND /*previewParent*/) {
  instance_ = instance;
  wchar_t buffer[2048];
  const DWORD length = GetCurrentDirectoryW(2048, buffer);
  workingDirectory.assign(buffer, length < 2048 ? length : 0);
  wchar_t path[1024];
  const DWORD pathLength = GetModuleFileNameW(instance, path, 1024);
  executablePath.assign(path, pathLength > 0 && pathLength < 1024 ? pathLength : 0);

  // Start-up fails silently for the user; the debugger output says which step refused.
  const auto fail = [](const wchar_t* step) {
    OutputDebugStringW((std::wstring(L"start-up failed: ") + step).c_str());
    return false;
  };
  if (!loadSettings()) return fail(L"no project record");
  setModeFlags();
  registerFormWindowClass(instance);
  if (!loadPlayer()) return fail(L"player module");
  if (!checkPassword()) return fail(L"password");
  const auto folder = createPrivateTempFolder();
  if (!folder) return fail(L"private temporary folder");
  privateTempFolder = *folder;
  if (!writeExtensions(privateTempFolder, settings.extensions(), extractedExtensions)) return fail(L"extensions");
  createMenuBars();
  applicationTitle = settings.title;
  setModeFlags();
  auto& engine = CommandEngine::instance();
  engine.setDeclarationSource([instance] { return DeclarationValues::fromSystem(instance); });
  if (!registerBuiltInModules(engine, kioskMode, screensaverMode)) return fail(L"runtime modules");
  // Speech is optional: a machine without a voice still runs the projector.
  CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&speechVoice));
  if (!DisplayModeList::instance().build(mainFormWindow)) return fail(L"display modes");
  engine.setPollingEnabled(true);
  return true;
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
}

void RuntimeApp::runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void RuntimeApp::setExitCode(int code) {
  exitCode = code;
  if (mainFormWindow) SendMessageW(mainFormWindow, WM_CLOSE, 0, 0);
}

void RuntimeApp::shutdown() {
  speechVoice.Reset();
  kioskLibrary.reset();
  if (trayMenuBar) DestroyMenu(std::exchange(trayMenuBar, nullptr));
  if (contextMenuBar) DestroyMenu(std::exchange(contextMenuBar, nullptr));
  cleanPrivateTempFolder(privateTempFolder);
  privateTempFolder.clear();
}

}  // namespace lumo

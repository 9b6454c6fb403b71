// A small DLL the host tests map from memory: its exports show relocations, imports (hooked
// and by ordinal), exceptions, TLS callbacks, thread and process notifications, and its
// resources (cursor group, menu, a named resource in several languages) at work.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <stdexcept>
#include <string>

extern "C" int __declspec(dllimport) ordinalAnswer();  // imported from hostordinal.dll by ordinal

namespace {

HINSTANCE gInstance = nullptr;
int gValue = 7341;
int* gPointer = &gValue;  // a relocated absolute address
const char* gNames[] = {"first", "second"};
char gZeroed[65536];      // .bss: raw data shorter than virtual size
std::atomic<int> gThreadAttaches{0};
std::atomic<int> gThreadDetaches{0};
volatile int* gDetachFlag = nullptr;
unsigned gTlsReasons = 0;
bool gTlsBeforeMain = false;
bool gMainCalled = false;

// A static constructor that throws and catches: it runs inside the entry point.
struct ThrowsWhileConstructed {
  bool caught = false;
  ThrowsWhileConstructed() {
    try {
      throw std::runtime_error("constructing");
    } catch (const std::exception&) {
      caught = true;
    }
  }
} gConstructed;

void NTAPI tlsCallback(PVOID, DWORD reason, PVOID) {
  gTlsReasons |= 1u << reason;
  if (reason == DLL_PROCESS_ATTACH && !gMainCalled) gTlsBeforeMain = true;
}

LRESULT CALLBACK playerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) return 0x5A5A;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

extern "C" __attribute__((used, section(".CRT$XLB"))) const PIMAGE_TLS_CALLBACK testImageTlsCallback = tlsCallback;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      gInstance = instance;
      gMainCalled = true;
      break;
    case DLL_THREAD_ATTACH:
      ++gThreadAttaches;
      break;
    case DLL_THREAD_DETACH:
      ++gThreadDetaches;
      break;
    case DLL_PROCESS_DETACH:
      if (gDetachFlag) *gDetachFlag = 1;
      break;
  }
  return TRUE;
}

#define EXPORT extern "C" __declspec(dllexport)

EXPORT int relocatedValue() { return *gPointer; }
EXPORT const char* relocatedName(int index) { return gNames[index]; }
EXPORT int zeroedTail() {
  for (char c : gZeroed) {
    if (c) return 0;
  }
  return 1;
}
EXPORT int callOrdinalImport() { return ordinalAnswer(); }
EXPORT int throwAndCatch() {
  try {
    throw std::runtime_error(std::string(200, 'x'));
  } catch (const std::runtime_error& error) {
    return static_cast<int>(std::string(error.what()).size());
  }
}
EXPORT int constructorCaught() { return gConstructed.caught; }
EXPORT unsigned tlsReasons() { return gTlsReasons; }
EXPORT int tlsBeforeMain() { return gTlsBeforeMain; }
EXPORT int threadAttaches() { return gThreadAttaches; }
EXPORT int threadDetaches() { return gThreadDetaches; }
EXPORT void setDetachFlag(volatile int* flag) { gDetachFlag = flag; }
EXPORT HINSTANCE ownInstance() { return gInstance; }

EXPORT HMODULE loadLibrary(const char* path) { return LoadLibraryA(path); }
EXPORT ATOM registerPlayerClass(const char* name) {
  WNDCLASSEXA description{};
  description.cbSize = sizeof description;
  description.lpfnWndProc = playerProcedure;
  description.hInstance = gInstance;
  description.lpszClassName = name;
  return RegisterClassExA(&description);
}
EXPORT HWND createPlayerWindow(const char* name) {
  return CreateWindowExA(0, name, "player", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, gInstance, nullptr);
}
EXPORT BOOL classInfo(const char* name, WNDCLASSEXA* description) {
  description->cbSize = sizeof *description;
  return GetClassInfoExA(gInstance, name, description);
}
EXPORT BOOL unregisterPlayerClass(const char* name) { return UnregisterClassA(name, gInstance); }
EXPORT HCURSOR loadOwnCursor(const char* name) { return LoadCursorA(gInstance, name); }
EXPORT HCURSOR loadSystemCursor() { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); }
EXPORT HMENU loadOwnMenu(const char* name) { return LoadMenuA(gInstance, name); }
EXPORT void* commitWithGuard(void* address, SIZE_T size) {
  return VirtualAlloc(address, size, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD);
}
EXPORT BOOL flushCode(void* address, SIZE_T size) { return FlushInstructionCache(GetCurrentProcess(), address, size); }
EXPORT HANDLE openFileWide(const wchar_t* path) {
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
EXPORT MMRESULT openWave(HWAVEOUT* handle, const WAVEFORMATEX* format) {
  return waveOutOpen(handle, WAVE_MAPPER, format, 0, 0, CALLBACK_NULL);
}
EXPORT MMRESULT writeWave(HWAVEOUT handle, WAVEHDR* header) { return waveOutWrite(handle, header, sizeof *header); }
EXPORT MMRESULT closeWave(HWAVEOUT handle) { return waveOutClose(handle); }

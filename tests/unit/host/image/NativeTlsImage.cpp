// A DLL built by clang for the MinGW target, the way compilers other than MinGW g++ build
// controls: native TLS (an index and a template), SEH __try, C++ throws across frames, a
// delay-load table, and functions reached through GetProcAddress. The host tests map it.
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace {

HINSTANCE gInstance = nullptr;
// Per-thread data with a non-zero template, and a zero-filled tail.
thread_local int tValue = 1234;
thread_local char tTail[256];
thread_local bool tHeardAttach = false;
std::atomic<int> gDetachSum{0};

LRESULT CALLBACK playerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSEXA playerClass(const char* name) {
  WNDCLASSEXA description{};
  description.cbSize = sizeof description;
  description.lpfnWndProc = playerProcedure;
  description.hInstance = gInstance;
  description.lpszClassName = name;
  return description;
}

__attribute__((noinline)) int throwFrom(int depth) {
  if (depth == 0) throw std::runtime_error(std::string(64, 'y'));
  return throwFrom(depth - 1) + 1;
}

int filterOwn(DWORD code) { return code == 0xE0424242 ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gInstance = instance;
  // TLS must exist before the image hears of a thread, and until it heard of its end.
  if (reason == DLL_THREAD_ATTACH) tHeardAttach = true;
  if (reason == DLL_THREAD_DETACH) gDetachSum += tValue;
  return TRUE;
}

#define EXPORT extern "C" __declspec(dllexport)

EXPORT int tlsValue() { return tValue; }
EXPORT void setTlsValue(int value) { tValue = value; }
EXPORT int tlsTailZeroed() {
  for (char c : tTail) {
    if (c) return 0;
  }
  return 1;
}
EXPORT void* tlsAddress() { return &tValue; }
EXPORT int heardAttach() { return tHeardAttach; }
EXPORT int detachSum() { return gDetachSum; }
// A thread-safe function static, initialised once whichever thread comes first.
EXPORT int onceValue() {
  static const int value = tValue + 1;
  return value;
}

EXPORT int throwAcrossFrames() {
  try {
    return throwFrom(5);
  } catch (const std::runtime_error& error) {
    return static_cast<int>(std::string(error.what()).size());
  }
}
EXPORT int sehExcept() {
  __try {
    RaiseException(0xE0424242, 0, 0, nullptr);
  } __except (filterOwn(GetExceptionCode())) {
    return 7;
  }
  return 0;
}

// Late-bound system functions: looked up at run time, or reached through the delay-load table.
EXPORT ATOM registerLate(const char* name) {
  using Register = ATOM(WINAPI*)(const WNDCLASSEXA*);
  auto reg = reinterpret_cast<Register>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterClassExA")));
  const WNDCLASSEXA description = playerClass(name);
  return reg ? reg(&description) : 0;
}
EXPORT ATOM registerDelayed(const char* name) {
  const WNDCLASSEXA description = playerClass(name);
  return RegisterClassExA(&description);
}
EXPORT BOOL unregisterDelayed(const char* name) { return UnregisterClassA(name, gInstance); }
EXPORT HWND createDelayed(const char* name) {
  return CreateWindowExA(0, name, "player", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, gInstance, nullptr);
}
EXPORT void* ownExport(const char* name) { return reinterpret_cast<void*>(GetProcAddress(gInstance, name)); }
EXPORT void* lookUp(const char* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name));
}
// Exported as DllGetClassObject (the headers already declare that name without the export).
EXPORT HRESULT WINAPI classObject(REFCLSID, REFIID, LPVOID* object) __asm__("DllGetClassObject");
EXPORT HRESULT WINAPI classObject(REFCLSID, REFIID, LPVOID* object) {
  *object = nullptr;  // a control to the builder's check; it makes no objects
  return CLASS_E_CLASSNOTAVAILABLE;
}

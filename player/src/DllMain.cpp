// The DLL's entry points: DllMain keeps the instance, DllGetClassObject hands out the class
// factory of ShockwaveFlash, DllCanUnloadNow answers from the object and lock counts.
#include <windows.h>

#include <atomic>

#include "ClassFactory.h"
#include "FlashPlayer.h"
#include "Module.h"
#include "ShockwaveFlash.h"

namespace {
HINSTANCE g_instance = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

namespace module {
HINSTANCE instance() { return g_instance; }
void addObject() { ++g_objects; }
void removeObject() { --g_objects; }
void lock(bool on) { on ? ++g_locks : --g_locks; }
bool canUnload() { return g_objects == 0 && g_locks == 0; }
}  // namespace module

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
  } else if (reason == DLL_PROCESS_DETACH) {
    FlashPlayer::unregisterWindowClass();
  }
  return TRUE;
}

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != flash::CLSID_ShockwaveFlash) return CLASS_E_CLASSNOTAVAILABLE;
  ClassFactory* factory = new (std::nothrow) ClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(riid, out);
  factory->Release();
  return hr;
}

extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow() { return module::canUnload() ? S_OK : S_FALSE; }

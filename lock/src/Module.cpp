// The library's module handle and data folder.
#include "Module.h"

namespace lumolock {
namespace {

HMODULE g_module = nullptr;

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : std::wstring();
}

}  // namespace

HMODULE libraryModule() { return g_module; }
void setLibraryModule(HMODULE module) { g_module = module; }

std::wstring dataFolder() {
  std::wstring base = environment(L"LOCALAPPDATA");
  if (base.empty()) {
    base = environment(L"USERPROFILE");
    if (!base.empty()) base += L"\\AppData\\Local";
  }
  if (base.empty()) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return {};
    base.assign(temp, length);
  }
  if (base.back() == L'\\') base.pop_back();
  CreateDirectoryW(base.c_str(), nullptr);
  const std::wstring folder = base + L"\\LumoLock";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace lumolock

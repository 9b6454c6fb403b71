// The login-screen component's state in the library's settings file.
#include "LoginComponent.h"

#include "Module.h"

#include <string>

namespace lumolock {
namespace {

constexpr const wchar_t* kSection = L"LoginScreen";

std::wstring settingsPath() {
  const std::wstring folder = dataFolder();
  return folder.empty() ? std::wstring() : folder + L"\\settings.ini";
}

// `source`: the folder of an install; an uninstall keeps that of the last install.
bool writeState(bool installed, UINT tag, const wchar_t* source) {
  const std::wstring path = settingsPath();
  if (path.empty()) return false;
  return WritePrivateProfileStringW(kSection, L"Installed", installed ? L"1" : L"0", path.c_str()) &&
         WritePrivateProfileStringW(kSection, L"Tag", std::to_wstring(tag).c_str(), path.c_str()) &&
         (!source || WritePrivateProfileStringW(kSection, L"SourceFolder", source, path.c_str()));
}

}  // namespace

bool loginComponentInstalled() {
  const std::wstring path = settingsPath();
  return !path.empty() && GetPrivateProfileIntW(kSection, L"Installed", 0, path.c_str()) != 0;
}

bool installLoginComponent(UINT tag) {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return false;
  return writeState(true, tag, folder);
}

bool uninstallLoginComponent(UINT tag) {
  if (!loginComponentInstalled()) return false;
  return writeState(false, tag, nullptr);
}

}  // namespace lumolock

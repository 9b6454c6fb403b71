// Answers from the system: version, rights, key states, the session and automatic log-on.
#include "SystemQuestions.h"

#include <string>

namespace lumolock {

bool isNtSystem() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

DWORD windowsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) return 0;
  return ((info.dwMajorVersion & 0xFF) << 8) | (info.dwMinorVersion & 0xFF);
}

UINT keyState(UINT virtualKey) {
  if (virtualKey == 0 || virtualKey > 0xFF) return 0;
  const int key = static_cast<int>(virtualKey);
  return ((GetAsyncKeyState(key) & 0x8000) ? 1u : 0u) | ((GetKeyState(key) & 1) ? 2u : 0u);
}

bool setToggleKey(UINT virtualKey, bool on) {
  if (virtualKey != VK_CAPITAL && virtualKey != VK_NUMLOCK && virtualKey != VK_SCROLL) return false;
  if (((GetKeyState(static_cast<int>(virtualKey)) & 1) != 0) == on) return true;
  INPUT presses[2] = {};
  for (INPUT& input : presses) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
  }
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, presses, sizeof(INPUT)) == 2;
}

bool isAdministrator() {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  const bool ok = CheckTokenMembership(nullptr, administrators, &member);
  FreeSid(administrators);
  return ok && member;
}

bool exitWindows(UINT flags) {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  return ExitWindowsEx(flags, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

bool enableAutologin(const wchar_t* user, const wchar_t* domain, const wchar_t* password, bool enable) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 0,
                    KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return false;
  auto set = [key](const wchar_t* name, const wchar_t* value) {
    const std::wstring text = value ? value : L"";
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  };
  bool ok;
  if (enable) {
    ok = user && *user && set(L"DefaultUserName", user) && set(L"DefaultDomainName", domain) &&
         set(L"DefaultPassword", password) && set(L"AutoAdminLogon", L"1");
  } else {
    // The stored password goes with the automatic log-on.
    ok = set(L"AutoAdminLogon", L"0");
    const LONG removed = RegDeleteValueW(key, L"DefaultPassword");
    ok = ok && (removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND);
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace lumolock

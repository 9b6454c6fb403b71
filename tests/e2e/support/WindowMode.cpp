#include "WindowMode.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace lumo::e2e {

void setProjectorWindowMode(WindowMode mode) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot open Wine's X11 driver settings";
    return;
  }
  if (mode == WindowMode::unmanaged) {
    static const wchar_t kNo[] = L"N";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNo), sizeof kNo);
  } else {
    RegDeleteValueW(key, L"Managed");  // Wine's default: managed
  }
  RegCloseKey(key);
}

}  // namespace lumo::e2e

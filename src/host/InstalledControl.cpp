// Reads the installed control's path from the registry (KEY_READ) and maps the file read-only
// with shared read, exactly as the loader expects an image in memory.
#include "host/InstalledControl.h"

#include <vector>

namespace lumo {
namespace {

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle invalid() { return nullptr; }
  static void close(Handle key) { RegCloseKey(key); }
};

}  // namespace

std::wstring InstalledControl::registeredPath() {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32", 0,
                    KEY_READ, &opened) != ERROR_SUCCESS)
    return {};
  UniqueHandle<RegistryKeyTraits> key(opened);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes < sizeof(wchar_t))
    return {};
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  std::wstring path(text.data());
  if (type == REG_EXPAND_SZ) {
    std::vector<wchar_t> expanded(MAX_PATH * 4);
    const DWORD length = ExpandEnvironmentStringsW(path.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (length == 0 || length > expanded.size()) return {};
    path = expanded.data();
  }
  return path;
}

bool InstalledControl::open() {
  const std::wstring path = registeredPath();
  if (path.empty()) return false;
  file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  if (!file_) return false;
  LARGE_INTEGER length;
  if (!GetFileSizeEx(file_.get(), &length) || length.QuadPart <= 0 ||
      static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX)
    return false;
  mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping_) return false;
  view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view_) return false;
  size_ = static_cast<size_t>(length.QuadPart);
  return true;
}

}  // namespace lumo

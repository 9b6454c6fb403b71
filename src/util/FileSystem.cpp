// Temporary path, current directory, file listing and folder removal on the Win32 file API
// and the shell's file operation.
#include "util/FileSystem.h"

#include <windows.h>
#include <shellapi.h>

#include "UniqueHandle.h"

namespace lumo {
namespace {
constexpr DWORD kPathBufferSize = 2048;

std::wstring fromBuffer(const wchar_t* buffer, DWORD length) {
  // A result of 0 is a failure, one at or past the buffer size means it did not fit.
  if (length == 0 || length >= kPathBufferSize) return {};
  return std::wstring(buffer, length);
}
}  // namespace

std::wstring tempPath() {
  wchar_t buffer[kPathBufferSize];
  return fromBuffer(buffer, GetTempPathW(kPathBufferSize, buffer));
}

std::wstring currentDirectory() {
  // Sized from what the API reports: a working directory may be longer than any fixed buffer.
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length);  // the size it needs, its terminating zero included
  }
  return {};
}

bool listFiles(const std::wstring& pattern, std::vector<std::wstring>& names) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &entry));
  if (!search) return false;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
  } while (FindNextFileW(search.get(), &entry));
  return true;
}

void removeFolder(const std::wstring& folder) {
  std::wstring from = folder;
  from.append(2, L'\0');  // the shell reads a list ended by an empty name
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  SHFileOperationW(&operation);
}

}  // namespace lumo

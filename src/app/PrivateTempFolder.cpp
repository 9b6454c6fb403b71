#include "PrivateTempFolder.h"

#include "UniqueHandle.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>

namespace lumo {

std::optional<std::wstring> createPrivateTempFolder() {
  wchar_t temp[260];
  const DWORD length = GetTempPathW(260, temp);
  if (length == 0 || length >= 260) return std::nullopt;
  // Time and process id in the high half, thread and process id in the low half: two runs at
  // once get different names.
  const DWORD pid = GetCurrentProcessId();
  const DWORD value = ((timeGetTime() ^ pid) & 0xFFFF0000u) | ((GetCurrentThreadId() ^ pid) & 0xFFFFu);
  // Process and thread ids come back soon, so a run that could not clean up (killed, crashed)
  // can leave a folder of the same name behind: the next free value is taken instead of
  // refusing to start.
  for (DWORD attempt = 0; attempt < 256; ++attempt) {
    wchar_t name[32];
    swprintf(name, 32, L"wrd%x.~lk", static_cast<unsigned>(value + attempt));
    std::wstring folder = std::wstring(temp, length) + name;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::nullopt;
}

UniqueFileHandle holdPrivateFolderLock(const std::wstring& folder) {
  const std::wstring path = folder + L"\\" + kPrivateFolderLockName;
  return UniqueFileHandle(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void removeFoldersOfDeadRuns(std::wstring temp) {
  if (temp.empty()) {
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return;
    temp.assign(path, length);
  }
  if (temp.back() != L'\\') temp += L'\\';
  WIN32_FIND_DATAW entry;
  UniqueFindHandle find(FindFirstFileW((temp + L"wrd*.~lk").c_str(), &entry));
  if (!find) return;
  std::vector<std::wstring> dead;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const std::wstring folder = temp + entry.cFileName;
    // Taking the lock proves its owner is gone: a live run holds it open without sharing.
    UniqueFileHandle lock(CreateFileW((folder + L"\\" + kPrivateFolderLockName).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (lock) dead.push_back(folder);
  } while (FindNextFileW(find.get(), &entry));
  for (const std::wstring& folder : dead) cleanPrivateTempFolder(folder);
}

bool writeExtensions(const std::wstring& folder, const std::vector<record::ScrambledBlob>& extensions,
                     std::vector<std::wstring>& written) {
  std::wstring prefix = folder;
  if (prefix.empty() || prefix.back() != L'\\') prefix += L'\\';
  for (std::size_t i = 0; i < extensions.size(); ++i) {
    const std::optional<record::Bytes> content = record::readContent(extensions[i]);
    if (!content) return false;
    const record::Bytes& bytes = *content;
    const std::wstring path = prefix + std::to_wstring(i) + L".vdd";
    FILE* file = _wfopen(path.c_str(), L"wb+");
    if (!file) return false;
    const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!complete || !closed) return false;
    written.push_back(path);
  }
  return true;
}

void cleanPrivateTempFolder(const std::wstring& folder) {
  if (folder.empty()) return;
  WIN32_FIND_DATAW entry;
  UniqueFindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
  if (find) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find.get(), &entry));
  }
  std::wstring from = folder + L'\0';  // a double-terminated list
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  SHFileOperationW(&op);
}

}  // namespace lumo

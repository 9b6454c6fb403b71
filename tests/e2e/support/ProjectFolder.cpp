#include "ProjectFolder.h"

#include "Process.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace lumo::e2e {

ProjectFolder::ProjectFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"lumo-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(counter++);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ProjectFolder::~ProjectFolder() { removeFolder(path_); }

void removeFolder(const std::wstring& path) {
  std::wstring from = path + L'\0';  // SHFileOperation takes a double-terminated list
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  SHFileOperationW(&op);
}

std::vector<std::wstring> privateFolders() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::vector<std::wstring> folders;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((std::wstring(temp) + L"wrd*.~lk").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return folders;
  do folders.push_back(std::wstring(temp) + entry.cFileName);
  while (FindNextFileW(find, &entry));
  FindClose(find);
  return folders;
}

std::vector<std::wstring> PrivateFolderSweeper::created() const {
  std::vector<std::wstring> made;
  for (const auto& folder : privateFolders()) {
    if (std::find(before_.begin(), before_.end(), folder) == before_.end()) made.push_back(folder);
  }
  return made;
}

PrivateFolderSweeper::~PrivateFolderSweeper() {
  for (const auto& folder : created()) removeFolder(folder);
}

void ProjectFolder::write(const std::wstring& name, const std::string& content) const {
  FILE* f = _wfopen(file(name).c_str(), L"wb");
  if (!f) return;
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

int ProjectFolder::build(const std::string& projectJson, const std::wstring& output,
                         std::string* builderOutput) const {
  write(L"project.json", projectJson);
  const RunResult result = run(binFolder() + L"\\lumo.exe",
                               L"build " + quote(file(L"project.json")) + L" -o " + quote(file(output)), path_);
  if (builderOutput) *builderOutput = result.output;
  return result.exitCode.value_or(-1);
}

std::string minimalMovie() {
  // "FWS", version 9, file length 15, an empty RECT, 24 frames a second, 1 frame, End tag.
  const unsigned char bytes[] = {'F', 'W', 'S', 9, 15, 0, 0, 0, 0x00, 0, 24, 1, 0, 0, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

UiResult uidriver(const std::wstring& arguments) {
  const RunResult result = run(binFolder() + L"\\uidriver.exe", arguments, L"", 30000);
  return UiResult{result.exitCode.value_or(-1), result.output};
}

}  // namespace lumo::e2e

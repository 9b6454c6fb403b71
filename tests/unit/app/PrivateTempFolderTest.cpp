// The private temporary folder: its name, the extension files written into it, its removal.
#include "PrivateTempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <regex>

namespace lumo {
namespace {

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string read(const std::wstring& path) {
  std::string bytes;
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    char buffer[256];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

record::ScrambledBlob blob(const std::string& text) {
  return record::ScrambledBlob{0, record::StoredBlock::fromPlain(record::Bytes(text.begin(), text.end()),
                                                                 record::BlockKind::Blob)};
}

TEST(PrivateTempFolder, IsANewFolderInTheTempPathNamedWrdHexLk) {
  const auto folder = createPrivateTempFolder();
  ASSERT_TRUE(folder);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(folder->rfind(temp, 0), 0u);
  EXPECT_TRUE(std::regex_match(folder->substr(wcslen(temp)), std::wregex(L"wrd[0-9a-f]+\\.~lk")));
  EXPECT_TRUE(exists(*folder));
  // The same thread within the same minute meets its own name: it takes the next one rather
  // than reusing the folder or refusing to start.
  const auto second = createPrivateTempFolder();
  ASSERT_TRUE(second);
  EXPECT_NE(*second, *folder);
  cleanPrivateTempFolder(*second);
  cleanPrivateTempFolder(*folder);
  EXPECT_FALSE(exists(*folder));
}

TEST(PrivateTempFolder, ExtensionsAreWrittenUnderTheirIndexAndCleanedWithEverythingElse) {
  const auto folder = createPrivateTempFolder();
  ASSERT_TRUE(folder);
  std::vector<std::wstring> written;
  ASSERT_TRUE(writeExtensions(*folder, {blob("zero"), blob("one"), blob("two")}, written));
  ASSERT_EQ(written.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(written[i], *folder + L"\\" + std::to_wstring(i) + L".vdd");
  EXPECT_EQ(read(written[0]), "zero");
  EXPECT_EQ(read(written[2]), "two");

  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((*folder + L"\\*").c_str(), &entry);
  int files = 0;
  do files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
  while (FindNextFileW(find, &entry));
  FindClose(find);
  EXPECT_EQ(files, 3) << "nothing but the extensions";

  // A sub-folder is not entered by the file pass; the shell operation removes it too.
  CreateDirectoryW((*folder + L"\\sub").c_str(), nullptr);
  cleanPrivateTempFolder(*folder);
  EXPECT_FALSE(exists(*folder));
}

// A run killed before its clean-up leaves its folder with the lock file nobody holds.
TEST(PrivateTempFolder, StartUpRemovesOnlyTheFoldersOfDeadRuns) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring base = std::wstring(temp) + L"lumo-dead-runs-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(base.c_str(), nullptr);
  const std::wstring dead = base + L"\\wrd1.~lk", live = base + L"\\wrd2.~lk", foreign = base + L"\\wrd3.~lk";
  for (const auto& folder : {dead, live, foreign}) ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(holdPrivateFolderLock(dead));  // closed at once: its run is over
  if (FILE* f = _wfopen((dead + L"\\0.vdd").c_str(), L"wb")) std::fclose(f);
  UniqueFileHandle liveLock = holdPrivateFolderLock(live);
  ASSERT_TRUE(liveLock);
  if (FILE* f = _wfopen((foreign + L"\\note.txt").c_str(), L"wb")) std::fclose(f);  // not ours: no lock file

  removeFoldersOfDeadRuns(base);

  EXPECT_FALSE(exists(dead)) << "a dead run's folder goes, with its content";
  EXPECT_TRUE(exists(live + L"\\" + kPrivateFolderLockName)) << "a live run's folder stays";
  EXPECT_TRUE(exists(foreign + L"\\note.txt")) << "a folder without our lock file stays";

  liveLock.reset();
  for (const auto& folder : {live, foreign}) cleanPrivateTempFolder(folder);
  RemoveDirectoryW(base.c_str());
}

TEST(PrivateTempFolder, NoExtensionsWriteNothingAndAMissingFolderFails) {
  std::vector<std::wstring> written;
  EXPECT_TRUE(writeExtensions(L"C:\\no\\such\\folder", {}, written));
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(writeExtensions(L"C:\\no\\such\\folder", {blob("x")}, written));
}

}  // namespace
}  // namespace lumo

// System utilities under Wine: temporary path, current directory, special folders, file
// listing, folder removal, the C-locale text conversions and the library holder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "util/FileSystem.h"
#include "util/LibraryHolder.h"
#include "util/SpecialFolders.h"
#include "util/TextConversion.h"

namespace lumo {
namespace {

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void writeFile(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"wb+");
  ASSERT_NE(file, nullptr);
  std::fputs("x", file);
  std::fclose(file);
}

// A fresh folder in the temporary path, removed afterwards.
class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tempPath() + L"lumo-util-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override { removeFolder(folder_); }
  std::wstring folder_;
};

TEST(Paths, TempPathAndCurrentDirectory) {
  const std::wstring temp = tempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), L'\\');
  EXPECT_TRUE(exists(temp));

  const std::wstring before = currentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryW(temp.c_str()));
  std::wstring now = currentDirectory();
  if (now.back() != L'\\') now += L'\\';
  EXPECT_EQ(_wcsicmp(now.c_str(), temp.c_str()), 0);
  SetCurrentDirectoryW(before.c_str());
}

TEST(SpecialFolders, EveryFolderTheRuntimeUsesHasAPath) {
  const int expected[] = {2, 38, 36, 37, 0, 5, 6, 7, 8, 20, 34, 33, 19, 11, 26, 47, 35, 23, 22, 24};
  for (int i = 0; i < 20; ++i) {
    const auto folder = static_cast<SpecialFolder>(i);
    EXPECT_EQ(csidlOf(folder), expected[i]) << i;
    EXPECT_FALSE(specialFolderPath(folder).empty()) << "CSIDL " << expected[i];
  }
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(_wcsicmp(specialFolderPath(SpecialFolder::Windows).c_str(), windows), 0);
}

TEST(SpecialFolders, UnknownFolderGivesEmptyText) { EXPECT_EQ(specialFolderPath(0x7E), L""); }

TEST_F(ScratchFolder, ListingSkipsFoldersAndFailsOnlyWhenNothingMatches) {
  writeFile(folder_ + L"\\a.vdd");
  writeFile(folder_ + L"\\b.vdd");
  writeFile(folder_ + L"\\c.txt");
  ASSERT_TRUE(CreateDirectoryW((folder_ + L"\\dir.vdd").c_str(), nullptr));

  std::vector<std::wstring> names{L"kept"};
  EXPECT_TRUE(listFiles(folder_ + L"\\*.vdd", names));
  std::sort(names.begin() + 1, names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"kept", L"a.vdd", L"b.vdd"}));

  std::vector<std::wstring> onlyFolders;
  EXPECT_TRUE(listFiles(folder_ + L"\\dir*", onlyFolders));
  EXPECT_TRUE(onlyFolders.empty());

  std::vector<std::wstring> none;
  EXPECT_FALSE(listFiles(folder_ + L"\\*.none", none));
  EXPECT_TRUE(none.empty());
}

TEST_F(ScratchFolder, RemoveFolderDeletesEverythingInIt) {
  const std::wstring sub = folder_ + L"\\sub";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  writeFile(sub + L"\\deep.bin");
  writeFile(folder_ + L"\\top.bin");
  removeFolder(folder_);
  EXPECT_FALSE(exists(folder_));
  removeFolder(folder_);  // already gone: nothing happens
}

TEST(TextConversion, CLocaleMapsCodeUnitsBelow256OneToOne) {
  EXPECT_EQ(wideToMultibyte(L"abc\u00e9\u00ff"), std::optional<std::string>("abc\xe9\xff"));
  EXPECT_EQ(wideToMultibyte(L"a\u0100b"), std::nullopt);
  EXPECT_EQ(wideToMultibyte(L""), std::optional<std::string>(""));
  EXPECT_EQ(multibyteToWide("x\xe9\x80"), std::optional<std::wstring>(L"x\u00e9\u0080"));
}

TEST(LibraryHolder, LoadsFindsEntryPointsAndNeverFreesALentModule) {
  LibraryHolder missing;
  EXPECT_FALSE(missing.load(L"Z:\\no\\such\\library.dll"));
  EXPECT_EQ(missing.entryPoint("anything"), nullptr);

  LibraryHolder owned;
  ASSERT_TRUE(owned.load(L"version.dll"));
  EXPECT_FALSE(owned.borrowed());
  EXPECT_NE(owned.entryPoint("GetFileVersionInfoSizeW"), nullptr);
  EXPECT_EQ(owned.entryPoint("NoSuchExport"), nullptr);

  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  {
    LibraryHolder lent(kernel);
    EXPECT_TRUE(lent.borrowed());
    EXPECT_NE(lent.entryPoint("GetTickCount"), nullptr);
  }
  EXPECT_EQ(GetModuleHandleW(L"kernel32.dll"), kernel);

  // Loading again frees the first module, then holds the new one.
  ASSERT_TRUE(owned.load(L"kernel32.dll"));
  EXPECT_EQ(owned.handle(), kernel);
  EXPECT_TRUE(owned.free());
  EXPECT_EQ(owned.handle(), nullptr);
}

}  // namespace
}  // namespace lumo

// vor.Application.Library over a table of its own: target folders, names, overwriting, silent
// failures, and extractToVar's conversion and quoting.
#include "modules/LibraryModule.h"

#include "../bridge/FakeForm.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace lumo {
namespace {

namespace fs = std::filesystem;

record::ScrambledBlob blob(const std::string& bytes) {
  return {0, record::StoredBlock::fromPlain(record::Bytes(bytes.begin(), bytes.end()), record::BlockKind::Blob)};
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class LibraryModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / (L"lumo-library-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder_ / L"sub");
    files_[L"a.txt"] = blob("alpha");
    files_[L"b.bin"] = blob(std::string("\x00\x01\xFF", 3));
    files_[L"empty"] = blob("");
    files_[L"sub\\c.txt"] = blob("nested");
    module_.registerMethods();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::wstring call(const wchar_t* method, const Arguments& arguments) {
    return module_.findMethod(method)->invoke(&form_, arguments);
  }
  std::wstring dir() const { return folder_.wstring(); }

  fs::path folder_;
  LibraryModule::LibraryFiles files_;
  LibraryModule module_{files_};
  test::FakeForm form_{0, L"main"};
};

TEST_F(LibraryModuleTest, ExtractAllToDirWritesEveryFileWithOrWithoutTheTrailingBackslash) {
  EXPECT_EQ(call(L"extractAllToDir", {dir()}), L"");
  EXPECT_EQ(readFile(folder_ / L"a.txt"), "alpha");
  EXPECT_EQ(readFile(folder_ / L"b.bin"), std::string("\x00\x01\xFF", 3));
  EXPECT_TRUE(fs::exists(folder_ / L"empty"));
  EXPECT_EQ(fs::file_size(folder_ / L"empty"), 0u);
  EXPECT_EQ(readFile(folder_ / L"sub" / L"c.txt"), "nested");

  fs::remove(folder_ / L"a.txt");
  EXPECT_EQ(call(L"extractAllToDir", {dir() + L"\\"}), L"");
  EXPECT_EQ(readFile(folder_ / L"a.txt"), "alpha") << "one backslash, not two";
  EXPECT_FALSE(fs::exists(folder_.parent_path() / L"a.txt"));
}

TEST_F(LibraryModuleTest, MissingFoldersUnknownNamesAndMissingArgumentsWriteNothing) {
  EXPECT_EQ(call(L"extractAllToDir", {dir() + L"\\nowhere"}), L"");
  EXPECT_FALSE(fs::exists(folder_ / L"nowhere")) << "no folder is made";
  EXPECT_EQ(call(L"extractAllToDir", {}), L"");
  EXPECT_EQ(call(L"extractAllToDir", {L""}), L"");
  EXPECT_EQ(call(L"extractToFile", {L"A.TXT", dir() + L"\\upper.txt"}), L"");
  EXPECT_EQ(call(L"extractToFile", {L"a.txt"}), L"");
  EXPECT_EQ(call(L"extractToFile", {L"", dir() + L"\\x.txt"}), L"");
  EXPECT_EQ(call(L"extractToFile", {L"a.txt", dir() + L"\\nowhere\\x.txt"}), L"");
  EXPECT_EQ(call(L"extractToExecPath", {L"a.txt"}), L"");
  EXPECT_EQ(call(L"extractToExecPath", {L"a.txt", L""}), L"");
  EXPECT_TRUE(fs::is_empty(folder_ / L"sub"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "only sub is there";

  LibraryModule::LibraryFiles none;
  LibraryModule empty(none);
  empty.registerMethods();
  EXPECT_EQ(empty.findMethod(L"extractAllToDir")->invoke(&form_, {dir()}), L"");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(LibraryModuleTest, ExtractToFileReplacesALongerFileWhole) {
  const fs::path target = folder_ / L"target.txt";
  std::ofstream(target, std::ios::binary) << "a much longer previous content";
  EXPECT_EQ(call(L"extractToFile", {L"a.txt", target.wstring()}), L"");
  EXPECT_EQ(readFile(target), "alpha");
  EXPECT_EQ(call(L"extractToFile", {L"empty", target.wstring()}), L"");
  EXPECT_EQ(fs::file_size(target), 0u);
}

// A library file left in the executable that can no longer be read (its media gone) writes
// nothing: a file already at the target keeps its content, and the text it gives is empty.
TEST_F(LibraryModuleTest, AFileTheExecutableCannotGiveLeavesTheTargetAsItWas) {
  const fs::path executable = folder_ / L"app.exe";
  std::ofstream(executable, std::ios::binary) << "short";
  record::ScrambledBlob unreadable;
  unreadable.block.slice = {std::make_shared<const record::NativePath>(executable.wstring()), 0, 64};  // past the file's end
  files_[L"gone.txt"] = unreadable;
  record::ScrambledBlob missing;
  missing.block.slice = {std::make_shared<const record::NativePath>((folder_ / L"unplugged.exe").wstring()), 0, 4};
  files_[L"missing.txt"] = missing;

  const fs::path target = folder_ / L"target.txt";
  for (const wchar_t* name : {L"gone.txt", L"missing.txt"}) {
    std::ofstream(target, std::ios::binary) << "previous";
    EXPECT_EQ(call(L"extractToFile", {name, target.wstring()}), L"");
    EXPECT_EQ(readFile(target), "previous") << "the target was truncated for " << fs::path(name).string();
    EXPECT_EQ(call(L"extractToVar", {name}), L"\"\"");
  }
  EXPECT_EQ(call(L"extractAllToDir", {dir()}), L"");
  EXPECT_FALSE(fs::exists(folder_ / L"gone.txt"));
  EXPECT_FALSE(fs::exists(folder_ / L"missing.txt"));
  EXPECT_EQ(readFile(folder_ / L"a.txt"), "alpha") << "the readable files are still written";
}

TEST_F(LibraryModuleTest, ExecPathMethodsWriteIntoTheWorkingDirectoryOfTheMoment) {
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(dir().c_str()));
  call(L"extractToExecPath", {L"a.txt", L"renamed.txt"});
  call(L"extractAllToExecPath", {});
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(readFile(folder_ / L"renamed.txt"), "alpha");
  EXPECT_EQ(readFile(folder_ / L"b.bin"), std::string("\x00\x01\xFF", 3));
  EXPECT_EQ(readFile(folder_ / L"sub" / L"c.txt"), "nested");
}

TEST_F(LibraryModuleTest, ExtractToVarQuotesTheTextUpToTheFirstZeroByte) {
  files_[L"high"] = blob("caf\xE9 \xFF\x80!");
  files_[L"zero"] = blob(std::string("before\0after", 12));
  files_[L"quotes"] = blob("say \"hi\"");
  struct Case {
    Arguments arguments;
    std::wstring result;
  };
  const Case cases[] = {
      {{L"a.txt"}, L"\"alpha\""},
      {{L"high"}, L"\"caf\u00E9 \u00FF\u0080!\""},
      {{L"zero"}, L"\"before\""},
      {{L"b.bin"}, L"\"\""},
      {{L"quotes"}, L"\"say \"hi\"\""},
      {{L"empty"}, L"\"\""},
      {{L"missing"}, L"\"\""},
      {{L"A.txt"}, L"\"\""},
      {{}, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(call(L"extractToVar", c.arguments), c.result);
}

}  // namespace
}  // namespace lumo

// Start-up of real projectors built by lumo.exe: where the record comes from, the password
// dialog, and the exit code when start-up fails.
#include "support/Process.h"
#include "support/ProjectFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace lumo::e2e {
namespace {

// A projector past its password dialog that fails start-up has long exited after this long.
constexpr DWORD kStillRunningMs = 2500;
// The longest a projector may take to reach its message loop on a loaded machine.
constexpr DWORD kStartupMs = 60000;

// Start-up writes a run's private folder before the message loop, but a loop of another run can
// idle first: the count of folders is watched until it is `count` or the time runs out.
bool folderCountBecomes(const PrivateFolderSweeper& sweeper, size_t count) {
  for (ULONGLONG deadline = GetTickCount64() + kStartupMs; sweeper.created().size() != count;) {
    if (GetTickCount64() > deadline) return false;
    Sleep(20);
  }
  return true;
}

std::string project(const std::string& title, const std::string& extra = "") {
  return R"({"title": ")" + title + R"(", "forms": [{"name": "main", "movie": "movie.swf"}])" + extra + "}";
}

std::wstring runtime() { return binFolder() + L"\\lumo-runtime.exe"; }

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST(Startup, RuntimeWithoutARecordExitsWithMinusOne) {
  ProjectFolder folder;
  const RunResult result = run(runtime(), L"", folder.path());
  EXPECT_EQ(result.exitCode, -1);
}

TEST(Startup, FallbackRecordFileIsReadOnlyFromTheWorkingDirectory) {
  ProjectFolder folder;
  folder.write(L"movie.swf", minimalMovie());
  ASSERT_EQ(folder.build(project("Fallback project"), L"~~~~,~l3.exe"), 0);

  PrivateFolderSweeper sweeper;
  ChildProcess fromProjectFolder;
  ASSERT_TRUE(fromProjectFolder.start(runtime(), L"", folder.path()));
  EXPECT_TRUE(fromProjectFolder.waitIdle(kStartupMs)) << "starts with the record of ~~~~,~l3.exe";
  fromProjectFolder.kill();

  ProjectFolder elsewhere;
  EXPECT_EQ(run(runtime(), L"", elsewhere.path()).exitCode, -1);
}

TEST(Startup, AProjectWithoutFormsStartsAndWaitsInItsMessageLoop) {
  ProjectFolder folder;
  ASSERT_EQ(folder.build(R"({"title": "No forms", "forms": []})", L"app.exe"), 0);
  PrivateFolderSweeper sweeper;
  ChildProcess app;
  ASSERT_TRUE(app.start(folder.file(L"app.exe"), L"", folder.path()));
  EXPECT_TRUE(app.waitIdle(kStartupMs));
}

std::vector<std::wstring> filesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Startup, ExtensionsAreWrittenIntoANewPrivateFolder) {
  ProjectFolder folder;
  folder.write(L"movie.swf", minimalMovie());
  // An MZ header and nothing a loader could use: the builder takes it, the runtime cannot load it.
  for (const wchar_t* name : {L"a.vdd", L"b.vdd", L"c.vdd"}) folder.write(name, "MZ" + std::string(100, '\0'));
  std::string builderOutput;
  ASSERT_EQ(folder.build(project("Extensions", R"(, "extensions": ["a.vdd", "b.vdd", "c.vdd"])"), L"app.exe",
                         &builderOutput),
            0)
      << builderOutput;
  PrivateFolderSweeper sweeper;
  ChildProcess app;
  ASSERT_TRUE(app.start(folder.file(L"app.exe"), L"", folder.path()));
  // Extension files that are not libraries do not stop start-up.
  EXPECT_TRUE(app.waitIdle(kStartupMs));
  ASSERT_TRUE(folderCountBecomes(sweeper, 1));
  const auto created = sweeper.created();
  EXPECT_EQ(filesIn(created[0]), (std::vector<std::wstring>{L"0.vdd", L"1.vdd", L"2.vdd", L"run.lock"}))
      << "the extensions and the run's lock file";
}

TEST(Startup, ConcurrentRunsUseTheirOwnPrivateFoldersAndRemoveThemAtExit) {
  ProjectFolder folder;
  for (const wchar_t* name : {L"a.vdd", L"b.vdd"}) folder.write(name, "MZ" + std::string(100, '\0'));
  ASSERT_EQ(folder.build(R"({"title": "Twice", "forms": [], "extensions": ["a.vdd", "b.vdd"]})", L"app.exe"), 0);
  PrivateFolderSweeper sweeper;
  ChildProcess first, second;
  ASSERT_TRUE(first.start(folder.file(L"app.exe"), L"", folder.path()));
  ASSERT_TRUE(second.start(folder.file(L"app.exe"), L"", folder.path()));
  ASSERT_TRUE(first.waitIdle(kStartupMs));
  ASSERT_TRUE(second.waitIdle(kStartupMs));
  ASSERT_TRUE(folderCountBecomes(sweeper, 2)) << "one folder each";
  const auto created = sweeper.created();
  for (const auto& f : created) EXPECT_EQ(filesIn(f).size(), 3u) << "two extensions and the lock file";

  // A normal end of the message loop shuts down and removes the run's own folder.
  ASSERT_TRUE(first.postQuit());
  EXPECT_EQ(first.wait(15000), 0);
  EXPECT_EQ(sweeper.created().size(), 1u) << "the other run's folder stays while it runs";
  ASSERT_TRUE(second.postQuit());
  EXPECT_EQ(second.wait(15000), 0);
  EXPECT_TRUE(sweeper.created().empty());
}

// A killed run cannot clean up: the next run's start-up removes the folder it left behind, and
// leaves alone a folder of a run still alive.
TEST(Startup, AKilledRunsFolderIsRemovedByTheNextRunAndALiveRunsIsKept) {
  ProjectFolder folder;
  folder.write(L"a.vdd", "MZ" + std::string(100, '\0'));
  ASSERT_EQ(folder.build(R"({"title": "Killed", "forms": [], "extensions": ["a.vdd"]})", L"app.exe"), 0);
  PrivateFolderSweeper sweeper;
  ChildProcess killed, live;
  ASSERT_TRUE(killed.start(folder.file(L"app.exe"), L"", folder.path()));
  ASSERT_TRUE(killed.waitIdle(kStartupMs));
  ASSERT_TRUE(live.start(folder.file(L"app.exe"), L"", folder.path()));
  ASSERT_TRUE(live.waitIdle(kStartupMs));
  ASSERT_TRUE(folderCountBecomes(sweeper, 2));
  killed.kill();
  killed.wait(15000);
  ASSERT_EQ(sweeper.created().size(), 2u) << "a killed run leaves its folder behind";

  ChildProcess next;
  ASSERT_TRUE(next.start(folder.file(L"app.exe"), L"", folder.path()));
  ASSERT_TRUE(next.waitIdle(kStartupMs));
  EXPECT_TRUE(folderCountBecomes(sweeper, 2)) << "the live run's folder and the new run's own";
  ASSERT_TRUE(next.postQuit());
  EXPECT_EQ(next.wait(15000), 0);
  EXPECT_EQ(sweeper.created().size(), 1u) << "only the live run's folder is left";
  ASSERT_TRUE(live.postQuit());
  EXPECT_EQ(live.wait(15000), 0);
  EXPECT_TRUE(sweeper.created().empty());
}

struct PasswordCase {
  const char* name;
  const wchar_t* typed;  // nullptr: press Cancel instead of typing
  bool starts;
  bool refused;  // "Password is incorrect!" is shown
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PasswordDialog : public testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordDialog, AnswersTheTypedPassword) {
  const PasswordCase& c = GetParam();
  const std::string title = std::string("Locked ") + c.name;
  ProjectFolder folder;
  folder.write(L"movie.swf", minimalMovie());
  ASSERT_EQ(folder.build(project(title, R"(, "passwordRequired": true, "password": "Open Sesame")"), L"app.exe"), 0);
  PrivateFolderSweeper sweeper;
  ChildProcess app;
  ASSERT_TRUE(app.start(folder.file(L"app.exe"), L"", folder.path()));

  // The dialog: captioned with the title, an edit box 1000, OK 1 and Cancel 2.
  const std::wstring dialog = L"--title " + quote(wide(title));
  ASSERT_EQ(uidriver(L"wait " + dialog + L" --control 1000 --timeout 15000").exitCode, 0);
  if (c.typed) {
    ASSERT_EQ(uidriver(L"type " + dialog + L" --control 1000 " + quote(c.typed)).exitCode, 0);
    ASSERT_EQ(uidriver(L"click " + dialog + L" --control 1").exitCode, 0);
  } else {
    ASSERT_EQ(uidriver(L"click " + dialog + L" --control 2").exitCode, 0);
  }

  if (c.refused) {
    // The message box: its text is the static control 0xFFFF.
    const UiResult text = uidriver(L"text " + dialog + L" --control 65535 --timeout 15000");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.output.find("Password is incorrect!"), std::string::npos) << text.output;
    ASSERT_EQ(uidriver(L"click " + dialog + L" --control 1 --timeout 5000").exitCode, 0);
  }
  if (c.starts) {
    EXPECT_EQ(app.wait(kStillRunningMs), std::nullopt) << "a right password starts the projector";
  } else {
    EXPECT_EQ(app.wait(15000), -1);
  }
  if (!c.refused) {
    EXPECT_NE(uidriver(L"wait " + dialog + L" --control 65535 --timeout 300").exitCode, 0) << "no message box";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, PasswordDialog,
    testing::Values(PasswordCase{"Right", L"Open Sesame", true, false},
                    PasswordCase{"Wrong", L"guess", false, true},
                    PasswordCase{"DifferentCase", L"open sesame", false, true},
                    PasswordCase{"Cancel", nullptr, false, false}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumo::e2e

// vor.Application.Kiosk against a lock library of spies: which calls each command makes, the
// login-screen rules and the working directory; and the lock library's extraction and load.
#include "modules/KioskModule.h"
#include "modules/LockLibraryLoader.h"

#include "../bridge/FakeForm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {
namespace {

std::vector<std::string> g_calls;
bool g_installed = false;
std::wstring g_installFolder;

std::string text(std::initializer_list<unsigned long long> values, const char* name) {
  std::string line = name;
  for (auto v : values) {
    line += ' ';
    line += std::to_string(v);
  }
  return line;
}
BOOL WINAPI spyDisableKey(HWND window, UINT key, UINT modifiers, BOOL disable) {
  g_calls.push_back(text({reinterpret_cast<std::uintptr_t>(window), key, modifiers, static_cast<unsigned>(disable)}, "wlDisableKey"));
  return TRUE;
}
BOOL WINAPI spyDisableItem(UINT item, BOOL disable) {
  g_calls.push_back(text({item, static_cast<unsigned>(disable)}, "wlDisableItem"));
  return TRUE;
}
BOOL WINAPI spyIsGinaInstalled() {
  g_calls.push_back("wlIsGinaInstalled");
  return g_installed;
}
BOOL WINAPI spyInstallGina(UINT tag) {
  g_calls.push_back(text({tag}, "wlInstallGina"));
  wchar_t folder[MAX_PATH];
  g_installFolder.assign(folder, GetCurrentDirectoryW(MAX_PATH, folder));
  g_installed = true;
  return TRUE;
}
BOOL WINAPI spyUninstallGina(UINT tag) {
  g_calls.push_back(text({tag}, "wlUninstallGina"));
  g_installed = false;
  return TRUE;
}

FARPROC entry(void* function) { return reinterpret_cast<FARPROC>(function); }

LockFunctions spies() {
  LockFunctions functions;
  functions.entries[LockFunctions::kDisableKey] = entry(reinterpret_cast<void*>(&spyDisableKey));
  functions.entries[LockFunctions::kDisableItem] = entry(reinterpret_cast<void*>(&spyDisableItem));
  functions.entries[LockFunctions::kIsGinaInstalled] = entry(reinterpret_cast<void*>(&spyIsGinaInstalled));
  functions.entries[LockFunctions::kInstallGina] = entry(reinterpret_cast<void*>(&spyInstallGina));
  functions.entries[LockFunctions::kUninstallGina] = entry(reinterpret_cast<void*>(&spyUninstallGina));
  return functions;
}

class WindowedForm : public test::FakeForm {
 public:
  WindowedForm() : FakeForm(0, L"main") {}
  HWND windowHandle() const override { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234)); }
};

std::wstring currentDirectory() {
  wchar_t folder[MAX_PATH];
  return std::wstring(folder, GetCurrentDirectoryW(MAX_PATH, folder));
}

std::wstring tempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

class KioskCommands : public testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_installed = false;
    g_installFolder.clear();
    ASSERT_TRUE(module_.registerMethods());
  }
  std::vector<std::string> run(const wchar_t* command) {
    g_calls.clear();
    RuntimeMethod* method = module_.findMethod(command);
    EXPECT_NE(method, nullptr);
    if (method) {
      EXPECT_EQ(method->invoke(&form_, {L"ignored", L"1"}), L"");
    }
    return g_calls;
  }

  LockFunctions functions_ = spies();
  std::wstring folder_ = tempFolder(L"lumo-kiosk-component");
  KioskModule module_{functions_, folder_, [] { return true; }};
  WindowedForm form_;
};

TEST_F(KioskCommands, EachKeyAndItemCommandMakesItsOneCall) {
  EXPECT_EQ(module_.name, L"vor.Application.Kiosk");
  EXPECT_EQ(module_.version, L"1.0.0");
  EXPECT_EQ(module_.methods.size(), 24u);
  struct Case {
    const wchar_t* command;
    const char* call;
  };
  const Case cases[] = {
      {L"disableAltEsc", "wlDisableKey 4660 27 1 1"},  // the only one with the form's window
      {L"disableAltF4", "wlDisableKey 0 115 1 1"},     {L"disableAltTab", "wlDisableKey 0 9 1 1"},
      {L"disableAppKey", "wlDisableKey 0 93 0 1"},     {L"disableCtrlEsc", "wlDisableKey 0 27 2 1"},
      {L"disableRMouseButton", "wlDisableKey 0 2 0 1"}, {L"disableWinKey", "wlDisableKey 0 0 8 1"},
      {L"disableWindowsDesktop", "wlDisableItem 2 1"}, {L"disableWindowsStartButton", "wlDisableItem 3 1"},
      {L"disableWindowsTaskbar", "wlDisableItem 5 1"}, {L"enableAltEsc", "wlDisableKey 0 27 1 0"},
      {L"enableAltF4", "wlDisableKey 0 115 1 0"},      {L"enableAltTab", "wlDisableKey 0 9 1 0"},
      {L"enableAppKey", "wlDisableKey 0 93 0 0"},      {L"enableCtrlEsc", "wlDisableKey 0 27 2 0"},
      {L"enableRMouseButton", "wlDisableKey 0 2 0 0"}, {L"enableWinKey", "wlDisableKey 0 0 8 0"},
      {L"enableWindowsDesktop", "wlDisableItem 2 0"},  {L"enableWindowsStartButton", "wlDisableItem 3 0"},
      {L"enableWindowsTaskbar", "wlDisableItem 5 0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.command), std::vector<std::string>{c.call}) << std::string(c.command, c.command + wcslen(c.command));
  }
  // Twice disabled and once enabled: three calls, no count kept.
  run(L"disableAltF4");
  run(L"disableAltF4");
  EXPECT_EQ(run(L"enableAltF4"), std::vector<std::string>{"wlDisableKey 0 115 1 0"});
}

TEST_F(KioskCommands, CtrlAltDelWaitsForTheLoginScreenComponent) {
  using Calls = std::vector<std::string>;
  EXPECT_EQ(run(L"disableCtrlAltDel"), Calls{"wlIsGinaInstalled"}) << "no key call before the install";
  EXPECT_EQ(run(L"uninstallLoginScreen"), Calls{"wlIsGinaInstalled"});

  const std::wstring before = currentDirectory();
  EXPECT_EQ(run(L"installLoginScreen"), (Calls{"wlIsGinaInstalled", "wlInstallGina 25"}));
  EXPECT_EQ(g_installFolder, folder_) << "installed from the library's folder";
  EXPECT_EQ(currentDirectory(), before);
  EXPECT_EQ(run(L"installLoginScreen"), Calls{"wlIsGinaInstalled"}) << "already installed";
  EXPECT_EQ(currentDirectory(), before);

  EXPECT_EQ(run(L"disableCtrlAltDel"), (Calls{"wlIsGinaInstalled", "wlDisableKey 0 46 3 1"}));
  EXPECT_EQ(run(L"enableCtrlAltDel"), (Calls{"wlIsGinaInstalled", "wlDisableKey 0 46 3 0"}));
  EXPECT_EQ(run(L"uninstallLoginScreen"), (Calls{"wlIsGinaInstalled", "wlUninstallGina 26"}));
}

TEST(KioskModule, CommandsWithoutTheirEntryPointDoNothingAndAFailedLoadRegistersNone) {
  LockFunctions none;
  KioskModule module(none, L"C:\\", [] { return true; });
  ASSERT_TRUE(module.registerMethods());
  const std::wstring before = currentDirectory();
  for (const auto& [name, method] : module.methods) EXPECT_EQ(method->invoke(nullptr, {}), L"");
  EXPECT_EQ(currentDirectory(), before);

  KioskModule failing(none, L"C:\\", [] { return false; });
  EXPECT_FALSE(failing.registerMethods());
  EXPECT_TRUE(failing.methods.empty());
}

// --- extraction and load -----------------------------------------------------------------

// A file next to this program.
std::vector<std::byte> fileBytes(const std::wstring& name) {
  wchar_t path[MAX_PATH];
  std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  file = file.substr(0, file.find_last_of(L'\\') + 1) + name;
  std::vector<std::byte> bytes;
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(handle, nullptr));
  DWORD got = 0;
  if (!ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) bytes.clear();
  CloseHandle(handle);
  return bytes;
}

TEST(LockLibraryLoader, WritesLoadsAndResolvesAllTwentySixOrFailsAtTheFirstGap) {
  const std::wstring folder = tempFolder(L"lumo-kiosk-load");
  {
    std::vector<std::wstring> extracted;
    UniqueModule library;
    LockFunctions functions;
    ASSERT_TRUE(loadLockLibrary(fileBytes(L"lumolock.dll"), folder, extracted, library, functions));
    EXPECT_EQ(extracted, std::vector<std::wstring>{folder + L"\\dwlGina2.dll"});
    for (FARPROC f : functions.entries) EXPECT_NE(f, nullptr);
    EXPECT_EQ(GetModuleHandleW((folder + L"\\dwlGina2.dll").c_str()), library.get());
  }
  {
    // Another DLL: written and loaded, but it has no "wlVersion".
    std::vector<std::wstring> extracted;
    UniqueModule library;
    LockFunctions functions;
    EXPECT_FALSE(loadLockLibrary(fileBytes(L"lumoplayer.dll"), folder, extracted, library, functions));
    EXPECT_TRUE(library) << "the library stays loaded";
    EXPECT_EQ(functions.entries[0], nullptr);
  }
  std::vector<std::wstring> extracted;
  UniqueModule library;
  LockFunctions functions;
  EXPECT_FALSE(loadLockLibrary({}, folder, extracted, library, functions)) << "no resource";
  EXPECT_FALSE(loadLockLibrary(fileBytes(L"lumolock.dll"), folder + L"\\missing\\deeper", extracted, library, functions))
      << "a folder that cannot be written";
  EXPECT_TRUE(extracted.empty());
  EXPECT_TRUE(lockLibraryResource(GetModuleHandleW(nullptr)).empty()) << "this program carries no lock library";
  DeleteFileW((folder + L"\\dwlGina2.dll").c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace lumo

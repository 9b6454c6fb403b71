// The hook table at work inside the mapped test image: class names, the support-library
// refusal, guard pages, instruction-cache flushes, the stream seam and the control classes.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>

#include "LoaderSupport.h"
#include "host/HookTable.h"
#include "host/Hooks.h"

namespace lumo::test {
namespace {

const std::regex kGeneratedName("[0-9a-f]{8}_[0-9a-f]{8}_[0-9a-f]{8}_[0-9a-f]{8}");

using LoaderHooks = LoadedTestImage;

TEST_F(LoaderHooks, RecordsTheImportsItReplaces) {
  std::vector<std::string> hooked;
  for (const HookedImport& import : module_->hookedImports()) {
    hooked.push_back(import.function);
    EXPECT_TRUE(module_->image()->contains(import.slot)) << import.function;
    EXPECT_NE(*import.slot, nullptr);
  }
  for (const char* name : {"LoadLibraryA", "RegisterClassExA", "CreateWindowExA", "UnregisterClassA",
                           "GetClassInfoExA", "LoadCursorA", "LoadMenuA", "VirtualAlloc", "FlushInstructionCache",
                           "CreateFileW", "waveOutOpen", "waveOutWrite", "waveOutClose"}) {
    EXPECT_NE(std::find(hooked.begin(), hooked.end(), name), hooked.end()) << name;
  }
  // Listed pass-through names and unlisted names keep the real function.
  EXPECT_EQ(std::find(hooked.begin(), hooked.end(), "GetModuleHandleA"), hooked.end());
  EXPECT_EQ(std::find(hooked.begin(), hooked.end(), "GetCurrentProcess"), hooked.end());
}

TEST(LoaderHookTable, IsByNameOnlyAndIgnoresCase) {
  ASSERT_NE(findHook("loadlibrarya"), nullptr);
  EXPECT_STREQ(findHook("LOADLIBRARYA")->function, "LoadLibraryA");
  EXPECT_NE(findHook("setTimer"), nullptr);
  EXPECT_EQ(findHook("SetTimer")->replacement, nullptr);
  EXPECT_EQ(findHook("LoadLibraryW"), nullptr);
  size_t count = 0;
  hookTable(count);
  EXPECT_EQ(count, 26u);  // x86_64: RtlLookupFunctionEntry is hooked too
}

TEST(LoaderSupportLibraryPaths, AreRefusedAtAnyBackslash) {
  struct Case {
    const char* path;
    bool refused;
  };
  const Case cases[] = {
      {"x\\SWSUPPORT.DLL", true},          {"C:\\Windows\\System32\\Macromed\\Flash\\swsupport.dll", true},
      {"c:\\a\\SwSupport", true},          {"\\swsupport.dll", true},
      {"swsupport.dll", false},            {"swsupport", false},
      {"c:\\a\\swsupport.dll.bak", false}, {"c:\\a\\myswsupport.dll", false},
      {"c:\\swsupport.dll\\other.dll", false}, {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(hooks::isRefusedSupportLibrary(c.path), c.refused) << c.path;
}

TEST_F(LoaderHooks, LoadLibraryRefusesTheSupportLibraryOnly) {
  auto loadLibrary = exported<HMODULE (*)(const char*)>("loadLibrary");
  std::wstring widePath = besideProgram(L"swsupport.dll");
  const std::string path(widePath.begin(), widePath.end());
  EXPECT_EQ(loadLibrary("x\\SWSUPPORT.DLL"), nullptr);
  EXPECT_EQ(loadLibrary(path.c_str()), nullptr);
  HMODULE passed = loadLibrary("swsupport.dll");  // found beside the program
  ASSERT_NE(passed, nullptr);
  EXPECT_NE(GetProcAddress(passed, "supportLibraryPresent"), nullptr);
  FreeLibrary(passed);
}

TEST_F(LoaderHooks, PlayerClassesGetGeneratedNamesAndWindowsAreCreated) {
  ASSERT_NE(exported<ATOM (*)(const char*)>("registerPlayerClass")("PlayerWindow"), 0);
  ASSERT_NE(exported<ATOM (*)(const char*)>("registerPlayerClass")("PlayerWindow"), 0);  // twice: a second name
  EXPECT_EQ(module_->classNames().size(), 2u);
  const std::optional<std::string> generated = module_->classNames().find("PlayerWindow");
  ASSERT_TRUE(generated);
  EXPECT_TRUE(std::regex_match(*generated, kGeneratedName)) << *generated;

  HWND window = exported<HWND (*)(const char*)>("createPlayerWindow")("PlayerWindow");
  ASSERT_NE(window, nullptr);
  char className[128] = {};
  GetClassNameA(window, className, sizeof className);
  EXPECT_EQ(className, *generated);  // the first entry is found
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), module_->runtimeInstance());
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0x5A5A);  // the player's own procedure runs
  DestroyWindow(window);

  WNDCLASSEXA description{};
  EXPECT_TRUE(exported<BOOL (*)(const char*, WNDCLASSEXA*)>("classInfo")("PlayerWindow", &description));
  EXPECT_TRUE(exported<BOOL (*)(const char*)>("unregisterPlayerClass")("PlayerWindow"));
  EXPECT_FALSE(GetClassInfoExA(module_->runtimeInstance(), generated->c_str(), &description));
  // A name the player never registered passes through unchanged and fails as usual.
  EXPECT_FALSE(exported<BOOL (*)(const char*)>("unregisterPlayerClass")("NeverRegistered"));
}

TEST_F(LoaderHooks, AClassUnregisteredAndRegisteredAgainMakesWindows) {
  // As a control does when its last instance goes and the next form makes a new one.
  auto registerClass = exported<ATOM (*)(const char*)>("registerPlayerClass");
  auto unregisterClass = exported<BOOL (*)(const char*)>("unregisterPlayerClass");
  auto createWindow = exported<HWND (*)(const char*)>("createPlayerWindow");
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_NE(registerClass("ReusedClass"), 0);
    HWND window = createWindow("ReusedClass");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0x5A5A);
    DestroyWindow(window);
    EXPECT_TRUE(unregisterClass("ReusedClass"));
    EXPECT_FALSE(module_->classNames().find("ReusedClass").has_value());
  }
}

TEST_F(LoaderHooks, GuardPageCommitsBecomePlainCommitsOfTheWholeRegion) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const SIZE_T size = 3 * system.dwPageSize;
  void* reserved = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(reserved, nullptr);
  EXPECT_EQ(exported<void* (*)(void*, SIZE_T)>("commitWithGuard")(reserved, system.dwPageSize), reserved);
  MEMORY_BASIC_INFORMATION region;
  ASSERT_EQ(VirtualQuery(reserved, &region, sizeof region), sizeof region);
  EXPECT_EQ(region.State, static_cast<DWORD>(MEM_COMMIT));
  EXPECT_EQ(region.Protect, static_cast<DWORD>(PAGE_READWRITE));
  EXPECT_EQ(region.RegionSize, size);
  VirtualFree(reserved, 0, MEM_RELEASE);
}

TEST_F(LoaderHooks, FlushedCodeIsMadeExecutable) {
  void* memory = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(memory, nullptr);
  EXPECT_TRUE(exported<BOOL (*)(void*, SIZE_T)>("flushCode")(memory, 4096));
  MEMORY_BASIC_INFORMATION region;
  ASSERT_EQ(VirtualQuery(memory, &region, sizeof region), sizeof region);
  EXPECT_EQ(region.Protect, static_cast<DWORD>(PAGE_EXECUTE_READWRITE));
  VirtualFree(memory, 0, MEM_RELEASE);
}

// A stream seam that sees the image's wide file opens, then passes them on.
class RecordingStreams : public StreamInterception {
 public:
  static inline std::wstring lastPath;
  HANDLE createFileW(CreateFileWFunction real, LPCWSTR path, DWORD access, DWORD share,
                     LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags, HANDLE templateFile) override {
    lastPath = path;
    return real(path, access, share, security, disposition, flags, templateFile);
  }
};

class LoaderStreamSeam : public LoadedTestImage {
  PlayerModuleOptions options() override {
    PlayerModuleOptions options;
    options.streams = std::make_unique<RecordingStreams>();
    return options;
  }
};

TEST_F(LoaderStreamSeam, FileOpensOfTheImageReachTheStreamInterception) {
  const std::wstring path = besideProgram(L"hosttestimage.dll");
  HANDLE file = exported<HANDLE (*)(const wchar_t*)>("openFileWide")(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RecordingStreams::lastPath, path);
  CloseHandle(file);
}

// The control classes' procedure receives the module before the usual four arguments.
struct ControlCall {
  PlayerModule* module = nullptr;
  HWND window = nullptr;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
ControlCall gLastCall;

LRESULT CALLBACK recordingControlProcedure(PlayerModule* module, HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_APP + 7) {
    gLastCall = {module, window, wParam, lParam};
    return static_cast<LRESULT>(wParam + lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class LoaderControlStub : public LoadedTestImage {
  PlayerModuleOptions options() override {
    PlayerModuleOptions options;
    options.controlProcedure = recordingControlProcedure;
    options.wideClassName = L"LumoTestControl";
    return options;
  }
};

TEST_F(LoaderControlStub, StubPassesTheModuleFirst) {
  ASSERT_NE(module_->controlClassAtom(), 0);
  ASSERT_NE(module_->ansiControlClassAtom(), 0);
  WNDCLASSEXW wide{};
  wide.cbSize = sizeof wide;
  ASSERT_TRUE(GetClassInfoExW(module_->runtimeInstance(), L"LumoTestControl", &wide));
  EXPECT_EQ(wide.style, static_cast<UINT>(CS_GLOBALCLASS | CS_DBLCLKS));
  EXPECT_EQ(wide.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  for (ATOM atom : {module_->controlClassAtom(), module_->ansiControlClassAtom()}) {
    HWND window = CreateWindowExW(0, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  module_->runtimeInstance(), nullptr);
    ASSERT_NE(window, nullptr);
    const WPARAM wParam = static_cast<WPARAM>(0x1122334455667788ull & SIZE_MAX);
    EXPECT_EQ(SendMessageW(window, WM_APP + 7, wParam, 0x99), static_cast<LRESULT>(wParam + 0x99));
    EXPECT_EQ(gLastCall.module, module_.get());
    EXPECT_EQ(gLastCall.window, window);
    EXPECT_EQ(gLastCall.wParam, wParam);
    EXPECT_EQ(gLastCall.lParam, 0x99);
    DestroyWindow(window);
  }
}

TEST(LoaderControlClasses, AreUnregisteredWhenTheModuleIsDestroyed) {
  PlayerModuleOptions options;
  options.wideClassName = L"LumoTestControlGone";
  auto module = PlayerModule::loadFromMemory(testImage().data(), testImage().size(), std::move(options));
  ASSERT_NE(module, nullptr);
  const HINSTANCE instance = module->runtimeInstance();
  WNDCLASSEXW wide{};
  wide.cbSize = sizeof wide;
  EXPECT_TRUE(GetClassInfoExW(instance, L"LumoTestControlGone", &wide));
  module.reset();
  EXPECT_FALSE(GetClassInfoExW(instance, L"LumoTestControlGone", &wide));
}

}  // namespace
}  // namespace lumo::test

namespace lumo::test {
namespace {

TEST_F(LoaderHooks, WaveOutBuffersOfTheImageAreScaled) {
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  HWAVEOUT handle = nullptr;
  if (exported<MMRESULT (*)(HWAVEOUT*, const WAVEFORMATEX*)>("openWave")(&handle, &format) != MMSYSERR_NOERROR)
    GTEST_SKIP() << "no wave-out device here";
  EXPECT_EQ(module_->sound().bytesPerSample(handle), 2u);
  module_->sound().setVolume(32768);
  int16_t samples[4] = {1000, -1000, 3, 0};
  WAVEHDR header{};
  header.lpData = reinterpret_cast<LPSTR>(samples);
  header.dwBufferLength = sizeof samples;
  waveOutPrepareHeader(handle, &header, sizeof header);
  exported<MMRESULT (*)(HWAVEOUT, WAVEHDR*)>("writeWave")(handle, &header);
  EXPECT_EQ(samples[0], 500);
  EXPECT_EQ(samples[1], -500);
  EXPECT_EQ(samples[2], 1);
  waveOutReset(handle);
  waveOutUnprepareHeader(handle, &header, sizeof header);
  EXPECT_EQ(exported<MMRESULT (*)(HWAVEOUT)>("closeWave")(handle), MMSYSERR_NOERROR);
  EXPECT_FALSE(module_->sound().bytesPerSample(handle));
}

}  // namespace
}  // namespace lumo::test

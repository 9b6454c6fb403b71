// A control built by clang (native TLS, SEH, a delay-load table) mapped from memory: per-thread
// data on every thread, throws and __try inside the image, and system functions it finds late.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "LoaderSupport.h"
#include "host/PlayerModule.h"

namespace lumo::test {
namespace {

const std::vector<uint8_t>& nativeImage() {
  static const std::vector<uint8_t> bytes = readFile(besideProgram(L"hostnativetls.dll"));
  return bytes;
}

// The calling thread's TLS vector, as the system keeps it in the TEB.
void* tlsVector() {
  void* vector = nullptr;
  asm volatile("mov %%gs:0x58, %0" : "=r"(vector));
  return vector;
}

class NativeImage : public LoadedTestImage {
 protected:
  void SetUp() override {
    ASSERT_FALSE(nativeImage().empty());
    module_ = PlayerModule::loadFromMemory(nativeImage().data(), nativeImage().size());
    ASSERT_NE(module_, nullptr) << "stopped at a step";
  }
};

TEST_F(NativeImage, EachThreadHasItsOwnTlsBlockFromTheTemplate) {
  ASSERT_NE(module_->image()->staticTls(), nullptr);
  EXPECT_NE(module_->image()->staticTls()->index(), 0u) << "slot 0 is the runtime's own";
  auto value = exported<int (*)()>("tlsValue");
  auto setValue = exported<void (*)(int)>("setTlsValue");
  auto address = exported<void* (*)()>("tlsAddress");
  EXPECT_EQ(value(), 1234);
  EXPECT_EQ(exported<int (*)()>("tlsTailZeroed")(), 1);
  setValue(5);
  void* mine = address();
  int other = 0, heard = 0;
  void* otherAddress = nullptr;
  const int detachesBefore = exported<int (*)()>("detachSum")();
  std::thread([&] {
    other = value();
    heard = exported<int (*)()>("heardAttach")();
    setValue(77);
    otherAddress = address();
  }).join();
  EXPECT_EQ(other, 1234) << "a new thread starts from the template";
  EXPECT_EQ(heard, 1) << "the block exists before the image hears of the thread";
  EXPECT_NE(otherAddress, mine);
  EXPECT_EQ(value(), 5);
  EXPECT_EQ(exported<int (*)()>("detachSum")(), detachesBefore + 77) << "the block lives until the detach";
  EXPECT_EQ(exported<int (*)()>("onceValue")(), exported<int (*)()>("onceValue")());
}

TEST(NativeImageThreads, ThreadsRunningBeforeTheLoadGetBlocksAndUnloadGivesVectorsBack) {
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  int seen = 0;
  void* vectorBefore = nullptr;
  void* vectorAfter = nullptr;
  int (*value)() = nullptr;
  HANDLE loaded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE used = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE unloaded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread early([&] {
    vectorBefore = tlsVector();
    SetEvent(go);
    WaitForSingleObject(loaded, INFINITE);
    seen = value();
    SetEvent(used);
    WaitForSingleObject(unloaded, INFINITE);
    vectorAfter = tlsVector();
  });
  WaitForSingleObject(go, INFINITE);
  void* mainBefore = tlsVector();
  auto module = PlayerModule::loadFromMemory(nativeImage().data(), nativeImage().size());
  ASSERT_NE(module, nullptr);
  EXPECT_NE(tlsVector(), mainBefore) << "the loading thread's vector holds the new slot";
  value = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(module->exportAddress("tlsValue")));
  SetEvent(loaded);
  WaitForSingleObject(used, INFINITE);
  module.reset();
  SetEvent(unloaded);
  early.join();
  EXPECT_EQ(seen, 1234);
  EXPECT_EQ(vectorAfter, vectorBefore);
  EXPECT_EQ(tlsVector(), mainBefore);
  for (HANDLE event : {go, loaded, used, unloaded}) CloseHandle(event);
}

TEST_F(NativeImage, ThrowsAndSehHandlersWorkInsideTheImage) {
  EXPECT_EQ(exported<int (*)()>("throwAcrossFrames")(), 64);
  EXPECT_EQ(exported<int (*)()>("sehExcept")(), 7);
}

TEST_F(NativeImage, ImageBaseAndFunctionLookupsAnswerForTheImage) {
  auto lookUp = exported<void* (*)(const char*, const char*)>("lookUp");
  using PcToHeader = PVOID(WINAPI*)(PVOID, PVOID*);
  auto pcToHeader = reinterpret_cast<PcToHeader>(lookUp("kernel32.dll", "RtlPcToFileHeader"));
  ASSERT_NE(pcToHeader, nullptr);
  void* code = reinterpret_cast<void*>(module_->exportAddress("throwAcrossFrames"));
  PVOID base = nullptr;
  EXPECT_EQ(pcToHeader(code, &base), module_->imageBase());
  EXPECT_EQ(base, module_->imageBase());
  EXPECT_EQ(pcToHeader(reinterpret_cast<void*>(&tlsVector), &base), GetModuleHandleW(nullptr)) << "others unchanged";

  using LookupEntry = PRUNTIME_FUNCTION(WINAPI*)(DWORD64, PDWORD64, PVOID);
  auto lookupEntry = reinterpret_cast<LookupEntry>(lookUp("kernel32.dll", "RtlLookupFunctionEntry"));
  ASSERT_NE(lookupEntry, nullptr);
  DWORD64 imageBase = 0;
  const PRUNTIME_FUNCTION entry = lookupEntry(reinterpret_cast<DWORD64>(code) + 1, &imageBase, nullptr);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(imageBase, reinterpret_cast<DWORD64>(module_->imageBase()));
  const auto rva = static_cast<DWORD>(reinterpret_cast<DWORD64>(code) - imageBase);
  EXPECT_LE(entry->BeginAddress, rva);
  EXPECT_GT(entry->EndAddress, rva);
}

TEST_F(NativeImage, HookedFunctionsFoundLateMeetTheirReplacement) {
  // Through GetProcAddress.
  ASSERT_NE(exported<ATOM (*)(const char*)>("registerLate")("LateClass"), 0);
  EXPECT_TRUE(module_->classNames().find("LateClass").has_value());
  auto lookUp = exported<void* (*)(const char*, const char*)>("lookUp");
  void* handedOut = lookUp("user32.dll", "RegisterClassExA");
  EXPECT_NE(handedOut, reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "RegisterClassExA")));
  EXPECT_EQ(lookUp("user32.dll", "RegisterClassExA"), handedOut) << "one thunk per function";
  EXPECT_EQ(lookUp("user32.dll", "GetSystemMetrics"),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetrics")));
  // The image's own exports, which the system does not know.
  EXPECT_EQ(exported<void* (*)(const char*)>("ownExport")("tlsValue"),
            reinterpret_cast<void*>(module_->exportAddress("tlsValue")));
  EXPECT_EQ(exported<void* (*)(const char*)>("ownExport")("noSuchExport"), nullptr);

  // Through the delay-load table: bound to the replacement when the image was mapped.
  bool delayedHooked = false;
  for (const HookedImport& import : module_->hookedImports())
    delayedHooked |= import.function == "RegisterClassExA" && _stricmp(import.library.c_str(), "user32.dll") == 0;
  EXPECT_TRUE(delayedHooked);
  ASSERT_NE(exported<ATOM (*)(const char*)>("registerDelayed")("DelayedClass"), 0);
  EXPECT_TRUE(module_->classNames().find("DelayedClass").has_value());
  HWND window = exported<HWND (*)(const char*)>("createDelayed")("DelayedClass");
  EXPECT_NE(window, nullptr);
  DestroyWindow(window);
}

}  // namespace
}  // namespace lumo::test

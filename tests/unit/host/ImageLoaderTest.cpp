// The mapping pipeline on a real MinGW DLL: relocations, imports, exceptions, TLS callbacks,
// thread and process notifications, exports, and refusal of truncated or corrupt images.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <thread>

#include "LoaderSupport.h"
#include "host/ImageLoader.h"
#include "host/PlayerModule.h"

namespace lumo::test {
namespace {

IMAGE_NT_HEADERS* headersOf(std::vector<uint8_t>& image) {
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image.data());
  return reinterpret_cast<IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
}
IMAGE_SECTION_HEADER* sectionsOf(std::vector<uint8_t>& image) { return IMAGE_FIRST_SECTION(headersOf(image)); }
// The file offset of an address in the image.
size_t fileOffset(std::vector<uint8_t>& image, DWORD rva) {
  IMAGE_NT_HEADERS* headers = headersOf(image);
  IMAGE_SECTION_HEADER* sections = sectionsOf(image);
  for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i) {
    if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
      return sections[i].PointerToRawData + (rva - sections[i].VirtualAddress);
  }
  ADD_FAILURE() << "address outside every section";
  return 0;
}
DWORD directoryRva(std::vector<uint8_t>& image, int index) {
  return headersOf(image)->OptionalHeader.DataDirectory[index].VirtualAddress;
}

using LoaderImage = LoadedTestImage;

TEST_F(LoaderImage, MapsAwayFromPreferredBaseAndAppliesRelocations) {
  ASSERT_NE(module_->image(), nullptr);
  EXPECT_NE(reinterpret_cast<uintptr_t>(module_->imageBase()), module_->image()->preferredBase());
  EXPECT_EQ(exported<int (*)()>("relocatedValue")(), 7341);
  EXPECT_STREQ(exported<const char* (*)(int)>("relocatedName")(1), "second");
  EXPECT_EQ(exported<int (*)()>("zeroedTail")(), 1);
  EXPECT_EQ(exported<HINSTANCE (*)()>("ownInstance")(), reinterpret_cast<HINSTANCE>(module_->imageBase()));
}

TEST(LoaderImageFile, HasTheRelocationKindsTheLoaderMeets) {
  // The image must carry padding (type 0) entries next to 64-bit ones for the test above to
  // show both are handled.
  std::vector<uint8_t> image = testImage();
  ASSERT_FALSE(image.empty());
  const IMAGE_DATA_DIRECTORY& relocations = headersOf(image)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  const size_t start = fileOffset(image, relocations.VirtualAddress);
  bool padding = false, wide = false;
  for (size_t walked = 0; walked < relocations.Size;) {
    const auto* block = reinterpret_cast<IMAGE_BASE_RELOCATION*>(image.data() + start + walked);
    const auto* entries = reinterpret_cast<const WORD*>(block + 1);
    for (size_t i = 0; i < (block->SizeOfBlock - 8) / 2; ++i) {
      padding |= (entries[i] >> 12) == IMAGE_REL_BASED_ABSOLUTE;
      wide |= (entries[i] >> 12) == IMAGE_REL_BASED_DIR64 || (entries[i] >> 12) == IMAGE_REL_BASED_HIGHLOW;
    }
    walked += block->SizeOfBlock;
  }
  EXPECT_TRUE(padding);
  EXPECT_TRUE(wide);
}

TEST_F(LoaderImage, ResolvesImportsByNameAndByOrdinal) {
  EXPECT_EQ(exported<int (*)()>("callOrdinalImport")(), 4242);
  EXPECT_EQ(exported<int (*)()>("relocatedValue")(), 7341);  // msvcrt and kernel32 calls ran in the entry point
}

TEST_F(LoaderImage, CatchesExceptionsInsideTheImage) {
  EXPECT_EQ(exported<int (*)()>("constructorCaught")(), 1);  // thrown during the entry point
  EXPECT_EQ(exported<int (*)()>("throwAndCatch")(), 200);
}

TEST_F(LoaderImage, RunsTlsCallbacksBeforeTheEntryPoint) {
  const unsigned reasons = exported<unsigned (*)()>("tlsReasons")();
  EXPECT_TRUE(reasons & (1u << DLL_PROCESS_ATTACH));
  EXPECT_TRUE(reasons & (1u << DLL_THREAD_ATTACH));
  EXPECT_EQ(exported<int (*)()>("tlsBeforeMain")(), 1);
}

TEST_F(LoaderImage, HearsThreadsStartingAndEnding) {
  const int attaches = exported<int (*)()>("threadAttaches")();
  const int detaches = exported<int (*)()>("threadDetaches")();
  EXPECT_GE(attaches, 1);  // the loading thread, told once after the process attach
  std::thread([] {}).join();
  EXPECT_EQ(exported<int (*)()>("threadAttaches")(), attaches + 1);
  EXPECT_EQ(exported<int (*)()>("threadDetaches")(), detaches + 1);
}

TEST_F(LoaderImage, FindsExportsByExactName) {
  EXPECT_NE(module_->exportAddress("throwAndCatch"), nullptr);
  EXPECT_EQ(module_->exportAddress("ThrowAndCatch"), nullptr);
  EXPECT_EQ(module_->exportAddress("throwAndCatc"), nullptr);
  EXPECT_EQ(module_->exportAddress("DllGetClassObject"), nullptr);
}

TEST_F(LoaderImage, UnloadingRunsProcessDetachAndReleasesTheImage) {
  volatile int detached = 0;
  exported<void (*)(volatile int*)>("setDetachFlag")(&detached);
  void* base = module_->imageBase();
  module_->unload();
  EXPECT_EQ(detached, 1);
  EXPECT_EQ(module_->imageBase(), nullptr);
  EXPECT_EQ(module_->exportAddress("throwAndCatch"), nullptr);
  EXPECT_TRUE(module_->hookedImports().empty());
  MEMORY_BASIC_INFORMATION region;
  ASSERT_EQ(VirtualQuery(base, &region, sizeof region), sizeof region);
  EXPECT_EQ(region.State, static_cast<DWORD>(MEM_FREE));
}

TEST_F(LoaderImage, LoadingASecondImageUnloadsTheFirst) {
  volatile int detached = 0;
  exported<void (*)(volatile int*)>("setDetachFlag")(&detached);
  const ATOM classAtom = module_->controlClassAtom();
  ASSERT_EQ(module_->load(testImage().data(), testImage().size()), S_OK);
  EXPECT_EQ(detached, 1);
  EXPECT_EQ(exported<int (*)()>("relocatedValue")(), 7341);
  EXPECT_EQ(module_->controlClassAtom(), classAtom);  // the control classes stay
}

TEST_F(LoaderImage, DestroyingTheModuleDetachesTheImage) {
  volatile int detached = 0;
  exported<void (*)(volatile int*)>("setDetachFlag")(&detached);
  module_.reset();
  EXPECT_EQ(detached, 1);
}

// Each case damages a copy of the test image; the load must stop cleanly at the named step.
struct Corruption {
  const char* what;
  std::function<void(std::vector<uint8_t>&)> damage;
  const char* step;
};

TEST(LoaderRefuses, TruncatedAndCorruptImages) {
  const Corruption cases[] = {
      {"empty", [](auto& image) { image.clear(); }, "check headers"},
      {"cut inside the DOS header", [](auto& image) { image.resize(40); }, "check headers"},
      {"cut inside the NT headers",
       [](auto& image) { image.resize(reinterpret_cast<IMAGE_DOS_HEADER*>(image.data())->e_lfanew + 64); },
       "check headers"},
      {"cut inside the last section",
       [](auto& image) {
         IMAGE_SECTION_HEADER* last = sectionsOf(image);
         for (WORD i = 0; i < headersOf(image)->FileHeader.NumberOfSections; ++i)
           if (sectionsOf(image)[i].PointerToRawData > last->PointerToRawData) last = &sectionsOf(image)[i];
         image.resize(last->PointerToRawData + 16);
       },
       "check headers"},
      {"no MZ signature", [](auto& image) { image[0] = 'X'; }, "check headers"},
      {"NT headers past the end",
       [](auto& image) { reinterpret_cast<IMAGE_DOS_HEADER*>(image.data())->e_lfanew = static_cast<LONG>(image.size()); },
       "check headers"},
      {"another machine", [](auto& image) { headersOf(image)->FileHeader.Machine = 0x01c4; }, "check headers"},
      {"section count past the headers",
       [](auto& image) { headersOf(image)->FileHeader.NumberOfSections = 0xFFFF; }, "check headers"},
      {"section past the image size",
       [](auto& image) { sectionsOf(image)->VirtualAddress = headersOf(image)->OptionalHeader.SizeOfImage; },
       "check headers"},
      {"entry point past the image size",
       [](auto& image) { headersOf(image)->OptionalHeader.AddressOfEntryPoint = 0x7FFFFFF0; }, "check headers"},
      {"directory past the image size",
       [](auto& image) {
         headersOf(image)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].Size = 0x7FFFFFF0;
       },
       "check headers"},
      {"relocation block of size zero",
       [](auto& image) {
         auto* block = reinterpret_cast<IMAGE_BASE_RELOCATION*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_BASERELOC)));
         block->SizeOfBlock = 0;
       },
       "relocate"},
      {"relocation past the image",
       [](auto& image) {
         auto* block = reinterpret_cast<IMAGE_BASE_RELOCATION*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_BASERELOC)));
         block->VirtualAddress = headersOf(image)->OptionalHeader.SizeOfImage;
       },
       "relocate"},
      {"library name outside the image",
       [](auto& image) {
         auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_IMPORT)));
         descriptor->Name = 0x7FFFFFF0;
       },
       "resolve imports"},
      {"import descriptor without an address table",
       [](auto& image) {
         auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_IMPORT)));
         descriptor->FirstThunk = 0;
       },
       "resolve imports"},
      {"unwind data outside the image",
       [](auto& image) {
         auto* function = reinterpret_cast<RUNTIME_FUNCTION*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_EXCEPTION)));
         function->UnwindData = headersOf(image)->OptionalHeader.SizeOfImage - 2;
       },
       "register exception table"},
      {"function ending past the image",
       [](auto& image) {
         auto* function = reinterpret_cast<RUNTIME_FUNCTION*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_EXCEPTION)));
         function->EndAddress = headersOf(image)->OptionalHeader.SizeOfImage + 1;
       },
       "register exception table"},
      {"TLS index outside the image",
       [](auto& image) {
         auto* tls = reinterpret_cast<IMAGE_TLS_DIRECTORY*>(
             image.data() + fileOffset(image, directoryRva(image, IMAGE_DIRECTORY_ENTRY_TLS)));
         tls->AddressOfIndex = 0x10;
       },
       "TLS"},
  };
  for (const Corruption& corruption : cases) {
    SCOPED_TRACE(corruption.what);
    std::vector<uint8_t> image = testImage();
    corruption.damage(image);
    PlayerModule module;
    EXPECT_EQ(module.load(image.data(), image.size()), E_FAIL);
    EXPECT_EQ(module.lastFailure(), corruption.step);
    EXPECT_EQ(module.imageBase(), nullptr);
    EXPECT_EQ(module.controlClassAtom(), 0);
  }
}

TEST(LoaderRefuses, AnImageWhoseEntryPointRefusesTheAttach) {
  // A one-section image whose entry point is "xor eax, eax; ret" (x86_64) or with a stdcall
  // return of 12 bytes (x86): the attach answers FALSE.
  std::vector<uint8_t> image = testImage();
  IMAGE_NT_HEADERS* headers = headersOf(image);
  IMAGE_SECTION_HEADER* text = sectionsOf(image);
  const size_t at = text->PointerToRawData;
#ifdef _WIN64
  const uint8_t code[] = {0x31, 0xC0, 0xC3};
#else
  const uint8_t code[] = {0x31, 0xC0, 0xC2, 0x0C, 0x00};
#endif
  std::memcpy(image.data() + at, code, sizeof code);
  headers->OptionalHeader.AddressOfEntryPoint = text->VirtualAddress;
  headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS] = {0, 0};
  PlayerModule module;
  EXPECT_EQ(module.load(image.data(), image.size()), E_FAIL);
  EXPECT_EQ(module.lastFailure(), "attach");
  EXPECT_TRUE(module.hookedImports().empty()) << "no entry points into the freed image";
}

// The player's registration in the test prefix, removed again afterwards.
class InstalledControlKey {
 public:
  explicit InstalledControlKey(const std::wstring& path) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  ~InstalledControlKey() { RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}"); }
  static constexpr const wchar_t* kKey = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";
};

TEST(LoaderInstalledControl, IsLoadedFromTheRegisteredFileWhenNoImageIsGiven) {
  {
    InstalledControlKey key(besideProgram(L"hosttestimage.dll"));
    auto module = PlayerModule::loadFromMemory(nullptr, 0);
    ASSERT_NE(module, nullptr);
    auto value = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(module->exportAddress("relocatedValue")));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value(), 7341);
    EXPECT_NE(module->controlClassAtom(), 0);
  }
  {
    InstalledControlKey key(besideProgram(L"no-such-player.dll"));
    PlayerModule module;
    EXPECT_EQ(module.load(nullptr, 0), E_FAIL);
    EXPECT_EQ(module.controlClassAtom(), 0);
  }
  PlayerModule module;
  EXPECT_EQ(module.load(nullptr, 0), E_FAIL);  // no key at all
}

}  // namespace
}  // namespace lumo::test

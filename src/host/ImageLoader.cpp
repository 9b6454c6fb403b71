// The mapping pipeline: check headers → reserve → copy headers → copy sections → relocate →
// resolve imports → delayed imports → flush → exception table → SEH handler table → TLS →
// attach. Each step reads through bounds checks and answers true or false; the first false ends
// the load and frees everything.
#include "host/ImageLoader.h"

#include <algorithm>
#include <cstring>

#include "host/ThreadNotifications.h"

namespace lumo {
namespace {

#ifdef _WIN64
constexpr WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD kMachine = IMAGE_FILE_MACHINE_I386;
#endif

}  // namespace

struct ImageLoader::Mapping {
  BoundedBytes source;
  ImportResolver* resolver = nullptr;
  const IMAGE_NT_HEADERS* headers = nullptr;  // in the source bytes
  const IMAGE_SECTION_HEADER* sections = nullptr;
  std::unique_ptr<LoadedImage> image;
};

namespace {

// A data directory that is present, or null. Its range is checked by the step that reads it.
const IMAGE_DATA_DIRECTORY* directory(const IMAGE_NT_HEADERS* headers, int index) {
  const IMAGE_OPTIONAL_HEADER& optional = headers->OptionalHeader;
  if (static_cast<DWORD>(index) >= optional.NumberOfRvaAndSizes) return nullptr;
  const IMAGE_DATA_DIRECTORY* entry = &optional.DataDirectory[index];
  return entry->VirtualAddress != 0 && entry->Size != 0 ? entry : nullptr;
}

}  // namespace

bool ImageLoader::checkHeaders(Mapping& m) {
  const auto* dos = m.source.at<IMAGE_DOS_HEADER>(0);
  if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0) return false;
  m.headers = m.source.at<IMAGE_NT_HEADERS>(static_cast<uint64_t>(dos->e_lfanew));
  if (!m.headers || m.headers->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_FILE_HEADER& file = m.headers->FileHeader;
  const IMAGE_OPTIONAL_HEADER& optional = m.headers->OptionalHeader;
  if (file.Machine != kMachine || optional.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) return false;
  if (file.SizeOfOptionalHeader < sizeof(IMAGE_OPTIONAL_HEADER) ||
      optional.NumberOfRvaAndSizes > IMAGE_NUMBEROF_DIRECTORY_ENTRIES)
    return false;
  const uint64_t sectionTable = static_cast<uint64_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                                file.SizeOfOptionalHeader;
  m.sections = m.source.at<IMAGE_SECTION_HEADER>(sectionTable, file.NumberOfSections);
  if (!m.sections) return false;
  const uint64_t imageSize = optional.SizeOfImage;
  if (imageSize == 0 || optional.SizeOfHeaders > imageSize || !m.source.contains(0, optional.SizeOfHeaders) ||
      sectionTable + uint64_t{file.NumberOfSections} * sizeof(IMAGE_SECTION_HEADER) > optional.SizeOfHeaders ||
      optional.AddressOfEntryPoint >= imageSize)
    return false;
  for (WORD i = 0; i < file.NumberOfSections; ++i) {
    const IMAGE_SECTION_HEADER& section = m.sections[i];
    const uint64_t copied = std::min(section.Misc.VirtualSize, section.SizeOfRawData);
    if (uint64_t{section.VirtualAddress} + section.Misc.VirtualSize > imageSize) return false;
    if (copied != 0 && !m.source.contains(section.PointerToRawData, copied)) return false;
  }
  for (int i = 0; i < IMAGE_NUMBEROF_DIRECTORY_ENTRIES; ++i) {
    const IMAGE_DATA_DIRECTORY* entry = directory(m.headers, i);
    if (entry && i != IMAGE_DIRECTORY_ENTRY_SECURITY &&  // the certificate table holds a file offset
        uint64_t{entry->VirtualAddress} + entry->Size > imageSize)
      return false;
  }
  return true;
}

bool ImageLoader::reserve(Mapping& m) {
  const size_t size = m.headers->OptionalHeader.SizeOfImage;
  // The whole image stays readable, writable and executable; section protections are not applied.
  void* base = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (!base) return false;
  m.image.reset(new LoadedImage(static_cast<uint8_t*>(base), size));
  m.image->preferredBase_ = static_cast<uintptr_t>(m.headers->OptionalHeader.ImageBase);
  if (const IMAGE_DATA_DIRECTORY* exports = directory(m.headers, IMAGE_DIRECTORY_ENTRY_EXPORT))
    m.image->exports_ = {exports->VirtualAddress, exports->Size};
  if (const IMAGE_DATA_DIRECTORY* resources = directory(m.headers, IMAGE_DIRECTORY_ENTRY_RESOURCE))
    m.image->resources_ = {resources->VirtualAddress, resources->Size};
  return true;
}

bool ImageLoader::copyHeaders(Mapping& m) {
  std::memcpy(m.image->base(), m.source.data(), m.headers->OptionalHeader.SizeOfHeaders);
  // As the system loader does: the mapped headers name the base the image really has.
  auto* mapped = reinterpret_cast<IMAGE_NT_HEADERS*>(m.image->base() + (reinterpret_cast<const uint8_t*>(m.headers) -
                                                                        m.source.data()));
  mapped->OptionalHeader.ImageBase = reinterpret_cast<uintptr_t>(m.image->base());
  return true;
}

bool ImageLoader::copySections(Mapping& m) {
  for (WORD i = 0; i < m.headers->FileHeader.NumberOfSections; ++i) {
    const IMAGE_SECTION_HEADER& section = m.sections[i];
    uint8_t* target = m.image->base() + section.VirtualAddress;
    std::memset(target, 0, section.Misc.VirtualSize);
    const size_t copied = std::min(section.Misc.VirtualSize, section.SizeOfRawData);
    if (copied) std::memcpy(target, m.source.data() + section.PointerToRawData, copied);
  }
  return true;
}

namespace {

template <typename T>
void addDelta(uint8_t* address, T delta) {
  T value;
  std::memcpy(&value, address, sizeof value);
  value += delta;
  std::memcpy(address, &value, sizeof value);
}

}  // namespace

bool ImageLoader::relocate(Mapping& m) {
  const uintptr_t delta = reinterpret_cast<uintptr_t>(m.image->base()) - m.image->preferredBase();
  if (delta == 0) return true;
  const IMAGE_DATA_DIRECTORY* relocations = directory(m.headers, IMAGE_DIRECTORY_ENTRY_BASERELOC);
  if (!relocations) return (m.headers->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED) == 0;
  const BoundedBytes bytes = m.image->bytes();
  DWORD walked = 0;
  while (walked < relocations->Size) {
    const auto* block = bytes.at<IMAGE_BASE_RELOCATION>(uint64_t{relocations->VirtualAddress} + walked);
    if (!block || block->SizeOfBlock < sizeof(IMAGE_BASE_RELOCATION) || block->SizeOfBlock > relocations->Size - walked)
      return false;
    const DWORD count = (block->SizeOfBlock - sizeof(IMAGE_BASE_RELOCATION)) / sizeof(WORD);
    const auto* entries = reinterpret_cast<const WORD*>(block + 1);
    for (DWORD i = 0; i < count; ++i) {
      const unsigned type = entries[i] >> 12;
      const uint64_t target = uint64_t{block->VirtualAddress} + (entries[i] & 0x0FFF);
      if (type == IMAGE_REL_BASED_ABSOLUTE) continue;  // padding
#ifdef _WIN64
      if (type == IMAGE_REL_BASED_DIR64) {
        if (!bytes.contains(target, 8)) return false;
        addDelta<uint64_t>(m.image->base() + target, delta);
        continue;
      }
      if (type != IMAGE_REL_BASED_HIGHLOW) return false;  // nothing else is meaningful here
#endif
      if (!bytes.contains(target, 4)) return false;
      addDelta<uint32_t>(m.image->base() + target, static_cast<uint32_t>(delta));
    }
    walked += block->SizeOfBlock;
  }
  return true;
}

bool ImageLoader::resolveImports(Mapping& m) {
  if (m.resolver) m.resolver->mapped(*m.image);
  const IMAGE_DATA_DIRECTORY* imports = directory(m.headers, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (!imports) return true;
  const BoundedBytes bytes = m.image->bytes();
  for (uint64_t offset = imports->VirtualAddress;; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* descriptor = bytes.at<IMAGE_IMPORT_DESCRIPTOR>(offset);
    if (!descriptor) return false;
    if (descriptor->Name == 0) break;
    const char* library = bytes.string(descriptor->Name);
    // Without an address table there is nowhere to put what the names resolve to.
    if (!library || descriptor->FirstThunk == 0) return false;
    // A library that does not load leaves its entries null; the mapping goes on.
    HMODULE module = LoadLibraryA(library);
    if (module) m.image->libraries_.emplace_back(module);
    const DWORD lookupRva = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
    for (uint64_t i = 0;; ++i) {
      const auto* lookup = bytes.at<IMAGE_THUNK_DATA>(lookupRva + i * sizeof(IMAGE_THUNK_DATA));
      const auto* slotEntry = bytes.at<IMAGE_THUNK_DATA>(descriptor->FirstThunk + i * sizeof(IMAGE_THUNK_DATA));
      if (!lookup || !slotEntry) return false;
      const auto value = lookup->u1.AddressOfData;
      if (value == 0) break;
      void** slot = reinterpret_cast<void**>(m.image->base() + descriptor->FirstThunk + i * sizeof(IMAGE_THUNK_DATA));
      FARPROC real = nullptr;
      const char* name = nullptr;
      if (IMAGE_SNAP_BY_ORDINAL(value)) {
        if (module) real = GetProcAddress(module, MAKEINTRESOURCEA(IMAGE_ORDINAL(value)));
      } else {
        const auto* byName = bytes.at<IMAGE_IMPORT_BY_NAME>(value);
        name = byName ? bytes.string(value + offsetof(IMAGE_IMPORT_BY_NAME, Name)) : nullptr;
        if (!name) return false;
        if (module) real = GetProcAddress(module, name);
      }
      if (real && m.resolver) real = m.resolver->resolve(library, name, real, slot);
      *slot = reinterpret_cast<void*>(real);
    }
  }
  return true;
}

// Delay-loaded imports the resolver replaces are bound now: a control that reaches a hooked
// function through its delay-load table must meet the replacement, not the system's function.
// The rest stay with the image's own helper.
bool ImageLoader::resolveDelayedImports(Mapping& m) {
  const IMAGE_DATA_DIRECTORY* delayed = directory(m.headers, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
  if (!delayed) return true;
  const BoundedBytes bytes = m.image->bytes();
  const auto base = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m.image->base()));
  for (uint64_t offset = delayed->VirtualAddress;; offset += sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)) {
    const auto* descriptor = bytes.at<IMAGE_DELAYLOAD_DESCRIPTOR>(offset);
    if (!descriptor) return false;
    if (descriptor->DllNameRVA == 0) break;
    // Old images give addresses instead of offsets (32-bit only); both are checked below.
    const bool relative = (descriptor->Attributes.AllAttributes & 1) != 0;
    const auto toRva = [&](DWORD field) -> uint64_t { return relative ? field : uint32_t(field - base); };
    const char* library = bytes.string(toRva(descriptor->DllNameRVA));
    const uint64_t names = toRva(descriptor->ImportNameTableRVA);
    const uint64_t addresses = toRva(descriptor->ImportAddressTableRVA);
    if (!library || descriptor->ImportNameTableRVA == 0 || descriptor->ImportAddressTableRVA == 0) return false;
    HMODULE module = nullptr;
    for (uint64_t i = 0;; ++i) {
      const auto* lookup = bytes.at<IMAGE_THUNK_DATA>(names + i * sizeof(IMAGE_THUNK_DATA));
      if (!lookup || !bytes.at<IMAGE_THUNK_DATA>(addresses + i * sizeof(IMAGE_THUNK_DATA))) return false;
      const auto value = lookup->u1.AddressOfData;
      if (value == 0) break;
      if (IMAGE_SNAP_BY_ORDINAL(value) || !m.resolver) continue;
      const char* name = bytes.string(toRva(static_cast<DWORD>(value)) + offsetof(IMAGE_IMPORT_BY_NAME, Name));
      if (!name) return false;
      if (!m.resolver->resolvesDelayed(name)) continue;
      if (!module) {
        module = LoadLibraryA(library);
        if (!module) break;  // the image's helper meets the same failure when it is called
        m.image->libraries_.emplace_back(module);
      }
      void** slot = reinterpret_cast<void**>(m.image->base() + addresses + i * sizeof(IMAGE_THUNK_DATA));
      if (FARPROC real = GetProcAddress(module, name)) *slot = reinterpret_cast<void*>(m.resolver->resolve(library, name, real, slot));
    }
  }
  return true;
}

bool ImageLoader::flushCode(Mapping& m) {
  FlushInstructionCache(GetCurrentProcess(), m.image->base(), m.image->size());
  return true;
}

// C++ exceptions and unwinding inside the image need its function table before any of its code
// runs (static constructors run from the entry point).
bool ImageLoader::registerExceptionTable(Mapping& m) {
#ifdef _WIN64
  const IMAGE_DATA_DIRECTORY* table = directory(m.headers, IMAGE_DIRECTORY_ENTRY_EXCEPTION);
  if (!table) return true;
  const DWORD count = table->Size / sizeof(RUNTIME_FUNCTION);
  auto* functions = reinterpret_cast<RUNTIME_FUNCTION*>(m.image->base() + table->VirtualAddress);
  if (count == 0) return true;
  // The system follows every entry while it unwinds: one that leads outside the image is refused.
  const BoundedBytes bytes = m.image->bytes();
  for (DWORD i = 0; i < count; ++i) {
    const RUNTIME_FUNCTION& function = functions[i];
    if (function.BeginAddress >= function.EndAddress || function.EndAddress > m.image->size()) return false;
    const auto* info = bytes.at<uint8_t>(function.UnwindData, 4);  // version and flags, prolog, code count, frame
    if (!info) return false;
    const uint64_t codeSlots = (info[2] + 1u) & ~1u;  // the code array keeps an even length
    if (!bytes.contains(function.UnwindData, 4 + codeSlots * 2)) return false;
  }
  if (!RtlAddFunctionTable(functions, count, reinterpret_cast<DWORD64>(m.image->base()))) return false;
  m.image->functionTable_ = functions;
  m.image->functionCount_ = count;
#else
  (void)m;
#endif
  return true;
}

// On x86 the exception dispatcher checks every handler: one in a loaded module must be listed in
// that module's SafeSEH table, one elsewhere must lie in executable memory. A mapped image is not
// a loaded module, so its handlers take the second path, which its memory (kept executable)
// passes. The table is still checked for consistency, as a malformed one marks a damaged image.
bool ImageLoader::checkHandlerTable(Mapping& m) {
#ifdef _WIN64
  (void)m;  // x86_64 has no handler table: its function table serves (registerExceptionTable)
  return true;
#else
  const IMAGE_DATA_DIRECTORY* config = directory(m.headers, IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG);
  if (!config) return true;
  const BoundedBytes bytes = m.image->bytes();
  constexpr DWORD kNeeded = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount) + sizeof(DWORD);
  const auto* declaredSize = bytes.at<DWORD>(config->VirtualAddress);
  if (!declaredSize) return false;
  if (*declaredSize < kNeeded) return true;  // an older directory without the table
  const auto* load = bytes.at<uint8_t>(config->VirtualAddress, kNeeded);
  if (!load) return false;
  DWORD table = 0, count = 0;
  std::memcpy(&table, load + offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerTable), sizeof table);
  std::memcpy(&count, load + offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount), sizeof count);
  if (table == 0 || count == 0) return true;
  const auto base = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m.image->base()));
  if (table < base) return false;
  const auto* handlers = bytes.at<DWORD>(table - base, count);
  if (!handlers) return false;
  for (DWORD i = 0; i < count; ++i) {
    if (handlers[i] >= m.image->size() || (i > 0 && handlers[i] <= handlers[i - 1])) return false;  // sorted, inside
  }
  return true;
#endif
}

// The TLS directory: its callbacks, and its index and template, which give every thread of the
// process a block of its own before any of the image's code runs.
bool ImageLoader::setUpTls(Mapping& m) {
  // Threads are heard from here on, so that none started during the set-up misses its block;
  // the image itself hears of them once attached.
  ThreadNotifications::add(m.image.get());
  m.image->threadNotifications_ = true;
  const IMAGE_DATA_DIRECTORY* tls = directory(m.headers, IMAGE_DIRECTORY_ENTRY_TLS);
  if (!tls) return true;
  const BoundedBytes bytes = m.image->bytes();
  const auto* tlsDirectory = bytes.at<IMAGE_TLS_DIRECTORY>(tls->VirtualAddress);
  if (!tlsDirectory) return false;
  const uintptr_t base = reinterpret_cast<uintptr_t>(m.image->base());
  const uintptr_t list = static_cast<uintptr_t>(tlsDirectory->AddressOfCallBacks);
  if (list != 0) {
    if (list < base) return false;
    for (uint64_t offset = list - base;; offset += sizeof(uintptr_t)) {
      const auto* callback = bytes.at<uintptr_t>(offset);
      if (!callback) return false;
      if (*callback == 0) break;
      if (!m.image->contains(reinterpret_cast<const void*>(*callback))) return false;
      m.image->tlsCallbacks_.push_back(reinterpret_cast<PIMAGE_TLS_CALLBACK>(*callback));
    }
  }
  bool malformed = false;
  m.image->staticTls_ = StaticTls::fromDirectory(m.image->base(), m.image->size(), *tlsDirectory, &malformed);
  if (malformed) return false;
  return !m.image->staticTls_ || m.image->staticTls_->start();
}

bool ImageLoader::attach(Mapping& m) {
  LoadedImage& image = *m.image;
  if (const DWORD entry = m.headers->OptionalHeader.AddressOfEntryPoint)
    image.entry_ = reinterpret_cast<LoadedImage::EntryPoint>(image.base() + entry);
  // A refused attach is undone as the system loader does: the image hears its detach.
  if (!image.notify(DLL_PROCESS_ATTACH)) {
    image.notify(DLL_PROCESS_DETACH);
    return false;
  }
  image.attached_ = true;
  image.notify(DLL_THREAD_ATTACH);
  // The system never tells a hand-mapped image about other threads; the host forwards them.
  image.hearsThreads_ = true;
  return true;
}

std::unique_ptr<LoadedImage> ImageLoader::load(const void* data, size_t size, ImportResolver* resolver,
                                               std::string* failure) {
  using Step = bool (*)(Mapping&);
  struct NamedStep {
    const char* name;
    Step run;
  };
  static constexpr NamedStep kPipeline[] = {
      {"check headers", checkHeaders},
      {"reserve", reserve},
      {"copy headers", copyHeaders},
      {"copy sections", copySections},
      {"relocate", relocate},
      {"resolve imports", resolveImports},
      {"resolve delayed imports", resolveDelayedImports},
      {"flush", flushCode},
      {"register exception table", registerExceptionTable},
      {"SEH handler table", checkHandlerTable},
      {"TLS", setUpTls},
      {"attach", attach},
  };
  Mapping m;
  m.source = BoundedBytes(data, data ? size : 0);
  m.resolver = resolver;
  for (const NamedStep& step : kPipeline) {
    if (!step.run(m)) {
      if (failure) *failure = step.name;
      return nullptr;
    }
  }
  return std::move(m.image);
}

}  // namespace lumo

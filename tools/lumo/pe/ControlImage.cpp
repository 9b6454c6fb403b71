// The control checks walk the same tables the loader walks, with the same limits, so what is
// refused here is what the loader would refuse (or could not serve) at start-up.
#include "pe/ControlImage.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "pe/ByteOrder.h"

namespace lumo::pe {
namespace {

constexpr std::size_t kExportDirectory = 0;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kExceptionDirectory = 3;
constexpr std::size_t kTlsDirectory = 9;
constexpr std::size_t kDelayImportDirectory = 13;

// Libraries every Windows has: a control may import them freely. Others must be installed.
const char* const kSystemLibraries[] = {
    "advapi32", "bcrypt",   "comctl32", "comdlg32", "crypt32",  "d3d9",     "d3d11",    "dbghelp", "ddraw",
    "dinput8",  "dsound",   "dwmapi",   "dxgi",     "gdi32",    "gdiplus",  "glu32",    "imm32",   "iphlpapi",
    "kernel32", "kernelbase", "mpr",    "msimg32",  "msvcrt",   "mswsock",  "ncrypt",   "netapi32", "normaliz",
    "ntdll",    "ole32",    "oleacc",   "oleaut32", "opengl32", "powrprof", "psapi",    "rpcrt4",  "secur32",
    "setupapi", "shell32",  "shlwapi",  "urlmon",   "user32",   "userenv",  "usp10",    "uxtheme", "version",
    "winhttp",  "wininet",  "winmm",    "winspool.drv", "wintrust", "ws2_32", "wsock32",
};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// A NUL-terminated name in a section's file data.
std::optional<std::string> nameAt(const PeImage& image, std::uint32_t rva) {
  const Section* section = image.sectionAt(rva);
  if (!section) return std::nullopt;
  const std::uint64_t offset = rva - section->virtualAddress;
  if (offset >= section->rawSize) return std::nullopt;
  const ByteSpan rest = image.bytes().subspan(section->rawPointer + offset, section->rawSize - offset);
  const auto end = std::find(rest.begin(), rest.end(), 0);
  if (end == rest.end()) return std::nullopt;
  return std::string(rest.begin(), end);
}

struct Checker {
  Checker(const PeImage& image, ControlImageReport& report) : image(image), report(report) {}
  const PeImage& image;
  ControlImageReport& report;
  std::uint64_t imageBase = 0;
  std::uint32_t imageSize = 0;
  std::set<std::string> foreignLibraries;

  std::uint32_t thunkSize() const { return image.isPe32Plus() ? 8 : 4; }
  std::optional<std::uint64_t> thunk(std::uint32_t rva) const {
    const auto bytes = image.at(rva, thunkSize());
    if (!bytes) return std::nullopt;
    if (image.isPe32Plus()) return readLe<std::uint64_t>(*bytes, 0);
    return readLe<std::uint32_t>(*bytes, 0);
  }
  bool byOrdinal(std::uint64_t value) const {
    return image.isPe32Plus() ? (value >> 63) != 0 : (value >> 31) != 0;
  }
  void refuse(const std::string& why) { report.refusals.push_back(why); }
  void noteLibrary(const std::string& library) {
    if (!isSystemLibrary(library)) foreignLibraries.insert(library);
  }

  void exports() {
    const DirectoryEntry entry = image.directory(kExportDirectory);
    bool found = false;
    if (const auto directory = entry.size ? image.at(entry.rva, 40) : std::nullopt) {
      const std::uint32_t count = readLe<std::uint32_t>(*directory, 24).value_or(0);
      const std::uint32_t names = readLe<std::uint32_t>(*directory, 32).value_or(0);
      for (std::uint32_t i = 0; i < count && !found; ++i) {
        const auto nameRva = image.at(names + 4 * i, 4);
        if (!nameRva) break;
        found = nameAt(image, *readLe<std::uint32_t>(*nameRva, 0)) == "DllGetClassObject";
      }
    }
    if (!found) refuse("exports no DllGetClassObject: it is not an ActiveX control the runtime can create");
  }

  // A table of thunks ending in 0, each name checked; false when it runs off the file data.
  bool names(std::uint32_t table, const std::string& library) {
    for (std::uint32_t i = 0;; ++i) {
      const auto value = thunk(table + i * thunkSize());
      if (!value) {
        refuse("the import table of " + library + " runs past the image's data: a damaged image");
        return false;
      }
      if (*value == 0) return true;
      if (!byOrdinal(*value) && !nameAt(image, static_cast<std::uint32_t>(*value) + 2)) {
        refuse("an import name of " + library + " lies outside the image's data: a damaged image");
        return false;
      }
    }
  }

  void imports() {
    const DirectoryEntry entry = image.directory(kImportDirectory);
    if (!entry.size) return;
    for (std::uint32_t at = entry.rva;; at += 20) {
      const auto descriptor = image.at(at, 20);
      if (!descriptor) return refuse("the import directory runs past the image's data: a damaged image");
      const std::uint32_t lookup = *readLe<std::uint32_t>(*descriptor, 0);
      const std::uint32_t name = *readLe<std::uint32_t>(*descriptor, 12);
      const std::uint32_t addresses = *readLe<std::uint32_t>(*descriptor, 16);
      if (name == 0) return;
      const auto library = nameAt(image, name);
      if (!library) return refuse("an imported library's name lies outside the image's data: a damaged image");
      if (addresses == 0) return refuse("the imports from " + *library + " have no address table: a damaged image");
      if (!names(lookup ? lookup : addresses, *library)) return;
      noteLibrary(*library);
    }
  }

  void delayedImports() {
    const DirectoryEntry entry = image.directory(kDelayImportDirectory);
    if (!entry.size) return;
    for (std::uint32_t at = entry.rva;; at += 32) {
      const auto descriptor = image.at(at, 32);
      if (!descriptor) return refuse("the delay-load directory runs past the image's data: a damaged image");
      const std::uint32_t attributes = *readLe<std::uint32_t>(*descriptor, 0);
      const std::uint32_t name = *readLe<std::uint32_t>(*descriptor, 4);
      const std::uint32_t addresses = *readLe<std::uint32_t>(*descriptor, 12);
      const std::uint32_t lookup = *readLe<std::uint32_t>(*descriptor, 16);
      if (name == 0) return;
      if ((attributes & 1) == 0)
        return refuse("its delay-load table uses addresses instead of offsets, which the loader does not read");
      const auto library = nameAt(image, name);
      if (!library) return refuse("a delay-loaded library's name lies outside the image's data: a damaged image");
      if (addresses == 0 || lookup == 0) return refuse("the delay-load entry of " + *library + " is incomplete");
      if (!names(lookup, *library)) return;
      noteLibrary(*library);
    }
  }

  bool insideImage(std::uint64_t address, std::uint64_t length) const {
    return address >= imageBase && address - imageBase <= imageSize && length <= imageSize - (address - imageBase);
  }

  void tls() {
    const DirectoryEntry entry = image.directory(kTlsDirectory);
    if (!entry.size) return;
    const std::uint32_t size = image.isPe32Plus() ? 40 : 24;
    const auto directory = image.at(entry.rva, size);
    if (!directory) return refuse("its TLS directory lies outside the image's data: a damaged image");
    const auto field = [&](int index) -> std::uint64_t {
      return image.isPe32Plus() ? *readLe<std::uint64_t>(*directory, 8 * index)
                                : *readLe<std::uint32_t>(*directory, 4 * index);
    };
    const std::uint64_t start = field(0), end = field(1), index = field(2);
    const std::uint32_t zeroFill = *readLe<std::uint32_t>(*directory, image.isPe32Plus() ? 32 : 16);
    if (start == 0 && end == 0 && index == 0) return;
    if (end < start || (start != 0 && !insideImage(start, end - start)) || !insideImage(index, 4) ||
        zeroFill > 0x1000000)
      refuse("its TLS directory points outside the image: the loader cannot give threads its data");
  }

  void unwindData() {
    const DirectoryEntry entry = image.directory(kExceptionDirectory);
    if (!entry.size || image.machine() != kMachineAmd64) return;
    for (std::uint32_t at = entry.rva; at + 12 <= entry.rva + entry.size; at += 12) {
      const auto function = image.at(at, 12);
      if (!function) return refuse("its function table lies outside the image's data: a damaged image");
      const std::uint32_t begin = *readLe<std::uint32_t>(*function, 0);
      const std::uint32_t end = *readLe<std::uint32_t>(*function, 4);
      const std::uint32_t unwind = *readLe<std::uint32_t>(*function, 8);
      const auto info = image.at(unwind, 4);
      if (begin >= end || end > imageSize || !info ||
          !image.at(unwind, 4 + 2 * (((*info)[2] + 1u) & ~1u)))
        return refuse("its function table has an entry whose unwind data lies outside the image: a damaged image");
    }
  }
};

}  // namespace

bool isSystemLibrary(const std::string& library) {
  std::string name = lower(library);
  if (name.rfind("api-ms-win-", 0) == 0 || name.rfind("ext-ms-win-", 0) == 0) return true;
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) name.resize(name.size() - 4);
  return std::find(std::begin(kSystemLibraries), std::end(kSystemLibraries), name) != std::end(kSystemLibraries);
}

ControlImageReport checkControlImage(const PeImage& image) {
  ControlImageReport report;
  Checker checker(image, report);
  const ByteSpan bytes = image.bytes();
  const std::size_t optional = image.offsets().optionalHeader;
  checker.imageBase = image.isPe32Plus() ? readLe<std::uint64_t>(bytes, optional + 24).value_or(0)
                                         : readLe<std::uint32_t>(bytes, optional + 28).value_or(0);
  checker.imageSize = readLe<std::uint32_t>(bytes, image.offsets().sizeOfImage).value_or(0);
  checker.exports();
  checker.imports();
  checker.delayedImports();
  checker.tls();
  checker.unwindData();
  for (const std::string& library : checker.foreignLibraries) {
    report.warnings.push_back("imports " + library +
                              ", which is not part of Windows: the projector does not carry it, so every machine "
                              "that runs the projector must have it installed");
  }
  return report;
}

}  // namespace lumo::pe

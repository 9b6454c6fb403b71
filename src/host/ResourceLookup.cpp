// Walks the three levels of a resource directory with bounds checks on every entry and name.
#include "host/ResourceLookup.h"

#include <string>

namespace lumo {
namespace {

// The ANSI form of a directory entry's UTF-16 name, or nothing when it does not fit the image.
std::optional<std::string> entryName(const BoundedBytes& image, DWORD directoryRva, DWORD nameOffset) {
  const uint64_t at = uint64_t{directoryRva} + nameOffset;
  const auto* length = image.at<WORD>(at);
  if (!length) return std::nullopt;
  const auto* text = image.at<wchar_t>(at + sizeof(WORD), *length);
  if (!text) return std::nullopt;
  if (*length == 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, *length, nullptr, 0, nullptr, nullptr);
  std::string converted(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text, *length, converted.data(), bytes, nullptr, nullptr);
  return converted;
}

const IMAGE_RESOURCE_DIRECTORY_ENTRY* entries(const BoundedBytes& image, uint64_t tableRva, DWORD& count) {
  const auto* table = image.at<IMAGE_RESOURCE_DIRECTORY>(tableRva);
  if (!table) return nullptr;
  count = DWORD{table->NumberOfNamedEntries} + table->NumberOfIdEntries;
  return image.at<IMAGE_RESOURCE_DIRECTORY_ENTRY>(tableRva + sizeof(IMAGE_RESOURCE_DIRECTORY), count);
}

// The entry matching an id or a name in the table at `tableRva`.
const IMAGE_RESOURCE_DIRECTORY_ENTRY* findEntry(const BoundedBytes& image, DWORD directoryRva, uint64_t tableRva,
                                                const char* key) {
  DWORD count = 0;
  const IMAGE_RESOURCE_DIRECTORY_ENTRY* list = entries(image, tableRva, count);
  if (!list) return nullptr;
  const bool byId = IS_INTRESOURCE(key);
  for (DWORD i = 0; i < count; ++i) {
    const IMAGE_RESOURCE_DIRECTORY_ENTRY& entry = list[i];
    if (byId) {
      if (!entry.NameIsString && entry.Id == reinterpret_cast<uintptr_t>(key)) return &entry;
    } else if (entry.NameIsString) {
      const std::optional<std::string> name = entryName(image, directoryRva, entry.NameOffset);
      if (name && *name == key) return &entry;
    }
  }
  return nullptr;
}

// The table a directory entry points to, or nothing when it points at data instead.
std::optional<uint64_t> subdirectory(DWORD directoryRva, const IMAGE_RESOURCE_DIRECTORY_ENTRY* entry) {
  if (!entry || !entry->DataIsDirectory) return std::nullopt;
  return uint64_t{directoryRva} + entry->OffsetToDirectory;
}

}  // namespace

std::vector<WORD> resourceLanguageOrder() {
  return {LANGIDFROMLCID(GetThreadLocale()), LANGIDFROMLCID(GetSystemDefaultLCID()),
          LANGIDFROMLCID(GetUserDefaultLCID()), 0, 1033};
}

std::optional<ResourceEntry> findImageResource(const BoundedBytes& image, DWORD directoryRva, const char* type,
                                               const char* name) {
  if (directoryRva == 0) return std::nullopt;
  const std::optional<uint64_t> names = subdirectory(directoryRva, findEntry(image, directoryRva, directoryRva, type));
  if (!names) return std::nullopt;
  const std::optional<uint64_t> languages = subdirectory(directoryRva, findEntry(image, directoryRva, *names, name));
  if (!languages) return std::nullopt;
  DWORD count = 0;
  const IMAGE_RESOURCE_DIRECTORY_ENTRY* list = entries(image, *languages, count);
  if (!list || count == 0) return std::nullopt;
  const IMAGE_RESOURCE_DIRECTORY_ENTRY* chosen = nullptr;
  for (WORD language : resourceLanguageOrder()) {
    for (DWORD i = 0; i < count && !chosen; ++i) {
      if (!list[i].NameIsString && list[i].Id == language) chosen = &list[i];
    }
    if (chosen) break;
  }
  if (!chosen) chosen = &list[0];
  if (chosen->DataIsDirectory) return std::nullopt;
  const auto* data = image.at<IMAGE_RESOURCE_DATA_ENTRY>(uint64_t{directoryRva} + chosen->OffsetToData);
  if (!data || !image.contains(data->OffsetToData, data->Size)) return std::nullopt;
  return ResourceEntry{data->OffsetToData, data->Size, chosen->NameIsString ? WORD{0} : chosen->Id};
}

}  // namespace lumo

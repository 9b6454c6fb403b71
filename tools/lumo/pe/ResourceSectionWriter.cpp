#include "ResourceSectionWriter.h"

#include <algorithm>
#include <type_traits>
#include <vector>

namespace lumo::pe {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::size_t kDirectorySize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kDataAlignment = 8;

std::size_t directorySize(std::size_t entries) { return kDirectorySize + entries * kEntrySize; }

class SectionWriter {
 public:
  SectionWriter(const ResourceTree& tree, std::uint32_t sectionRva) : tree_(tree), rva_(sectionRva) {}

  Bytes write() {
    layOut();
    out_.assign(dataStart_, 0);
    // Directories: the root, one per type, then one per type and name.
    std::size_t typeDir = directorySize(tree_.size());
    std::size_t languageDir = typeDir;
    for (const auto& [type, names] : tree_) languageDir += directorySize(names.size());
    std::size_t dataEntry = dataEntriesStart_;

    std::size_t at = putDirectoryHeader(0, tree_);
    for (const auto& [type, names] : tree_) {
      at = putEntry(at, type, kHighBit | static_cast<std::uint32_t>(typeDir));
      std::size_t nameAt = putDirectoryHeader(typeDir, names);
      typeDir += directorySize(names.size());
      for (const auto& [name, languages] : names) {
        nameAt = putEntry(nameAt, name, kHighBit | static_cast<std::uint32_t>(languageDir));
        std::size_t languageAt = putDirectoryHeader(languageDir, languages);
        languageDir += directorySize(languages.size());
        for (const auto& [language, data] : languages) {
          languageAt = putEntry(languageAt, ResourceKey(language), static_cast<std::uint32_t>(dataEntry));
          putDataEntry(dataEntry, data);
          dataEntry += kDataEntrySize;
        }
      }
    }
    return std::move(out_);
  }

 private:
  // Offsets of the data entries, the names and the data; every name once.
  void layOut() {
    std::size_t directories = directorySize(tree_.size());
    std::size_t dataEntries = 0;
    std::vector<const std::u16string*> names;
    for (const auto& [type, nameMap] : tree_) {
      if (!type.isId()) names.push_back(&type.name());
      directories += directorySize(nameMap.size());
      for (const auto& [name, languages] : nameMap) {
        if (!name.isId()) names.push_back(&name.name());
        directories += directorySize(languages.size());
        dataEntries += languages.size();
      }
    }
    dataEntriesStart_ = directories;
    std::size_t at = directories + dataEntries * kDataEntrySize;
    for (const auto* name : names) {
      if (nameOffsets_.emplace(*name, at).second) at += 2 + 2 * name->size();
    }
    at = alignUp(at, kDataAlignment);
    for (const auto& [type, nameMap] : tree_) {
      for (const auto& [name, languages] : nameMap) {
        for (const auto& [language, data] : languages) {
          dataOffsets_.push_back(at);
          at = alignUp(at + data.bytes.size(), kDataAlignment);
        }
      }
    }
    dataStart_ = at;
  }

  template <typename Map>
  std::size_t putDirectoryHeader(std::size_t at, const Map& entries) {
    std::uint16_t named = 0;
    for (const auto& entry : entries) {
      if constexpr (std::is_same_v<typename Map::key_type, ResourceKey>) named += !entry.first.isId();
    }
    writeLe<std::uint16_t>(out_, at + 12, named);
    writeLe<std::uint16_t>(out_, at + 14, static_cast<std::uint16_t>(entries.size() - named));
    return at + kDirectorySize;
  }

  std::size_t putEntry(std::size_t at, const ResourceKey& key, std::uint32_t target) {
    std::uint32_t nameField = 0;
    if (key.isId()) {
      nameField = key.id();
    } else {
      const std::size_t nameAt = nameOffsets_.at(key.name());
      nameField = kHighBit | static_cast<std::uint32_t>(nameAt);
      writeLe<std::uint16_t>(out_, nameAt, static_cast<std::uint16_t>(key.name().size()));
      for (std::size_t i = 0; i < key.name().size(); ++i) writeLe<std::uint16_t>(out_, nameAt + 2 + 2 * i, key.name()[i]);
    }
    writeLe<std::uint32_t>(out_, at, nameField);
    writeLe<std::uint32_t>(out_, at + 4, target);
    return at + kEntrySize;
  }

  void putDataEntry(std::size_t at, const ResourceData& data) {
    const std::size_t dataAt = dataOffsets_[dataIndex_++];
    writeLe<std::uint32_t>(out_, at, rva_ + static_cast<std::uint32_t>(dataAt));
    writeLe<std::uint32_t>(out_, at + 4, static_cast<std::uint32_t>(data.bytes.size()));
    writeLe<std::uint32_t>(out_, at + 8, data.codePage);
    std::copy(data.bytes.begin(), data.bytes.end(), out_.begin() + static_cast<std::ptrdiff_t>(dataAt));
  }

  const ResourceTree& tree_;
  std::uint32_t rva_;
  Bytes out_;
  std::size_t dataEntriesStart_ = 0;
  std::size_t dataStart_ = 0;
  std::map<std::u16string, std::size_t> nameOffsets_;
  std::vector<std::size_t> dataOffsets_;
  std::size_t dataIndex_ = 0;
};

}  // namespace

Bytes writeResourceSection(const ResourceTree& tree, std::uint32_t sectionRva) {
  return SectionWriter(tree, sectionRva).write();
}

}  // namespace lumo::pe

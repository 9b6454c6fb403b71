#include "ResourceTree.h"

namespace lumo::pe {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint32_t kMaxEntries = 0xFFFF;
// Directories may share subdirectories and data; these bounds keep a crafted section from
// multiplying into billions of entries or gigabytes of copies.
constexpr std::uint64_t kMaxVisitedEntries = 1u << 18;
constexpr std::uint64_t kMaxCopiesPerImageByte = 4;

// Walks the three directory levels inside the section's bytes; offsets are relative to the
// section start. The fixed depth also ends any loop of directories pointing at each other.
class TreeReader {
 public:
  TreeReader(const PeImage& image, ByteSpan section, std::string& error)
      : image_(image), section_(section), error_(error) {}

  bool read(ResourceTree& tree) {
    return readDirectory(0, 0, [&](const ResourceKey& type, std::uint32_t typeDir) {
      return readDirectory(typeDir, 1, [&](const ResourceKey& name, std::uint32_t nameDir) {
        return readDirectory(nameDir, 2, [&](const ResourceKey& language, std::uint32_t dataEntry) {
          if (!language.isId()) return fail("a resource language is a text, not a number");
          auto data = readData(dataEntry);
          if (!data) return false;
          tree[type][name][language.id()] = std::move(*data);
          return true;
        });
      });
    });
  }

 private:
  bool fail(const std::string& what) {
    error_ = "has a damaged resource directory: " + what;
    return false;
  }

  // Calls `visit(key, offset)` for each entry; levels 0 and 1 hold directories, level 2 data.
  template <typename Visit>
  bool readDirectory(std::uint32_t offset, int level, Visit&& visit) {
    const auto named = readLe<std::uint16_t>(section_, std::uint64_t{offset} + 12);
    const auto ids = readLe<std::uint16_t>(section_, std::uint64_t{offset} + 14);
    if (!ids) return fail("a directory lies outside the resource section");
    const std::uint32_t count = std::uint32_t{*named} + *ids;
    if (count > kMaxEntries || std::uint64_t{offset} + 16 + std::uint64_t{count} * 8 > section_.size()) {
      return fail("a directory's entries lie outside the resource section");
    }
    visited_ += count;
    if (visited_ > kMaxVisitedEntries) return fail("too many entries");
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t nameField = *readLe<std::uint32_t>(section_, offset + 16 + 8 * i);
      const std::uint32_t target = *readLe<std::uint32_t>(section_, offset + 16 + 8 * i + 4);
      auto key = readKey(nameField);
      if (!key) return false;
      const bool isDirectory = (target & kHighBit) != 0;
      if (isDirectory != (level < 2)) return fail("the tree is not three levels deep (type, name, language)");
      if (!visit(*key, target & ~kHighBit)) return false;
    }
    return true;
  }

  std::optional<ResourceKey> readKey(std::uint32_t field) {
    if (!(field & kHighBit)) {
      if (field > 0xFFFF) return fail("an entry's number is larger than 65535"), std::nullopt;
      return ResourceKey(static_cast<std::uint16_t>(field));
    }
    const std::uint32_t at = field & ~kHighBit;
    const auto length = readLe<std::uint16_t>(section_, at);
    if (!length || std::uint64_t{at} + 2 + std::uint64_t{*length} * 2 > section_.size()) {
      return fail("a name lies outside the resource section"), std::nullopt;
    }
    std::u16string name;
    for (std::uint32_t i = 0; i < *length; ++i) name += static_cast<char16_t>(*readLe<std::uint16_t>(section_, at + 2 + 2 * i));
    return ResourceKey(std::move(name));
  }

  std::optional<ResourceData> readData(std::uint32_t entry) {
    const auto rva = readLe<std::uint32_t>(section_, entry);
    const auto size = readLe<std::uint32_t>(section_, std::uint64_t{entry} + 4);
    const auto codePage = readLe<std::uint32_t>(section_, std::uint64_t{entry} + 8);
    if (!codePage) return fail("a data entry lies outside the resource section"), std::nullopt;
    const auto bytes = image_.at(*rva, *size);
    if (!bytes) return fail("a resource's data lies outside the image's sections"), std::nullopt;
    copied_ += *size;
    if (copied_ > kMaxCopiesPerImageByte * image_.bytes().size()) return fail("its data is shared too often"), std::nullopt;
    return ResourceData{Bytes(bytes->begin(), bytes->end()), *codePage};
  }

  const PeImage& image_;
  ByteSpan section_;
  std::string& error_;
  std::uint64_t visited_ = 0;
  std::uint64_t copied_ = 0;
};

}  // namespace

std::optional<ResourceTree> readResourceTree(const PeImage& image, std::string& error) {
  ResourceTree tree;
  const DirectoryEntry dir = image.directory(kDirectoryResource);
  if (dir.rva == 0 && dir.size == 0) return tree;
  const Section* section = image.sectionAt(dir.rva);
  if (!section || section->rawSize == 0) {
    error = "has a damaged resource directory: it lies outside the image's sections";
    return std::nullopt;
  }
  // The directory may refer to anything from its start to the end of its section.
  const std::uint32_t start = dir.rva - section->virtualAddress;
  if (start >= section->rawSize) {
    error = "has a damaged resource directory: it lies outside the section's file data";
    return std::nullopt;
  }
  const ByteSpan bytes = image.bytes().subspan(section->rawPointer + start, section->rawSize - start);
  if (!TreeReader(image, bytes, error).read(tree)) return std::nullopt;
  return tree;
}

const ResourceData* findResource(const ResourceTree& tree, const ResourceKey& type, const ResourceKey& name) {
  const auto t = tree.find(type);
  if (t == tree.end()) return nullptr;
  const auto n = t->second.find(name);
  if (n == t->second.end() || n->second.empty()) return nullptr;
  return &n->second.begin()->second;
}

}  // namespace lumo::pe

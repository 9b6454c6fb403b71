#include "IconFile.h"

#include <set>

namespace lumo::pe {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint16_t kIconType = 1;

std::uint32_t dimension(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

// The icon numbers `group` lists.
std::set<std::uint16_t> groupMembers(ByteSpan group) {
  std::set<std::uint16_t> ids;
  const auto count = readLe<std::uint16_t>(group, 4);
  for (std::size_t i = 0; count && i < *count; ++i) {
    if (auto id = readLe<std::uint16_t>(group, kHeaderSize + i * kGroupEntrySize + 12)) ids.insert(*id);
  }
  return ids;
}

}  // namespace

std::optional<std::vector<IconImage>> readIconFile(ByteSpan file, std::string& error) {
  const auto type = readLe<std::uint16_t>(file, 2);
  const auto count = readLe<std::uint16_t>(file, 4);
  if (!count || *readLe<std::uint16_t>(file, 0) != 0 || *type != kIconType) {
    error = "is not an ICO icon file";
    return std::nullopt;
  }
  if (*count == 0) {
    error = "is not a usable icon: it holds no images";
    return std::nullopt;
  }
  std::vector<IconImage> images;
  for (std::size_t i = 0; i < *count; ++i) {
    const std::size_t entry = kHeaderSize + i * kFileEntrySize;
    const auto offset = readLe<std::uint32_t>(file, entry + 12);
    if (!offset) {
      error = "is not a usable icon: truncated directory";
      return std::nullopt;
    }
    const std::uint32_t size = *readLe<std::uint32_t>(file, entry + 8);
    if (size == 0 || *offset > file.size() || file.size() - *offset < size) {
      error = "is not a usable icon: image " + std::to_string(i) + " is truncated";
      return std::nullopt;
    }
    IconImage image;
    image.width = dimension(file[entry]);
    image.height = dimension(file[entry + 1]);
    image.colorCount = file[entry + 2];
    image.planes = *readLe<std::uint16_t>(file, entry + 4);
    image.bitCount = *readLe<std::uint16_t>(file, entry + 6);
    image.bytes.assign(file.begin() + *offset, file.begin() + *offset + size);
    images.push_back(std::move(image));
  }
  return images;
}

void installIconGroup(ResourceTree& tree, std::uint16_t groupId, const std::vector<IconImage>& images,
                      std::uint16_t language) {
  NameMap& groups = tree[ResourceKey(kTypeGroupIcon)];
  NameMap& icons = tree[ResourceKey(kTypeIcon)];
  if (const auto old = groups.find(ResourceKey(groupId)); old != groups.end()) {
    if (!old->second.empty()) language = old->second.begin()->first;
    std::set<std::uint16_t> unused;
    for (const auto& [lang, data] : old->second) unused.merge(groupMembers(data.bytes));
    groups.erase(old);
    for (const auto& [name, languages] : groups) {
      for (const auto& [lang, data] : languages) {
        for (std::uint16_t id : groupMembers(data.bytes)) unused.erase(id);
      }
    }
    for (std::uint16_t id : unused) icons.erase(ResourceKey(id));
  }

  Bytes group;
  appendLe<std::uint16_t>(group, 0);
  appendLe<std::uint16_t>(group, kIconType);
  appendLe<std::uint16_t>(group, static_cast<std::uint16_t>(images.size()));
  std::uint16_t nextId = 1;
  for (const IconImage& image : images) {
    while (icons.contains(ResourceKey(nextId))) ++nextId;
    icons[ResourceKey(nextId)][language] = ResourceData{image.bytes, 0};
    group.push_back(static_cast<std::uint8_t>(image.width & 0xFF));  // 256 is stored as 0
    group.push_back(static_cast<std::uint8_t>(image.height & 0xFF));
    group.push_back(image.colorCount);
    group.push_back(0);
    appendLe<std::uint16_t>(group, image.planes);
    appendLe<std::uint16_t>(group, image.bitCount);
    appendLe<std::uint32_t>(group, static_cast<std::uint32_t>(image.bytes.size()));
    appendLe<std::uint16_t>(group, nextId);
  }
  groups[ResourceKey(groupId)][language] = ResourceData{std::move(group), 0};
}

std::optional<std::vector<IconImage>> readIconGroup(ByteSpan group) {
  const auto count = readLe<std::uint16_t>(group, 4);
  if (!count || *readLe<std::uint16_t>(group, 2) != kIconType ||
      group.size() < kHeaderSize + std::size_t{*count} * kGroupEntrySize) {
    return std::nullopt;
  }
  std::vector<IconImage> images;
  for (std::size_t i = 0; i < *count; ++i) {
    const std::size_t entry = kHeaderSize + i * kGroupEntrySize;
    IconImage image;
    image.width = dimension(group[entry]);
    image.height = dimension(group[entry + 1]);
    image.colorCount = group[entry + 2];
    image.planes = *readLe<std::uint16_t>(group, entry + 4);
    image.bitCount = *readLe<std::uint16_t>(group, entry + 6);
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace lumo::pe

// The resources of a PE image as a tree of type, name and language, each leaf holding its
// bytes: read from a resource section, changed by the builder, written back by the writer.
#pragma once

#include "ByteOrder.h"
#include "PeImage.h"

#include <compare>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace lumo::pe {

inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kTypeVersion = 16;

// A type or name: a number, or a UTF-16 text. Texts sort before numbers, as the loader's
// binary search expects; texts among themselves by code unit, numbers by value.
struct ResourceKey {
  std::variant<std::u16string, std::uint16_t> value;

  ResourceKey(std::uint16_t id) : value(id) {}
  ResourceKey(std::u16string name) : value(std::move(name)) {}
  bool isId() const { return std::holds_alternative<std::uint16_t>(value); }
  std::uint16_t id() const { return std::get<std::uint16_t>(value); }
  const std::u16string& name() const { return std::get<std::u16string>(value); }
  auto operator<=>(const ResourceKey&) const = default;
  bool operator==(const ResourceKey&) const = default;
};

struct ResourceData {
  Bytes bytes;
  std::uint32_t codePage = 0;
  bool operator==(const ResourceData&) const = default;
};

using LanguageMap = std::map<std::uint16_t, ResourceData>;
using NameMap = std::map<ResourceKey, LanguageMap>;
using ResourceTree = std::map<ResourceKey, NameMap>;

// The image's resources; an image without a resource directory has an empty tree. nullopt with
// `error` when the directory is damaged (entries outside the section, a loop, a bad depth).
std::optional<ResourceTree> readResourceTree(const PeImage& image, std::string& error);

// The first language's data of `type`/`name`, or nullptr.
const ResourceData* findResource(const ResourceTree& tree, const ResourceKey& type, const ResourceKey& name);

}  // namespace lumo::pe

// Icon files (.ico) and icon groups: reading the images of a file, putting them into a
// resource tree as one icon group with its icon resources, and listing a group's images.
#pragma once

#include "ResourceTree.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo::pe {

struct IconImage {
  std::uint32_t width = 0;   // 1 to 256
  std::uint32_t height = 0;
  std::uint8_t colorCount = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  Bytes bytes;  // the image as the file stores it: a bitmap without file header, or PNG
};

// The images of an .ico file, in file order; nullopt with `error` when it is not one or an
// image is missing.
std::optional<std::vector<IconImage>> readIconFile(ByteSpan file, std::string& error);

// Makes `groupId` the group of `images`: the group's old icon resources go (unless another
// group uses them too) and the images become icon resources under the lowest free numbers.
// The group keeps its language if it had one, otherwise takes `language`.
void installIconGroup(ResourceTree& tree, std::uint16_t groupId, const std::vector<IconImage>& images,
                      std::uint16_t language);

// The images a group resource lists (sizes and colour depths, no bytes); nullopt when damaged.
std::optional<std::vector<IconImage>> readIconGroup(ByteSpan group);

}  // namespace lumo::pe

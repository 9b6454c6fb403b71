// Replaces the resource section of a PE image with a new tree: the section is rewritten in
// place, the sections after it (the base relocations) move with their directory entries, and
// the headers (section sizes, image size, data directories) follow. No Windows API.
#pragma once

#include "PeImage.h"
#include "ResourceTree.h"

#include <optional>
#include <string>

namespace lumo::pe {

// The rewritten file; nullopt with `error` when the image cannot be rewritten safely (no
// resource section, a section after it that code refers to, a signature, ...). The checksum
// field is left for the caller, who knows what else the file will hold.
std::optional<Bytes> replaceResources(const PeImage& image, const ResourceTree& tree, std::string& error);

}  // namespace lumo::pe

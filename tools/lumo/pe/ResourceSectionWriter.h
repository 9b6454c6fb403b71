// Writes a resource tree as the contents of a resource section: the directories level by
// level, then the data entries, the names and the data, each piece aligned as compilers do.
#pragma once

#include "ResourceTree.h"

namespace lumo::pe {

// The section's bytes for a section loaded at `sectionRva` (data entries hold RVAs).
Bytes writeResourceSection(const ResourceTree& tree, std::uint32_t sectionRva);

}  // namespace lumo::pe

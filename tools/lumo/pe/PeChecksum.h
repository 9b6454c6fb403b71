// The PE checksum as the image loader's helpers compute it: 16-bit one's-complement sum of the
// whole file with the checksum field counted as zero, plus the file's length.
#pragma once

#include "ByteOrder.h"

namespace lumo::pe {

std::uint32_t peChecksum(ByteSpan file, std::size_t checksumOffset);

// Stores the checksum of `file` in its field.
void updateChecksum(Bytes& file, std::size_t checksumOffset);

}  // namespace lumo::pe

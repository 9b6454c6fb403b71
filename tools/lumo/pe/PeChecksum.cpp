#include "PeChecksum.h"

namespace lumo::pe {

std::uint32_t peChecksum(ByteSpan file, std::size_t checksumOffset) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    std::uint32_t word = file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
    // The field's four bytes count as zero, wherever the field starts.
    if (i >= checksumOffset && i < checksumOffset + 4) word &= 0xFF00;
    if (i + 1 >= checksumOffset && i + 1 < checksumOffset + 4) word &= 0x00FF;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}

void updateChecksum(Bytes& file, std::size_t checksumOffset) {
  if (checksumOffset + 4 > file.size()) return;
  writeLe<std::uint32_t>(file, checksumOffset, peChecksum(file, checksumOffset));
}

}  // namespace lumo::pe

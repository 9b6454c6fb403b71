#include "PeImage.h"

#include <algorithm>
#include <cstdio>

namespace lumo::pe {

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kMaxDirectories = 16;

bool isPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

}  // namespace

std::optional<PeImage> PeImage::parse(ByteSpan bytes, std::string& error) {
  PeImage image;
  image.bytes_ = bytes;
  if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z') {
    error = "is not a Windows program: no MZ header";
    return std::nullopt;
  }
  const std::uint32_t peOffset = *readLe<std::uint32_t>(bytes, 0x3C);
  const auto signature = readLe<std::uint32_t>(bytes, peOffset);
  if (!signature || *signature != 0x00004550) {
    error = "is not a Windows program: no PE header";
    return std::nullopt;
  }
  auto& o = image.offsets_;
  o.fileHeader = peOffset + 4u;
  const auto machine = readLe<std::uint16_t>(bytes, o.fileHeader);
  const auto sectionCount = readLe<std::uint16_t>(bytes, o.fileHeader + 2);
  const auto symbols = readLe<std::uint32_t>(bytes, o.fileHeader + 8);
  const auto optionalSize = readLe<std::uint16_t>(bytes, o.fileHeader + 16);
  const auto characteristics = readLe<std::uint16_t>(bytes, o.fileHeader + 18);
  o.optionalHeader = o.fileHeader + kFileHeaderSize;
  const auto magic = readLe<std::uint16_t>(bytes, o.optionalHeader);
  if (!characteristics || !magic) {
    error = "is not a usable Windows program: truncated PE header";
    return std::nullopt;
  }
  image.machine_ = *machine;
  image.characteristics_ = *characteristics;
  image.pointerToSymbolTable_ = *symbols;
  if (*magic != kMagicPe32 && *magic != kMagicPe32Plus) {
    error = "is not a usable Windows program: unknown optional header kind";
    return std::nullopt;
  }
  image.pe32Plus_ = *magic == kMagicPe32Plus;
  const std::size_t countField = image.pe32Plus_ ? 108 : 92;
  o.sizeOfInitializedData = o.optionalHeader + 8;
  o.sizeOfImage = o.optionalHeader + 56;
  o.checksum = o.optionalHeader + 64;
  o.dataDirectories = o.optionalHeader + countField + 4;
  const auto sectionAlignment = readLe<std::uint32_t>(bytes, o.optionalHeader + 32);
  const auto fileAlignment = readLe<std::uint32_t>(bytes, o.optionalHeader + 36);
  const auto sizeOfHeaders = readLe<std::uint32_t>(bytes, o.optionalHeader + 60);
  const auto directoryCount = readLe<std::uint32_t>(bytes, o.optionalHeader + countField);
  if (!directoryCount || *optionalSize < countField + 4) {
    error = "is not a usable Windows program: truncated optional header";
    return std::nullopt;
  }
  if (!isPowerOfTwo(*fileAlignment) || !isPowerOfTwo(*sectionAlignment) || *sectionAlignment < *fileAlignment) {
    error = "is not a usable Windows program: bad section or file alignment";
    return std::nullopt;
  }
  image.sectionAlignment_ = *sectionAlignment;
  image.fileAlignment_ = *fileAlignment;
  image.sizeOfHeaders_ = *sizeOfHeaders;
  const std::uint32_t count = std::min(*directoryCount, kMaxDirectories);
  if (countField + 4 + std::uint64_t{count} * 8 > *optionalSize) {
    error = "is not a usable Windows program: the data directories do not fit the optional header";
    return std::nullopt;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto rva = readLe<std::uint32_t>(bytes, o.dataDirectories + 8 * i);
    const auto size = readLe<std::uint32_t>(bytes, o.dataDirectories + 8 * i + 4);
    if (!size) {
      error = "is not a usable Windows program: truncated data directories";
      return std::nullopt;
    }
    image.directories_.push_back({*rva, *size});
  }

  const std::size_t table = o.optionalHeader + *optionalSize;
  if (table + std::uint64_t{*sectionCount} * kSectionHeaderSize > std::min<std::uint64_t>(*sizeOfHeaders, bytes.size())) {
    error = "is not a usable Windows program: the section table lies outside the headers";
    return std::nullopt;
  }
  for (std::size_t i = 0; i < *sectionCount; ++i) {
    const std::size_t h = table + i * kSectionHeaderSize;
    Section s;
    for (std::size_t c = 0; c < 8 && bytes[h + c]; ++c) s.name += static_cast<char>(bytes[h + c]);
    s.virtualSize = *readLe<std::uint32_t>(bytes, h + 8);
    s.virtualAddress = *readLe<std::uint32_t>(bytes, h + 12);
    s.rawSize = *readLe<std::uint32_t>(bytes, h + 16);
    s.rawPointer = *readLe<std::uint32_t>(bytes, h + 20);
    s.characteristics = *readLe<std::uint32_t>(bytes, h + 36);
    s.headerOffset = h;
    if (s.rawSize && std::uint64_t{s.rawPointer} + s.rawSize > bytes.size()) {
      error = "is not a usable Windows program: section " + s.name + " lies outside the file";
      return std::nullopt;
    }
    if (!image.sections_.empty() && s.virtualAddress < image.sections_.back().virtualAddress +
                                                           std::uint64_t{image.sections_.back().extent()}) {
      error = "is not a usable Windows program: section " + s.name + " overlaps the one before it";
      return std::nullopt;
    }
    image.sections_.push_back(std::move(s));
  }
  return image;
}

const Section* PeImage::sectionAt(std::uint32_t rva) const {
  for (const auto& s : sections_) {
    if (rva >= s.virtualAddress && rva - s.virtualAddress < s.extent()) return &s;
  }
  return nullptr;
}

std::optional<ByteSpan> PeImage::at(std::uint32_t rva, std::uint32_t size) const {
  const Section* s = sectionAt(rva);
  if (!s) return std::nullopt;
  const std::uint64_t inSection = rva - s->virtualAddress;
  if (inSection + size > s->rawSize) return std::nullopt;
  return bytes_.subspan(s->rawPointer + inSection, size);
}

std::uint64_t PeImage::endOfSectionData() const {
  std::uint64_t end = sizeOfHeaders_;
  for (const auto& s : sections_) {
    if (s.rawSize) end = std::max(end, std::uint64_t{s.rawPointer} + s.rawSize);
  }
  return end;
}

std::string machineName(std::uint16_t machine) {
  if (machine == kMachineI386) return "x86";
  if (machine == kMachineAmd64) return "x86-64";
  char text[16];
  std::snprintf(text, sizeof text, "machine 0x%04X", machine);
  return text;
}

}  // namespace lumo::pe

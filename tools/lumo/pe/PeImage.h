// A PE image (PE32 or PE32+) read from its file bytes: headers, sections and data directories,
// with every field checked to lie inside the file before it is read. No Windows API.
#pragma once

#include "ByteOrder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumo::pe {

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;
inline constexpr std::uint16_t kFileIsDll = 0x2000;
inline constexpr std::uint32_t kSectionDiscardable = 0x02000000;
inline constexpr std::uint32_t kSectionInitializedData = 0x00000040;

enum DataDirectory : std::size_t {
  kDirectoryResource = 2,
  kDirectoryCertificate = 4,
  kDirectoryBaseRelocation = 5,
  kDirectoryDebug = 6,
};

struct Section {
  std::string name;  // up to 8 characters
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawPointer = 0;
  std::uint32_t characteristics = 0;
  std::size_t headerOffset = 0;  // of its 40-byte header in the file

  std::uint32_t extent() const { return virtualSize ? virtualSize : rawSize; }
};

struct DirectoryEntry {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

// File offsets of the header fields the resource rewriter changes.
struct HeaderOffsets {
  std::size_t fileHeader = 0;      // COFF file header, after "PE\0\0"
  std::size_t optionalHeader = 0;
  std::size_t checksum = 0;
  std::size_t sizeOfImage = 0;
  std::size_t sizeOfInitializedData = 0;
  std::size_t dataDirectories = 0;  // first entry; 8 bytes each
};

class PeImage {
 public:
  // Parses the headers of `bytes`, which must outlive the image; nullopt with `error` saying
  // what is wrong ("no MZ header", "section .text lies outside the file", ...).
  static std::optional<PeImage> parse(ByteSpan bytes, std::string& error);

  ByteSpan bytes() const { return bytes_; }
  std::uint16_t machine() const { return machine_; }
  bool isPe32Plus() const { return pe32Plus_; }
  bool isDll() const { return (characteristics_ & kFileIsDll) != 0; }
  std::uint32_t sectionAlignment() const { return sectionAlignment_; }
  std::uint32_t fileAlignment() const { return fileAlignment_; }
  std::uint32_t sizeOfHeaders() const { return sizeOfHeaders_; }
  std::uint32_t pointerToSymbolTable() const { return pointerToSymbolTable_; }
  const std::vector<Section>& sections() const { return sections_; }
  const std::vector<DirectoryEntry>& directories() const { return directories_; }
  DirectoryEntry directory(std::size_t index) const {
    return index < directories_.size() ? directories_[index] : DirectoryEntry{};
  }
  const HeaderOffsets& offsets() const { return offsets_; }

  // The section whose virtual range holds `rva`, or nullptr.
  const Section* sectionAt(std::uint32_t rva) const;
  // The `size` bytes at `rva`, when they all lie in one section's file data.
  std::optional<ByteSpan> at(std::uint32_t rva, std::uint32_t size) const;
  // End of the last section's file data: anything after it is not part of the image.
  std::uint64_t endOfSectionData() const;

 private:
  ByteSpan bytes_;
  std::uint16_t machine_ = 0;
  std::uint16_t characteristics_ = 0;
  bool pe32Plus_ = false;
  std::uint32_t sectionAlignment_ = 0;
  std::uint32_t fileAlignment_ = 0;
  std::uint32_t sizeOfHeaders_ = 0;
  std::uint32_t pointerToSymbolTable_ = 0;
  std::vector<Section> sections_;
  std::vector<DirectoryEntry> directories_;
  HeaderOffsets offsets_;
};

// "x86" or "x86-64" for the machines a runtime is built for; the number in hex otherwise.
std::string machineName(std::uint16_t machine);

}  // namespace lumo::pe

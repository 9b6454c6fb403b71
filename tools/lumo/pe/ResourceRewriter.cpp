#include "ResourceRewriter.h"

#include "ResourceSectionWriter.h"


namespace lumo::pe {

namespace {

constexpr std::uint64_t kMaxImageSize = 0x7FFFFFFF;
constexpr std::size_t kDebugEntrySize = 28;

bool within(std::uint64_t value, std::uint64_t start, std::uint64_t size) { return value >= start && value - start < size; }

// Where the resource section is, once the checks have shown that what follows it can move.
struct Layout {
  std::size_t resourceIndex = 0;
  const Section* resource = nullptr;
};

std::optional<Layout> checkLayout(const PeImage& image, std::string& error) {
  const DirectoryEntry dir = image.directory(kDirectoryResource);
  const Section* resource = dir.rva ? image.sectionAt(dir.rva) : nullptr;
  if (!resource || resource->rawSize == 0) {
    error = "has no resource section";
    return std::nullopt;
  }
  if (dir.rva != resource->virtualAddress) {
    error = "shares its resource section with other data: it cannot be rewritten";
    return std::nullopt;
  }
  if (image.directory(kDirectoryCertificate).size) {
    error = "is signed: rewriting its resources would break the signature (give an unsigned runtime)";
    return std::nullopt;
  }
  Layout layout;
  layout.resource = resource;
  layout.resourceIndex = static_cast<std::size_t>(resource - image.sections().data());
  const auto& sections = image.sections();
  const DirectoryEntry relocations = image.directory(kDirectoryBaseRelocation);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const Section& s = sections[i];
    if (i < layout.resourceIndex) {
      if (s.rawSize && s.rawPointer >= resource->rawPointer) {
        error = "has section " + s.name + " stored after the resource section: it cannot be rewritten";
        return std::nullopt;
      }
      continue;
    }
    if (i == layout.resourceIndex) continue;
    // Code refers to its sections by address; only data the loader finds through a directory,
    // or that it discards, can move.
    const bool holdsRelocations = relocations.size && within(relocations.rva, s.virtualAddress, s.extent());
    if (!holdsRelocations && !(s.characteristics & kSectionDiscardable)) {
      error = "has section " + s.name + " after the resource section, which cannot move: it cannot be rewritten";
      return std::nullopt;
    }
    if (s.rawSize && s.rawPointer < resource->rawPointer + std::uint64_t{resource->rawSize}) {
      error = "has section " + s.name + " stored inside the resource section: it cannot be rewritten";
      return std::nullopt;
    }
  }
  for (std::size_t d = 0; d < image.directories().size(); ++d) {
    const DirectoryEntry e = image.directories()[d];
    if (d != kDirectoryResource && d != kDirectoryCertificate && e.size &&
        within(e.rva, resource->virtualAddress, resource->extent())) {
      error = "keeps other data (directory " + std::to_string(d) + ") in its resource section: it cannot be rewritten";
      return std::nullopt;
    }
  }
  return layout;
}

// How one moved section moved, in memory and in the file.
struct Shift {
  std::uint32_t oldStart, size;
  std::uint32_t oldPointer, rawSize;
  std::int64_t virtualDelta, fileDelta;
};

// Data after the last section, which moves as a whole.
struct FileTail {
  std::uint64_t oldStart;
  std::int64_t delta;
};

// An RVA in a moved section (old addresses) moves with it.
std::uint32_t moved(const std::vector<Shift>& shifts, std::uint32_t rva) {
  for (const auto& s : shifts) {
    if (within(rva, s.oldStart, s.size)) return static_cast<std::uint32_t>(rva + s.virtualDelta);
  }
  return rva;
}

// So does a file offset in a moved section's data or in the tail.
std::uint32_t movedPointer(const std::vector<Shift>& shifts, const FileTail& tail, std::uint32_t pointer) {
  for (const auto& s : shifts) {
    if (within(pointer, s.oldPointer, s.rawSize)) return static_cast<std::uint32_t>(pointer + s.fileDelta);
  }
  return pointer >= tail.oldStart ? static_cast<std::uint32_t>(pointer + tail.delta) : pointer;
}

// Debug entries point at their data by address and by file offset; `out` has its new headers.
void moveDebugData(Bytes& out, const PeImage& before, const std::vector<Shift>& shifts, const FileTail& tail) {
  const DirectoryEntry debug = before.directory(kDirectoryDebug);
  std::string ignored;
  const auto after = debug.size ? PeImage::parse(out, ignored) : std::nullopt;
  if (!after) return;
  const std::uint32_t rva = moved(shifts, debug.rva);
  const Section* holder = after->sectionAt(rva);
  for (std::uint32_t at = 0; holder && at + kDebugEntrySize <= debug.size; at += kDebugEntrySize) {
    if (!after->at(rva + at, kDebugEntrySize)) break;
    const std::size_t entry = holder->rawPointer + (rva - holder->virtualAddress) + at;
    const std::uint32_t dataRva = *readLe<std::uint32_t>(out, entry + 20);
    const std::uint32_t dataPointer = *readLe<std::uint32_t>(out, entry + 24);
    writeLe<std::uint32_t>(out, entry + 20, dataRva ? moved(shifts, dataRva) : 0);
    writeLe<std::uint32_t>(out, entry + 24, dataPointer ? movedPointer(shifts, tail, dataPointer) : 0);
  }
}

}  // namespace

std::optional<Bytes> replaceResources(const PeImage& image, const ResourceTree& tree, std::string& error) {
  const auto layout = checkLayout(image, error);
  if (!layout) return std::nullopt;
  const Section& resource = *layout->resource;
  const ByteSpan in = image.bytes();
  const std::uint32_t fileAlignment = image.fileAlignment();
  const std::uint32_t sectionAlignment = image.sectionAlignment();

  const Bytes section = writeResourceSection(tree, resource.virtualAddress);
  if (resource.virtualAddress + alignUp(section.size(), sectionAlignment) > kMaxImageSize) {
    error = "would grow beyond 2 GB with these resources";
    return std::nullopt;
  }
  const auto newVirtualSize = static_cast<std::uint32_t>(section.size());
  const auto newRawSize = static_cast<std::uint32_t>(alignUp(section.size(), fileAlignment));

  // Everything before the resource section's data stays where it is.
  Bytes out(in.begin(), in.begin() + resource.rawPointer);
  out.insert(out.end(), section.begin(), section.end());
  padTo(out, fileAlignment);

  std::uint64_t nextAddress = alignUp(std::uint64_t{resource.virtualAddress} + newVirtualSize, sectionAlignment);
  std::uint64_t imageEnd = nextAddress;
  std::vector<Shift> shifts;
  const auto& sections = image.sections();
  for (std::size_t i = layout->resourceIndex + 1; i < sections.size(); ++i) {
    const Section& s = sections[i];
    const std::uint32_t newPointer = s.rawSize ? static_cast<std::uint32_t>(out.size()) : s.rawPointer;
    if (s.rawSize) {
      out.insert(out.end(), in.begin() + s.rawPointer, in.begin() + s.rawPointer + s.rawSize);
      padTo(out, fileAlignment);
    }
    shifts.push_back({s.virtualAddress, s.extent(), s.rawPointer, s.rawSize,
                      static_cast<std::int64_t>(nextAddress) - s.virtualAddress,
                      static_cast<std::int64_t>(newPointer) - s.rawPointer});
    writeLe<std::uint32_t>(out, s.headerOffset + 12, static_cast<std::uint32_t>(nextAddress));
    writeLe<std::uint32_t>(out, s.headerOffset + 20, newPointer);
    // The next section starts where this one's pages end, keeping the gap it had before.
    const std::uint64_t gap = i + 1 < sections.size() ? sections[i + 1].virtualAddress - s.virtualAddress
                                                      : alignUp(s.extent(), sectionAlignment);
    nextAddress += gap;
    imageEnd = nextAddress;
  }
  if (imageEnd > kMaxImageSize) {
    error = "would grow beyond 2 GB with these resources";
    return std::nullopt;
  }

  // Data after the last section (a symbol table, say) follows the moved sections.
  const std::uint64_t oldEnd = image.endOfSectionData();
  const std::int64_t tailDelta = static_cast<std::int64_t>(out.size()) - static_cast<std::int64_t>(oldEnd);
  out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(oldEnd), in.end());
  const HeaderOffsets& o = image.offsets();
  if (image.pointerToSymbolTable() >= oldEnd) {
    writeLe<std::uint32_t>(out, o.fileHeader + 8, static_cast<std::uint32_t>(image.pointerToSymbolTable() + tailDelta));
  }

  writeLe<std::uint32_t>(out, resource.headerOffset + 8, newVirtualSize);
  writeLe<std::uint32_t>(out, resource.headerOffset + 16, newRawSize);
  writeLe<std::uint32_t>(out, o.sizeOfImage, static_cast<std::uint32_t>(imageEnd));
  if (resource.characteristics & kSectionInitializedData) {
    const std::uint32_t initialized = *readLe<std::uint32_t>(in, o.sizeOfInitializedData);
    writeLe<std::uint32_t>(out, o.sizeOfInitializedData, initialized - resource.rawSize + newRawSize);
  }
  for (std::size_t d = 0; d < image.directories().size(); ++d) {
    DirectoryEntry e = image.directories()[d];
    if (d == kDirectoryResource) e.size = newVirtualSize;
    else if (d != kDirectoryCertificate && e.size) e.rva = moved(shifts, e.rva);
    writeLe<std::uint32_t>(out, o.dataDirectories + 8 * d, e.rva);
    writeLe<std::uint32_t>(out, o.dataDirectories + 8 * d + 4, e.size);
  }
  moveDebugData(out, image, shifts, FileTail{oldEnd, tailDelta});
  return out;
}

}  // namespace lumo::pe

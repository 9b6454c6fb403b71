#include "TestImage.h"

#include "pe/ResourceSectionWriter.h"

namespace lumo::pe::test {

namespace {

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kPeOffset = 0x80;
constexpr std::uint32_t kHeadersSize = 0x400;

struct SectionSpec {
  const char* name;
  std::uint32_t rva;
  Bytes bytes;
  std::uint32_t characteristics;
};

void putName(Bytes& out, std::size_t at, const char* name) {
  for (std::size_t i = 0; i < 8 && name[i]; ++i) out[at + i] = static_cast<std::uint8_t>(name[i]);
}

}  // namespace

Bytes makeTestImage(const TestImageShape& shape, const ResourceTree& tree) {
  std::vector<SectionSpec> sections;
  sections.push_back({".text", kTextRva, Bytes(0x20, 0xCC), 0x60000020});
  const Bytes resources = writeResourceSection(tree, kResourceRva);
  sections.push_back({".rsrc", kResourceRva, resources, 0x40000040});
  std::uint32_t next = static_cast<std::uint32_t>(alignUp(kResourceRva + resources.size(), kSectionAlignment));
  if (shape.dataAfterResources) {
    sections.push_back({".data", next, Bytes(0x10, 0x11), 0xC0000040});
    next += kSectionAlignment;
  }
  const std::uint32_t relocRva = next;
  sections.push_back({".reloc", relocRva, Bytes(kRelocationBytes, kRelocationFill),
                      0x40000040 | (shape.relocationsDiscardable ? kSectionDiscardable : 0)});

  const std::size_t optionalSize = shape.pe32Plus ? 240 : 224;
  const std::size_t optional = kPeOffset + 24;
  const std::size_t table = optional + optionalSize;
  Bytes out(kHeadersSize, 0);
  out[0] = 'M';
  out[1] = 'Z';
  writeLe<std::uint32_t>(out, 0x3C, kPeOffset);
  writeLe<std::uint32_t>(out, kPeOffset, 0x00004550);
  writeLe<std::uint16_t>(out, kPeOffset + 4, shape.pe32Plus ? kMachineAmd64 : kMachineI386);
  writeLe<std::uint16_t>(out, kPeOffset + 6, static_cast<std::uint16_t>(sections.size()));
  writeLe<std::uint16_t>(out, kPeOffset + 20, static_cast<std::uint16_t>(optionalSize));
  writeLe<std::uint16_t>(out, kPeOffset + 22, shape.pe32Plus ? 0x0022 : 0x0102);
  writeLe<std::uint16_t>(out, optional, shape.pe32Plus ? 0x20B : 0x10B);
  writeLe<std::uint32_t>(out, optional + 16, kTextRva);
  writeLe<std::uint32_t>(out, optional + 32, kSectionAlignment);
  writeLe<std::uint32_t>(out, optional + 36, kFileAlignment);
  writeLe<std::uint32_t>(out, optional + 56, relocRva + kSectionAlignment);
  writeLe<std::uint32_t>(out, optional + 60, kHeadersSize);
  writeLe<std::uint16_t>(out, optional + 68, 2);
  const std::size_t countField = optional + (shape.pe32Plus ? 108 : 92);
  writeLe<std::uint32_t>(out, countField, 16);
  const std::size_t directories = countField + 4;
  writeLe<std::uint32_t>(out, directories + 8 * kDirectoryResource, kResourceRva);
  writeLe<std::uint32_t>(out, directories + 8 * kDirectoryResource + 4, static_cast<std::uint32_t>(resources.size()));
  writeLe<std::uint32_t>(out, directories + 8 * kDirectoryBaseRelocation, relocRva);
  writeLe<std::uint32_t>(out, directories + 8 * kDirectoryBaseRelocation + 4, kRelocationBytes);

  std::uint32_t initialized = 0;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const SectionSpec& s = sections[i];
    const std::size_t h = table + 40 * i;
    const auto rawSize = static_cast<std::uint32_t>(alignUp(s.bytes.size(), kFileAlignment));
    putName(out, h, s.name);
    writeLe<std::uint32_t>(out, h + 8, static_cast<std::uint32_t>(s.bytes.size()));
    writeLe<std::uint32_t>(out, h + 12, s.rva);
    writeLe<std::uint32_t>(out, h + 16, rawSize);
    writeLe<std::uint32_t>(out, h + 20, static_cast<std::uint32_t>(out.size()));
    writeLe<std::uint32_t>(out, h + 36, s.characteristics);
    if (s.characteristics & kSectionInitializedData) initialized += rawSize;
    out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    padTo(out, kFileAlignment);
  }
  writeLe<std::uint32_t>(out, optional + 8, initialized);
  if (shape.debugInRelocations) {
    const std::size_t relocHeader = table + 40 * (sections.size() - 1);
    const std::uint32_t relocPointer = *readLe<std::uint32_t>(out, relocHeader + 20);
    writeLe<std::uint32_t>(out, directories + 8 * kDirectoryDebug, relocRva);
    writeLe<std::uint32_t>(out, directories + 8 * kDirectoryDebug + 4, 28);
    writeLe<std::uint32_t>(out, relocPointer + 20, relocRva + kDebugDataOffset);
    writeLe<std::uint32_t>(out, relocPointer + 24, relocPointer + kDebugDataOffset);
  }
  if (shape.symbolTail) {
    writeLe<std::uint32_t>(out, kPeOffset + 12, static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), std::begin(kSymbolTail), std::end(kSymbolTail));
  }
  if (shape.signature) {
    writeLe<std::uint32_t>(out, directories + 8 * kDirectoryCertificate, static_cast<std::uint32_t>(out.size()));
    writeLe<std::uint32_t>(out, directories + 8 * kDirectoryCertificate + 4, 8);
    out.insert(out.end(), 8, 0);
  }
  return out;
}

ResourceTree sampleTree() {
  ResourceTree tree;
  tree[ResourceKey(u"BIN")][ResourceKey(135)][0x0409] = {Bytes{'M', 'Z', 1, 2, 3}, 0};
  tree[ResourceKey(u"BIN")][ResourceKey(137)][0x0409] = {Bytes(100, 0x37), 0};
  tree[ResourceKey(kTypeIcon)][ResourceKey(1)][0x0409] = {Bytes(40, 0x01), 0};
  tree[ResourceKey(kTypeIcon)][ResourceKey(2)][0x0409] = {Bytes(41, 0x02), 0};
  // Group 107 lists icons 1 and 2.
  Bytes group = {0, 0, 1, 0, 2, 0};
  for (std::uint16_t id : {1, 2}) {
    const Bytes entry = {16, 16, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, static_cast<std::uint8_t>(id), 0};
    group.insert(group.end(), entry.begin(), entry.end());
  }
  tree[ResourceKey(kTypeGroupIcon)][ResourceKey(107)][0x0409] = {group, 0};
  tree[ResourceKey(5)][ResourceKey(u"PASSWORD")][0x0409] = {Bytes(7, 0x05), 1252};
  tree[ResourceKey(5)][ResourceKey(u"PASSWORD")][0x0407] = {Bytes(9, 0x06), 1252};
  return tree;
}

Bytes makeModuleHeader(std::uint16_t machine, bool dll) {
  TestImageShape shape;
  shape.pe32Plus = machine == kMachineAmd64;
  Bytes image = makeTestImage(shape, {});
  writeLe<std::uint16_t>(image, 0x80 + 4, machine);
  writeLe<std::uint16_t>(image, 0x80 + 22, static_cast<std::uint16_t>(dll ? 0x2022 : 0x0022));
  return image;
}

}  // namespace lumo::pe::test

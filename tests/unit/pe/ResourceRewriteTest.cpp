// The resource rewriter on images made in memory, as PE32 and PE32+: the tree survives a
// round trip, the sections after the resources move with their directory entries, and images
// that cannot be rewritten safely are refused, also damaged ones, without reading outside them.
#include "TestImage.h"

#include "pe/PeChecksum.h"
#include "pe/ResourceRewriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace lumo::pe::test {
namespace {

PeImage parsed(const Bytes& bytes) {
  std::string error;
  auto image = PeImage::parse(bytes, error);
  EXPECT_TRUE(image) << error;
  return *image;
}

ResourceTree treeOf(const Bytes& bytes) {
  std::string error;
  auto tree = readResourceTree(parsed(bytes), error);
  EXPECT_TRUE(tree) << error;
  return tree.value_or(ResourceTree{});
}

class ResourceRewrite : public ::testing::TestWithParam<bool> {
 protected:
  TestImageShape shape() const {
    TestImageShape s;
    s.pe32Plus = GetParam();
    return s;
  }
};

TEST_P(ResourceRewrite, TreeComesBackAsWritten) {
  const Bytes image = makeTestImage(shape(), sampleTree());
  const PeImage pe = parsed(image);
  EXPECT_EQ(pe.isPe32Plus(), GetParam());
  EXPECT_EQ(pe.machine(), GetParam() ? kMachineAmd64 : kMachineI386);
  const ResourceTree tree = treeOf(image);
  EXPECT_EQ(tree, sampleTree());
  const ResourceData* group = findResource(tree, ResourceKey(kTypeGroupIcon), ResourceKey(107));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->bytes.size(), 6u + 2 * 14);
}

// Grown by several pages, then shrunk back: the relocations move both ways and stay intact.
TEST_P(ResourceRewrite, SectionsAfterTheResourcesMoveWithTheirDirectory) {
  TestImageShape s = shape();
  s.symbolTail = true;
  const Bytes original = makeTestImage(s, sampleTree());
  for (const std::size_t payload : {std::size_t{0x5123}, std::size_t{3}}) {
    ResourceTree tree = sampleTree();
    tree[ResourceKey(u"BIN")][ResourceKey(135)][0x0409].bytes = Bytes(payload, 0xAB);
    std::string error;
    const auto rewritten = replaceResources(parsed(original), tree, error);
    ASSERT_TRUE(rewritten) << error;
    const PeImage out = parsed(*rewritten);
    EXPECT_EQ(treeOf(*rewritten), tree);

    const Section& rsrc = out.sections()[1];
    const Section& reloc = out.sections()[2];
    EXPECT_EQ(rsrc.virtualAddress, kResourceRva);
    EXPECT_EQ(rsrc.rawSize % out.fileAlignment(), 0u);
    EXPECT_EQ(reloc.virtualAddress, alignUp(kResourceRva + rsrc.virtualSize, out.sectionAlignment()));
    EXPECT_EQ(reloc.rawPointer, rsrc.rawPointer + rsrc.rawSize);
    EXPECT_EQ(out.directory(kDirectoryResource).size, rsrc.virtualSize);
    EXPECT_EQ(out.directory(kDirectoryBaseRelocation).rva, reloc.virtualAddress);
    EXPECT_EQ(out.directory(kDirectoryBaseRelocation).size, kRelocationBytes);
    const auto relocations = out.at(reloc.virtualAddress, kRelocationBytes);
    ASSERT_TRUE(relocations);
    EXPECT_TRUE(std::all_of(relocations->begin(), relocations->end(), [](std::uint8_t b) { return b == kRelocationFill; }));

    const auto sizeOfImage = readLe<std::uint32_t>(*rewritten, out.offsets().sizeOfImage);
    EXPECT_EQ(*sizeOfImage, reloc.virtualAddress + out.sectionAlignment());
    // Initialized data counts every initialized section's file size.
    const auto initialized = readLe<std::uint32_t>(*rewritten, out.offsets().sizeOfInitializedData);
    EXPECT_EQ(*initialized, rsrc.rawSize + reloc.rawSize);
    // The symbol table follows the sections and its pointer follows it.
    ASSERT_EQ(out.pointerToSymbolTable(), out.endOfSectionData());
    EXPECT_EQ(std::memcmp(rewritten->data() + out.pointerToSymbolTable(), kSymbolTail, sizeof kSymbolTail), 0);
    // The code section is untouched.
    EXPECT_TRUE(std::equal(original.begin() + out.sections()[0].rawPointer,
                           original.begin() + out.sections()[0].rawPointer + out.sections()[0].rawSize,
                           rewritten->begin() + out.sections()[0].rawPointer));
  }
}

TEST_P(ResourceRewrite, DebugEntriesInAMovedSectionFollowTheirData) {
  TestImageShape s = shape();
  s.debugInRelocations = true;
  ResourceTree tree = sampleTree();
  tree[ResourceKey(u"BIN")][ResourceKey(135)][0x0409].bytes = Bytes(0x3456, 0xAB);
  std::string error;
  const auto rewritten = replaceResources(parsed(makeTestImage(s, sampleTree())), tree, error);
  ASSERT_TRUE(rewritten) << error;
  const PeImage out = parsed(*rewritten);
  const Section& reloc = out.sections()[2];
  ASSERT_EQ(out.directory(kDirectoryDebug).rva, reloc.virtualAddress);
  const auto entry = out.at(reloc.virtualAddress, 28);
  ASSERT_TRUE(entry);
  EXPECT_EQ(*readLe<std::uint32_t>(*entry, 20), reloc.virtualAddress + kDebugDataOffset);
  EXPECT_EQ(*readLe<std::uint32_t>(*entry, 24), reloc.rawPointer + kDebugDataOffset);
}

TEST_P(ResourceRewrite, OnlySectionsFoundThroughADirectoryOrDiscardedMove) {
  struct Case {
    const char* what;
    void (*change)(TestImageShape&);
    const char* error;
  };
  const Case cases[] = {
      {"writable data after the resources", [](TestImageShape& s) { s.dataAfterResources = true; }, "section .data"},
      // Relocations are found through their directory entry, so they move even when kept.
      {"relocations not marked discardable", [](TestImageShape& s) { s.relocationsDiscardable = false; }, nullptr},
      {"a signature", [](TestImageShape& s) { s.signature = true; }, "is signed"},
  };
  for (const Case& c : cases) {
    TestImageShape s = shape();
    c.change(s);
    const Bytes image = makeTestImage(s, sampleTree());
    std::string error;
    const auto rewritten = replaceResources(parsed(image), sampleTree(), error);
    if (c.error) {
      EXPECT_FALSE(rewritten) << c.what;
      EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    } else {
      EXPECT_TRUE(rewritten) << c.what << ": " << error;
    }
  }
}

TEST_P(ResourceRewrite, AnImageWithoutResourcesIsRefused) {
  Bytes image = makeTestImage(shape(), sampleTree());
  const PeImage pe = parsed(image);
  writeLe<std::uint64_t>(image, pe.offsets().dataDirectories + 8 * kDirectoryResource, 0);
  std::string error;
  EXPECT_FALSE(replaceResources(parsed(image), sampleTree(), error));
  EXPECT_EQ(error, "has no resource section");
}

// Every prefix of the headers and every byte of the resource directory set to 0xFF or 0x00:
// parsing and reading either succeed or say what is wrong, and never read outside the file.
TEST_P(ResourceRewrite, DamagedImagesAreReportedNotRead) {
  const Bytes image = makeTestImage(shape(), sampleTree());
  const PeImage pe = parsed(image);
  for (std::size_t size = 0; size < pe.sections()[1].rawPointer + 0x100; ++size) {
    const Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
    std::string error;
    const auto p = PeImage::parse(cut, error);
    if (p) {
      readResourceTree(*p, error);
    } else {
      EXPECT_FALSE(error.empty()) << size;
    }
  }
  const std::size_t start = pe.sections()[1].rawPointer;
  for (std::size_t at = start; at < start + 0x180; ++at) {
    for (const std::uint8_t value : {0xFF, 0x00, 0x80}) {
      Bytes damaged = image;
      damaged[at] = value;
      std::string error;
      const auto p = PeImage::parse(damaged, error);
      ASSERT_TRUE(p);
      if (const auto tree = readResourceTree(*p, error)) {
        replaceResources(*p, *tree, error);
      } else {
        EXPECT_NE(error.find("damaged resource directory"), std::string::npos) << error;
      }
    }
  }
}

TEST_P(ResourceRewrite, ADirectoryThatPointsBackAtItselfIsRefused) {
  Bytes image = makeTestImage(shape(), sampleTree());
  const std::size_t root = parsed(image).sections()[1].rawPointer;
  // The first type entry leads back to the root directory.
  writeLe<std::uint32_t>(image, root + 16 + 4, 0x80000000);
  std::string error;
  EXPECT_FALSE(readResourceTree(parsed(image), error));
  EXPECT_NE(error.find("three levels"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Pe, ResourceRewrite, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

// The sum over 16-bit words folds its carries, skips the field itself and adds the length.
TEST(PeChecksum, FoldsCarriesSkipsTheFieldAndAddsTheLength) {
  Bytes file = {0xFF, 0xFF, 0x02, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x01};
  // 0xFFFF + 0x0002 = 0x10001 -> 0x0002; the field at 4..7 counts as zero; 0x0001 -> 0x0003.
  EXPECT_EQ(peChecksum(file, 4), 0x0003u + 9u);
  updateChecksum(file, 4);
  EXPECT_EQ(*readLe<std::uint32_t>(file, 4), 0x0003u + 9u);
  EXPECT_EQ(peChecksum(file, 4), 0x0003u + 9u) << "the stored sum does not change the sum";
}

}  // namespace
}  // namespace lumo::pe::test

// Icon files into icon groups, and the version resource written and read back.
#include "TestImage.h"

#include "pe/IconFile.h"
#include "pe/VersionInfo.h"

#include <gtest/gtest.h>

namespace lumo::pe::test {
namespace {

// An .ico file with one image per (size, fill byte); each image is just its fill bytes.
Bytes icoFile(const std::vector<std::pair<std::uint32_t, std::uint8_t>>& images) {
  Bytes ico = {0, 0, 1, 0, static_cast<std::uint8_t>(images.size()), 0};
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const auto& [size, fill] : images) {
    ico.insert(ico.end(), {static_cast<std::uint8_t>(size & 0xFF), static_cast<std::uint8_t>(size & 0xFF), 0, 0, 1, 0, 32, 0});
    appendLe<std::uint32_t>(ico, 10 + size);
    appendLe<std::uint32_t>(ico, offset);
    offset += 10 + size;
  }
  for (const auto& [size, fill] : images) ico.insert(ico.end(), 10 + size, fill);
  return ico;
}

TEST(IconFile, ImagesKeepTheirSizesAndBytes) {
  std::string error;
  const auto images = readIconFile(icoFile({{16, 0xA1}, {32, 0xA2}, {256, 0xA3}}), error);
  ASSERT_TRUE(images) << error;
  ASSERT_EQ(images->size(), 3u);
  EXPECT_EQ((*images)[2].width, 256u) << "0 in the file means 256";
  EXPECT_EQ((*images)[1].bitCount, 32u);
  EXPECT_EQ((*images)[1].bytes, Bytes(42, 0xA2));
}

TEST(IconFile, BrokenFilesAreRefused) {
  Bytes truncated = icoFile({{16, 1}, {32, 2}});
  truncated.pop_back();
  Bytes emptyImage = icoFile({{16, 1}});
  writeLe<std::uint32_t>(emptyImage, 6 + 8, 0);
  const std::pair<Bytes, const char*> cases[] = {
      {Bytes{0, 0, 2, 0, 1, 0}, "is not an ICO icon file"},  // a cursor file
      {Bytes{0, 0, 1, 0, 0, 0}, "holds no images"},
      {Bytes{0, 0, 1, 0, 2, 0, 16}, "truncated directory"},
      {truncated, "image 1 is truncated"},
      {emptyImage, "image 0 is truncated"},
  };
  for (const auto& [file, message] : cases) {
    std::string error;
    EXPECT_FALSE(readIconFile(file, error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

// Group 107's old icons go unless another group still uses them; new ones take free numbers.
TEST(IconFile, GroupReplacesItsIconsAndSparesSharedOnes) {
  ResourceTree tree = sampleTree();
  Bytes other = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, 2, 0};  // group 9 uses icon 2
  tree[ResourceKey(kTypeGroupIcon)][ResourceKey(9)][0x0409] = {other, 0};
  std::string error;
  installIconGroup(tree, 107, *readIconFile(icoFile({{16, 0xB1}, {48, 0xB2}}), error), 0);

  const NameMap& icons = tree[ResourceKey(kTypeIcon)];
  ASSERT_EQ(icons.size(), 3u);
  EXPECT_EQ(icons.at(ResourceKey(1)).at(0x0409).bytes, Bytes(26, 0xB1)) << "the freed number 1 is reused";
  EXPECT_EQ(icons.at(ResourceKey(2)).at(0x0409).bytes, Bytes(41, 0x02)) << "icon 2 is still group 9's";
  EXPECT_EQ(icons.at(ResourceKey(3)).at(0x0409).bytes, Bytes(58, 0xB2));

  const ResourceData* group = findResource(tree, ResourceKey(kTypeGroupIcon), ResourceKey(107));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(tree[ResourceKey(kTypeGroupIcon)][ResourceKey(107)].begin()->first, 0x0409) << "keeps its language";
  const auto listed = readIconGroup(group->bytes);
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 2u);
  EXPECT_EQ((*listed)[1].width, 48u);
  EXPECT_EQ(*readLe<std::uint16_t>(group->bytes, 6 + 14 + 12), 3u) << "the second entry names icon 3";
  EXPECT_EQ(*readLe<std::uint32_t>(group->bytes, 6 + 8), 26u) << "the first entry's byte count";
}

TEST(VersionInfo, VersionNumbers) {
  const std::pair<const char*, std::optional<VersionNumber>> cases[] = {
      {"1.2.3.4", VersionNumber{1, 2, 3, 4}},
      {"7", VersionNumber{7, 0, 0, 0}},
      {"65535.0.10", VersionNumber{65535, 0, 10, 0}},
      {"65536", std::nullopt},
      {"1.2.3.4.5", std::nullopt},
      {"1..2", std::nullopt},
      {"1.2.", std::nullopt},
      {"", std::nullopt},
      {"v1.2", std::nullopt},
      {"1.-2", std::nullopt},
      {"1.2 ", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseVersionNumber(text), expected) << text;
}

TEST(VersionInfo, WrittenBlocksReadBack) {
  VersionInfo info;
  info.fileVersion = {1, 2, 3, 4};
  info.productVersion = {5, 6, 0, 0};
  info.strings = {{"FileVersion", "1.2.3.4"}, {"CompanyName", "Zoë & Co — 𝄞"}, {"LegalCopyright", "odd"}};
  const Bytes block = writeVersionInfo(info);
  EXPECT_EQ(*readLe<std::uint16_t>(block, 0), block.size());
  EXPECT_EQ(block.size() % 4, 0u);
  const auto back = readVersionInfo(block);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->fileVersion, info.fileVersion);
  EXPECT_EQ(back->productVersion, info.productVersion);
  EXPECT_EQ(back->strings, info.strings);
  Bytes damaged = block;
  writeLe<std::uint16_t>(damaged, 0, static_cast<std::uint16_t>(block.size() + 4));
  EXPECT_FALSE(readVersionInfo(damaged));
  EXPECT_FALSE(readVersionInfo(Bytes(block.begin(), block.begin() + 40)));
}

}  // namespace
}  // namespace lumo::pe::test

// Corrupt or hostile records fail cleanly: lengths beyond the file, absurd unpacked sizes,
// broken zlib streams, and random truncations and byte flips of a valid record.
#include "RecordTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lumo::record::test {
namespace {

// Offset of the length field in front of `stored` within `bytes`.
std::size_t lengthFieldOf(const Bytes& bytes, const Bytes& stored) {
  const auto at = std::search(bytes.begin(), bytes.end(), stored.begin(), stored.end());
  return at == bytes.end() ? std::string::npos : static_cast<std::size_t>(at - bytes.begin()) - 4;
}

void putInt(Bytes& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

TEST(CorruptRecord, LengthsBeyondTheFileFailBeforeAllocating) {
  ProjectSettings full = fullSettings(11, 10);
  const Bytes good = writeRecord(full);
  const std::size_t movieLength = lengthFieldOf(good, full.forms[0]->movie.stored);
  ASSERT_NE(movieLength, std::string::npos);
  for (std::int32_t length : {0x7FFFFFFF, 0x40000000, static_cast<std::int32_t>(good.size())}) {
    Bytes bad = good;
    putInt(bad, movieLength, length);
    ProjectSettings s;
    EXPECT_FALSE(readRecord(bad, s)) << length;
  }
}

TEST(CorruptRecord, PackedBlocksMustInflateToTheirStatedLength) {
  ProjectSettings full = fullSettings(11, 10);
  const std::int32_t splashLength = full.splashPicture.unpackedLength;
  struct Case {
    const char* name;
    std::int32_t unpacked;
    bool corruptStream;
  } cases[] = {
      {"negative length", -1, false},
      {"absurd length", 0x7FFFFFF0, false},
      {"one byte short", splashLength - 1, false},
      {"one byte long", splashLength + 1, false},
      {"corrupt stream", splashLength, true},
  };
  for (const Case& c : cases) {
    ProjectSettings s = fullSettings(11, 10);
    s.splashPicture.unpackedLength = c.unpacked;
    if (c.corruptStream) s.splashPicture.stored[s.splashPicture.stored.size() / 2] ^= 0x5A;
    ProjectSettings read;
    EXPECT_FALSE(readRecord(writeRecord(s), read)) << c.name;
  }
  ProjectSettings intact;
  EXPECT_TRUE(readRecord(writeRecord(full), intact));
}

TEST(CorruptRecord, RandomTruncationsAndFlipsFailCleanlyOrSucceed) {
  const Bytes good = writeRecord(fullSettings(11, 10));
  std::mt19937 random(20261210);
  int failures = 0;
  for (int run = 0; run < 3000; ++run) {
    Bytes bad = good;
    if (run % 3 == 0) {
      bad.resize(random() % good.size());
    } else {
      const int flips = 1 + static_cast<int>(random() % 4);
      for (int i = 0; i < flips; ++i) bad[random() % bad.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
    }
    ProjectSettings s;
    // Any outcome is fine as long as the reader returns; the accessors must cope too.
    if (!readRecord(bad, s)) {
      ++failures;
      continue;
    }
    for (const auto& form : s.forms) {
      (void)form->movieBytes();
      (void)form->maskImage();
      (void)form->movieVersion();
    }
    (void)s.splashImage();
    (void)s.trayIconImage();
    (void)s.secureVar(L"apiKey");
  }
  EXPECT_GT(failures, 1000);  // every truncation fails, and so do most flips of length fields
}

}  // namespace
}  // namespace lumo::record::test

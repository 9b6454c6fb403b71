// The bit reader: field widths from 0 to 32 bits, sign extension, fixed point, and reads past
// the end that fail and stay failed without touching memory beyond the data.
#include "BitReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using swf::BitReader;

struct BitsCase {
  std::vector<uint8_t> data;
  unsigned width;
  uint32_t unsignedValue;
  int32_t signedValue;
};

TEST(BitReader, ReadsFieldsMostSignificantBitFirstAndSignExtends) {
  const BitsCase cases[] = {
      {{0xFF}, 0, 0, 0},                                       // a zero-width field reads nothing
      {{0x80}, 1, 1, -1},                                      // one bit: the sign alone
      {{0x40}, 2, 1, 1},
      {{0xE0}, 3, 7, -1},
      {{0x90}, 4, 9, -7},
      {{0x7F, 0x80}, 9, 0xFF, 0xFF},                          // crosses a byte
      {{0x80, 0x00}, 9, 0x100, -256},
      {{0xFF, 0xFF, 0xFF, 0xFF}, 32, 0xFFFFFFFF, -1},
      {{0x80, 0x00, 0x00, 0x00}, 32, 0x80000000, INT32_MIN},
  };
  for (const BitsCase& c : cases) {
    BitReader u(c.data.data(), c.data.size());
    EXPECT_EQ(u.ubits(c.width), c.unsignedValue) << "width " << c.width;
    BitReader s(c.data.data(), c.data.size());
    EXPECT_EQ(s.sbits(c.width), c.signedValue) << "width " << c.width;
    EXPECT_TRUE(u.ok() && s.ok());
  }
}

TEST(BitReader, ByteReadsAreLittleEndianAndStartOnTheNextByte) {
  const uint8_t data[] = {0xA0, 0x34, 0x12, 0x00, 0x80, 0x80, 0xFF, 0x00, 0x00, 0x01, 0x00};
  BitReader in(data, sizeof data);
  EXPECT_EQ(in.ubits(3), 5u);
  EXPECT_EQ(in.u16(), 0x1234);  // the rest of 0xA0 is skipped
  EXPECT_DOUBLE_EQ(in.fixed8(), -128.0);   // 0x8000 as signed 8.8
  EXPECT_DOUBLE_EQ(in.fixed8(), -0.5);     // 0xFF80
  EXPECT_DOUBLE_EQ(in.fixed16(), 1.0);     // 0x00010000
  EXPECT_TRUE(in.ok());
  EXPECT_TRUE(in.atEnd());
}

TEST(BitReader, AReadPastTheEndFailsReturnsZeroAndStaysFailed) {
  const uint8_t data[] = {0x12, 0x34, 0x56};
  BitReader in(data, 2);  // the third byte is outside the range
  EXPECT_EQ(in.u16(), 0x3412);
  EXPECT_EQ(in.u8(), 0);
  EXPECT_FALSE(in.ok());
  EXPECT_EQ(in.remaining(), 0u);

  BitReader bits(data, 1);
  EXPECT_EQ(bits.ubits(9), 0u);
  EXPECT_FALSE(bits.ok());
  EXPECT_EQ(bits.u8(), 0);  // failed for good, though a byte was never read

  BitReader wide(data, 3);
  wide.ubits(33);
  EXPECT_FALSE(wide.ok());
}

TEST(BitReader, StringsNeedTheirTerminator) {
  const uint8_t data[] = {'a', 'b', 0, 'c'};
  BitReader in(data, sizeof data);
  EXPECT_EQ(in.string(), "ab");
  EXPECT_EQ(in.string(), "");
  EXPECT_FALSE(in.ok());
}

TEST(BitReader, SubReaderIsClampedToWhatRemains) {
  const uint8_t data[] = {1, 2, 3};
  BitReader in(data, sizeof data);
  in.u8();
  BitReader body = in.sub(100);
  EXPECT_EQ(body.remaining(), 2u);
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(body.u16(), 0x0302);
  EXPECT_EQ(body.u8(), 0);
  EXPECT_FALSE(body.ok());
}

}  // namespace

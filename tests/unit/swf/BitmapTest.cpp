// Bitmap tags decoded to premultiplied RGBA with known pixels: each lossless format, JPEG
// (whole, with the movie's tables, with SWF's stray markers, with an alpha plane), PNG and GIF.
#include "BitmapTags.h"
#include "JpegData.h"
#include "SwfBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

using namespace swf;
using swf_test::Bytes;
using swf_test::SwfBytes;
using swf_test::zlib;

Bytes fixture(const std::string& name) {
  std::ifstream file(std::string(LUMO_SWF_FIXTURES) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

BitmapResult lossless(uint8_t version, const Bytes& body) {
  BitReader in(body.data(), body.size());
  return readDefineBitsLossless(in, version);
}

Bytes pixelsOf(const BitmapResult& r) { return r.bitmap ? r.bitmap->rgba : Bytes{}; }

TEST(Bitmaps, ColorMappedRowsArePaddedToFourBytes) {
  // 3x2, three colours; each row is three indices and one pad byte. Index 5 is outside the table.
  Bytes table = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  Bytes rows = {0, 1, 2, 0xEE, 2, 5, 0, 0xEE};
  Bytes data = table;
  data.insert(data.end(), rows.begin(), rows.end());
  BitmapResult r = lossless(1, SwfBytes().u16(8).u8(3).u16(3).u16(2).u8(2).bytes(zlib(data)).data());
  ASSERT_TRUE(r.bitmap) << r.problem;
  EXPECT_EQ(r.id, 8);
  EXPECT_EQ(r.bitmap->width, 3u);
  EXPECT_EQ(pixelsOf(r), (Bytes{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,  //
                                0, 0, 255, 255, 0, 0, 0, 255, 255, 0, 0, 255}));
}

TEST(Bitmaps, ColorMappedLossless2HasPremultipliedRgbaTables) {
  Bytes data = {128, 0, 0, 128, 200, 10, 10, 100, /* rows */ 0, 1, 3, 0};  // 200 > 100: clamped
  BitmapResult r = lossless(2, SwfBytes().u16(1).u8(3).u16(3).u16(1).u8(1).bytes(zlib(data)).data());
  ASSERT_TRUE(r.bitmap) << r.problem;
  EXPECT_EQ(pixelsOf(r), (Bytes{128, 0, 0, 128, 100, 10, 10, 100, 0, 0, 0, 0}));
}

TEST(Bitmaps, FifteenBitPixelsAreBigEndianWithPaddedRows) {
  // 1x2: each row one pixel and two pad bytes. 0x7C00 red, 0x03FF green and blue full.
  Bytes data = {0x7C, 0x00, 0xEE, 0xEE, 0x03, 0xFF, 0xEE, 0xEE};
  BitmapResult r = lossless(1, SwfBytes().u16(1).u8(4).u16(1).u16(2).bytes(zlib(data)).data());
  ASSERT_TRUE(r.bitmap) << r.problem;
  EXPECT_EQ(pixelsOf(r), (Bytes{255, 0, 0, 255, 0, 255, 255, 255}));
  EXPECT_FALSE(lossless(2, SwfBytes().u16(1).u8(4).u16(1).u16(2).bytes(zlib(data)).data()).bitmap);
}

TEST(Bitmaps, ThirtyTwoBitPixelsAreXrgbOrPremultipliedArgb) {
  Bytes data = {0x00, 10, 20, 30, 0x80, 64, 200, 0};
  BitmapResult opaque = lossless(1, SwfBytes().u16(1).u8(5).u16(2).u16(1).bytes(zlib(data)).data());
  EXPECT_EQ(pixelsOf(opaque), (Bytes{10, 20, 30, 255, 64, 200, 0, 255}));
  BitmapResult alpha = lossless(2, SwfBytes().u16(1).u8(5).u16(2).u16(1).bytes(zlib(data)).data());
  EXPECT_EQ(pixelsOf(alpha), (Bytes{0, 0, 0, 0, 64, 128, 0, 128}));
}

TEST(Bitmaps, LosslessProblemsSkipTheBitmap) {
  Bytes four = zlib(Bytes(16, 0));
  const std::pair<const char*, Bytes> cases[] = {
      {"pixel data short", SwfBytes().u16(1).u8(5).u16(3).u16(3).bytes(zlib(Bytes(20, 0))).data()},
      {"not zlib", SwfBytes().u16(1).u8(5).u16(1).u16(1).bytes({1, 2, 3, 4, 5}).data()},
      {"unknown format", SwfBytes().u16(1).u8(6).u16(2).u16(2).bytes(four).data()},
      {"no pixels", SwfBytes().u16(1).u8(5).u16(0).u16(2).bytes(four).data()},
      {"past the pixel limit", SwfBytes().u16(1).u8(5).u16(65535).u16(65535).bytes(four).data()},
      {"header cut short", Bytes{1, 0, 5, 2}},
  };
  for (const auto& [what, body] : cases) {
    BitmapResult r = lossless(2, body);
    EXPECT_FALSE(r.bitmap) << what;
    EXPECT_FALSE(r.problem.empty()) << what;
  }
}

void expectNear(const Bytes& rgba, size_t pixel, std::array<int, 4> want) {
  for (size_t k = 0; k < 4; ++k)
    EXPECT_NEAR(rgba.at(pixel * 4 + k), want[k], 6) << "pixel " << pixel << " channel " << k;
}

BitmapResult jpeg(uint8_t version, const Bytes& image, const Bytes& alpha = {}) {
  SwfBytes w;
  w.u16(3);
  if (version >= 3) w.u32(static_cast<uint32_t>(image.size()));
  if (version == 4) w.u16(0x0100);
  Bytes body = w.bytes(image).bytes(alpha).data();
  BitReader in(body.data(), body.size());
  return readDefineBitsJpeg(in, version);
}

// A 16x8 JPEG: red on the left half, blue on the right.
void expectRedBlue(const BitmapResult& r) {
  ASSERT_TRUE(r.bitmap) << r.problem;
  EXPECT_EQ(r.bitmap->width, 16u);
  EXPECT_EQ(r.bitmap->height, 8u);
  expectNear(r.bitmap->rgba, 3 * 16 + 3, {255, 0, 0, 255});
  expectNear(r.bitmap->rgba, 3 * 16 + 12, {0, 0, 255, 255});
}

TEST(Bitmaps, JpegDecodesWholeAndWithSwfsErroneousHeader) {
  Bytes image = fixture("red-blue.jpg");
  ASSERT_FALSE(image.empty());
  expectRedBlue(jpeg(2, image));
  Bytes erroneous = {0xFF, 0xD9, 0xFF, 0xD8};
  erroneous.insert(erroneous.end(), image.begin(), image.end());
  expectRedBlue(jpeg(2, erroneous));
  Bytes noEnd(image.begin(), image.end() - 2);  // some encoders leave the final EOI out
  expectRedBlue(jpeg(2, noEnd));
}

// The fixture split as old encoders wrote it: tables (DQT, DHT) in JPEGTables, the rest in
// DefineBits, each between its own SOI and EOI.
std::pair<Bytes, Bytes> splitTables(const Bytes& jpeg) {
  Bytes tables = {0xFF, 0xD8}, image = {0xFF, 0xD8};
  size_t pos = 2;
  while (jpeg[pos + 1] != 0xDA) {
    size_t end = pos + 2 + (jpeg[pos + 2] << 8 | jpeg[pos + 3]);
    Bytes& to = (jpeg[pos + 1] == 0xDB || jpeg[pos + 1] == 0xC4) ? tables : image;
    to.insert(to.end(), jpeg.begin() + pos, jpeg.begin() + end);
    pos = end;
  }
  image.insert(image.end(), jpeg.begin() + pos, jpeg.end());
  tables.insert(tables.end(), {0xFF, 0xD9});
  return {tables, image};
}

TEST(Bitmaps, DefineBitsTakesTheMovieTables) {
  auto [tables, image] = splitTables(fixture("red-blue.jpg"));
  Bytes body = SwfBytes().u16(4).bytes(image).data();
  BitReader in(body.data(), body.size());
  expectRedBlue(readDefineBits(in, tables));
}

TEST(Bitmaps, JpegAlphaPlanePremultipliesByClampingToAlpha) {
  Bytes alpha(16 * 8, 255);
  alpha[3 * 16 + 3] = 100;  // a red pixel at alpha 100: its red clamps to 100
  alpha[3 * 16 + 12] = 0;
  for (uint8_t version : {3, 4}) {
    BitmapResult r = jpeg(version, fixture("red-blue.jpg"), zlib(alpha));
    ASSERT_TRUE(r.bitmap) << r.problem;
    expectNear(r.bitmap->rgba, 3 * 16 + 3, {100, 0, 0, 100});
    expectNear(r.bitmap->rgba, 3 * 16 + 12, {0, 0, 0, 0});
    expectNear(r.bitmap->rgba, 0, {255, 0, 0, 255});
  }
  BitmapResult shortPlane = jpeg(3, fixture("red-blue.jpg"), zlib(Bytes(10, 0)));
  expectRedBlue(shortPlane);  // drawn opaque, with a note
  EXPECT_FALSE(shortPlane.problem.empty());
}

TEST(Bitmaps, PngAndGifArePremultiplied) {
  for (uint8_t version : {2, 3}) {
    BitmapResult png = jpeg(version, fixture("half-red-green.png"));
    ASSERT_TRUE(png.bitmap) << png.problem;
    EXPECT_EQ(png.bitmap->rgba, (Bytes{128, 0, 0, 128, 0, 255, 0, 255}));
    BitmapResult gif = jpeg(version, fixture("clear-green.gif"));
    ASSERT_TRUE(gif.bitmap) << gif.problem;
    EXPECT_EQ(gif.bitmap->rgba, (Bytes{0, 0, 0, 0, 0, 255, 0, 255}));
  }
}

TEST(Bitmaps, UndecodableImagesAreSkipped) {
  Bytes image = fixture("red-blue.jpg");
  Bytes cut(image.begin(), image.begin() + 40);
  const std::pair<const char*, BitmapResult> cases[] = {
      {"unknown format", jpeg(2, {1, 2, 3, 4})},
      {"cut JPEG", jpeg(2, cut)},
      {"image size past the tag", [] {
         Bytes body = SwfBytes().u16(3).u32(1000).bytes({0xFF, 0xD8}).data();
         BitReader in(body.data(), body.size());
         return readDefineBitsJpeg(in, 3);
       }()},
  };
  for (const auto& [what, r] : cases) {
    EXPECT_FALSE(r.bitmap) << what;
    EXPECT_FALSE(r.problem.empty()) << what;
  }
}

TEST(JpegData, CleaningDropsStraySoiAndEoiBeforeTheScan) {
  Bytes messy = {0xFF, 0xD9, 0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x01, 0xFF, 0xD9,
                 0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0x11, 0xFF, 0xD9};
  EXPECT_EQ(cleanJpeg(messy.data(), messy.size()),
            (Bytes{0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x01, 0xFF, 0xDA, 0x00, 0x02, 0x11, 0xFF, 0xD9}));
  Bytes lengthPastEnd = {0xFF, 0xD8, 0xFF, 0xDB, 0x40, 0x00};
  Bytes cleaned = cleanJpeg(lengthPastEnd.data(), lengthPastEnd.size());
  EXPECT_EQ(cleaned, (Bytes{0xFF, 0xD8, 0xFF, 0xDB, 0x40, 0x00, 0xFF, 0xD9}));
}

TEST(JpegData, HuffmanTablesWithMoreThan256CodesAreRefused) {
  Bytes image = fixture("red-blue.jpg");
  EXPECT_TRUE(huffmanTablesAreSound(image.data(), image.size()));
  // A DHT whose counts add up to 257 codes, and one whose codes run past its segment.
  Bytes tooMany = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00};
  for (int i = 0; i < 16; ++i) tooMany.push_back(i < 15 ? 17 : 2);
  tooMany.resize(tooMany.size() + 257, 0);
  EXPECT_FALSE(huffmanTablesAreSound(tooMany.data(), tooMany.size()));
  Bytes overrun = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x14, 0x10, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2};
  EXPECT_FALSE(huffmanTablesAreSound(overrun.data(), overrun.size()));
  // The same fault after the first scan, where progressive JPEGs put their later tables.
  Bytes late = image;
  late.insert(late.end() - 2, tooMany.begin() + 2, tooMany.end());
  EXPECT_FALSE(huffmanTablesAreSound(late.data(), late.size()));
  BitmapResult r = jpeg(2, late);
  EXPECT_FALSE(r.bitmap);
}

}  // namespace

// The record parsers over hand-made bytes: RECT, MATRIX, CXFORM, fill and line styles with
// their gradients, shape records with their bit-count changes, and morph shapes.
#include "BasicRecords.h"
#include "MorphRecords.h"
#include "ShapeRecords.h"
#include "StyleRecords.h"
#include "SwfBytes.h"

#include <gtest/gtest.h>

namespace {

using namespace swf;
using swf_test::Bytes;
using swf_test::SwfBytes;

BitReader readerOf(const Bytes& bytes) { return BitReader(bytes.data(), bytes.size()); }

TEST(Records, RectHasSignedFieldsAndMayHaveNone) {
  Bytes bytes = SwfBytes().rect(-100, 200, -1, 0, 10).u8(0xAB).data();
  BitReader in = readerOf(bytes);
  EXPECT_EQ(readRect(in), (Rect{-100, 200, -1, 0}));
  EXPECT_EQ(in.u8(), 0xAB);  // the record ends on a byte boundary

  Bytes empty = {0x00, 0xCD};  // five zero bits: every field zero bits wide
  BitReader e = readerOf(empty);
  EXPECT_EQ(readRect(e), Rect{});
  EXPECT_EQ(e.u8(), 0xCD);
}

TEST(Records, MatrixReadsScaleRotateAndTranslate) {
  SwfBytes w;
  w.ubits(1, 1).ubits(19, 5).sbits(0x18000, 19).sbits(-0x10000, 19);  // scale 1.5, -1
  w.ubits(1, 1).ubits(17, 5).sbits(-0x8000, 17).sbits(0x4000, 17);    // rotate -0.5, 0.25
  w.ubits(8, 5).sbits(-20, 8).sbits(40, 8);
  BitReader in = readerOf(w.data());
  Matrix m = readMatrix(in);
  EXPECT_EQ(m, (Matrix{1.5, -0.5, 0.25, -1, -20, 40}));
  EXPECT_TRUE(in.ok() && in.atEnd());

  Bytes identity = {0x00};  // no scale, no rotation, zero-bit translation
  BitReader i = readerOf(identity);
  EXPECT_EQ(readMatrix(i), Matrix{});
}

TEST(Records, ColorTransformWithAndWithoutAlpha) {
  SwfBytes w;
  w.ubits(1, 1).ubits(1, 1).ubits(10, 4);
  w.sbits(128, 10).sbits(256, 10).sbits(-1, 10);   // multipliers
  w.sbits(-255, 10).sbits(0, 10).sbits(10, 10);    // additions
  BitReader in = readerOf(w.data());
  ColorTransform t = readColorTransform(in, false);
  EXPECT_EQ(t, (ColorTransform{128, 256, -1, 256, -255, 0, 10, 0}));

  SwfBytes a;
  a.ubits(1, 1).ubits(0, 1).ubits(9, 4).sbits(1, 9).sbits(2, 9).sbits(3, 9).sbits(-128, 9);
  BitReader ain = readerOf(a.data());
  EXPECT_EQ(readColorTransform(ain, true), (ColorTransform{256, 256, 256, 256, 1, 2, 3, -128}));
  EXPECT_TRUE(ain.atEnd());
}

struct FillCase {
  const char* what;
  uint8_t shapeVersion, swfVersion;
  Bytes bytes;
  bool ok;
  FillStyle expected;
  size_t consumed;
};

FillStyle solid(Rgba c) {
  FillStyle f;
  f.color = c;
  return f;
}
FillStyle gradient(FillKind kind, SpreadMode spread, Interpolation interpolation, std::vector<GradientStop> stops,
                   double focal = 0) {
  FillStyle f;
  f.kind = kind;
  f.gradient.spread = spread;
  f.gradient.interpolation = interpolation;
  f.gradient.stops = std::move(stops);
  f.gradient.focalPoint = focal;
  return f;
}
FillStyle bitmap(FillKind kind, CharacterId id) {
  FillStyle f;
  f.kind = kind;
  f.bitmapId = id;
  f.bitmapMatrix.tx = 0;
  return f;
}

TEST(Records, FillStylesByTypeAndShapeVersion) {
  const FillCase cases[] = {
      {"RGB before DefineShape3", 1, 8, {0x00, 1, 2, 3}, true, solid({1, 2, 3, 255}), 4},
      {"RGBA from DefineShape3", 3, 8, {0x00, 1, 2, 3, 4}, true, solid({1, 2, 3, 4}), 5},
      {"linear, reflect, linear RGB, two stops", 3, 8,
       {0x10, 0x00, 0x40 | 0x10 | 2, 0, 255, 0, 0, 255, 255, 0, 0, 255, 128}, true,
       gradient(FillKind::LinearGradient, SpreadMode::Reflect, Interpolation::LinearRgb,
                {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}}),
       13},
      {"radial in RGB, reserved spread 3 as pad", 2, 8, {0x12, 0x00, 0xC0 | 1, 7, 9, 8, 7}, true,
       gradient(FillKind::RadialGradient, SpreadMode::Pad, Interpolation::Rgb, {{7, {9, 8, 7, 255}}}), 7},
      {"focal, point -0.5", 4, 8, {0x13, 0x00, 0x01, 0, 1, 1, 1, 1, 0x80, 0xFF}, true,
       gradient(FillKind::FocalGradient, SpreadMode::Pad, Interpolation::Rgb, {{0, {1, 1, 1, 1}}}, -0.5), 10},
      {"gradient without stops is black", 3, 8, {0x10, 0x00, 0x00}, true, solid({0, 0, 0, 255}), 3},
      {"clipped bitmap smoothed from SWF 8", 3, 8, {0x41, 7, 0, 0x00}, true, bitmap(FillKind::ClippedBitmap, 7), 4},
      {"clipped bitmap unsmoothed before SWF 8", 3, 7, {0x41, 7, 0, 0x00}, true,
       bitmap(FillKind::ClippedBitmapHard, 7), 4},
      {"repeating hard bitmap", 3, 8, {0x42, 0xFF, 0xFF, 0x00}, true,
       bitmap(FillKind::RepeatingBitmapHard, 0xFFFF), 4},
      {"unknown type fails", 3, 8, {0x20, 0, 0, 0, 0}, false, {}, 0},
      {"cut short fails", 3, 8, {0x00, 1, 2}, false, {}, 0},
  };
  for (const FillCase& c : cases) {
    BitReader in = readerOf(c.bytes);
    FillStyle fill = readFillStyle(in, {c.shapeVersion, c.swfVersion});
    EXPECT_EQ(in.ok(), c.ok) << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(fill, c.expected) << c.what;
    EXPECT_EQ(in.position(), c.consumed) << c.what;
  }
}

TEST(Records, GradientHoldsFifteenStops) {
  SwfBytes w;
  w.u8(0x10).u8(0x00).u8(0x0F);
  for (int i = 0; i < 15; ++i) w.u8(static_cast<uint8_t>(i * 17)).bytes({1, 2, 3, 4});
  BitReader in = readerOf(w.data());
  FillStyle fill = readFillStyle(in, {4, 8});
  ASSERT_TRUE(in.ok());
  ASSERT_EQ(fill.gradient.stops.size(), 15u);
  EXPECT_EQ(fill.gradient.stops[14].ratio, 238);
}

TEST(Records, StyleCountsExtendFromDefineShape2) {
  SwfBytes w;
  w.u8(0xFF).u16(300);
  for (int i = 0; i < 300; ++i) w.bytes({0x00, 1, 2, 3});
  BitReader in = readerOf(w.data());
  EXPECT_EQ(readFillStyles(in, {2, 8}).size(), 300u);
  EXPECT_TRUE(in.atEnd());

  // DefineShape's 0xFF is a count of 255, not an escape.
  SwfBytes v1;
  v1.u8(0xFF);
  for (int i = 0; i < 255; ++i) v1.bytes({0x00, 1, 2, 3});
  BitReader in1 = readerOf(v1.data());
  EXPECT_EQ(readFillStyles(in1, {1, 8}).size(), 255u);
  EXPECT_TRUE(in1.atEnd());

  // A count the data cannot hold fails without reserving for it.
  Bytes huge = {0xFF, 0xFF, 0xFF, 0x00, 1, 2, 3};
  BitReader h = readerOf(huge);
  EXPECT_EQ(readFillStyles(h, {2, 8}).size(), 1u);
  EXPECT_FALSE(h.ok());
}

TEST(Records, LineStyleTwoReadsCapsJoinsFlagsAndFill) {
  SwfBytes miter;
  miter.u16(40);
  miter.ubits(2, 2).ubits(2, 2).ubits(0, 1).ubits(1, 1).ubits(0, 1).ubits(1, 1);  // square, miter, noH, hinting
  miter.ubits(0, 5).ubits(1, 1).ubits(3, 2);                                     // noClose, reserved cap 3
  miter.u16(0x0280).bytes({10, 20, 30, 40});                                     // limit 2.5, RGBA
  BitReader in = readerOf(miter.data());
  LineStyle line = readLineStyle(in, {4, 8});
  ASSERT_TRUE(in.ok() && in.atEnd());
  EXPECT_EQ(line.width, 40);
  EXPECT_EQ(line.startCap, CapStyle::Square);
  EXPECT_EQ(line.endCap, CapStyle::Round);
  EXPECT_EQ(line.join, JoinStyle::Miter);
  EXPECT_DOUBLE_EQ(line.miterLimit, 2.5);
  EXPECT_TRUE(line.noHScale && line.pixelHinting && line.noClose);
  EXPECT_FALSE(line.noVScale);
  EXPECT_EQ(line.color, (Rgba{10, 20, 30, 40}));
  EXPECT_FALSE(line.fill);

  SwfBytes filled;
  filled.u16(20).ubits(0, 2).ubits(1, 2).ubits(1, 1).ubits(0, 3).ubits(0, 8);  // bevel, has fill
  filled.bytes({0x10, 0x00, 0x01, 0, 5, 6, 7, 8});                             // a linear gradient
  BitReader f = readerOf(filled.data());
  LineStyle withFill = readLineStyle(f, {4, 8});
  ASSERT_TRUE(f.ok() && f.atEnd());
  EXPECT_EQ(withFill.join, JoinStyle::Bevel);
  ASSERT_TRUE(withFill.fill);
  EXPECT_EQ(withFill.fill->kind, FillKind::LinearGradient);

  Bytes v1 = {20, 0, 1, 2, 3};  // LINESTYLE: width and RGB
  BitReader l1 = readerOf(v1);
  LineStyle old = readLineStyle(l1, {1, 8});
  EXPECT_EQ(old.color, (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(old.join, JoinStyle::Round);
  EXPECT_TRUE(l1.atEnd());
}

// The style-change fields of SHAPERECORD, MSB first: TypeFlag 0, then the five state flags.
void styleChange(SwfBytes& w, bool newStyles, bool line, bool fill1, bool fill0, bool move) {
  w.ubits(0, 1).ubits(newStyles, 1).ubits(line, 1).ubits(fill1, 1).ubits(fill0, 1).ubits(move, 1);
}

TEST(Records, ShapeRecordsFollowNewStylesAndTheirBitCounts) {
  SwfBytes w;
  w.u8(0x00).u8(0x00);  // no fill or line styles
  w.u8(0x11);           // NumFillBits 1, NumLineBits 1
  styleChange(w, false, true, true, false, true);
  w.ubits(9, 5).sbits(-100, 9).sbits(200, 9).ubits(1, 1).ubits(0, 1);  // move, fill1 1, line 0
  w.ubits(1, 1).ubits(1, 1).ubits(5, 4).ubits(1, 1).sbits(50, 7).sbits(-50, 7);  // general line
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(0, 1).ubits(1, 1).sbits(-2, 2);    // vertical
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(0, 1).ubits(0, 1).sbits(1, 2);     // horizontal
  w.ubits(1, 1).ubits(0, 1).ubits(2, 4).sbits(1, 4).sbits(-2, 4).sbits(3, 4).sbits(-4, 4);  // curve
  styleChange(w, true, false, false, false, false);
  w.bytes({0x03, 0x00, 1, 1, 1, 0x00, 2, 2, 2, 0x00, 3, 3, 3});  // three fills
  w.u8(0x00);                                                     // no lines
  w.u8(0x20);                                                     // NumFillBits 2, NumLineBits 0
  styleChange(w, false, true, false, true, false);
  w.ubits(3, 2);  // fill0 3 in the new two bits; the line index has no bits and reads 0
  w.ubits(0, 6);  // end
  BitReader records = readerOf(w.data());
  records.skip(2);
  std::vector<ShapeRecord> out;
  ASSERT_TRUE(readShape(records, {2, 8}, out));
  EXPECT_TRUE(records.atEnd());
  ASSERT_EQ(out.size(), 7u);
  const auto& first = std::get<StyleChange>(out[0]);
  EXPECT_EQ(first.moveTo, (std::pair{-100, 200}));
  EXPECT_EQ(first.fill1, 1u);
  EXPECT_EQ(first.line, 0u);
  EXPECT_FALSE(first.fill0);
  EXPECT_EQ(std::get<StraightEdge>(out[1]), (StraightEdge{50, -50}));
  EXPECT_EQ(std::get<StraightEdge>(out[2]), (StraightEdge{0, -2}));
  EXPECT_EQ(std::get<StraightEdge>(out[3]), (StraightEdge{1, 0}));
  EXPECT_EQ(std::get<CurvedEdge>(out[4]), (CurvedEdge{1, -2, 3, -4}));
  const auto& restyle = std::get<StyleChange>(out[5]);
  EXPECT_TRUE(restyle.hasNewStyles);
  ASSERT_EQ(restyle.fills.size(), 3u);
  EXPECT_EQ(restyle.fills[2].color, (Rgba{3, 3, 3, 255}));
  const auto& last = std::get<StyleChange>(out[6]);
  EXPECT_EQ(last.fill0, 3u);
  EXPECT_EQ(last.line, 0u);
}

TEST(Records, DefineShape4ReadsEdgeBoundsAndFlags) {
  SwfBytes w;
  w.u16(12).rect(0, 100, 0, 50, 9).rect(10, 90, 10, 40, 9).u8(0x05);  // winding rule, scaling strokes
  w.u8(1).bytes({0x00, 9, 9, 9, 9}).u8(0).u8(0x10);
  styleChange(w, false, false, false, true, false);
  w.ubits(1, 1).ubits(0, 6);
  BitReader in = readerOf(w.data());
  std::optional<Shape> shape = readDefineShape(in, 4, 8);
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->id, 12);
  EXPECT_EQ(shape->edgeBounds, (Rect{10, 90, 10, 40}));
  EXPECT_TRUE(shape->usesFillWindingRule);
  EXPECT_TRUE(shape->usesScalingStrokes);
  EXPECT_FALSE(shape->usesNonScalingStrokes);
  ASSERT_EQ(shape->fills.size(), 1u);
  EXPECT_EQ(shape->fills[0].color, (Rgba{9, 9, 9, 9}));
  ASSERT_EQ(shape->records.size(), 1u);

  // Without its end record the shape is malformed.
  Bytes cut(w.data().begin(), w.data().end() - 1);
  BitReader c = readerOf(cut);
  EXPECT_FALSE(readDefineShape(c, 4, 8));
}

TEST(Records, MorphShapeReadsBothEndsAndHonoursTheEndEdgesOffset) {
  SwfBytes styles;
  styles.u8(1).bytes({0x00, 255, 0, 0, 255, 0, 0, 255, 128});             // red to half blue
  styles.u8(1).u16(20).u16(60).bytes({1, 2, 3, 4, 5, 6, 7, 8});             // widths 20 to 60
  SwfBytes start;
  start.u8(0x11);
  styleChange(start, false, false, true, false, true);
  start.ubits(4, 5).sbits(1, 4).sbits(2, 4).ubits(1, 1);
  start.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(1, 1).sbits(1, 2).sbits(-1, 2);
  start.ubits(0, 6).align();
  start.bytes({0xEE, 0xEE});  // padding the offset skips
  SwfBytes end;
  end.u8(0x00);
  styleChange(end, false, false, false, false, true);
  end.ubits(5, 5).sbits(3, 5).sbits(4, 5);
  end.ubits(1, 1).ubits(0, 1).ubits(0, 4).sbits(1, 2).sbits(1, 2).sbits(-1, 2).sbits(-1, 2);
  end.ubits(0, 6);

  SwfBytes w;
  w.u16(3).rect(0, 10, 0, 10, 6).rect(0, 20, 0, 20, 7);
  w.u32(static_cast<uint32_t>(styles.data().size() + start.data().size()));
  w.bytes(styles.data()).bytes(start.data()).bytes(end.data());
  BitReader in = readerOf(w.data());
  std::optional<MorphShape> morph = readDefineMorphShape(in, 1, 8);
  ASSERT_TRUE(morph);
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(morph->endBounds, (Rect{0, 20, 0, 20}));
  ASSERT_EQ(morph->fills.size(), 1u);
  EXPECT_EQ(morph->fills[0].start.color, (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(morph->fills[0].end.color, (Rgba{0, 0, 255, 128}));
  ASSERT_EQ(morph->lines.size(), 1u);
  EXPECT_EQ(morph->lines[0].start.width, 20);
  EXPECT_EQ(morph->lines[0].end.width, 60);
  EXPECT_EQ(morph->lines[0].end.color, (Rgba{5, 6, 7, 8}));
  ASSERT_EQ(morph->startRecords.size(), 2u);
  ASSERT_EQ(morph->endRecords.size(), 2u);
  EXPECT_EQ(std::get<StyleChange>(morph->endRecords[0]).moveTo, (std::pair{3, 4}));
  EXPECT_EQ(std::get<CurvedEdge>(morph->endRecords[1]), (CurvedEdge{1, 1, -1, -1}));
}

TEST(Records, MorphLineStyleTwoCarriesAMorphFill) {
  SwfBytes w;
  w.u16(10).u16(30);
  w.ubits(1, 2).ubits(0, 2).ubits(1, 1).ubits(0, 3).ubits(0, 5).ubits(0, 1).ubits(2, 2);  // no cap, fill, square end
  w.u8(0x10).u8(0x00).u8(0x00).u8(0x01).bytes({0, 1, 1, 1, 1, 255, 2, 2, 2, 2});  // gradient, matrices, one stop pair
  BitReader in = readerOf(w.data());
  MorphLineStyle line = readMorphLineStyle(in, 2);
  ASSERT_TRUE(in.ok() && in.atEnd());
  EXPECT_EQ(line.start.startCap, CapStyle::None);
  EXPECT_EQ(line.end.endCap, CapStyle::Square);
  EXPECT_EQ(line.end.width, 30);
  ASSERT_TRUE(line.start.fill && line.end.fill);
  EXPECT_EQ(line.start.fill->gradient.stops[0].ratio, 0);
  EXPECT_EQ(line.end.fill->gradient.stops[0].color, (Rgba{2, 2, 2, 2}));
}

}  // namespace

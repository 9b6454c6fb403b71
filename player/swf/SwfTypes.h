// The records of SWF 1 to 8 that draw and place things, as plain values: what the tag reader
// produces and what the display list and the renderer consume. No reading or drawing here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace swf {

using CharacterId = uint16_t;

// Colours are straight (not premultiplied) RGBA; RGB records read as alpha 255.
struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct Rect {  // twips
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty; tx and ty in twips.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1;
  double tx = 0, ty = 0;
  friend bool operator==(const Matrix&, const Matrix&) = default;
};

// Each channel: value * mult / 256 + add, clamped to 0..255. Multipliers are 8.8 fixed point.
struct ColorTransform {
  int16_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
  int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
  bool isIdentity() const {
    return rMult == 256 && gMult == 256 && bMult == 256 && aMult == 256 && !rAdd && !gAdd && !bAdd && !aAdd;
  }
  friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

// ---------------------------------------------------------------------------------------------
// Shapes

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class Interpolation : uint8_t { Rgb = 0, LinearRgb = 1 };

struct GradientStop {
  uint8_t ratio = 0;  // 0..255 along the gradient
  Rgba color;
  friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

// The gradient square is -16384..16384 twips on each axis in gradient space; `matrix` maps it
// into shape space.
struct Gradient {
  Matrix matrix;
  SpreadMode spread = SpreadMode::Pad;
  Interpolation interpolation = Interpolation::Rgb;
  std::vector<GradientStop> stops;  // at most 15 in SWF 8, 8 before
  double focalPoint = 0;            // -1..1, focal radial gradients only
  friend bool operator==(const Gradient&, const Gradient&) = default;
};

enum class FillKind : uint8_t {
  Solid = 0x00,
  LinearGradient = 0x10,
  RadialGradient = 0x12,
  FocalGradient = 0x13,
  RepeatingBitmap = 0x40,
  ClippedBitmap = 0x41,
  RepeatingBitmapHard = 0x42,  // not smoothed
  ClippedBitmapHard = 0x43,    // not smoothed
};

struct FillStyle {
  FillKind kind = FillKind::Solid;
  Rgba color;                 // Solid
  Gradient gradient;          // the gradients
  CharacterId bitmapId = 0;   // the bitmaps; 0xFFFF means none (the fill is then not drawn)
  Matrix bitmapMatrix;        // bitmap pixels (one unit each) into shape space, twips
  bool isGradient() const { return (static_cast<uint8_t>(kind) & 0xF0) == 0x10; }
  bool isBitmap() const { return (static_cast<uint8_t>(kind) & 0xF0) == 0x40; }
  bool isSmoothedBitmap() const { return kind == FillKind::RepeatingBitmap || kind == FillKind::ClippedBitmap; }
  bool isRepeatingBitmap() const { return kind == FillKind::RepeatingBitmap || kind == FillKind::RepeatingBitmapHard; }
  friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

// LINESTYLE (DefineShape 1-3) and LINESTYLE2 (DefineShape4); the first leaves the 2-only
// fields at their defaults, which are what the original player draws for it.
struct LineStyle {
  uint16_t width = 0;  // twips; 0 is a hairline
  Rgba color;
  CapStyle startCap = CapStyle::Round;
  CapStyle endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;  // 8.8 in the file
  bool noHScale = false;
  bool noVScale = false;
  bool pixelHinting = false;
  bool noClose = false;
  std::optional<FillStyle> fill;  // LINESTYLE2's fill-in-line; when set, `color` is unused
  friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

// SHAPERECORDs, relative as in the file. Style indices are 1-based into the styles in force
// (0: none); a StyleChange with new styles replaces them for the records after it.
struct StyleChange {
  std::optional<std::pair<int32_t, int32_t>> moveTo;  // absolute, twips
  std::optional<uint32_t> fill0, fill1, line;
  bool hasNewStyles = false;
  std::vector<FillStyle> fills;  // when hasNewStyles
  std::vector<LineStyle> lines;  // when hasNewStyles
  friend bool operator==(const StyleChange&, const StyleChange&) = default;
};
struct StraightEdge {
  int32_t dx = 0, dy = 0;
  friend bool operator==(const StraightEdge&, const StraightEdge&) = default;
};
struct CurvedEdge {
  int32_t controlDx = 0, controlDy = 0, anchorDx = 0, anchorDy = 0;
  friend bool operator==(const CurvedEdge&, const CurvedEdge&) = default;
};
using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

// DefineShape 1 to 4 (and a glyph's shape, which has no styles of its own).
struct Shape {
  CharacterId id = 0;
  uint8_t version = 1;  // 1..4: the tag it came from
  Rect bounds;
  Rect edgeBounds;      // DefineShape4; equal to bounds before
  bool usesFillWindingRule = false;  // DefineShape4 flag: nonzero instead of even-odd
  bool usesNonScalingStrokes = false;
  bool usesScalingStrokes = false;
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<ShapeRecord> records;
};

// DefineMorphShape 1 and 2: start and end share the style list, each style holding both ends;
// the end records follow the start records edge for edge (style changes only in the start).
struct MorphGradientStop {
  GradientStop start, end;
};
struct MorphFillStyle {
  FillStyle start, end;  // same kind; bitmaps keep their id in both
};
struct MorphLineStyle {
  LineStyle start, end;  // same flags; widths and colours (or fills) differ
};
struct MorphShape {
  CharacterId id = 0;
  uint8_t version = 1;
  Rect startBounds, endBounds;
  Rect startEdgeBounds, endEdgeBounds;  // version 2
  bool usesNonScalingStrokes = false, usesScalingStrokes = false;
  std::vector<MorphFillStyle> fills;
  std::vector<MorphLineStyle> lines;
  std::vector<ShapeRecord> startRecords;
  std::vector<ShapeRecord> endRecords;
};

// ---------------------------------------------------------------------------------------------
// Bitmaps, decoded: premultiplied RGBA, row after row, no padding.

struct Bitmap {
  CharacterId id = 0;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4, premultiplied
};

// ---------------------------------------------------------------------------------------------
// Placing

enum class BlendMode : uint8_t {
  Normal = 0,  // 0 and 1 in the file
  Layer = 2, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase,
  Overlay, HardLight,
};

// SWF 8's filters, read so a later renderer can draw them; kept as their raw fields.
struct Filter {
  uint8_t type = 0;  // 0 drop shadow, 1 blur, 2 glow, 3 bevel, 4 gradient glow, 5 convolution,
                     // 6 colour matrix, 7 gradient bevel
  std::vector<uint8_t> bytes;  // the filter's record after its type byte
};

// ClipEventFlags bits as SWF 6 and later lay them out (32 bits); SWF 5's 16-bit flags are
// widened to this layout.
struct ClipAction {
  uint32_t events = 0;
  uint8_t keyCode = 0;  // with the KeyPress event
  std::vector<uint8_t> actions;
};

// PlaceObject 1 to 3 with what each carries; absent fields leave the instance as it was.
struct PlaceObject {
  uint8_t version = 1;
  uint16_t depth = 0;
  bool move = false;  // PlaceObject2/3's flag: modify the instance at depth
  std::optional<CharacterId> characterId;
  std::optional<std::string> className;  // PlaceObject3
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
  std::optional<std::vector<Filter>> filters;
  std::optional<BlendMode> blendMode;
  std::optional<bool> cacheAsBitmap;
  std::optional<bool> visible;          // PlaceObject3 in SWF 11; read when present
  std::optional<Rgba> backgroundColor;  // likewise
  std::vector<ClipAction> clipActions;
};

struct RemoveObject {
  uint16_t depth = 0;
  std::optional<CharacterId> characterId;  // RemoveObject (1) names it
};

struct FrameLabel {
  std::string name;
  bool anchor = false;
};

}  // namespace swf

// The SWF writer judged by the tag reader: what is written reads back as the same values, also
// where a field's width forces the writer to split (long edges, style indices past the old bits).
#include "MovieReader.h"
#include "MovieWriter.h"

#include <gtest/gtest.h>

#include <memory>

namespace swf {
namespace {

MovieData movieWith(uint8_t version, std::vector<std::shared_ptr<const Character>> characters, Timeline timeline = {}) {
  MovieData m;
  m.version = version;
  m.frameRect = Rect{0, 4000, 0, 3000};
  m.frameRate = 12.5;
  m.background = Rgba{0x33, 0x66, 0x99, 255};
  for (auto& c : characters)
    std::visit([&](const auto& v) { m.characters[v.id] = c; }, *c);
  m.timeline = std::move(timeline);
  if (m.timeline.frames.empty()) m.timeline.frames.emplace_back();
  return m;
}

MovieData roundTrip(const MovieData& m) {
  std::vector<uint8_t> bytes = writeMovie(m);
  std::optional<MovieData> read = readMovie(bytes.data(), bytes.size());
  EXPECT_TRUE(read.has_value());
  if (!read) return {};
  EXPECT_TRUE(read->warnings.empty()) << read->warnings.front();
  return *read;
}

template <typename T>
const T& character(const MovieData& m, CharacterId id) {
  static const T none{};
  auto it = m.characters.find(id);
  if (it == m.characters.end() || !std::holds_alternative<T>(*it->second)) {
    ADD_FAILURE() << "character " << id << " missing or of another kind";
    return none;
  }
  return std::get<T>(*it->second);
}

// The absolute end points the edges reach, so split edges compare with the edges they came from.
std::vector<std::pair<long, long>> outline(const std::vector<ShapeRecord>& records) {
  std::vector<std::pair<long, long>> points;
  long x = 0, y = 0;
  for (const ShapeRecord& r : records) {
    if (const auto* sc = std::get_if<StyleChange>(&r); sc && sc->moveTo) {
      x = sc->moveTo->first;
      y = sc->moveTo->second;
    } else if (const auto* s = std::get_if<StraightEdge>(&r)) {
      x += s->dx;
      y += s->dy;
    } else if (const auto* c = std::get_if<CurvedEdge>(&r)) {
      x += c->controlDx + c->anchorDx;
      y += c->controlDy + c->anchorDy;
    } else {
      continue;
    }
    points.emplace_back(x, y);
  }
  return points;
}

Shape styledShape(CharacterId id, uint8_t version) {
  Shape s;
  s.id = id;
  s.version = version;
  s.bounds = s.edgeBounds = Rect{-200, 2200, -100, 1100};
  FillStyle solid;
  solid.color = Rgba{10, 20, 30, version >= 3 ? uint8_t(128) : uint8_t(255)};
  FillStyle gradient;
  gradient.kind = version == 4 ? FillKind::FocalGradient : FillKind::RadialGradient;
  gradient.gradient.matrix = Matrix{0.5, 0.25, -0.25, 0.5, 1000, 500};
  gradient.gradient.stops = {{0, Rgba{255, 0, 0, 255}}, {128, Rgba{0, 255, 0, 255}}, {255, Rgba{0, 0, 255, 255}}};
  if (version == 4) {
    gradient.gradient.spread = SpreadMode::Reflect;
    gradient.gradient.interpolation = Interpolation::LinearRgb;
    gradient.gradient.focalPoint = -0.5;
  }
  FillStyle bitmap;
  bitmap.kind = FillKind::ClippedBitmapHard;
  bitmap.bitmapId = 1;
  bitmap.bitmapMatrix = Matrix{20, 0, 0, 20, -200, -100};
  s.fills = {solid, gradient, bitmap};
  LineStyle line;
  line.width = 40;
  line.color = Rgba{1, 2, 3, version >= 3 ? uint8_t(200) : uint8_t(255)};
  if (version == 4) {
    line.startCap = CapStyle::Square;
    line.endCap = CapStyle::None;
    line.join = JoinStyle::Miter;
    line.miterLimit = 2.5;
    line.noHScale = true;
    line.pixelHinting = true;
    line.fill = gradient;
    line.color = Rgba{};  // unused beside a fill
    s.usesFillWindingRule = true;
    s.edgeBounds = Rect{-180, 2180, -80, 1080};
  }
  s.lines = {line};
  StyleChange start;
  start.moveTo = std::make_pair(0, 0);
  start.fill1 = 2;
  start.line = 1;
  s.records = {start, StraightEdge{2000, 0}, StraightEdge{0, 1000}, CurvedEdge{-1000, 0, -1000, -1000}};
  StyleChange next;
  next.moveTo = std::make_pair(-100, -50);
  next.fill0 = 3;
  next.fill1 = 0;
  s.records.insert(s.records.end(), {next, StraightEdge{-3, 7}, StraightEdge{3, -7}});
  return s;
}

Bitmap tinyBitmap(CharacterId id, uint8_t alpha) {
  Bitmap b;
  b.id = id;
  b.width = 3;
  b.height = 2;
  for (int i = 0; i < 6; ++i) {
    uint8_t v = static_cast<uint8_t>(i * 40 * alpha / 255);  // premultiplied
    for (uint8_t channel : {v, uint8_t(v / 2), uint8_t(alpha / 3), alpha}) b.rgba.push_back(channel);
  }
  return b;
}

TEST(SwfWriter, ShapesOfEachTagVersionReadBackFieldForField) {
  for (uint8_t version : {1, 2, 3, 4}) {
    SCOPED_TRACE("DefineShape" + std::to_string(version));
    Shape written = styledShape(2, version);
    MovieData read = roundTrip(movieWith(8, {std::make_shared<Character>(tinyBitmap(1, 255)),
                                             std::make_shared<Character>(written)}));
    const Shape& shape = character<Shape>(read, 2);
    EXPECT_EQ(shape.version, version);
    EXPECT_EQ(shape.bounds, written.bounds);
    EXPECT_EQ(shape.edgeBounds, written.edgeBounds);
    EXPECT_EQ(shape.usesFillWindingRule, written.usesFillWindingRule);
    EXPECT_EQ(shape.fills, written.fills);
    EXPECT_EQ(shape.lines, written.lines);
    EXPECT_EQ(shape.records, written.records);
  }
}

TEST(SwfWriter, BitmapsGoLosslessWhenOpaqueAndLossless2WithAlpha) {
  for (uint8_t alpha : {255, 128, 0}) {
    SCOPED_TRACE(alpha);
    Bitmap written = tinyBitmap(7, alpha);
    MovieData read = roundTrip(movieWith(8, {std::make_shared<Character>(written)}));
    const Bitmap& bitmap = character<Bitmap>(read, 7);
    EXPECT_EQ(bitmap.width, 3u);
    EXPECT_EQ(bitmap.height, 2u);
    EXPECT_EQ(bitmap.rgba, written.rgba);
  }
}

TEST(SwfWriter, EdgesPastSeventeenBitsAreSplitAndStillReachTheirEnds) {
  Shape s;
  s.id = 3;
  s.version = 1;
  s.bounds = s.edgeBounds = Rect{0, 300000, 0, 300000};
  s.fills = {FillStyle{}};
  StyleChange start;
  start.moveTo = std::make_pair(0, 0);
  start.fill1 = 1;
  s.records = {start, StraightEdge{300000, 0}, StraightEdge{-150000, 250000}, CurvedEdge{-100000, 0, -50000, -250000}};
  MovieData read = roundTrip(movieWith(8, {std::make_shared<Character>(s)}));
  std::vector<std::pair<long, long>> points = outline(character<Shape>(read, 3).records);
  ASSERT_FALSE(points.empty());
  EXPECT_GT(points.size(), outline(s.records).size());
  EXPECT_EQ(points.back(), std::make_pair(0L, 0L));
  for (const auto& p : {std::make_pair(300000L, 0L), std::make_pair(150000L, 250000L)})
    EXPECT_NE(std::find(points.begin(), points.end(), p), points.end()) << p.first << "," << p.second;
}

TEST(SwfWriter, NewStylesWhoseIndicesOutgrowTheOldBitsStillSelectThem) {
  Shape s;
  s.id = 4;
  s.version = 2;
  s.bounds = s.edgeBounds = Rect{0, 100, 0, 100};
  s.fills = {FillStyle{}};  // one bit per index before the new styles
  StyleChange change;
  change.moveTo = std::make_pair(10, 10);
  change.hasNewStyles = true;
  for (uint8_t i = 0; i < 6; ++i) {
    FillStyle grey;
    grey.color = Rgba{i, i, i, 255};
    change.fills.push_back(grey);
  }
  change.fill1 = 6;  // needs three bits
  s.records = {change, StraightEdge{50, 0}, StraightEdge{0, 50}, StraightEdge{-50, -50}};
  MovieData read = roundTrip(movieWith(8, {std::make_shared<Character>(s)}));
  const Shape& shape = character<Shape>(read, 4);
  std::optional<uint32_t> fill1;
  size_t newStyles = 0;
  for (const ShapeRecord& r : shape.records)
    if (const auto* sc = std::get_if<StyleChange>(&r)) {
      if (sc->hasNewStyles) newStyles = sc->fills.size();
      if (sc->fill1) fill1 = sc->fill1;
    }
  EXPECT_EQ(newStyles, 6u);
  EXPECT_EQ(fill1, 6u);
  EXPECT_EQ(outline(shape.records), outline(s.records));
}

TEST(SwfWriter, SpritesAndTheTimelineKeepTheirFramesPlacingAndLabels) {
  Sprite sprite;
  sprite.id = 9;
  PlaceObject inSprite;
  inSprite.version = 2;
  inSprite.depth = 1;
  inSprite.characterId = 2;
  PlaceObject moved;
  moved.version = 2;
  moved.depth = 1;
  moved.move = true;
  moved.matrix = Matrix{1, 0, 0, 1, 400, -60};
  sprite.timeline.frames = {Frame{{inSprite}}, Frame{{moved}}, Frame{{RemoveObject{1, std::nullopt}}}};
  sprite.timeline.declaredFrameCount = 3;

  PlaceObject mask;
  mask.version = 2;
  mask.depth = 1;
  mask.characterId = 2;
  mask.clipDepth = 3;
  mask.name = "cover";
  PlaceObject clip;
  clip.version = 3;
  clip.depth = 2;
  clip.characterId = 9;
  clip.matrix = Matrix{2, 0.5, -0.5, 1.5, 1000, 2000};
  clip.colorTransform = ColorTransform{256, 128, 256, 128, 10, -20, 0, 0};
  clip.blendMode = BlendMode::Multiply;
  clip.ratio = 7;
  ClipAction onLoad;
  onLoad.events = 0x01;
  onLoad.actions = {0x07, 0x00};
  clip.clipActions = {onLoad};
  Timeline main;
  main.frames = {Frame{{mask, clip, DoAction{{0x06, 0x00}}}}, Frame{{FrameLabel{"end", false}, RemoveObject{2, std::nullopt}}}};

  MovieData read = roundTrip(movieWith(8, {std::make_shared<Character>(styledShape(2, 1)),
                                           std::make_shared<Character>(tinyBitmap(1, 255)),
                                           std::make_shared<Character>(sprite)},
                                       main));
  EXPECT_EQ(read.frameRect, (Rect{0, 4000, 0, 3000}));
  EXPECT_DOUBLE_EQ(read.frameRate, 12.5);
  EXPECT_EQ(read.background, (Rgba{0x33, 0x66, 0x99, 255}));
  const Sprite& s = character<Sprite>(read, 9);
  ASSERT_EQ(s.timeline.frames.size(), 3u);
  EXPECT_EQ(s.timeline.declaredFrameCount, 3);
  const auto& m = std::get<PlaceObject>(s.timeline.frames[1].tags.at(0));
  EXPECT_TRUE(m.move);
  EXPECT_FALSE(m.characterId);
  EXPECT_EQ(m.matrix, moved.matrix);
  EXPECT_EQ(std::get<RemoveObject>(s.timeline.frames[2].tags.at(0)).depth, 1);

  ASSERT_EQ(read.timeline.frames.size(), 2u);
  const auto& tags = read.timeline.frames[0].tags;
  ASSERT_EQ(tags.size(), 3u);
  const auto& readMask = std::get<PlaceObject>(tags[0]);
  EXPECT_EQ(readMask.clipDepth, 3);
  EXPECT_EQ(readMask.name, "cover");
  const auto& readClip = std::get<PlaceObject>(tags[1]);
  EXPECT_EQ(readClip.version, 3);
  EXPECT_EQ(readClip.characterId, 9);
  EXPECT_EQ(readClip.matrix, clip.matrix);
  EXPECT_EQ(readClip.colorTransform, clip.colorTransform);
  EXPECT_EQ(readClip.blendMode, BlendMode::Multiply);
  EXPECT_EQ(readClip.ratio, 7);
  ASSERT_EQ(readClip.clipActions.size(), 1u);
  EXPECT_EQ(readClip.clipActions[0].events, 0x01u);
  EXPECT_EQ(readClip.clipActions[0].actions, onLoad.actions);
  EXPECT_EQ(std::get<DoAction>(tags[2]).actions, (std::vector<uint8_t>{0x06, 0x00}));
  EXPECT_EQ(std::get<FrameLabel>(read.timeline.frames[1].tags.at(0)).name, "end");
}

TEST(SwfWriter, CompressedMoviesReadBackAlike) {
  MovieData m = movieWith(8, {std::make_shared<Character>(styledShape(2, 3)), std::make_shared<Character>(tinyBitmap(1, 90))});
  m.compressed = true;
  MovieData read = roundTrip(m);
  EXPECT_TRUE(read.compressed);
  EXPECT_EQ(character<Shape>(read, 2).records, styledShape(2, 3).records);
  EXPECT_EQ(character<Bitmap>(read, 1).rgba, tinyBitmap(1, 90).rgba);
}

}  // namespace
}  // namespace swf

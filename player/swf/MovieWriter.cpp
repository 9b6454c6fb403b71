// Tags and files: each tag's body built with the record writer, framed with its short or long
// header; whole movies with their characters ordered so each follows what it uses.
#include "MovieWriter.h"

#include "SwfRecordWriter.h"

#include <zlib.h>

#include <algorithm>
#include <set>

namespace swf {
namespace {

enum TagCode : uint16_t {
  kEnd = 0,
  kShowFrame = 1,
  kDefineShape = 2,
  kPlaceObject = 4,
  kRemoveObject = 5,
  kSetBackgroundColor = 9,
  kDoAction = 12,
  kStartSound = 15,
  kDefineBitsLossless = 20,
  kDefineShape2 = 22,
  kPlaceObject2 = 26,
  kRemoveObject2 = 28,
  kDefineShape3 = 32,
  kDefineBitsLossless2 = 36,
  kDefineSprite = 39,
  kFrameLabel = 43,
  kExportAssets = 56,
  kImportAssets = 57,
  kDoInitAction = 59,
  kFileAttributes = 69,
  kPlaceObject3 = 70,
  kImportAssets2 = 71,
  kDefineShape4 = 83,
};

constexpr uint16_t kShapeTags[] = {kDefineShape, kDefineShape2, kDefineShape3, kDefineShape4};

// Tags that readers expect in the long form even when short.
bool alwaysLong(uint16_t code) {
  return code == kDefineBitsLossless || code == kDefineBitsLossless2;
}

void writeColorTransform(BitWriter& w, const ColorTransform& cx) {  // CXFORM, no alpha
  auto fit = [](int16_t v) { return static_cast<int32_t>(std::clamp<int16_t>(v, -16384, 16383)); };
  bool hasMult = cx.rMult != 256 || cx.gMult != 256 || cx.bMult != 256;
  bool hasAdd = cx.rAdd || cx.gAdd || cx.bAdd;
  int n = 1;
  for (int32_t v : {fit(cx.rMult), fit(cx.gMult), fit(cx.bMult)})
    if (hasMult) n = std::max(n, signedBits(v));
  for (int32_t v : {fit(cx.rAdd), fit(cx.gAdd), fit(cx.bAdd)})
    if (hasAdd) n = std::max(n, signedBits(v));
  w.flag(hasAdd);
  w.flag(hasMult);
  w.bits(4, static_cast<uint32_t>(n));
  if (hasMult)
    for (int32_t v : {fit(cx.rMult), fit(cx.gMult), fit(cx.bMult)}) w.bits(n, static_cast<uint32_t>(v));
  if (hasAdd)
    for (int32_t v : {fit(cx.rAdd), fit(cx.gAdd), fit(cx.bAdd)}) w.bits(n, static_cast<uint32_t>(v));
  w.align();
}

void writeClipActions(BitWriter& w, const std::vector<ClipAction>& actions, uint8_t version) {
  // SWF 5 has 16-bit event flags, later versions 32-bit; little-endian either way.
  bool wide = version >= 6;
  auto flags = [&](uint32_t f) { wide ? w.u32(f) : w.u16(static_cast<uint16_t>(f)); };
  constexpr uint32_t kKeyPress = 0x00020000;
  uint32_t all = 0;
  for (const ClipAction& a : actions) all |= a.events;
  w.u16(0);
  flags(all);
  for (const ClipAction& a : actions) {
    flags(a.events);
    bool key = wide && (a.events & kKeyPress);
    w.u32(static_cast<uint32_t>(a.actions.size() + (key ? 1 : 0)));
    if (key) w.u8(a.keyCode);
    w.bytes(a.actions);
  }
  flags(0);
}

void collectFillIds(const std::vector<FillStyle>& fills, std::vector<CharacterId>& out) {
  for (const FillStyle& f : fills)
    if (f.isBitmap()) out.push_back(f.bitmapId);
}

void collectLineIds(const std::vector<LineStyle>& lines, std::vector<CharacterId>& out) {
  for (const LineStyle& l : lines)
    if (l.fill && l.fill->isBitmap()) out.push_back(l.fill->bitmapId);
}

void collectTimelineIds(const Timeline& timeline, std::vector<CharacterId>& out) {
  for (const Frame& frame : timeline.frames)
    for (const FrameTag& tag : frame.tags)
      if (const auto* place = std::get_if<PlaceObject>(&tag))
        if (place->characterId) out.push_back(*place->characterId);
}

// The characters a character uses: bitmaps of its fills, the characters a sprite places.
std::vector<CharacterId> usedBy(const Character& character) {
  std::vector<CharacterId> ids;
  if (const auto* shape = std::get_if<Shape>(&character)) {
    collectFillIds(shape->fills, ids);
    collectLineIds(shape->lines, ids);
    for (const ShapeRecord& r : shape->records)
      if (const auto* sc = std::get_if<StyleChange>(&r)) {
        collectFillIds(sc->fills, ids);
        collectLineIds(sc->lines, ids);
      }
  } else if (const auto* sprite = std::get_if<Sprite>(&character)) {
    collectTimelineIds(sprite->timeline, ids);
  } else if (const auto* raw = std::get_if<RawCharacter>(&character)) {
    ids = raw->uses;
  }
  return ids;
}

class DictionaryWriter {
 public:
  DictionaryWriter(const MovieData& movie, TagWriter& out) : movie_(movie), out_(out) {}
  void writeAll() {
    for (const auto& [id, character] : movie_.characters) write(id);
  }

 private:
  void write(CharacterId id) {
    auto it = movie_.characters.find(id);
    if (it == movie_.characters.end() || !it->second || !visited_.insert(id).second) return;
    const Character& character = *it->second;
    for (CharacterId used : usedBy(character)) write(used);
    if (const auto* shape = std::get_if<Shape>(&character)) {
      out_.shape(*shape);
    } else if (const auto* bitmap = std::get_if<Bitmap>(&character)) {
      out_.bitmap(*bitmap);
    } else if (const auto* sprite = std::get_if<Sprite>(&character)) {
      out_.sprite(*sprite);
    } else if (const auto* raw = std::get_if<RawCharacter>(&character)) {
      out_.tag(raw->tagCode, raw->body);
    }
  }

  const MovieData& movie_;
  TagWriter& out_;
  std::set<CharacterId> visited_;
};

void putLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace

void TagWriter::tag(uint16_t code, const std::vector<uint8_t>& body) {
  BitWriter w(out_);
  if (body.size() < 0x3F && !alwaysLong(code)) {
    w.u16(static_cast<uint16_t>((code << 6) | body.size()));
  } else {
    w.u16(static_cast<uint16_t>((code << 6) | 0x3F));
    w.u32(static_cast<uint32_t>(body.size()));
  }
  w.bytes(body);
}

void TagWriter::shape(const Shape& shape) {
  int version = std::clamp<int>(shape.version, 1, 4);
  std::vector<uint8_t> body;
  BitWriter w(body);
  w.u16(shape.id);
  writeRect(w, shape.bounds);
  if (version == 4) {
    writeRect(w, shape.edgeBounds);
    w.bits(5, 0);
    w.flag(shape.usesFillWindingRule);
    w.flag(shape.usesNonScalingStrokes);
    w.flag(shape.usesScalingStrokes);
  }
  writeShapeWithStyle(w, shape.fills, shape.lines, shape.records, version);
  tag(kShapeTags[version - 1], body);
}

void TagWriter::bitmap(const Bitmap& bitmap) {
  size_t pixels = static_cast<size_t>(bitmap.width) * bitmap.height;
  if (bitmap.rgba.size() < pixels * 4 || bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return;
  bool opaque = true;
  for (size_t i = 0; i < pixels && opaque; ++i) opaque = bitmap.rgba[i * 4 + 3] == 255;
  // Format 5: one 32-bit pixel each, rows need no padding. Lossless keeps a pad byte where
  // Lossless2 keeps the (premultiplied) alpha.
  std::vector<uint8_t> argb(pixels * 4);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = &bitmap.rgba[i * 4];
    argb[i * 4] = opaque ? 0xFF : p[3];
    argb[i * 4 + 1] = p[0];
    argb[i * 4 + 2] = p[1];
    argb[i * 4 + 3] = p[2];
  }
  uLongf packedSize = compressBound(static_cast<uLong>(argb.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, argb.data(), static_cast<uLong>(argb.size()), 9) != Z_OK) return;
  packed.resize(packedSize);
  std::vector<uint8_t> body;
  BitWriter w(body);
  w.u16(bitmap.id);
  w.u8(5);
  w.u16(static_cast<uint16_t>(bitmap.width));
  w.u16(static_cast<uint16_t>(bitmap.height));
  w.bytes(packed);
  tag(opaque ? kDefineBitsLossless : kDefineBitsLossless2, body);
}

void TagWriter::sprite(const Sprite& sprite) {
  TagWriter inner(version_);
  for (const Frame& frame : sprite.timeline.frames) {
    for (const FrameTag& t : frame.tags) inner.frameTag(t);
    inner.showFrame();
  }
  inner.end();
  std::vector<uint8_t> body;
  BitWriter w(body);
  w.u16(sprite.id);
  w.u16(static_cast<uint16_t>(sprite.timeline.frames.size()));
  w.bytes(inner.bytes());
  tag(kDefineSprite, body);
}

void TagWriter::frameTag(const FrameTag& frameTag) {
  std::vector<uint8_t> body;
  BitWriter w(body);
  if (const auto* place = std::get_if<PlaceObject>(&frameTag)) {
    placeObject(*place);
  } else if (const auto* remove = std::get_if<RemoveObject>(&frameTag)) {
    removeObject(*remove);
  } else if (const auto* label = std::get_if<FrameLabel>(&frameTag)) {
    w.string(label->name);
    if (label->anchor && version_ >= 6) w.u8(1);
    tag(kFrameLabel, body);
  } else if (const auto* action = std::get_if<DoAction>(&frameTag)) {
    tag(kDoAction, action->actions);
  } else if (const auto* init = std::get_if<DoInitAction>(&frameTag)) {
    w.u16(init->spriteId);
    w.bytes(init->actions);
    tag(kDoInitAction, body);
  } else if (const auto* sound = std::get_if<StartSound>(&frameTag)) {
    w.u16(sound->soundId);
    w.bytes(sound->soundInfo);
    tag(kStartSound, body);
  } else if (const auto* sound = std::get_if<SoundTag>(&frameTag)) {
    tag(sound->code, sound->body);
  }
}

void TagWriter::placeObject(const PlaceObject& p) {
  std::vector<uint8_t> body;
  BitWriter w(body);
  if (p.version == 1 && p.characterId) {
    w.u16(*p.characterId);
    w.u16(p.depth);
    writeMatrix(w, p.matrix.value_or(Matrix{}));
    if (p.colorTransform) writeColorTransform(w, *p.colorTransform);
    tag(kPlaceObject, body);
    return;
  }
  bool three = p.version >= 3;
  w.flag(!p.clipActions.empty());
  w.flag(p.clipDepth.has_value());
  w.flag(p.name.has_value());
  w.flag(p.ratio.has_value());
  w.flag(p.colorTransform.has_value());
  w.flag(p.matrix.has_value());
  w.flag(p.characterId.has_value());
  w.flag(p.move);
  if (three) {
    w.flag(false);
    w.flag(p.backgroundColor.has_value());
    w.flag(p.visible.has_value());
    w.flag(p.className && p.characterId);  // an image placed by class
    w.flag(p.className.has_value());
    w.flag(p.cacheAsBitmap.has_value());
    w.flag(p.blendMode.has_value());
    w.flag(p.filters.has_value());
  }
  w.u16(p.depth);
  if (three && p.className) w.string(*p.className);
  if (p.characterId) w.u16(*p.characterId);
  if (p.matrix) writeMatrix(w, *p.matrix);
  if (p.colorTransform) writeColorTransformWithAlpha(w, *p.colorTransform);
  if (p.ratio) w.u16(*p.ratio);
  if (p.name) w.string(*p.name);
  if (p.clipDepth) w.u16(*p.clipDepth);
  if (three) {
    if (p.filters) {
      w.u8(static_cast<uint8_t>(std::min<size_t>(p.filters->size(), 255)));
      for (size_t i = 0; i < std::min<size_t>(p.filters->size(), 255); ++i) {
        w.u8((*p.filters)[i].type);
        w.bytes((*p.filters)[i].bytes);
      }
    }
    if (p.blendMode) w.u8(static_cast<uint8_t>(*p.blendMode));
    if (p.cacheAsBitmap) w.u8(*p.cacheAsBitmap ? 1 : 0);
    if (p.visible) w.u8(*p.visible ? 1 : 0);
    if (p.backgroundColor) writeRgba(w, *p.backgroundColor);
  }
  if (!p.clipActions.empty()) writeClipActions(w, p.clipActions, version_);
  tag(three ? kPlaceObject3 : kPlaceObject2, body);
}

void TagWriter::removeObject(const RemoveObject& r) {
  std::vector<uint8_t> body;
  BitWriter w(body);
  if (r.characterId) w.u16(*r.characterId);
  w.u16(r.depth);
  tag(r.characterId ? kRemoveObject : kRemoveObject2, body);
}

void TagWriter::showFrame() { tag(kShowFrame, {}); }

void TagWriter::background(const Rgba& color) {
  std::vector<uint8_t> body;
  BitWriter w(body);
  writeRgb(w, color);
  tag(kSetBackgroundColor, body);
}

void TagWriter::end() { tag(kEnd, {}); }

std::vector<uint8_t> writeFile(const FileHeader& header, const std::vector<uint8_t>& tags) {
  std::vector<uint8_t> body;
  BitWriter w(body);
  writeRect(w, header.frameRect);
  w.u16(static_cast<uint16_t>(std::clamp(header.frameRate * 256.0 + 0.5, 0.0, 65535.0)));
  w.u16(header.frameCount);
  w.bytes(tags);

  std::vector<uint8_t> out = {static_cast<uint8_t>(header.compressed ? 'C' : 'F'), 'W', 'S', header.version};
  putLe32(out, static_cast<uint32_t>(body.size() + 8));
  if (!header.compressed) {
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK) return {};
  out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
  return out;
}

std::vector<uint8_t> writeMovie(const MovieData& movie, const std::vector<ExtraTag>& extraTags) {
  TagWriter tags(movie.version);
  if (movie.version >= 8) {
    std::vector<uint8_t> flags;
    BitWriter w(flags);
    w.u32((movie.useNetwork ? 0x01u : 0u) | (movie.actionScript3 ? 0x08u : 0u));
    tags.tag(kFileAttributes, flags);
  }
  if (movie.background) tags.background(*movie.background);
  for (const ExtraTag& extra : extraTags) tags.tag(extra.code, extra.body);
  DictionaryWriter(movie, tags).writeAll();
  for (const RawCharacter& info : movie.characterInfo) tags.tag(info.tagCode, info.body);
  if (!movie.exports.empty()) {
    std::vector<uint8_t> body;
    BitWriter w(body);
    w.u16(static_cast<uint16_t>(movie.exports.size()));
    for (const ExportedAsset& e : movie.exports) {
      w.u16(e.id);
      w.string(e.name);
    }
    tags.tag(kExportAssets, body);
  }
  for (size_t i = 0; i < movie.imports.size();) {  // one tag per URL run
    size_t j = i;
    while (j < movie.imports.size() && movie.imports[j].url == movie.imports[i].url) ++j;
    std::vector<uint8_t> body;
    BitWriter w(body);
    w.string(movie.imports[i].url);
    if (movie.version >= 8) {
      w.u8(1);
      w.u8(0);
    }
    w.u16(static_cast<uint16_t>(j - i));
    for (size_t k = i; k < j; ++k) {
      w.u16(movie.imports[k].id);
      w.string(movie.imports[k].name);
    }
    tags.tag(movie.version >= 8 ? kImportAssets2 : kImportAssets, body);
    i = j;
  }
  size_t frames = std::max<size_t>(movie.timeline.frames.size(), movie.timeline.declaredFrameCount);
  for (size_t i = 0; i < frames; ++i) {
    if (i < movie.timeline.frames.size())
      for (const FrameTag& t : movie.timeline.frames[i].tags) tags.frameTag(t);
    tags.showFrame();
  }
  tags.end();
  FileHeader header;
  header.version = movie.version;
  header.compressed = movie.compressed;
  header.frameRect = movie.frameRect;
  header.frameRate = movie.frameRate;
  header.frameCount = static_cast<uint16_t>(std::min<size_t>(frames, 0xFFFF));
  return writeFile(header, tags.bytes());
}

}  // namespace swf

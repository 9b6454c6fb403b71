// The movie reader: header, then one tag after another through a table of handlers, each tag
// read from its own bounded reader so a malformed one is skipped whole and the next is read.
#include "MovieReader.h"

#include "BasicRecords.h"
#include "BitReader.h"
#include "BitmapTags.h"
#include "Inflate.h"
#include "MorphRecords.h"
#include "PlaceRecords.h"
#include "ShapeRecords.h"
#include "TagCodes.h"

#include <algorithm>
#include <string>

namespace swf {

namespace {

// Sprites inside sprites are legal; this bounds the nesting of forged files.
constexpr int kMaxSpriteNesting = 32;
// A file of nothing but bad two-byte tags would otherwise make a warning of every one.
constexpr size_t kMaxWarnings = 1000;

class TagReader;
struct TagScope {
  TagReader& reader;
  Timeline& timeline;
  Frame& frame;
  int nesting;  // 0 on the main timeline
};
using TagHandler = void (*)(TagScope&, BitReader&);

struct TagKind {
  uint16_t code;
  const char* name;
  TagHandler handle;  // nullptr: known, and nothing here needs it
};

class TagReader {
 public:
  explicit TagReader(MovieData& movie) : movie_(movie) {}

  // Reads tags into `timeline` up to End or the end of the data.
  void readTimeline(BitReader& in, Timeline& timeline, int nesting);

  uint8_t swfVersion() const { return movie_.version; }
  MovieData& movie() { return movie_; }
  std::vector<uint8_t> jpegTables;

  void warn(const TagKind& kind, const std::string& what) {
    auto& warnings = movie_.warnings;
    if (warnings.size() < kMaxWarnings) {
      warnings.push_back(std::string(kind.name) + " (tag " + std::to_string(kind.code) + "): " + what);
    } else if (warnings.size() == kMaxWarnings) {
      warnings.push_back("further warnings left out");
    }
  }
  // Adds a character unless its id is taken: the player keeps the first definition.
  void define(const TagKind& kind, CharacterId id, Character&& character) {
    if (movie_.characters.count(id)) {
      warn(kind, "character " + std::to_string(id) + " is defined already; kept the first");
      return;
    }
    movie_.characters.emplace(id, std::make_shared<const Character>(std::move(character)));
  }
  const TagKind* current = nullptr;

 private:
  MovieData& movie_;
};

// Built in place: moving a whole FrameTag makes GCC 12 warn of uninitialised members (i686).
template <typename T>
void addFrameTag(TagScope& scope, T&& tag) {
  scope.frame.tags.emplace_back(std::in_place_type<std::decay_t<T>>, std::forward<T>(tag));
}

void malformed(TagScope& scope) { scope.reader.warn(*scope.reader.current, "malformed; skipped"); }

void onShowFrame(TagScope& scope, BitReader&) {
  scope.timeline.frames.push_back(std::move(scope.frame));
  scope.frame = Frame{};
}

template <uint8_t Version>
void onDefineShape(TagScope& scope, BitReader& in) {
  std::optional<Shape> shape = readDefineShape(in, Version, scope.reader.swfVersion());
  if (!shape) return malformed(scope);
  CharacterId id = shape->id;
  scope.reader.define(*scope.reader.current, id, std::move(*shape));
}

template <uint8_t Version>
void onDefineMorphShape(TagScope& scope, BitReader& in) {
  std::optional<MorphShape> morph = readDefineMorphShape(in, Version, scope.reader.swfVersion());
  if (!morph) return malformed(scope);
  CharacterId id = morph->id;
  scope.reader.define(*scope.reader.current, id, std::move(*morph));
}

void addBitmap(TagScope& scope, BitmapResult&& result) {
  const TagKind& kind = *scope.reader.current;
  if (!result.problem.empty())
    scope.reader.warn(kind, "bitmap " + std::to_string(result.id) + ": " + result.problem +
                                (result.bitmap ? "" : "; skipped"));
  if (result.bitmap) scope.reader.define(kind, result.id, std::move(*result.bitmap));
}

void onDefineBits(TagScope& scope, BitReader& in) { addBitmap(scope, readDefineBits(in, scope.reader.jpegTables)); }

template <uint8_t Version>
void onDefineBitsJpeg(TagScope& scope, BitReader& in) {
  addBitmap(scope, readDefineBitsJpeg(in, Version));
}

template <uint8_t Version>
void onDefineBitsLossless(TagScope& scope, BitReader& in) {
  addBitmap(scope, readDefineBitsLossless(in, Version));
}

void onJpegTables(TagScope& scope, BitReader& in) { scope.reader.jpegTables = in.rest(); }

void onDefineSprite(TagScope& scope, BitReader& in) {
  Sprite sprite;
  sprite.id = in.u16();
  sprite.timeline.declaredFrameCount = in.u16();
  if (!in.ok()) return malformed(scope);
  if (scope.nesting >= kMaxSpriteNesting) {
    scope.reader.warn(*scope.reader.current, "sprites nested too deep; skipped");
    return;
  }
  const TagKind* self = scope.reader.current;
  scope.reader.readTimeline(in, sprite.timeline, scope.nesting + 1);
  scope.reader.current = self;
  CharacterId id = sprite.id;
  scope.reader.define(*self, id, std::move(sprite));
}

// Characters kept as their bodies for later work.
void onRawCharacter(TagScope& scope, BitReader& in) {
  RawCharacter raw;
  raw.tagCode = scope.reader.current->code;
  const uint8_t* start = in.current();
  raw.id = in.u16();
  if (!in.ok()) return malformed(scope);
  raw.body.assign(start, in.current() + in.remaining());
  CharacterId id = raw.id;
  scope.reader.define(*scope.reader.current, id, std::move(raw));
}

void onCharacterInfo(TagScope& scope, BitReader& in) {
  RawCharacter raw;
  raw.tagCode = scope.reader.current->code;
  const uint8_t* start = in.current();
  raw.id = in.u16();
  if (!in.ok()) return malformed(scope);
  raw.body.assign(start, in.current() + in.remaining());
  scope.reader.movie().characterInfo.push_back(std::move(raw));
}

template <uint8_t Version>
void onPlaceObject(TagScope& scope, BitReader& in) {
  std::optional<PlaceObject> place = readPlaceObject(in, Version, scope.reader.swfVersion());
  if (!place) return malformed(scope);
  addFrameTag(scope, std::move(*place));
}

template <uint8_t Version>
void onRemoveObject(TagScope& scope, BitReader& in) {
  std::optional<RemoveObject> remove = readRemoveObject(in, Version);
  if (!remove) return malformed(scope);
  addFrameTag(scope, std::move(*remove));
}

void onFrameLabel(TagScope& scope, BitReader& in) {
  FrameLabel label;
  label.name = in.string();
  if (!in.ok()) return malformed(scope);
  label.anchor = !in.atEnd() && in.u8() == 1;
  addFrameTag(scope, std::move(label));
}

void onDoAction(TagScope& scope, BitReader& in) { addFrameTag(scope, DoAction{in.rest()}); }

void onDoInitAction(TagScope& scope, BitReader& in) {
  DoInitAction init;
  init.spriteId = in.u16();
  if (!in.ok()) return malformed(scope);
  init.actions = in.rest();
  addFrameTag(scope, std::move(init));
}

void onStartSound(TagScope& scope, BitReader& in) {
  StartSound sound;
  sound.soundId = in.u16();
  if (!in.ok()) return malformed(scope);
  sound.soundInfo = in.rest();
  addFrameTag(scope, std::move(sound));
}

// StartSound2 and the stream tags: SoundRecords reads them when they play.
void onSoundTag(TagScope& scope, BitReader& in) {
  addFrameTag(scope, SoundTag{scope.reader.current->code, in.rest()});
}

void onSetBackgroundColor(TagScope& scope, BitReader& in) {
  Rgba color = readRgb(in);
  if (!in.ok()) return malformed(scope);
  // The stage takes the main timeline's first colour.
  if (scope.nesting == 0 && !scope.reader.movie().background) scope.reader.movie().background = color;
}

void onFileAttributes(TagScope& scope, BitReader& in) {
  uint8_t flags = in.u8();
  if (!in.ok() || scope.nesting > 0) return;
  scope.reader.movie().actionScript3 = flags & 0x08;
  scope.reader.movie().useNetwork = flags & 0x01;
}

void onExportAssets(TagScope& scope, BitReader& in) {
  size_t count = in.u16();
  std::vector<ExportedAsset> assets;
  for (size_t i = 0; i < count && in.ok(); ++i) {
    ExportedAsset asset;
    asset.id = in.u16();
    asset.name = in.string();
    if (in.ok()) assets.push_back(std::move(asset));
  }
  if (!in.ok()) return malformed(scope);
  auto& exports = scope.reader.movie().exports;
  exports.insert(exports.end(), assets.begin(), assets.end());
}

template <uint8_t Version>
void onImportAssets(TagScope& scope, BitReader& in) {
  std::string url = in.string();
  if (Version == 2) in.skip(2);  // reserved: 1, 0
  size_t count = in.u16();
  std::vector<ImportedAsset> assets;
  for (size_t i = 0; i < count && in.ok(); ++i) {
    ImportedAsset asset;
    asset.url = url;
    asset.id = in.u16();
    asset.name = in.string();
    if (in.ok()) assets.push_back(std::move(asset));
  }
  if (!in.ok()) return malformed(scope);
  auto& imports = scope.reader.movie().imports;
  imports.insert(imports.end(), assets.begin(), assets.end());
}

// Every tag the reader knows. Tags not listed are skipped with a warning.
constexpr TagKind kTags[] = {
    {tag::kShowFrame, "ShowFrame", onShowFrame},
    {tag::kDefineShape, "DefineShape", onDefineShape<1>},
    {tag::kDefineShape2, "DefineShape2", onDefineShape<2>},
    {tag::kDefineShape3, "DefineShape3", onDefineShape<3>},
    {tag::kDefineShape4, "DefineShape4", onDefineShape<4>},
    {tag::kDefineMorphShape, "DefineMorphShape", onDefineMorphShape<1>},
    {tag::kDefineMorphShape2, "DefineMorphShape2", onDefineMorphShape<2>},
    {tag::kDefineBits, "DefineBits", onDefineBits},
    {tag::kJpegTables, "JPEGTables", onJpegTables},
    {tag::kDefineBitsJpeg2, "DefineBitsJPEG2", onDefineBitsJpeg<2>},
    {tag::kDefineBitsJpeg3, "DefineBitsJPEG3", onDefineBitsJpeg<3>},
    {tag::kDefineBitsJpeg4, "DefineBitsJPEG4", onDefineBitsJpeg<4>},
    {tag::kDefineBitsLossless, "DefineBitsLossless", onDefineBitsLossless<1>},
    {tag::kDefineBitsLossless2, "DefineBitsLossless2", onDefineBitsLossless<2>},
    {tag::kDefineSprite, "DefineSprite", onDefineSprite},
    {tag::kPlaceObject, "PlaceObject", onPlaceObject<1>},
    {tag::kPlaceObject2, "PlaceObject2", onPlaceObject<2>},
    {tag::kPlaceObject3, "PlaceObject3", onPlaceObject<3>},
    {tag::kRemoveObject, "RemoveObject", onRemoveObject<1>},
    {tag::kRemoveObject2, "RemoveObject2", onRemoveObject<2>},
    {tag::kFrameLabel, "FrameLabel", onFrameLabel},
    {tag::kDoAction, "DoAction", onDoAction},
    {tag::kDoInitAction, "DoInitAction", onDoInitAction},
    {tag::kStartSound, "StartSound", onStartSound},
    {tag::kSetBackgroundColor, "SetBackgroundColor", onSetBackgroundColor},
    {tag::kFileAttributes, "FileAttributes", onFileAttributes},
    {tag::kExportAssets, "ExportAssets", onExportAssets},
    {tag::kImportAssets, "ImportAssets", onImportAssets<1>},
    {tag::kImportAssets2, "ImportAssets2", onImportAssets<2>},
    // Characters this reader keeps as bodies.
    {tag::kDefineButton, "DefineButton", onRawCharacter},
    {tag::kDefineButton2, "DefineButton2", onRawCharacter},
    {tag::kDefineFont, "DefineFont", onRawCharacter},
    {tag::kDefineFont2, "DefineFont2", onRawCharacter},
    {tag::kDefineFont3, "DefineFont3", onRawCharacter},
    {tag::kDefineFont4, "DefineFont4", onRawCharacter},
    {tag::kDefineText, "DefineText", onRawCharacter},
    {tag::kDefineText2, "DefineText2", onRawCharacter},
    {tag::kDefineEditText, "DefineEditText", onRawCharacter},
    {tag::kDefineSound, "DefineSound", onRawCharacter},
    {tag::kDefineVideoStream, "DefineVideoStream", onRawCharacter},
    {tag::kDefineBinaryData, "DefineBinaryData", onRawCharacter},
    // Tags that add to a character defined before them.
    {tag::kDefineFontInfo, "DefineFontInfo", onCharacterInfo},
    {tag::kDefineFontInfo2, "DefineFontInfo2", onCharacterInfo},
    {tag::kDefineFontAlignZones, "DefineFontAlignZones", onCharacterInfo},
    {tag::kDefineFontName, "DefineFontName", onCharacterInfo},
    {tag::kCsmTextSettings, "CSMTextSettings", onCharacterInfo},
    {tag::kDefineButtonSound, "DefineButtonSound", onCharacterInfo},
    {tag::kDefineButtonCxform, "DefineButtonCxform", onCharacterInfo},
    {tag::kDefineScalingGrid, "DefineScalingGrid", onCharacterInfo},
    // Known tags nothing reads yet (video, debugging, ActionScript 3, the
    // script limits the interpreter takes from the container reader).
    {tag::kSoundStreamHead, "SoundStreamHead", onSoundTag},
    {tag::kSoundStreamHead2, "SoundStreamHead2", onSoundTag},
    {tag::kSoundStreamBlock, "SoundStreamBlock", onSoundTag},
    {tag::kVideoFrame, "VideoFrame", nullptr},
    {tag::kProtect, "Protect", nullptr},
    {tag::kEnableDebugger, "EnableDebugger", nullptr},
    {tag::kEnableDebugger2, "EnableDebugger2", nullptr},
    {tag::kEnableTelemetry, "EnableTelemetry", nullptr},
    {tag::kDebugId, "DebugID", nullptr},
    {tag::kProductInfo, "ProductInfo", nullptr},
    {tag::kNameCharacter, "NameCharacter", nullptr},
    {tag::kScriptLimits, "ScriptLimits", nullptr},
    {tag::kSetTabIndex, "SetTabIndex", nullptr},
    {tag::kMetadata, "Metadata", nullptr},
    {tag::kDefineSceneAndFrameLabelData, "DefineSceneAndFrameLabelData", nullptr},
    {tag::kDoAbc, "DoABC", nullptr},
    {tag::kDoAbc2, "DoABC2", nullptr},
    {tag::kSymbolClass, "SymbolClass", nullptr},
    {tag::kStartSound2, "StartSound2", onSoundTag},
    {tag::kPlayerScript, "PlayerScript", nullptr},
};

const TagKind* findTag(uint16_t code) {
  for (const TagKind& kind : kTags)
    if (kind.code == code) return &kind;
  return nullptr;
}

void TagReader::readTimeline(BitReader& in, Timeline& timeline, int nesting) {
  Frame frame;
  TagScope scope{*this, timeline, frame, nesting};
  while (in.remaining() >= 2) {
    uint16_t header = in.u16();
    uint16_t code = header >> 6;
    size_t length = header & 0x3F;
    if (length == 0x3F) length = in.u32();
    if (!in.ok()) break;
    if (code == tag::kEnd) break;
    TagKind unknown{code, "unknown tag", nullptr};
    const TagKind* kind = findTag(code);
    if (!kind) kind = &unknown;
    current = kind;
    if (length > in.remaining()) warn(*kind, "cut short by the end of the data");
    BitReader body = in.sub(length);
    if (kind == &unknown) {
      warn(*kind, "skipped");
    } else if (kind->handle) {
      kind->handle(scope, body);
    }
    current = nullptr;
  }
  if (!frame.tags.empty()) timeline.frames.push_back(std::move(frame));
}

// The body after the 8-byte file header: the file's own bytes, or the inflated stream, never
// beyond the header's file length.
std::vector<uint8_t> bodyOf(const uint8_t* data, size_t size, bool compressed, uint32_t fileLength,
                            std::vector<std::string>& warnings) {
  size_t bound = fileLength > 8 ? fileLength - 8 : 0;
  if (!compressed) {
    size_t length = std::min(bound, size - 8);
    if (length < size - 8) warnings.push_back("data past the header's file length ignored");
    return std::vector<uint8_t>(data + 8, data + 8 + length);
  }
  Inflated inflated = inflateBounded(data + 8, size - 8, bound);
  if (!inflated.complete) warnings.push_back("compressed body does not inflate whole; read what did");
  return std::move(inflated.bytes);
}

}  // namespace

std::optional<MovieData> readMovie(const uint8_t* data, size_t size) {
  if (!data || size < 8) return std::nullopt;
  bool compressed = data[0] == 'C';
  if ((data[0] != 'F' && !compressed) || data[1] != 'W' || data[2] != 'S') return std::nullopt;

  MovieData movie;
  movie.version = data[3];
  movie.compressed = compressed;
  uint32_t fileLength = static_cast<uint32_t>(data[4] | (data[5] << 8) | (data[6] << 16)) | (uint32_t{data[7]} << 24);
  std::vector<uint8_t> body = bodyOf(data, size, compressed, fileLength, movie.warnings);

  BitReader in(body.data(), body.size());
  movie.frameRect = readRect(in);
  movie.frameRate = in.u16() / 256.0;  // unsigned 8.8
  movie.timeline.declaredFrameCount = in.u16();
  if (!in.ok()) {
    movie.warnings.push_back("header is cut short");
    return movie;
  }
  TagReader reader(movie);
  reader.readTimeline(in, movie.timeline, 0);
  return movie;
}

}  // namespace swf

// A whole movie as the tag reader leaves it: the header, the character dictionary and the
// main timeline, each frame a list of the tags that change the display list or run code.
// Characters the reader could not read are absent; the rest of the movie stays.
#pragma once

#include "SwfTypes.h"

#include <map>
#include <memory>

namespace swf {

// What one frame does, in tag order. Actions are kept as bytes for the interpreter.
struct DoAction {
  std::vector<uint8_t> actions;
};
struct DoInitAction {
  CharacterId spriteId = 0;
  std::vector<uint8_t> actions;
};
struct StartSound {  // read for the sound work; drawn nothing
  CharacterId soundId = 0;
  std::vector<uint8_t> soundInfo;
};
// StartSound2 and the stream sound tags, kept as their bodies (SoundRecords reads them).
struct SoundTag {
  uint16_t code = 0;
  std::vector<uint8_t> body;
};
using FrameTag = std::variant<PlaceObject, RemoveObject, FrameLabel, DoAction, DoInitAction, StartSound, SoundTag>;

struct Frame {
  std::vector<FrameTag> tags;
};

struct Timeline {
  uint16_t declaredFrameCount = 0;  // from the header or the DefineSprite tag
  std::vector<Frame> frames;        // one per ShowFrame; tags after the last ShowFrame make a last frame
};

struct Sprite {
  CharacterId id = 0;
  Timeline timeline;
};

// A character kind the reader knows but that this milestone does not draw (fonts, texts,
// buttons, sounds, video): its tag code and body, so later work can read it without a second
// pass over the file.
struct RawCharacter {
  CharacterId id = 0;
  uint16_t tagCode = 0;
  std::vector<uint8_t> body;
  std::vector<CharacterId> uses = {};  // characters it names (a text's fonts), for writers to put first
};

using Character = std::variant<Shape, MorphShape, Bitmap, Sprite, RawCharacter>;

struct ExportedAsset {
  CharacterId id = 0;
  std::string name;
};
struct ImportedAsset {
  std::string url;
  CharacterId id = 0;
  std::string name;
};

struct MovieData {
  uint8_t version = 0;
  bool compressed = false;
  Rect frameRect;
  double frameRate = 12;
  std::optional<Rgba> background;
  bool actionScript3 = false;  // FileAttributes
  bool useNetwork = false;
  std::map<CharacterId, std::shared_ptr<const Character>> characters;
  Timeline timeline;
  std::vector<ExportedAsset> exports;
  std::vector<ImportedAsset> imports;
  // Tags that add to a character defined before them (font info and names, font align zones,
  // text settings, button sounds and colour transforms, scaling grids), in file order: each
  // with the id of the character it names, its tag code and its whole body.
  std::vector<RawCharacter> characterInfo;
  std::vector<std::string> warnings;  // one line per tag skipped as malformed or unknown
};

}  // namespace swf

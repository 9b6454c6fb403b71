// Writing SWF movies from the plain value types: shapes, lossless bitmaps, sprites, placing,
// labels and actions, as tag lists and whole files. Tools and tests make real movies with it.
#pragma once

#include "SwfMovieData.h"

#include <cstdint>
#include <vector>

namespace swf {

// One tag list (a movie's or a sprite's). The version decides the layout of version-dependent
// records (clip event flags, frame label anchors).
class TagWriter {
 public:
  explicit TagWriter(uint8_t version) : version_(version) {}

  void tag(uint16_t code, const std::vector<uint8_t>& body);
  void shape(const Shape& shape);    // DefineShape 1..4 by shape.version
  void bitmap(const Bitmap& bitmap);  // DefineBitsLossless when every pixel is opaque, else 2
  void sprite(const Sprite& sprite);  // DefineSprite with its frames and End
  void frameTag(const FrameTag& tag);
  void showFrame();
  void background(const Rgba& color);
  void end();

  const std::vector<uint8_t>& bytes() const { return out_; }

 private:
  void placeObject(const PlaceObject& place);
  void removeObject(const RemoveObject& remove);

  uint8_t version_;
  std::vector<uint8_t> out_;
};

struct FileHeader {
  uint8_t version = 9;
  bool compressed = false;
  Rect frameRect;
  double frameRate = 24;
  uint16_t frameCount = 1;
};

// Header and tags (which should end with End); "CWS" compresses everything after byte 8.
std::vector<uint8_t> writeFile(const FileHeader& header, const std::vector<uint8_t>& tags);

struct ExtraTag {
  uint16_t code = 0;
  std::vector<uint8_t> body;
};

// A whole movie: FileAttributes (SWF 8 on), SetBackgroundColor, the extra tags, exports and
// imports, every character (each after those it uses) in the first frame before that frame's
// own tags, then the timeline. The header's frame count is the timeline's frame count, or its
// declared count when that is larger (empty frames are written up to it).
std::vector<uint8_t> writeMovie(const MovieData& movie, const std::vector<ExtraTag>& extraTags = {});

}  // namespace swf

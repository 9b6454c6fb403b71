// Hand-made movies for the display tests: rectangles as shapes, sprites and placements built
// in a few lines, without a SWF file.
#pragma once

#include <memory>

#include "../../../player/swf/SwfMovieData.h"

namespace fixture {

// A solid rectangle from (0, 0) to (w, h) pixels.
swf::Shape rectangle(swf::CharacterId id, int w, int h, swf::Rgba color);

swf::PlaceObject place(uint16_t depth, swf::CharacterId id);
swf::PlaceObject move(uint16_t depth);  // a modify with no fields yet
swf::Matrix translate(double xPixels, double yPixels);

struct Movie {
  std::shared_ptr<swf::MovieData> data = std::make_shared<swf::MovieData>();
  Movie(int widthPixels = 40, int heightPixels = 40);
  void add(swf::Character character);
  // Frame `frame` (1-based) of the root, made when missing.
  swf::Frame& frame(size_t frame);
};

// Frame `frame` (1-based) of a timeline, made when missing.
swf::Frame& frameOf(swf::Timeline& timeline, size_t frame);

}  // namespace fixture

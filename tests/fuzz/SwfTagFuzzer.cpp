// Fuzzes the SWF tag reader over whole movies: every record parser, the bitmap decoders and
// the sprite timelines, then walks what it read so every value is touched.
#include "MovieReader.h"

#include <cstdint>

namespace {

size_t touch(const swf::Timeline& timeline) {
  size_t n = timeline.frames.size();
  for (const swf::Frame& frame : timeline.frames) n += frame.tags.size();
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto movie = swf::readMovie(data, size);
  if (!movie) return 0;
  volatile size_t n = touch(movie->timeline) + movie->warnings.size();
  for (const auto& [id, character] : movie->characters) {
    if (const auto* sprite = std::get_if<swf::Sprite>(character.get())) n = n + touch(sprite->timeline);
    // A decoded bitmap always holds exactly its pixels.
    if (const auto* bitmap = std::get_if<swf::Bitmap>(character.get()))
      if (bitmap->rgba.size() != size_t{bitmap->width} * bitmap->height * 4) __builtin_trap();
  }
  return 0;
}

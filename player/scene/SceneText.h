// The scene text of `lumo-movie --scene`: bitmaps, shapes and sprites defined line by line and
// a timeline that places them, read into the characters and frames of a swf::MovieData.
#pragma once

#include "SwfMovieData.h"

#include <string>
#include <string_view>

namespace scene {

// Adds the scene's characters and frames to `movie` (its header fields stay as they are).
// False with "line N: why" in `error` for the first bad line; `movie` is then incomplete.
bool readScene(std::string_view text, swf::MovieData& movie, std::string& error);

}  // namespace scene

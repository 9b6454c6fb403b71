// Reads a whole SWF 1-8 movie into MovieData: the header (FWS, or CWS inflated within the
// header's file length), the character dictionary and the main timeline with its sprites.
#pragma once

#include "SwfMovieData.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace swf {

// nullopt only when the data is no SWF ("FWS" or "CWS" and a header). Anything malformed after
// the header is skipped tag by tag, with a line in MovieData::warnings, and the rest is read.
std::optional<MovieData> readMovie(const uint8_t* data, size_t size);

}  // namespace swf

// An MP3 file as Sound.loadSound reads it: decoded whole, with the text frames of its ID3v2
// tag for the Sound object's id3.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Samples.h"

namespace sound {

using Id3Frames = std::vector<std::pair<std::string, std::string>>;  // frame id, UTF-8 text

struct Mp3File {
  Samples samples;
  bool hasId3 = false;
  Id3Frames id3;
};

// Nothing when the bytes hold no MP3 frame that decodes.
std::optional<Mp3File> decodeMp3File(const std::vector<uint8_t>& bytes);

// The text frames (T***, and COMM's text) of an ID3v2.3 or v2.4 tag at the start of `bytes`;
// nothing when there is no tag.
std::optional<Id3Frames> readId3(const std::vector<uint8_t>& bytes);

}  // namespace sound

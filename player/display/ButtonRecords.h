// The BUTTONRECORDs of a DefineButton or DefineButton2 body (kept raw by the tag reader): which
// character each state shows, at which depth, with which matrix and colour transform.
#pragma once

#include <vector>

#include "../swf/SwfMovieData.h"

namespace display {

struct ButtonRecord {
  enum State : uint8_t { kUp = 0x01, kOver = 0x02, kDown = 0x04, kHitTest = 0x08 };
  uint8_t states = 0;
  swf::CharacterId characterId = 0;
  uint16_t depth = 0;
  swf::Matrix matrix;
  swf::ColorTransform colorTransform;
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  std::vector<swf::Filter> filters;
};

// The records up to the end flag; a record cut short ends the list. Empty for other tags.
std::vector<ButtonRecord> readButtonRecords(const swf::RawCharacter& button);

}  // namespace display

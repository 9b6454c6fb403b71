// A timeline's frame labels, for goto by label: the first frame of each name, matched without
// regard to ASCII case as the original player matches them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "../swf/SwfMovieData.h"

namespace display {

class FrameLabels {
 public:
  explicit FrameLabels(const swf::Timeline& timeline);
  std::optional<uint16_t> frameOf(std::string_view label) const;  // 1-based

 private:
  std::map<std::string, uint16_t> frames_;  // lower-case label -> frame
};

}  // namespace display

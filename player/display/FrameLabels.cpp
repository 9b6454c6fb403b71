// A timeline's frame labels, for goto by label.
#include "FrameLabels.h"

namespace display {

namespace {
std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}
}  // namespace

FrameLabels::FrameLabels(const swf::Timeline& timeline) {
  for (size_t i = 0; i < timeline.frames.size() && i < 0xFFFF; ++i)
    for (const swf::FrameTag& tag : timeline.frames[i].tags)
      if (auto* label = std::get_if<swf::FrameLabel>(&tag)) frames_.emplace(folded(label->name), uint16_t(i + 1));
}

std::optional<uint16_t> FrameLabels::frameOf(std::string_view label) const {
  auto it = frames_.find(folded(label));
  if (it == frames_.end()) return std::nullopt;
  return it->second;
}

}  // namespace display

// The display tags of the frames a goto passes over, merged per depth into one placement each,
// so that the target frame's list is built without making objects only to remove them.
#pragma once

#include <cstdint>
#include <vector>

#include "../swf/SwfTypes.h"

namespace display {

enum class PlaceAction : uint8_t { None, Place, Replace, Modify };

// What a PlaceObject asks: place a new instance, replace an instance's character, or modify it.
PlaceAction placeAction(const swf::PlaceObject& place);

struct GotoPlacement {
  uint16_t frame = 0;  // the frame of the tag that placed (or replaced) it
  size_t order = 0;    // the order of its first tag, for making objects in timeline order
  swf::PlaceObject place;
};

class GotoPlan {
 public:
  explicit GotoPlan(bool rewind) : rewind_(rewind) {}

  void place(const swf::PlaceObject& place, uint16_t frame);
  void remove(uint16_t depth);

  const GotoPlacement* at(int32_t depth) const;
  // The placements in the order their first tags came.
  std::vector<const GotoPlacement*> inOrder() const;

 private:
  bool rewind_;
  size_t nextOrder_ = 0;
  std::vector<GotoPlacement> placements_;
};

}  // namespace display

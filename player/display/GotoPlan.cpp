// The display tags a goto passes over, merged per depth.
#include "GotoPlan.h"

#include <algorithm>

namespace display {

PlaceAction placeAction(const swf::PlaceObject& place) {
  if (place.characterId) return place.move ? PlaceAction::Replace : PlaceAction::Place;
  return place.move ? PlaceAction::Modify : PlaceAction::None;
}

namespace {

// A rewind starts from an empty list: an instance placed again takes the placement's values,
// and what the tag leaves out is the default rather than what the old instance had. Name,
// clip depth and clip actions belong to the first placement only.
void fillDefaults(swf::PlaceObject& place) {
  if (!place.matrix) place.matrix = swf::Matrix{};
  if (!place.colorTransform) place.colorTransform = swf::ColorTransform{};
  if (!place.ratio) place.ratio = 0;
  if (!place.blendMode) place.blendMode = swf::BlendMode::Normal;
  if (!place.cacheAsBitmap) place.cacheAsBitmap = false;
  if (!place.filters) place.filters = std::vector<swf::Filter>{};
}

template <class T>
void takeIfSet(std::optional<T>& to, const std::optional<T>& from) {
  if (from) to = from;
}

}  // namespace

void GotoPlan::place(const swf::PlaceObject& place, uint16_t frame) {
  const PlaceAction action = placeAction(place);
  if (action == PlaceAction::None) return;
  auto it = std::find_if(placements_.begin(), placements_.end(),
                         [&](const GotoPlacement& p) { return p.place.depth == place.depth; });
  if (it == placements_.end()) {
    GotoPlacement p{frame, nextOrder_++, place};
    if (rewind_ && action == PlaceAction::Place) fillDefaults(p.place);
    placements_.push_back(std::move(p));
    return;
  }
  swf::PlaceObject& merged = it->place;
  if (action != PlaceAction::Modify) {
    merged.characterId = place.characterId;
    merged.move = place.move;
    it->frame = frame;
  }
  takeIfSet(merged.matrix, place.matrix);
  takeIfSet(merged.colorTransform, place.colorTransform);
  takeIfSet(merged.ratio, place.ratio);
  takeIfSet(merged.blendMode, place.blendMode);
  takeIfSet(merged.cacheAsBitmap, place.cacheAsBitmap);
  takeIfSet(merged.visible, place.visible);
  takeIfSet(merged.backgroundColor, place.backgroundColor);
  takeIfSet(merged.filters, place.filters);
}

void GotoPlan::remove(uint16_t depth) {
  std::erase_if(placements_, [&](const GotoPlacement& p) { return p.place.depth == depth; });
}

const GotoPlacement* GotoPlan::at(int32_t depth) const {
  for (const GotoPlacement& p : placements_)
    if (p.place.depth == depth) return &p;
  return nullptr;
}

std::vector<const GotoPlacement*> GotoPlan::inOrder() const {
  std::vector<const GotoPlacement*> out;
  for (const GotoPlacement& p : placements_) out.push_back(&p);
  std::sort(out.begin(), out.end(), [](auto* x, auto* y) { return x->order < y->order; });
  return out;
}

}  // namespace display

// What every object on a display list has, and the fields a PlaceObject changes.
#include "DisplayObject.h"

namespace display {

void DisplayObject::applyPlacement(const swf::PlaceObject& place) {
  if (place.matrix) matrix_ = *place.matrix;
  if (place.colorTransform) colorTransform_ = *place.colorTransform;
  if (place.ratio) ratio_ = *place.ratio;
  if (place.blendMode) blendMode_ = *place.blendMode;
  if (place.filters) filters_ = *place.filters;
  if (place.cacheAsBitmap) cacheAsBitmap_ = *place.cacheAsBitmap;
  if (place.visible) visible_ = *place.visible;
}

bool DisplayObject::replaceCharacter(swf::CharacterId, const CharacterLibrary&) { return false; }

}  // namespace display

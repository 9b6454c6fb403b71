// An instance of a bitmap character placed on a timeline: the image at 20 twips a pixel from
// the instance's origin, unsmoothed as the original player draws timeline bitmaps.
#pragma once

#include "DisplayObject.h"

namespace display {

class BitmapObject final : public DisplayObject {
 public:
  explicit BitmapObject(swf::CharacterId id) : DisplayObject(ObjectKind::Bitmap, id) {}
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;
};

}  // namespace display

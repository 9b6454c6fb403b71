// An instance of a bitmap character placed on a timeline.
#include "BitmapObject.h"

#include "../render/Renderer.h"
#include "CharacterLibrary.h"
#include "Transform.h"

namespace display {

void BitmapObject::render(RenderContext& context, const swf::Matrix& toPixels,
                          const swf::ColorTransform& colorTransform) const {
  const swf::Bitmap* bitmap = context.library.get<swf::Bitmap>(characterId());
  if (!bitmap || !bitmap->width || !bitmap->height) return;
  const swf::Matrix pixelsToTwips = scaleMatrix(20, 20);
  context.renderer.drawBitmap(*bitmap, concatenate(concatenate(toPixels, matrix()), pixelsToTwips), false,
                              concatenate(colorTransform, this->colorTransform()));
}

}  // namespace display

// The drawing interface the display list calls each frame: shapes and bitmaps with a matrix
// and a colour transform, clip masks, into a frame. SoftwareRenderer is the implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "../swf/SwfTypes.h"
#include "Frame.h"
#include "PreparedShape.h"

namespace render {

// The original player's quality levels: Low draws without anti-aliasing and never smooths
// bitmaps; Medium anti-aliases coarsely; High and Best anti-alias exactly and smooth bitmaps
// where the movie asks.
enum class Quality : uint8_t { Low, Medium, High, Best };

// Finds the bitmap a bitmap fill names; nullptr when the movie has none by that id (the fill
// then draws nothing).
using BitmapLookup = std::function<const swf::Bitmap*(swf::CharacterId)>;

class Renderer {
 public:
  virtual ~Renderer() = default;

  virtual void setQuality(Quality quality) = 0;
  virtual void setBitmapLookup(BitmapLookup lookup) = 0;

  // Starts a frame of width x height pixels, cleared to `background` (opaque stage colour) or
  // to transparent when none. Drops any masks left open.
  virtual void beginFrame(uint32_t width, uint32_t height, std::optional<swf::Rgba> background) = 0;

  // `toPixels` maps the shape's twips to frame pixels (the display list's concatenated matrix
  // times the stage's scale, which includes the 1/20).
  virtual void drawShape(const PreparedShape& shape, const swf::Matrix& toPixels,
                         const swf::ColorTransform& colorTransform) = 0;

  // `toPixels` maps the bitmap's pixels (one unit each) to frame pixels.
  virtual void drawBitmap(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, bool smoothing,
                          const swf::ColorTransform& colorTransform) = 0;

  // A clip layer: pushMask, then the mask's draws (their coverage, not their colours, makes
  // the mask), then activateMask; what is drawn after that shows only inside the mask (and
  // inside every enclosing mask) until popMask.
  virtual void pushMask() = 0;
  virtual void activateMask() = 0;
  virtual void popMask() = 0;

  // An offscreen layer: what is drawn after pushLayer goes into a transparent layer the size
  // of the frame; popLayer filters it (`filterScale` frame pixels to the filters' pixel) and
  // composites it into what lies below it with `mode`. Inside a mask being drawn a layer
  // changes nothing (masks take coverage, not colours).
  virtual void pushLayer() = 0;
  virtual void popLayer(swf::BlendMode mode, const std::vector<swf::Filter>& filters, double filterScale) = 0;

  virtual void endFrame() = 0;
  virtual const Frame& frame() const = 0;
};

}  // namespace render

// The renderer on the processor: anti-aliased coverage by signed-area accumulation, paints
// (solid, gradients, bitmaps) composited source-over into a premultiplied frame.
#pragma once

#include <memory>

#include "Renderer.h"

namespace render {

class SoftwareRenderer final : public Renderer {
 public:
  SoftwareRenderer();
  ~SoftwareRenderer() override;

  void setQuality(Quality quality) override;
  void setBitmapLookup(BitmapLookup lookup) override;
  void beginFrame(uint32_t width, uint32_t height, std::optional<swf::Rgba> background) override;
  void drawShape(const PreparedShape& shape, const swf::Matrix& toPixels,
                 const swf::ColorTransform& colorTransform) override;
  void drawBitmap(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, bool smoothing,
                  const swf::ColorTransform& colorTransform) override;
  void pushMask() override;
  void activateMask() override;
  void popMask() override;
  void pushLayer() override;
  void popLayer(swf::BlendMode mode, const std::vector<swf::Filter>& filters, double filterScale) override;
  void endFrame() override;
  const Frame& frame() const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace render

// One movie playing: advancing its clips and drawing its stage.
#include "MoviePlayer.h"

#include <algorithm>
#include <cmath>

#include "Transform.h"

namespace display {

namespace {
// Keeps a damaged header from asking for a frame of gigapixels.
constexpr double kMaxStagePixels = 8192;

uint32_t pixels(int64_t twips, double scale) {
  const double p = std::round(std::max<int64_t>(twips, 0) * scale / 20.0);
  return static_cast<uint32_t>(std::min(p, kMaxStagePixels));
}
}  // namespace

MoviePlayer::MoviePlayer(std::shared_ptr<const swf::MovieData> movie)
    : movie_(movie), context_(movie), root_(std::make_shared<SpriteObject>(context_, movie->timeline, 0)) {
  context_.addToExecution(root_);
}

void MoviePlayer::advance() { context_.runFrames(); }

void MoviePlayer::render(render::Renderer& renderer, const swf::Matrix& view) {
  renderer.setBitmapLookup(context_.library().bitmapLookup());
  RenderContext context{renderer, context_.library()};
  context.stageScale = std::hypot(view.a, view.b) * 20;
  root_->render(context, view, swf::ColorTransform{});
}

void MoviePlayer::renderStage(render::Renderer& renderer, double scale) {
  renderer.beginFrame(stageWidth(scale), stageHeight(scale), background());
  render(renderer, stageView(stageRect(), scale));
  renderer.endFrame();
}

uint32_t MoviePlayer::stageWidth(double scale) const {
  return pixels(int64_t(stageRect().xMax) - stageRect().xMin, scale);
}
uint32_t MoviePlayer::stageHeight(double scale) const {
  return pixels(int64_t(stageRect().yMax) - stageRect().yMin, scale);
}

swf::Rgba MoviePlayer::background() const { return movie_->background.value_or(swf::Rgba{255, 255, 255, 255}); }

}  // namespace display

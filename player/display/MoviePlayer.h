// One movie playing: its characters, its root timeline and the clips' execution order. The
// caller advances it once per frame at the movie's rate and renders it when it likes.
#pragma once

#include <memory>

#include "../render/Renderer.h"
#include "../swf/SwfMovieData.h"
#include "DisplayContext.h"
#include "SpriteObject.h"

namespace display {

class MoviePlayer {
 public:
  explicit MoviePlayer(std::shared_ptr<const swf::MovieData> movie);

  // One frame: every clip runs its next frame. The root shows its first frame after the first
  // call, so after N calls a playing movie shows frame N.
  void advance();

  // Draws the display list into a frame the caller has begun; `view` maps stage twips to the
  // frame's pixels (stageView gives the usual one).
  void render(render::Renderer& renderer, const swf::Matrix& view);
  // Begins a frame of the stage's size times `scale` in the stage colour, draws, ends it.
  void renderStage(render::Renderer& renderer, double scale);

  // Timelines send their sound tags here from now on (nullptr: silence).
  void attachSounds(sound::MovieSounds* sounds) { context_.setSounds(sounds); }

  SpriteObject& root() { return *root_; }
  DisplayContext& context() { return context_; }
  // The characters; give it the system's fonts (setDeviceFonts) before the first advance.
  CharacterLibrary& library() { return context_.library(); }
  const swf::MovieData& movie() const { return *movie_; }
  const swf::Rect& stageRect() const { return movie_->frameRect; }
  uint32_t stageWidth(double scale = 1) const;  // pixels
  uint32_t stageHeight(double scale = 1) const;
  double frameRate() const { return movie_->frameRate; }
  // The SetBackgroundColor colour; white when the movie sets none, as the original player shows.
  swf::Rgba background() const;

 private:
  std::shared_ptr<const swf::MovieData> movie_;
  DisplayContext context_;
  std::shared_ptr<SpriteObject> root_;
};

}  // namespace display

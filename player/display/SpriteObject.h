// A movie clip: its own display list and timeline with a play state. Frames run their display
// tags; gotos follow the original player's rules (forwards merged, backwards rebuilt from the
// first frame keeping the instances the target frame would place the same way).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "../swf/SwfMovieData.h"
#include "DisplayList.h"
#include "Drawing.h"
#include "DisplayObject.h"

namespace display {

class DisplayContext;
class GotoPlan;
struct GotoPlacement;

class SpriteObject final : public DisplayObject {
 public:
  // `timeline` stays owned by the movie the context holds.
  SpriteObject(DisplayContext& context, const swf::Timeline& timeline, swf::CharacterId id);

  uint16_t currentFrame() const { return currentFrame_; }  // 1-based; 0 before the first runs
  uint16_t totalFrames() const;
  bool playing() const { return playing_; }
  void play() { playing_ = true; }
  void stop() { playing_ = false; }

  // ActionScript's gotoAndPlay/gotoAndStop: frames below 1 go to 1, past the end to the last.
  void gotoFrame(uint16_t frame, bool stopThere);
  // False (and nothing changes) when the timeline has no such label.
  bool gotoLabel(std::string_view label, bool stopThere);
  void nextFrame();
  void prevFrame();

  DisplayObject* childAt(int32_t depth) const { return list_.at(depth); }
  DisplayObject* childByName(std::string_view name) const { return list_.byName(name); }
  const DisplayList& children() const { return list_; }

  // Scripts' changes to the list. attach puts an instance made by the context at `depth` (what
  // was there leaves) and runs a clip's first frame (a loaded movie's waits for the next
  // frame); removeAt takes one off; swapDepths moves the instances at two depths (either may
  // be empty).
  DisplayObject* attach(std::shared_ptr<DisplayObject> object, int32_t depth, const std::string& name,
                        bool runFirstFrame = true);
  void removeAt(int32_t depth);
  void swapDepths(int32_t a, int32_t b);
  DisplayContext& context() const { return context_; }
  const swf::Timeline& timeline() const { return timeline_; }
  // What scripts drew with the drawing API, beneath the children; none until they draw.
  const Drawing* drawing() const { return drawing_.get(); }
  Drawing& drawing() {
    if (!drawing_) drawing_ = std::make_unique<Drawing>();
    return *drawing_;
  }
  // Whether the clip's load event ran (the engine sends enterFrame after it).
  bool loadEventSent = false;

  // One tick of the movie's frame rate for this clip: the next frame (or the first again after
  // the last) when playing.
  void runFrame();

  void markRemoved() override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;

 private:
  void runFrameTags(uint16_t frame);
  void runFrameScripts(uint16_t frame);  // a goto's target frame: its action tags only
  void removeChild(int32_t depth);
  void place(const swf::PlaceObject& place);
  DisplayObject* instantiate(swf::CharacterId id, const swf::PlaceObject& place, uint16_t placeFrame);
  void runGoto(uint16_t frame);
  bool survivesRewind(const DisplayObject& child, const GotoPlan& plan) const;
  void applyGotoPlacement(const GotoPlacement& placement, bool rewind);

  DisplayContext& context_;
  const swf::Timeline& timeline_;
  DisplayList list_;
  uint16_t currentFrame_ = 0;
  bool playing_ = true;
  std::unique_ptr<Drawing> drawing_;
};

}  // namespace display

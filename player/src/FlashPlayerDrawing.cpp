// The player's stage on the screen: the movie's picture (through MovieView) under the script's
// shapes, hit tests over both, and repaints after each frame limited to what changed.
#include "FlashPlayer.h"

#include "ActionScriptMovie.h"
#include "InputObjects.h"

MovieLook FlashPlayer::movieLook() const {
  MovieLook look;
  look.layout = layout();
  look.background = stage_.background(look.layout);
  look.quality = quality_;
  return look;
}

void FlashPlayer::drawStage(HDC dc, const RECT& bounds, StageLayout l) {
  if (movieView_.loaded()) {
    MovieLook look = movieLook();
    look.layout = l;
    movieView_.draw(dc, bounds, look);
    // The picture holds the background already; the movie has its own content, no caption.
    l.transparent = true;
    l.caption = false;
  }
  stage_.draw(dc, bounds, l);
}

bool FlashPlayer::stageHit(const RECT& bounds, POINT point) {
  StageLayout l = layout();
  if (!movieView_.loaded()) return stage_.hit(bounds, point, l);
  if (!PtInRect(&bounds, point)) return false;
  if (!l.transparent) return true;
  l.caption = false;
  return movieView_.covers(bounds, point, movieLook()) || movieView_.buttonAt(bounds, point) ||
         stage_.hit(bounds, point, l);
}

RECT FlashPlayer::stageArea() const {
  RECT area{};
  if (inPlaceActive_ && windowless_ && windowlessSite_)
    area = position_;
  else if (stageWindow_)
    GetClientRect(stageWindow_, &area);
  return area;
}

void FlashPlayer::bindStageLayout() {
  clips::InputObjects* input = actionScript_ ? actionScript_->input() : nullptr;
  if (!input) return;
  input->setLayout(scaleMode_, alignMode_);
  input->layoutChanged = [this, input] {
    scaleMode_ = input->scaleModeIndex();
    alignMode_ = input->alignBits();
    invalidateStage();
  };
}

void FlashPlayer::refreshMovie() {
  if (!movieView_.loaded()) return;
  RECT area = stageArea();
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  // The area's size is the stage's under noScale: a resize reaches Stage.onResize.
  if (auto actionScript = actionScript_)
    if (clips::InputObjects* input = actionScript->input()) input->resized(width, height);
  MovieLook look = movieLook();
  if (!windowless_) look.layout.transparent = false;  // as the stage window paints it
  RECT changed = movieView_.render(width, height, look);
  if (IsRectEmpty(&changed)) return;
  OffsetRect(&changed, area.left, area.top);
  if (inPlaceActive_ && windowless_ && windowlessSite_)
    windowlessSite_->InvalidateRect(&changed, FALSE);
  else if (stageWindow_)
    InvalidateRect(stageWindow_, &changed, FALSE);
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

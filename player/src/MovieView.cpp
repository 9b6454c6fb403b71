// The movie's picture: the tag reader's values played by the display list and drawn by the
// software renderer at device size; a new picture is compared with the last to find what changed.
#include "MovieView.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "FrameBitmap.h"
#include "MovieReader.h"
#include "MoviePlayer.h"
#include "SoftwareRenderer.h"
#include "StageMapping.h"

namespace {

// The Quality property's values in order: Low, High, AutoLow, AutoHigh, Medium, Best. The
// automatic ones start at their named level and stay there: frames here are never late enough
// to step down.
constexpr render::Quality kQualities[] = {render::Quality::Low,  render::Quality::High, render::Quality::Low,
                                          render::Quality::High, render::Quality::Medium, render::Quality::Best};

render::Quality qualityOf(int property) {
  return property >= 0 && property < static_cast<int>(std::size(kQualities)) ? kQualities[property]
                                                                               : render::Quality::High;
}

// The smallest rectangle holding every pixel that differs; empty when none does.
RECT changedArea(const render::Frame& before, const render::Frame& after) {
  RECT area{static_cast<LONG>(after.width), static_cast<LONG>(after.height), 0, 0};
  for (uint32_t y = 0; y < after.height; ++y) {
    const uint32_t* a = before.pixels.data() + static_cast<size_t>(y) * after.width;
    const uint32_t* b = after.pixels.data() + static_cast<size_t>(y) * after.width;
    if (std::equal(a, a + after.width, b)) continue;
    uint32_t first = 0, last = after.width;
    while (a[first] == b[first]) ++first;
    while (a[last - 1] == b[last - 1]) --last;
    area.left = std::min<LONG>(area.left, first);
    area.right = std::max<LONG>(area.right, last);
    area.top = std::min<LONG>(area.top, y);
    area.bottom = static_cast<LONG>(y) + 1;
  }
  if (area.right <= area.left) return RECT{};
  return area;
}

}  // namespace

struct MovieView::State {
  std::shared_ptr<const swf::MovieData> movie;
  std::shared_ptr<display::MoviePlayer> shared;
  display::MoviePlayer& player;
  render::SoftwareRenderer renderer;
  render::Frame last;  // the picture on screen, to compare the next with
  FrameBitmap bitmap;
  std::optional<MovieLook> lastLook;  // none until the first picture

  explicit State(std::shared_ptr<const swf::MovieData> data)
      : movie(data), shared(std::make_shared<display::MoviePlayer>(data)), player(*shared) {}
};

MovieView::MovieView() = default;
MovieView::~MovieView() = default;

bool MovieView::load(const std::vector<uint8_t>& bytes) {
  clear();
  std::optional<swf::MovieData> data = swf::readMovie(bytes.data(), bytes.size());
  // ActionScript 3 movies and movies without characters keep the stand-in's stage.
  if (!data || data->actionScript3 || data->characters.empty()) return false;
  state_ = std::make_unique<State>(std::make_shared<const swf::MovieData>(std::move(*data)));
  state_->player.advance();  // the first frame shows as soon as the movie is there
  return true;
}

std::shared_ptr<display::MoviePlayer> MovieView::player() const { return state_ ? state_->shared : nullptr; }

void MovieView::clear() { state_.reset(); }

bool MovieView::loaded() const { return state_ != nullptr; }

void MovieView::advance(bool playing) {
  if (!state_) return;
  display::SpriteObject& root = state_->player.root();
  playing ? root.play() : root.stop();
  state_->player.advance();
}

void MovieView::gotoFrame(long frame) {
  if (!state_) return;
  display::SpriteObject& root = state_->player.root();
  root.gotoFrame(static_cast<uint16_t>(std::clamp<long>(frame + 1, 1, 0xFFFF)), !root.playing());
}

RECT MovieView::render(int width, int height, const MovieLook& look) {
  if (!state_ || width <= 0 || height <= 0) return RECT{};
  State& s = *state_;
  const swf::Rect& stage = s.player.stageRect();
  StageMapping m = mapStage((stage.xMax - stage.xMin) / 20.0, (stage.yMax - stage.yMin) / 20.0, 0, 0, width, height,
                            look.layout.scaleMode, look.layout.alignMode);
  swf::Matrix view{m.sx / 20, 0, 0, m.sy / 20, m.ox - stage.xMin * m.sx / 20, m.oy - stage.yMin * m.sy / 20};
  std::optional<swf::Rgba> background;
  if (!look.layout.transparent)
    background = swf::Rgba{static_cast<uint8_t>(look.background >> 16), static_cast<uint8_t>(look.background >> 8),
                           static_cast<uint8_t>(look.background), 255};
  s.renderer.setQuality(qualityOf(look.quality));
  s.renderer.beginFrame(static_cast<uint32_t>(width), static_cast<uint32_t>(height), background);
  s.player.render(s.renderer, view);
  s.renderer.endFrame();
  const render::Frame& frame = s.renderer.frame();
  bool fresh = !s.lastLook || !(*s.lastLook == look) || s.last.width != frame.width || s.last.height != frame.height;
  RECT changed = fresh ? RECT{0, 0, width, height} : changedArea(s.last, frame);
  if (IsRectEmpty(&changed)) return changed;
  if (!s.bitmap.assign(frame, changed)) return RECT{};
  s.last = frame;
  s.lastLook = look;
  return changed;
}

void MovieView::draw(HDC dc, const RECT& bounds, const MovieLook& look) {
  if (!state_) return;
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  State& s = *state_;
  if (!s.lastLook || !(*s.lastLook == look) || s.bitmap.width() != width || s.bitmap.height() != height)
    render(width, height, look);
  s.bitmap.draw(dc, bounds.left, bounds.top, look.layout.transparent);
}

bool MovieView::covers(const RECT& bounds, POINT point, const MovieLook& look) {
  if (!state_) return false;
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  State& s = *state_;
  if (!s.lastLook || !(*s.lastLook == look) || s.bitmap.width() != width || s.bitmap.height() != height)
    render(width, height, look);
  return s.bitmap.alphaAt(point.x - bounds.left, point.y - bounds.top) != 0;
}

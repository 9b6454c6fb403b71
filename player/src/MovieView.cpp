// The movie's picture: the tag reader's values played by the display list and drawn by the
// software renderer at device size; a new picture is compared with the last to find what changed.
#include "MovieView.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "FrameBitmap.h"
#include "MovieReader.h"
#include "HitTest.h"
#include "MoviePlayer.h"
#include "MovieSounds.h"
#include "BoundFields.h"
#include "EditTextObject.h"
#include "FocusRect.h"
#include "PointerTracker.h"
#include "SoftwareRenderer.h"
#include "StageMapping.h"
#include "SystemFonts.h"

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
  std::unique_ptr<sound::MovieSounds> sounds;
  swf::Matrix view;                   // stage twips to the last picture's pixels
  display::PointerTracker pointer;
  display::TextInput text;

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
  if (mixer_) {
    state_->sounds = std::make_unique<sound::MovieSounds>(state_->movie, *mixer_);
    state_->player.attachSounds(state_->sounds.get());
  }
  state_->player.library().setDeviceFonts(std::make_shared<SystemFonts>());
  state_->player.advance();  // the first frame shows as soon as the movie is there
  return true;
}

std::shared_ptr<display::MoviePlayer> MovieView::player() const { return state_ ? state_->shared : nullptr; }

void MovieView::clear() {
  // The sounds of the movie that goes stop with it; its display list may outlive this view in
  // the script side's hands, so it lets go of them first.
  if (state_ && state_->sounds) {
    state_->player.attachSounds(nullptr);
    mixer_->stopAll();
  }
  state_.reset();
}

std::vector<std::string> MovieView::takeSoundNotes() {
  return state_ && state_->sounds ? state_->sounds->takeNotes() : std::vector<std::string>{};
}

sound::MovieSounds* MovieView::sounds() const { return state_ ? state_->sounds.get() : nullptr; }

std::optional<double> MovieView::streamLead() const {
  if (!state_ || !state_->sounds) return std::nullopt;
  return state_->sounds->streamLead(&state_->player.root());
}

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
  s.view = view;
  std::optional<swf::Rgba> background;
  if (!look.layout.transparent)
    background = swf::Rgba{static_cast<uint8_t>(look.background >> 16), static_cast<uint8_t>(look.background >> 8),
                           static_cast<uint8_t>(look.background), 255};
  s.renderer.setQuality(qualityOf(look.quality));
  s.renderer.beginFrame(static_cast<uint32_t>(width), static_cast<uint32_t>(height), background);
  s.player.render(s.renderer, view);
  if (levels_) levels_(s.renderer, view);
  if (std::shared_ptr<display::DisplayObject> ringed = s.text.highlighted())
    if (std::optional<clips::Bounds> b = clips::focusBounds(s.player.context().library(), *ringed))
      clips::drawFocusRect(s.renderer, *b, view);
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

// --- input for the movie's buttons ----------------------------------------------------------

namespace {

std::vector<display::PendingButtonAction> pendingActions(const std::vector<display::ButtonEvent>& events) {
  std::vector<display::PendingButtonAction> out;
  for (const display::ButtonEvent& event : events)
    for (const display::ButtonAction* action : display::actionsFor(event)) out.push_back({event.button, action->bytes});
  return out;
}

}  // namespace

std::optional<render::Point> MovieView::stagePoint(POINT point) const {
  render::Point stage;
  if (!state_ || !display::toLocal(state_->view, render::Point{point.x + 0.5, point.y + 0.5}, stage)) return std::nullopt;
  return stage;
}

std::shared_ptr<display::ButtonObject> MovieView::buttonUnder(POINT point) {
  std::optional<render::Point> stage = stagePoint(point);
  if (!stage) return nullptr;
  return display::topButtonAt(state_->player.root().children(), state_->player.context().library(), *stage);
}

std::vector<display::PendingButtonAction> MovieView::pointer(Pointer what, POINT point) {
  if (!state_) return {};
  std::shared_ptr<display::ButtonObject> target = what == Pointer::Leave ? nullptr : buttonUnder(point);
  display::PointerTracker& tracker = state_->pointer;
  if (std::optional<render::Point> stage = stagePoint(point)) {
    if (what == Pointer::Press) state_->text.press(state_->player.root().children(), *stage);
    if (what == Pointer::Move) state_->text.drag(*stage);
  }
  if (what == Pointer::Release) state_->text.release();
  switch (what) {
    case Pointer::Press: buttonEvents_ = tracker.press(target); break;
    case Pointer::Release: buttonEvents_ = tracker.release(target); break;
    default: buttonEvents_ = tracker.move(target); break;
  }
  return pendingActions(buttonEvents_);
}

std::vector<display::PendingButtonAction> MovieView::keyPress(uint8_t swfKey) {
  if (!state_) return {};
  std::vector<display::PendingButtonAction> out;
  for (const auto& [button, action] : display::keyPressActions(state_->player.root().children(), swfKey))
    out.push_back({button, action->bytes});
  return out;
}

bool MovieView::handCursor() const {
  if (!state_) return false;
  std::shared_ptr<display::ButtonObject> hovered = state_->pointer.hovered();
  return hovered && hovered->enabled() && hovered->useHandCursor();
}

bool MovieView::buttonAt(const RECT& bounds, POINT point) {
  return buttonUnder(POINT{point.x - bounds.left, point.y - bounds.top}) != nullptr;
}

std::optional<MovieView::FieldChange> MovieView::fieldChange(bool changed) const {
  std::shared_ptr<display::EditTextObject> field = state_ ? state_->text.focusedField() : nullptr;
  if (!changed || !field) return std::nullopt;
  if (field->state().variableName().empty()) return FieldChange{{}, {}, field};
  return FieldChange{clips::boundVariablePath(*field), field->state().variableValue(), field};
}

std::optional<MovieView::FieldChange> MovieView::editKey(display::EditKey key, bool shift) {
  return state_ ? fieldChange(state_->text.key(key, shift)) : std::nullopt;
}

std::optional<MovieView::FieldChange> MovieView::type(std::u16string_view text) {
  return state_ ? fieldChange(state_->text.type(text)) : std::nullopt;
}

std::optional<MovieView::FieldChange> MovieView::cut() { return state_ ? fieldChange(state_->text.cut()) : std::nullopt; }

std::optional<std::u16string> MovieView::copy() const { return state_ ? state_->text.copy() : std::nullopt; }

void MovieView::tab(bool backwards) {
  if (state_) state_->text.tab(state_->player.root().children(), backwards);
}

display::TextInput* MovieView::textInput() const { return state_ ? &state_->text : nullptr; }

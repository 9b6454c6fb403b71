// The movie's pictures for the control: its display list drawn by the software renderer at the
// size the container shows it, kept as a DIB, with the part that changed since the last one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ButtonActionRunner.h"
#include "PointerTracker.h"
#include "TextInput.h"
#include "Stage.h"

namespace sound {
class Mixer;
class MovieSounds;
}
namespace display {
class MoviePlayer;
}
namespace render {
class Renderer;
}
namespace swf {
struct Matrix;
}

// How the picture is made: the stage's layout, the colour behind it and the quality.
struct MovieLook {
  StageLayout layout;
  long background = 0xFFFFFF;  // 0x00RRGGBB; unused when the layout is transparent
  int quality = 1;             // the Quality property: 0 Low, 1 High, 2 AutoLow, 3 AutoHigh, 4 Medium, 5 Best
  friend bool operator==(const MovieLook& a, const MovieLook& b) {
    return a.layout.scaleMode == b.layout.scaleMode && a.layout.alignMode == b.layout.alignMode &&
           a.layout.transparent == b.layout.transparent && a.background == b.background && a.quality == b.quality;
  }
};

class MovieView {
 public:
  MovieView();
  ~MovieView();
  MovieView(const MovieView&) = delete;
  MovieView& operator=(const MovieView&) = delete;

  // Reads the movie's characters and timeline; false (and nothing loaded) when the bytes hold
  // nothing to draw, so the stage draws alone as before.
  bool load(const std::vector<uint8_t>& bytes);
  void clear();
  bool loaded() const;
  // The movie's display list, for ActionScript to drive; none when nothing is loaded.
  std::shared_ptr<display::MoviePlayer> player() const;

  // Movies loaded from now on play their sounds into `mixer` (which outlives this view).
  void setMixer(sound::Mixer* mixer) { mixer_ = mixer; }
  // Draws what the movie loaded into levels above 0 over its own picture (`view`: stage twips
  // to the frame's pixels).
  using LevelDrawing = std::function<void(render::Renderer& renderer, const swf::Matrix& view)>;
  void setLevels(LevelDrawing draw) { levels_ = std::move(draw); }
  // Transcript lines of the movie's sounds since the last call.
  std::vector<std::string> takeSoundNotes();
  // The movie's sounds; none without a movie or a mixer.
  sound::MovieSounds* sounds() const;
  // How many frames the main timeline's stream sound leads the audio mixed so far.
  std::optional<double> streamLead() const;

  // One frame of the display list: the main timeline only while `playing`, its sprites always.
  void advance(bool playing);
  // The container's GotoFrame (0-based), stopping there when the movie is stopped.
  void gotoFrame(long frame);

  // Renders the current frame for an area of width x height device pixels; the part that
  // differs from the last picture (relative to the area's top left), empty when none does.
  RECT render(int width, int height, const MovieLook& look);
  // Draws the picture into `bounds` (rendered first when the size or look changed): opaque,
  // or blended with its own alpha when the layout is transparent.
  void draw(HDC dc, const RECT& bounds, const MovieLook& look);
  // True when the picture covers the point (in the coordinates of `bounds`) with any alpha.
  bool covers(const RECT& bounds, POINT point, const MovieLook& look);

  // Input for the movie's buttons. Points are in the pixels of the area last
  // rendered. Each gives the actions the buttons' state changes run, in order.
  enum class Pointer { Move, Press, Release, Leave };
  std::vector<display::PendingButtonAction> pointer(Pointer what, POINT point);
  // A key press by its SWF key code (1-19 the named keys, 32-126 characters).
  std::vector<display::PendingButtonAction> keyPress(uint8_t swfKey);
  // The button events of the last pointer input, for the buttons' script handlers (onPress...).
  std::vector<display::ButtonEvent> takeButtonEvents() { return std::move(buttonEvents_); }
  // The pointer is over an enabled button that shows the hand.
  bool handCursor() const;
  // A button's hit area lies under the point (in the coordinates of `bounds`).
  bool buttonAt(const RECT& bounds, POINT point);

  // The focused text field's input. A change of its text gives the field's variable and
  // the new text, for the movie's variables.
  struct FieldChange {
    std::string variable;  // empty for a field without one
    std::u16string value;
    std::shared_ptr<display::EditTextObject> field;
  };
  std::optional<FieldChange> editKey(display::EditKey key, bool shift);
  std::optional<FieldChange> type(std::u16string_view text);
  std::optional<FieldChange> cut();
  std::optional<std::u16string> copy() const;
  void tab(bool backwards);
  // The keyboard focus of fields and buttons; none without a movie.
  display::TextInput* textInput() const;
  // A point of the player's area in twips of the stage; none before a movie is shown.
  std::optional<render::Point> stagePoint(POINT point) const;

 private:
  struct State;
  std::vector<display::ButtonEvent> buttonEvents_;
  std::shared_ptr<display::ButtonObject> buttonUnder(POINT point);
  std::optional<FieldChange> fieldChange(bool changed) const;
  std::unique_ptr<State> state_;
  sound::Mixer* mixer_ = nullptr;
  LevelDrawing levels_;
};

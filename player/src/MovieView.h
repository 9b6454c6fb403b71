// The movie's pictures for the control: its display list drawn by the software renderer at the
// size the container shows it, kept as a DIB, with the part that changed since the last one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Stage.h"

namespace display {
class MoviePlayer;
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

 private:
  struct State;
  std::unique_ptr<State> state_;
};

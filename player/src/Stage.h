// The stage of a movie as the player draws it: background colour, the shapes the script put
// there and a caption line with the movie's name, mapped onto any rectangle of any DC.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct StageLayout {
  int scaleMode = 0;         // 0 ShowAll, 1 NoBorder, 2 ExactFit, 3 NoScale
  int alignMode = 0;         // bits: 1 left, 2 right, 4 top, 8 bottom
  bool transparent = false;  // no background: only drawn shapes and text are painted
  long backgroundOverride = -1;  // 0x00RRGGBB from the container, -1 for the movie's own
  bool caption = true;           // the movie's name at the top left, while it draws nothing itself
};

class Stage {
 public:
  struct Shape {
    RECT rect;          // stage pixels
    COLORREF color;
    BYTE alpha;         // 255 opaque
  };

  void reset(int width, int height, long background, std::wstring caption);
  void addShape(const Shape& shape) { shapes_.push_back(shape); }
  // 0x00RRGGBB that the stage shows (the override when set).
  long background(const StageLayout& layout) const;

  void draw(HDC dc, const RECT& bounds, const StageLayout& layout) const;
  // True when the point (in the DC's coordinates of `bounds`) shows anything the stage paints:
  // the whole stage when opaque, only shapes and text when transparent.
  bool hit(const RECT& bounds, POINT point, const StageLayout& layout) const;

 private:
  struct Mapping {
    double sx, sy;
    double ox, oy;
    RECT toDevice(const RECT& r) const;
  };
  Mapping map(const RECT& bounds, const StageLayout& layout) const;

  int width_ = 0;
  int height_ = 0;
  long background_ = 0xFFFFFF;
  std::wstring caption_;
  std::vector<Shape> shapes_;
};

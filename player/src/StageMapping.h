// Where the stage goes in a rectangle: the scale of each axis and the offset that ScaleMode
// and AlignMode give, shared by the movie's pixels and the script's shapes drawn over them.
#pragma once

#include <algorithm>

struct StageMapping {
  double sx = 1, sy = 1;  // device pixels per stage pixel
  double ox = 0, oy = 0;  // device position of the stage's origin
};

// scaleMode: 0 ShowAll, 1 NoBorder, 2 ExactFit, 3 NoScale; alignMode bits: 1 left, 2 right,
// 4 top, 8 bottom (centred on an axis with neither).
inline StageMapping mapStage(double stageWidth, double stageHeight, double left, double top, double width,
                             double height, int scaleMode, int alignMode) {
  double w = stageWidth > 0 ? stageWidth : width;
  double h = stageHeight > 0 ? stageHeight : height;
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  StageMapping m;
  switch (scaleMode) {
    case 1: m.sx = m.sy = std::max(width / w, height / h); break;  // NoBorder
    case 2: m.sx = width / w; m.sy = height / h; break;            // ExactFit
    case 3: break;                                                 // NoScale
    default: m.sx = m.sy = std::min(width / w, height / h); break; // ShowAll
  }
  double spareX = width - w * m.sx, spareY = height - h * m.sy;
  m.ox = left + ((alignMode & 1) ? 0 : (alignMode & 2) ? spareX : spareX / 2);
  m.oy = top + ((alignMode & 4) ? 0 : (alignMode & 8) ? spareY : spareY / 2);
  return m;
}

// Writes an uncompressed SWF: the header (version, stage size, frame rate, one frame) and the
// tags the caller lists, in its order, then ShowFrame and End.
#pragma once

#include "ActionBuffer.h"

#include <string>
#include <vector>

namespace as2c {

enum class TagKind { FileAttributes, ScriptLimits, BackgroundColor, Actions, PlacedObject };

struct TagRequest {
  TagKind kind;
  unsigned values[2] = {0, 0};  // flags; recursion depth and timeout; 0xRRGGBB
};

struct MovieSettings {
  int version = 8;
  unsigned width = 550, height = 400;  // pixels
  double frameRate = 12;
  std::vector<TagRequest> tags;
};

// Parses one --tag argument: "file-attributes=FLAGS", "script-limits=DEPTH,SECONDS",
// "background=RRGGBB", "actions" or "placed-object". Returns false when it is none of them.
bool parseTagRequest(const std::string& text, TagRequest& tag);

Bytes writeSwf(const MovieSettings& settings, const Bytes& actions);

}  // namespace as2c

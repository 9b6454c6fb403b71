// The SWF container as this player reads and writes it: header, frame rectangle, rate, count,
// background colour, frames and the script tag (code 1000). Portable: the movie tool uses it too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace movie {

inline constexpr uint16_t kTagEnd = 0;
inline constexpr uint16_t kTagShowFrame = 1;
inline constexpr uint16_t kTagSetBackgroundColor = 9;
inline constexpr uint16_t kTagDoAction = 12;
inline constexpr uint16_t kTagDoInitAction = 59;
inline constexpr uint16_t kTagScriptLimits = 65;
inline constexpr uint16_t kTagFileAttributes = 69;
inline constexpr uint16_t kTagScript = 1000;

// One DoAction or DoInitAction body: AVM1 actions that run when their frame is reached.
struct ActionBlock {
  int frame = 0;  // 0-based
  bool init = false;
  std::vector<uint8_t> bytes;
};

struct SwfMovie {
  bool compressed = false;
  uint8_t version = 9;
  // Frame rectangle in twips.
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  double frameRate = 24.0;
  uint16_t frameCount = 1;
  // 0x00RRGGBB, none when the movie has no SetBackgroundColor tag.
  std::optional<uint32_t> background;
  // Frames shown by ShowFrame tags up to End (or the end of the data).
  int shownFrames = 0;
  // UTF-8 text of the script tag; empty when the movie has none.
  std::string script;
  bool hasScript = false;
  // AVM1 code of the main timeline, in tag order.
  std::vector<ActionBlock> actions;
  // The FileAttributes flag that makes a movie run ActionScript 3 (no AVM1 then).
  bool actionScript3 = false;
  // ScriptLimits; 15 seconds when the movie has no such tag.
  int scriptTimeoutSeconds = 15;

  int widthPixels() const { return (xMax - xMin) / 20; }
  int heightPixels() const { return (yMax - yMin) / 20; }
};

// Reads a movie from its bytes; none for anything that is not a well-formed SWF header. Tags
// after a truncated one are ignored (the movie keeps what was read up to there).
std::optional<SwfMovie> parseSwf(const uint8_t* data, size_t size, std::string* error = nullptr);

// Writes the movie: header, SetBackgroundColor when given, the script tag when present, one
// ShowFrame per frame and End; zlib-compressed after the first 8 bytes when `compressed`.
std::vector<uint8_t> writeSwf(const SwfMovie& movie);

}  // namespace movie

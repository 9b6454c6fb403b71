// System fonts where there is no Windows: TrueType files read with stb_truetype (by default
// Debian's DejaVu faces), for the render tool and the native tests.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "LayoutFont.h"

namespace text {

class TrueTypeFonts final : public DeviceFonts {
 public:
  // `folder` holds DejaVuSans*.ttf, DejaVuSerif*.ttf and DejaVuSansMono*.ttf.
  explicit TrueTypeFonts(std::string folder = "/usr/share/fonts/truetype/dejavu");
  ~TrueTypeFonts() override;

  // "_serif" and serif names (Times, Georgia) take the serif face, "_typewriter" and fixed-pitch
  // names (Courier, Consolas) the monospaced one, everything else the sans face; a missing
  // style falls back to the plain face.
  const LayoutFont* font(const std::string& face, bool bold, bool italic) override;

 private:
  class Font;
  const Font* load(const std::string& file);
  std::string folder_;
  std::map<std::string, std::unique_ptr<Font>> loaded_;  // by file; nullptr: could not be read
};

}  // namespace text

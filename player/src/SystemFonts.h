// The system's fonts for text fields that do not embed theirs: glyph outlines from GDI
// (GetGlyphOutlineW, native and unhinted) turned into the renderer's quadratic paths, so device
// text is anti-aliased like everything else. `_sans`, `_serif`, `_typewriter` and missing
// names map to the first family of a list that the system has.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "LayoutFont.h"

class SystemFonts final : public text::DeviceFonts {
 public:
  SystemFonts();
  ~SystemFonts() override;
  const text::LayoutFont* font(const std::string& face, bool bold, bool italic) override;

  // The family a face draws with here (for the transcript and tests).
  std::wstring familyFor(const std::string& face);

 private:
  class Font;
  bool installed(const std::wstring& family);
  std::map<std::tuple<std::wstring, bool, bool>, std::unique_ptr<Font>> fonts_;
  std::map<std::wstring, bool> installed_;
};

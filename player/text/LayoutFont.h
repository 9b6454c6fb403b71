// A font as layout and drawing see it, whatever it comes from: a movie's DefineFont, or the
// system's (device) fonts. Units are the font's em square; glyph outlines have y down and the
// baseline at 0, as SWF glyphs do.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "../render/PreparedShape.h"

namespace text {

class LayoutFont {
 public:
  virtual ~LayoutFont() = default;
  virtual double emSquare() const = 0;
  virtual double ascent() const = 0;
  virtual double descent() const = 0;
  virtual std::optional<uint32_t> glyphFor(char16_t code) const = 0;
  virtual double advance(uint32_t glyph) const = 0;
  virtual double kerning(char16_t, char16_t) const { return 0; }
  // A movie's own font: the kerning format applies to these only.
  virtual bool embedded() const { return false; }
  // The glyph's outline prepared for the renderer; nullptr when it has none (a space).
  virtual const render::PreparedShape* glyphShape(uint32_t glyph) const = 0;
};

// The system's fonts by name: "_sans", "_serif", "_typewriter" or a font's own name. An
// implementation maps what it lacks to something it has; nullptr only when it has no font at
// all. The fonts it gives live as long as it does.
class DeviceFonts {
 public:
  virtual ~DeviceFonts() = default;
  virtual const LayoutFont* font(const std::string& face, bool bold, bool italic) = 0;
};

// The font for a run of text in its format; nullptr when none can draw it.
class FontResolver {
 public:
  virtual ~FontResolver() = default;
  virtual const LayoutFont* resolve(const struct TextFormat& format) = 0;
};

enum class FontFamily : uint8_t { Sans, Serif, Monospace };

// Which family a face name asks for: "_sans", "_serif", "_typewriter", or a font's own name
// (Times, Georgia: serif; Courier, Consolas: monospaced; others sans), for a system that lacks
// the font by that name.
FontFamily familyOf(const std::string& face);

// Prepares a glyph outline (quadratic contours, em units, y down) as the renderer fills glyphs:
// one solid white fill, non-zero winding, as system fonts are drawn.
render::PreparedShape prepareOutline(render::Path outline);

}  // namespace text

// TrueType files as device fonts.
#include "TrueTypeFonts.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <stb_truetype.h>

namespace text {

class TrueTypeFonts::Font final : public LayoutFont {
 public:
  static std::unique_ptr<Font> open(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return nullptr;
    auto font = std::unique_ptr<Font>(new Font(std::move(bytes)));
    if (!stbtt_InitFont(&font->info_, font->bytes_.data(), stbtt_GetFontOffsetForIndex(font->bytes_.data(), 0)))
      return nullptr;
    font->em_ = 1 / stbtt_ScaleForMappingEmToPixels(&font->info_, 1);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font->info_, &ascent, &descent, &gap);
    font->ascent_ = ascent;
    font->descent_ = -descent;
    return font;
  }

  double emSquare() const override { return em_; }
  double ascent() const override { return ascent_; }
  double descent() const override { return descent_; }
  std::optional<uint32_t> glyphFor(char16_t code) const override {
    const int glyph = stbtt_FindGlyphIndex(&info_, code);
    if (glyph <= 0) return std::nullopt;
    return uint32_t(glyph);
  }
  double advance(uint32_t glyph) const override {
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&info_, int(glyph), &advance, &bearing);
    return advance;
  }
  double kerning(char16_t left, char16_t right) const override {
    return stbtt_GetCodepointKernAdvance(&info_, left, right);
  }
  const render::PreparedShape* glyphShape(uint32_t glyph) const override {
    auto it = shapes_.find(glyph);
    if (it == shapes_.end()) it = shapes_.emplace(glyph, outline(glyph)).first;
    return it->second.layers.empty() ? nullptr : &it->second;
  }

 private:
  explicit Font(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  // The glyph's contours with y turned downwards; a cubic (CFF outlines) becomes the quadratic
  // through its middle, close enough at text sizes.
  render::PreparedShape outline(uint32_t glyph) const {
    stbtt_vertex* vertices = nullptr;
    const int count = stbtt_GetGlyphShape(&info_, int(glyph), &vertices);
    render::Path path;
    render::Point pen;
    for (int i = 0; i < count; ++i) {
      const stbtt_vertex& v = vertices[i];
      const render::Point to{double(v.x), -double(v.y)};
      if (v.type == STBTT_vmove) {
        path.push_back({to, {}, true});
      } else if (!path.empty()) {
        render::Segment s;
        s.to = to;
        if (v.type == STBTT_vcurve) {
          s.isCurve = true;
          s.control = {double(v.cx), -double(v.cy)};
        } else if (v.type == STBTT_vcubic) {
          s.isCurve = true;
          s.control = {(3.0 * (v.cx + v.cx1) - pen.x - to.x) / 4, (-3.0 * (v.cy + v.cy1) - pen.y - to.y) / 4};
        }
        path.back().segments.push_back(s);
      }
      pen = to;
    }
    stbtt_FreeShape(&info_, vertices);
    std::erase_if(path, [](const render::Contour& c) { return c.segments.empty(); });
    if (path.empty()) return {};
    return prepareOutline(std::move(path));
  }

  std::vector<unsigned char> bytes_;
  stbtt_fontinfo info_{};
  double em_ = 2048, ascent_ = 0, descent_ = 0;
  mutable std::map<uint32_t, render::PreparedShape> shapes_;
};

TrueTypeFonts::TrueTypeFonts(std::string folder) : folder_(std::move(folder)) {}
TrueTypeFonts::~TrueTypeFonts() = default;

const TrueTypeFonts::Font* TrueTypeFonts::load(const std::string& file) {
  auto it = loaded_.find(file);
  if (it == loaded_.end()) it = loaded_.emplace(file, Font::open(folder_ + "/" + file)).first;
  return it->second.get();
}

const LayoutFont* TrueTypeFonts::font(const std::string& face, bool bold, bool italic) {
  static const char* const kFamilies[] = {"DejaVuSans", "DejaVuSerif", "DejaVuSansMono"};
  const int family = int(familyOf(face));
  const std::string base = kFamilies[family];
  const char* slant = family == 1 ? "Italic" : "Oblique";
  std::string style = bold && italic ? std::string("-Bold") + slant : bold ? "-Bold" : italic ? std::string("-") + slant : "";
  if (const Font* styled = style.empty() ? nullptr : load(base + style + ".ttf")) return styled;
  if (const Font* plain = load(base + ".ttf")) return plain;
  return load("DejaVuSans.ttf");
}

}  // namespace text

// GDI's fonts as layout fonts: metrics, glyph indices, advances and outlines, each glyph read
// once.
#include "SystemFonts.h"

#include <windows.h>

#include <iterator>
#include <vector>

#include "Text.h"
#include "UniqueHandle.h"

namespace {

// Fonts are made this many units high, so outlines come in a 2048-unit em square.
constexpr int kEm = 2048;

// The families to try for each generic family, first found wins. Wine ships Tahoma and a
// Courier and lists the host's fonts (DejaVu on Debian); Windows has the first of each.
const wchar_t* const kSans[] = {L"Arial", L"Liberation Sans", L"DejaVu Sans", L"Tahoma", L"Microsoft Sans Serif"};
const wchar_t* const kSerif[] = {L"Times New Roman", L"Liberation Serif", L"DejaVu Serif", L"Georgia", L"Tahoma"};
const wchar_t* const kMono[] = {L"Courier New", L"Liberation Mono", L"DejaVu Sans Mono", L"Courier", L"Tahoma"};

double fromFixed(FIXED f) { return f.value + f.fract / 65536.0; }

// Only outline fonts can give outlines; a bitmap font of the name does not count.
int CALLBACK noteTrueType(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
  if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
  return 1;
}

}  // namespace

class SystemFonts::Font final : public text::LayoutFont {
 public:
  Font(const std::wstring& family, bool bold, bool italic) {
    LOGFONTW lf{};
    lf.lfHeight = -kEm;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcsncpy(lf.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    font_.reset(CreateFontIndirectW(&lf));
    dc_.reset(CreateCompatibleDC(nullptr));
    if (font_ && dc_) SelectObject(dc_.get(), font_.get());
    TEXTMETRICW metrics{};
    if (dc_ && GetTextMetricsW(dc_.get(), &metrics)) {
      ascent_ = metrics.tmAscent;
      descent_ = metrics.tmDescent;
    }
  }

  double emSquare() const override { return kEm; }
  double ascent() const override { return ascent_; }
  double descent() const override { return descent_; }

  std::optional<uint32_t> glyphFor(char16_t code) const override {
    WORD index = 0xFFFF;
    const wchar_t c = static_cast<wchar_t>(code);
    if (!dc_ || GetGlyphIndicesW(dc_.get(), &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
        index == 0xFFFF)
      return std::nullopt;
    return index;
  }

  double advance(uint32_t glyph) const override { return read(glyph).advance; }

  const render::PreparedShape* glyphShape(uint32_t glyph) const override {
    const Glyph& g = read(glyph);
    return g.shape.layers.empty() ? nullptr : &g.shape;
  }

 private:
  struct Glyph {
    double advance = 0;
    render::PreparedShape shape;
  };

  const Glyph& read(uint32_t index) const {
    auto it = glyphs_.find(index);
    if (it != glyphs_.end()) return it->second;
    Glyph glyph;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    const UINT format = GGO_NATIVE | GGO_UNHINTED | GGO_GLYPH_INDEX;
    const DWORD size = dc_ ? GetGlyphOutlineW(dc_.get(), index, format, &metrics, 0, nullptr, &identity) : GDI_ERROR;
    if (size != GDI_ERROR) {
      glyph.advance = metrics.gmCellIncX;
      std::vector<uint8_t> buffer(size);
      if (size && GetGlyphOutlineW(dc_.get(), index, format, &metrics, size, buffer.data(), &identity) == size)
        glyph.shape = text::prepareOutline(outline(buffer));
    }
    return glyphs_.emplace(index, std::move(glyph)).first->second;
  }

  // TTPOLYGONHEADERs, each with its TTPOLYCURVEs: lines, quadratic B-splines (their implied
  // on-curve points halfway between controls) and, should a font give them, cubics as the
  // quadratic through their middle. y turns downwards.
  static render::Path outline(const std::vector<uint8_t>& buffer) {
    render::Path path;
    auto point = [](const POINTFX& p) { return render::Point{fromFixed(p.x), -fromFixed(p.y)}; };
    size_t at = 0;
    while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
      TTPOLYGONHEADER header;
      memcpy(&header, buffer.data() + at, sizeof header);
      if (header.cb < sizeof header || at + header.cb > buffer.size()) break;
      const size_t end = at + header.cb;
      render::Contour contour;
      contour.start = point(header.pfxStart);
      contour.closed = true;
      render::Point pen = contour.start;
      size_t c = at + sizeof header;
      while (c + offsetof(TTPOLYCURVE, apfx) <= end) {
        WORD type = 0, count = 0;
        memcpy(&type, buffer.data() + c + offsetof(TTPOLYCURVE, wType), sizeof type);
        memcpy(&count, buffer.data() + c + offsetof(TTPOLYCURVE, cpfx), sizeof count);
        const size_t pointsAt = c + offsetof(TTPOLYCURVE, apfx);
        if (pointsAt + size_t(count) * sizeof(POINTFX) > end) break;
        std::vector<render::Point> points;
        for (WORD i = 0; i < count; ++i) {
          POINTFX p;
          memcpy(&p, buffer.data() + pointsAt + i * sizeof(POINTFX), sizeof p);
          points.push_back(point(p));
        }
        if (type == TT_PRIM_LINE) {
          for (const render::Point& p : points) contour.segments.push_back({{}, pen = p, false});
        } else if (type == TT_PRIM_QSPLINE) {
          for (size_t i = 0; i + 1 < points.size(); ++i) {
            const render::Point to = i + 2 == points.size()
                                         ? points[i + 1]
                                         : render::Point{(points[i].x + points[i + 1].x) / 2, (points[i].y + points[i + 1].y) / 2};
            contour.segments.push_back({points[i], pen = to, true});
          }
        } else if (type == TT_PRIM_CSPLINE) {
          for (size_t i = 0; i + 2 < points.size(); i += 3) {
            const render::Point control{(3 * (points[i].x + points[i + 1].x) - pen.x - points[i + 2].x) / 4,
                                        (3 * (points[i].y + points[i + 1].y) - pen.y - points[i + 2].y) / 4};
            contour.segments.push_back({control, pen = points[i + 2], true});
          }
        }
        c = pointsAt + size_t(count) * sizeof(POINTFX);
      }
      if (!contour.segments.empty()) path.push_back(std::move(contour));
      at = end;
    }
    return path;
  }

  lumo::UniqueGdiObject font_;
  lumo::UniqueDc dc_;  // deleted before the font it holds
  double ascent_ = kEm * 0.8, descent_ = kEm * 0.2;
  mutable std::map<uint32_t, Glyph> glyphs_;
};

SystemFonts::SystemFonts() = default;
SystemFonts::~SystemFonts() = default;

bool SystemFonts::installed(const std::wstring& family) {
  auto it = installed_.find(family);
  if (it != installed_.end()) return it->second;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, family.c_str(), LF_FACESIZE - 1);
  bool found = false;
  lumo::UniqueDc dc(CreateCompatibleDC(nullptr));
  if (dc)
    EnumFontFamiliesExW(dc.get(), &lf, noteTrueType, reinterpret_cast<LPARAM>(&found), 0);
  return installed_[family] = found;
}

std::wstring SystemFonts::familyFor(const std::string& face) {
  const std::wstring named = utf8ToWide(face);
  if (!named.empty() && named[0] != L'_' && named.size() < LF_FACESIZE && installed(named)) return named;
  const text::FontFamily family = text::familyOf(face);
  const auto& list = family == text::FontFamily::Serif ? kSerif : family == text::FontFamily::Monospace ? kMono : kSans;
  for (const wchar_t* candidate : list)
    if (installed(candidate)) return candidate;
  return list[0];  // GDI substitutes its own
}

const text::LayoutFont* SystemFonts::font(const std::string& face, bool bold, bool italic) {
  const std::wstring family = familyFor(face);
  auto key = std::make_tuple(family, bold, italic);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(key, std::make_unique<Font>(family, bold, italic)).first;
  return it->second.get();
}

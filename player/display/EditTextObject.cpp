// A text field on the display list: its fonts, and drawing it.
#include "EditTextObject.h"

#include <algorithm>
#include <cmath>

#include "../render/MatrixMath.h"
#include "../render/Renderer.h"
#include "CharacterLibrary.h"
#include "Transform.h"

namespace display {

// The fonts a field draws with: the movie's own when it uses outlines (its font, or another
// the HTML names), else the system's.
class EditTextObject::Fonts final : public text::FontResolver {
 public:
  Fonts(const text::EditTextRecord& record, CharacterLibrary& library)
      : record_(record), library_(library), ownFont_(record.fontId ? library.fontGlyphs(record.fontId) : nullptr) {}

  // The default format names the field's own font when it has one; its style stays plain, as
  // HTML in a field whose font is a bold one is plain where no <b> says otherwise.
  text::TextFormat defaultFormat() {
    text::TextFormat format = text::formatOf(record_);
    if (ownFont_ && !ownFont_->name.empty()) format.font = ownFont_->name;
    return format;
  }

  // Fonts are found by name and style, as the player finds them; the field's own font when
  // the movie has none of that name.
  const text::LayoutFont* resolve(const text::TextFormat& format) override {
    if (record_.useOutlines) {
      if (const text::LayoutFont* named = library_.layoutFont(format.font, format.bold, format.italic)) return named;
      return record_.fontId ? library_.layoutFont(record_.fontId) : nullptr;
    }
    text::DeviceFonts* system = library_.deviceFonts();
    return system ? system->font(format.font, format.bold, format.italic) : nullptr;
  }

 private:
  const text::EditTextRecord& record_;
  CharacterLibrary& library_;
  const FontGlyphs* ownFont_;
};

EditTextObject::EditTextObject(const text::EditTextRecord& record, CharacterLibrary& library)
    : DisplayObject(ObjectKind::EditText, record.id), fonts_(std::make_unique<Fonts>(record, library)) {
  state_ = std::make_unique<text::EditTextState>(record, fonts_->defaultFormat(), *fonts_);
}

EditTextObject::~EditTextObject() = default;

size_t EditTextObject::indexAt(double x, double y) {
  const swf::Rect bounds = state_->bounds();
  const text::TextLayout& layout = state_->layout();
  const double scrolled = layout.lines[size_t(state_->scroll() - 1)].top - text::kGutter;
  return text::indexAt(layout, x - bounds.xMin, y - bounds.yMin + scrolled);
}

namespace {

render::Contour rectContour(render::Point p0, render::Point p1, render::Point p2, render::Point p3) {
  render::Contour c;
  c.start = p0;
  for (render::Point p : {p1, p2, p3, p0}) c.segments.push_back({{}, p, false});
  c.closed = true;
  return c;
}

render::PreparedShape box(double x0, double y0, double x1, double y1) {
  return text::prepareOutline({rectContour({x0, y0}, {x1, y0}, {x1, y1}, {x0, y1})});
}

// The border: one pixel wide at any scale, drawn in pixels. Unrotated, it covers the pixel
// rows and columns the box starts on and the ones just past it, less the far corner, as the
// player draws it; rotated or skewed, a hairline along the box.
render::PreparedShape borderInPixels(const swf::Rect& b, const swf::Matrix& toField) {
  render::Point corners[4] = {render::apply(toField, {double(b.xMin), double(b.yMin)}),
                              render::apply(toField, {double(b.xMax), double(b.yMin)}),
                              render::apply(toField, {double(b.xMax), double(b.yMax)}),
                              render::apply(toField, {double(b.xMin), double(b.yMax)})};
  if (toField.b == 0 && toField.c == 0) {
    const double x0 = std::round(std::min(corners[0].x, corners[2].x));
    const double x1 = std::round(std::max(corners[0].x, corners[2].x));
    const double y0 = std::round(std::min(corners[0].y, corners[2].y));
    const double y1 = std::round(std::max(corners[0].y, corners[2].y));
    auto strip = [](double l, double t, double r, double btm) { return rectContour({l, t}, {r, t}, {r, btm}, {l, btm}); };
    return text::prepareOutline({strip(x0, y0, x1 + 1, y0 + 1), strip(x0, y0 + 1, x0 + 1, y1 + 1),
                                 strip(x1, y0 + 1, x1 + 1, y1), strip(x0 + 1, y1, x1, y1 + 1)});
  }
  render::PreparedShape shape;
  render::ShapeLayer layer;
  layer.isStroke = true;
  layer.stroke.style.width = 0;  // a hairline: one pixel
  layer.stroke.style.color = {255, 255, 255, 255};
  layer.stroke.style.join = swf::JoinStyle::Miter;
  layer.stroke.style.startCap = layer.stroke.style.endCap = swf::CapStyle::None;
  layer.stroke.path = {rectContour(corners[0], corners[1], corners[2], corners[3])};
  shape.layers.push_back(std::move(layer));
  return shape;
}

}  // namespace

void EditTextObject::render(RenderContext& context, const swf::Matrix& toPixels,
                            const swf::ColorTransform& colorTransform) const {
  text::EditTextState& state = *state_;
  const swf::Rect b = state.bounds();
  const text::TextLayout& layout = state.layout();
  const swf::Matrix toField = concatenate(toPixels, matrix());
  const swf::ColorTransform own = concatenate(colorTransform, this->colorTransform());
  render::Renderer& renderer = context.renderer;

  const text::EditTextState::Look& look = state.look;
  if (look.background && !context.drawingMask)
    renderer.drawShape(box(b.xMin, b.yMin, b.xMax, b.yMax), toField, concatenate(own, tint(look.backgroundColor)));

  const size_t first = size_t(state.scroll() - 1);
  const double scrolled = layout.lines[first].top - text::kGutter;
  const double width = double(b.xMax) - b.xMin, height = double(b.yMax) - b.yMin;
  const bool clip = !context.drawingMask &&
                    (first > 0 || layout.textWidth + 2 * text::kGutter > width ||
                     layout.textHeight + 2 * text::kGutter > height);
  if (clip) {
    renderer.pushMask();
    renderer.drawShape(box(b.xMin, b.yMin, b.xMax, b.yMax), toField, {});
    renderer.activateMask();
  }
  const bool showSelection = focused_ && state.selectionBegin() != state.selectionEnd();
  for (size_t l = first; l < layout.lines.size(); ++l) {
    const text::LayoutLine& line = layout.lines[l];
    if (line.top - scrolled > height) break;
    const double baseline = b.yMin + line.baseline() - scrolled;
    if (const std::optional<text::PlacedGlyph>& bullet = line.bullet; bullet && bullet->font)
      if (const render::PreparedShape* shape = bullet->font->glyphShape(bullet->glyph)) {
        const double scale = bullet->size / bullet->font->emSquare();
        renderer.drawShape(*shape, concatenate(toField, swf::Matrix{scale, 0, 0, scale, b.xMin + bullet->x, baseline}),
                           concatenate(own, tint(bullet->color)));
      }
    for (const text::PlacedGlyph& g : line.glyphs) {
      const bool selected = showSelection && g.index >= state.selectionBegin() && g.index < state.selectionEnd();
      const double x = b.xMin + g.x;
      if (selected)
        renderer.drawShape(box(x, b.yMin + line.top - scrolled, x + g.advance, baseline + line.descent),
                           toField, concatenate(own, tint({0, 0, 0, 255})));
      const swf::ColorTransform color = concatenate(own, tint(selected ? swf::Rgba{255, 255, 255, 255} : g.color));
      if (g.font) {
        if (const render::PreparedShape* shape = g.font->glyphShape(g.glyph)) {
          const double scale = g.size / g.font->emSquare();
          renderer.drawShape(*shape, concatenate(toField, swf::Matrix{scale, 0, 0, scale, x, baseline}), color);
        }
      }
      if (g.underline) {
        const double thickness = std::max(20.0, g.size / 20);
        renderer.drawShape(box(x, baseline + thickness, x + g.advance, baseline + 2 * thickness), toField, color);
      }
    }
  }
  if (focused_ && !showSelection && state.editable() && !context.drawingMask) {
    const size_t caretLine = text::lineOf(layout, state.caret());
    if (caretLine >= first) {
      const text::LayoutLine& line = layout.lines[caretLine];
      const double x = b.xMin + text::caretX(layout, state.caret());
      const double top = b.yMin + line.top - scrolled;
      renderer.drawShape(box(x, top, x + 20, top + line.ascent + line.descent), toField,
                         concatenate(own, tint(state.defaultFormat().color)));
    }
  }
  if (clip) renderer.popMask();
  if (look.border && !context.drawingMask)
    renderer.drawShape(borderInPixels(b, toField), swf::Matrix{}, concatenate(own, tint(look.borderColor)));
}

}  // namespace display

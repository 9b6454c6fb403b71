// The movie's characters by id, and the prepared shapes and labels derived from them.
#include "CharacterLibrary.h"

#include <algorithm>
#include <cctype>

#include "../swf/TagCodes.h"

namespace display {

namespace {
// A morph animated over many frames prepares a shape per ratio; past this many the cache
// starts afresh rather than growing with the movie's length.
constexpr size_t kMaxMorphsKept = 1024;
}  // namespace

CharacterLibrary::CharacterLibrary(std::shared_ptr<const swf::MovieData> movie) : movie_(std::move(movie)) {}

const swf::Character* CharacterLibrary::find(swf::CharacterId id) const {
  auto it = movie_->characters.find(id);
  return it == movie_->characters.end() || !it->second ? nullptr : it->second.get();
}

const render::PreparedShape& CharacterLibrary::preparedShape(const swf::Shape& shape) {
  auto it = shapes_.find(shape.id);
  if (it == shapes_.end()) it = shapes_.emplace(shape.id, render::prepareShape(shape)).first;
  return it->second;
}

const render::PreparedShape& CharacterLibrary::preparedMorph(const swf::MorphShape& morph, uint16_t ratio) {
  const uint32_t key = uint32_t(morph.id) << 16 | ratio;
  auto it = morphs_.find(key);
  if (it == morphs_.end()) {
    if (morphs_.size() >= kMaxMorphsKept) morphs_.clear();
    it = morphs_.emplace(key, render::prepareMorphShape(morph, ratio)).first;
  }
  return it->second;
}

const FrameLabels& CharacterLibrary::labels(const swf::Timeline& timeline) {
  auto it = labels_.find(&timeline);
  if (it == labels_.end()) it = labels_.emplace(&timeline, FrameLabels(timeline)).first;
  return it->second;
}

const ButtonDefinition& CharacterLibrary::button(const swf::RawCharacter& button) {
  auto it = buttons_.find(button.id);
  if (it == buttons_.end()) {
    const swf::RawCharacter* cxform = nullptr;
    for (const swf::RawCharacter& info : movie_->characterInfo)
      if (info.id == button.id && info.tagCode == swf::tag::kDefineButtonCxform) cxform = &info;
    it = buttons_.emplace(button.id, readButton(button, cxform)).first;
  }
  return it->second;
}

const StaticText* CharacterLibrary::staticText(swf::CharacterId id) const {
  auto it = texts_.find(id);
  if (it == texts_.end()) {
    const swf::RawCharacter* raw = get<swf::RawCharacter>(id);
    it = texts_.emplace(id, raw ? readStaticText(*raw) : std::nullopt).first;
  }
  return it->second ? &*it->second : nullptr;
}

const FontGlyphs* CharacterLibrary::fontGlyphs(swf::CharacterId id) const {
  auto it = fonts_.find(id);
  if (it == fonts_.end()) {
    const swf::RawCharacter* raw = get<swf::RawCharacter>(id);
    std::optional<FontGlyphs> font = raw ? readFontGlyphs(*raw, movie_->version) : std::nullopt;
    if (font)
      for (const swf::RawCharacter& info : movie_->characterInfo)
        if (info.id == id) applyFontInfo(*font, info);
    it = fonts_.emplace(id, std::move(font)).first;
  }
  return it->second ? &*it->second : nullptr;
}

const render::PreparedShape* CharacterLibrary::preparedGlyph(swf::CharacterId fontId, uint32_t index) {
  auto key = std::pair{fontId, index};
  auto it = glyphs_.find(key);
  if (it == glyphs_.end()) {
    const FontGlyphs* font = fontGlyphs(fontId);
    if (!font || index >= font->glyphs.size()) return nullptr;
    swf::Shape glyph;
    glyph.records = font->glyphs[index];
    it = glyphs_.emplace(key, render::prepareGlyph(glyph)).first;
  }
  return &it->second;
}

const text::EditTextRecord* CharacterLibrary::editText(swf::CharacterId id) const {
  auto it = editTexts_.find(id);
  if (it == editTexts_.end()) {
    const swf::RawCharacter* raw = get<swf::RawCharacter>(id);
    it = editTexts_.emplace(id, raw ? text::readEditText(*raw, movie_->version) : std::nullopt).first;
  }
  return it->second ? &*it->second : nullptr;
}

const text::LayoutFont* CharacterLibrary::layoutFont(swf::CharacterId id) {
  auto it = layoutFonts_.find(id);
  if (it != layoutFonts_.end()) return it->second.get();
  const FontGlyphs* glyphs = fontGlyphs(id);
  if (!glyphs) return nullptr;
  return layoutFonts_.emplace(id, std::make_unique<EmbeddedFont>(id, *glyphs, *this)).first->second.get();
}

const text::LayoutFont* CharacterLibrary::layoutFont(const std::string& name, bool bold, bool italic) {
  auto same = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
  };
  const text::LayoutFont* nameOnly = nullptr;
  for (const auto& [id, character] : movie_->characters) {
    const FontGlyphs* glyphs = fontGlyphs(id);
    if (!glyphs || glyphs->glyphs.empty() || !same(glyphs->name, name)) continue;
    if (glyphs->bold == bold && glyphs->italic == italic) return layoutFont(id);
    if (!nameOnly) nameOnly = layoutFont(id);
  }
  return nameOnly;
}

render::BitmapLookup CharacterLibrary::bitmapLookup() const {
  std::shared_ptr<const swf::MovieData> movie = movie_;
  return [movie](swf::CharacterId id) -> const swf::Bitmap* {
    auto it = movie->characters.find(id);
    return it == movie->characters.end() || !it->second ? nullptr : std::get_if<swf::Bitmap>(it->second.get());
  };
}

}  // namespace display

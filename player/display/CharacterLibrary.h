// The movie's characters by id, and what is derived from them once: prepared shapes (per ratio
// for morphs) and each timeline's frame labels.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "../render/PreparedShape.h"
#include "../render/Renderer.h"
#include "../swf/SwfMovieData.h"
#include "../text/EditTextRecord.h"
#include "../text/LayoutFont.h"
#include "ButtonRecords.h"
#include "EmbeddedFont.h"
#include "FontGlyphs.h"
#include "FrameLabels.h"
#include "TextRecords.h"

namespace display {

class CharacterLibrary {
 public:
  explicit CharacterLibrary(std::shared_ptr<const swf::MovieData> movie);

  const swf::MovieData& movie() const { return *movie_; }
  const swf::Character* find(swf::CharacterId id) const;
  template <class T>
  const T* get(swf::CharacterId id) const {
    const swf::Character* c = find(id);
    return c ? std::get_if<T>(c) : nullptr;
  }

  const render::PreparedShape& preparedShape(const swf::Shape& shape);
  const render::PreparedShape& preparedMorph(const swf::MorphShape& morph, uint16_t ratio);
  const FrameLabels& labels(const swf::Timeline& timeline);
  // A button read once, with the DefineButtonCxform the movie gives it.
  const ButtonDefinition& button(const swf::RawCharacter& button);
  // Static texts and fonts are read from their raw bodies once; nullptr when the id names none
  // (or an unreadable one). A glyph is prepared once per font and index.
  const StaticText* staticText(swf::CharacterId id) const;
  const FontGlyphs* fontGlyphs(swf::CharacterId id) const;
  const render::PreparedShape* preparedGlyph(swf::CharacterId fontId, uint32_t index);
  render::BitmapLookup bitmapLookup() const;

  // Text fields: their records, the movie's fonts as layout fonts (by id, or by name and style
  // as HTML names them), and the system's fonts the control or the tool provides.
  const text::EditTextRecord* editText(swf::CharacterId id) const;
  const text::LayoutFont* layoutFont(swf::CharacterId id);
  const text::LayoutFont* layoutFont(const std::string& name, bool bold, bool italic);
  void setDeviceFonts(std::shared_ptr<text::DeviceFonts> fonts) { deviceFonts_ = std::move(fonts); }
  text::DeviceFonts* deviceFonts() const { return deviceFonts_.get(); }
  const std::shared_ptr<text::DeviceFonts>& sharedDeviceFonts() const { return deviceFonts_; }
  // A record for a field a script makes, kept as long as the library (its fields refer to it).
  const text::EditTextRecord& keepEditText(text::EditTextRecord record) {
    return scriptedTexts_.emplace_back(std::move(record));
  }

 private:
  std::shared_ptr<const swf::MovieData> movie_;
  std::map<swf::CharacterId, render::PreparedShape> shapes_;
  std::map<uint32_t, render::PreparedShape> morphs_;  // id << 16 | ratio
  std::map<const swf::Timeline*, FrameLabels> labels_;
  std::map<swf::CharacterId, ButtonDefinition> buttons_;
  mutable std::map<swf::CharacterId, std::optional<StaticText>> texts_;
  mutable std::map<swf::CharacterId, std::optional<FontGlyphs>> fonts_;
  std::map<std::pair<swf::CharacterId, uint32_t>, render::PreparedShape> glyphs_;
  mutable std::map<swf::CharacterId, std::optional<text::EditTextRecord>> editTexts_;
  std::map<swf::CharacterId, std::unique_ptr<EmbeddedFont>> layoutFonts_;
  std::shared_ptr<text::DeviceFonts> deviceFonts_;
  std::deque<text::EditTextRecord> scriptedTexts_;
};

}  // namespace display

// The movie's characters by id, and what is derived from them once: prepared shapes (per ratio
// for morphs) and each timeline's frame labels.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "../render/PreparedShape.h"
#include "../render/Renderer.h"
#include "../swf/SwfMovieData.h"
#include "ButtonRecords.h"
#include "FrameLabels.h"

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
  const std::vector<ButtonRecord>& buttonRecords(const swf::RawCharacter& button);
  render::BitmapLookup bitmapLookup() const;

 private:
  std::shared_ptr<const swf::MovieData> movie_;
  std::map<swf::CharacterId, render::PreparedShape> shapes_;
  std::map<uint32_t, render::PreparedShape> morphs_;  // id << 16 | ratio
  std::map<const swf::Timeline*, FrameLabels> labels_;
  std::map<swf::CharacterId, std::vector<ButtonRecord>> buttons_;
};

}  // namespace display

// What every object on a display list has: its character, depth, matrix, colour transform,
// ratio, name, clip depth, and the SWF 8 fields (blend mode, filters, caching, visibility).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../swf/SwfTypes.h"

namespace render {
class Renderer;
}

namespace display {

class CharacterLibrary;
class SpriteObject;
class DisplayObject;

// What a script engine keeps for an instance (its script object). Told when the instance
// leaves the display list or goes away, so the script object stops reaching it.
struct ScriptLink {
  virtual ~ScriptLink() = default;
  virtual void detach() = 0;
  // The instance the link reaches while it is on a list.
  virtual DisplayObject* linked() const { return nullptr; }
};

enum class ObjectKind : uint8_t { Shape, MorphShape, Bitmap, Sprite, Button, Text, Inert, EditText };

struct RenderContext {
  render::Renderer& renderer;
  CharacterLibrary& library;
  bool drawingMask = false;  // inside a clip layer's mask
  int openLayers = 0;        // blend-mode layers around what is drawn
  double stageScale = 1;     // frame pixels per stage pixel: filters' sizes grow with it
};

class DisplayObject {
 public:
  DisplayObject(ObjectKind kind, swf::CharacterId characterId) : kind_(kind), characterId_(characterId) {}
  virtual ~DisplayObject() {
    if (scriptLink) scriptLink->detach();
  }
  DisplayObject(const DisplayObject&) = delete;
  DisplayObject& operator=(const DisplayObject&) = delete;

  ObjectKind kind() const { return kind_; }
  swf::CharacterId characterId() const { return characterId_; }

  int32_t depth() const { return depth_; }
  void setDepth(int32_t depth) { depth_ = depth; }
  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  uint16_t clipDepth() const { return clipDepth_; }  // 0: not a clip layer
  void setClipDepth(uint16_t clipDepth) { clipDepth_ = clipDepth; }
  uint16_t placeFrame() const { return placeFrame_; }  // the parent's frame that placed it
  void setPlaceFrame(uint16_t frame) { placeFrame_ = frame; }

  const swf::Matrix& matrix() const { return matrix_; }
  void setMatrix(const swf::Matrix& m) { matrix_ = m; }
  const swf::ColorTransform& colorTransform() const { return colorTransform_; }
  void setColorTransform(const swf::ColorTransform& c) { colorTransform_ = c; }
  uint16_t ratio() const { return ratio_; }
  swf::BlendMode blendMode() const { return blendMode_; }
  const std::vector<swf::Filter>& filters() const { return filters_; }
  bool cacheAsBitmap() const { return cacheAsBitmap_; }
  bool visible() const { return visible_; }
  void setVisible(bool visible) { visible_ = visible; }
  const std::vector<swf::ClipAction>& clipActions() const { return clipActions_; }
  void setClipActions(std::vector<swf::ClipAction> actions) { clipActions_ = std::move(actions); }
  void setRatio(uint16_t ratio) { ratio_ = ratio; }
  // The clip whose list holds this instance; none for the root and once removed.
  SpriteObject* parent() const { return parent_; }
  void setParent(SpriteObject* parent) { parent_ = parent; }
  // The script object of this instance, when a script engine made one.
  std::shared_ptr<ScriptLink> scriptLink;
  // A mask set by a script (setMask): the instance behind that script object clips this one,
  // and while it masks it is drawn only as a mask.
  std::weak_ptr<ScriptLink> scriptMask;
  bool isScriptMask = false;

  // The fields a PlaceObject may change on an instance already placed; name and clip depth
  // are set only when the instance is made.
  void applyPlacement(const swf::PlaceObject& place);

  // A move naming another character: shapes take the new shape (morphs the new morph) and stay
  // the same instance; other kinds, or a character of another kind, keep what they have.
  virtual bool replaceCharacter(swf::CharacterId id, const CharacterLibrary& library);

  // Removed from its parent's list: sprites stop running their frames.
  virtual void markRemoved() {
    removed_ = true;
    parent_ = nullptr;
    if (scriptLink) scriptLink->detach();
  }
  bool removed() const { return removed_; }

  // Draws the object with `toPixels` (the parent's concatenated matrix into pixels) and the
  // parent's concatenated colour transform; its own matrix and colour transform come on top.
  virtual void render(RenderContext& context, const swf::Matrix& toPixels,
                      const swf::ColorTransform& colorTransform) const = 0;

 protected:
  void setCharacterId(swf::CharacterId id) { characterId_ = id; }

 private:
  ObjectKind kind_;
  swf::CharacterId characterId_;
  int32_t depth_ = 0;
  std::string name_;
  uint16_t clipDepth_ = 0;
  uint16_t placeFrame_ = 0;
  swf::Matrix matrix_;
  swf::ColorTransform colorTransform_;
  uint16_t ratio_ = 0;
  swf::BlendMode blendMode_ = swf::BlendMode::Normal;
  std::vector<swf::Filter> filters_;
  bool cacheAsBitmap_ = false;
  bool visible_ = true;
  std::vector<swf::ClipAction> clipActions_;
  bool removed_ = false;
  SpriteObject* parent_ = nullptr;
};

// A character this player does not draw yet (text, buttons, video): it holds its depth so the
// timeline's rules treat it as any other instance.
class InertObject final : public DisplayObject {
 public:
  explicit InertObject(swf::CharacterId id) : DisplayObject(ObjectKind::Inert, id) {}
  void render(RenderContext&, const swf::Matrix&, const swf::ColorTransform&) const override {}
};

}  // namespace display

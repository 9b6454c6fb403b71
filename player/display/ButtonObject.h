// A button (DefineButton, DefineButton2): the characters of its current state (up, over or
// down) on a list of its own, the hit-test state's characters kept apart for hit-testing, and
// the actions it runs on its state changes.
#pragma once

#include "../swf/SwfMovieData.h"
#include "ButtonRecords.h"
#include "DisplayList.h"
#include "DisplayObject.h"

namespace display {

class DisplayContext;

enum class ButtonState : uint8_t { Up, Over, Down };

class ButtonObject final : public DisplayObject {
 public:
  ButtonObject(DisplayContext& context, const swf::RawCharacter& button);

  const DisplayList& children() const { return list_; }
  const DisplayList& hitArea() const { return hitArea_; }
  const ButtonDefinition& definition() const { return definition_; }
  bool trackAsMenu() const { return definition_.trackAsMenu; }

  ButtonState state() const { return state_; }
  // Shows the state's characters: those the new state shares with the old (same character at
  // the same depth) stay the same instances, the rest are made afresh.
  void setState(ButtonState state);
  // Plays DefineButtonSound's sound for the state change, if it names one.
  void playSound(ButtonCondition condition);

  // Whether the pointer over it shows the hand (ActionScript's useHandCursor and _enabled).
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  bool useHandCursor() const { return useHandCursor_; }
  void setUseHandCursor(bool use) { useHandCursor_ = use; }

  void markRemoved() override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;

 private:
  void fill(DisplayList& list, uint8_t stateBit, const DisplayList* keepFrom);

  DisplayContext& context_;
  const ButtonDefinition& definition_;
  DisplayList list_;
  DisplayList hitArea_;
  ButtonState state_ = ButtonState::Up;
  bool enabled_ = true;
  bool useHandCursor_ = true;
};

}  // namespace display

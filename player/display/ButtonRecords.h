// A DefineButton or DefineButton2 body (kept raw by the tag reader): which character each state
// shows, at which depth, with which matrix and colour transform; the actions and their conditions.
#pragma once

#include <optional>
#include <vector>

#include "../swf/SwfMovieData.h"

namespace display {

struct ButtonRecord {
  enum State : uint8_t { kUp = 0x01, kOver = 0x02, kDown = 0x04, kHitTest = 0x08 };
  uint8_t states = 0;
  swf::CharacterId characterId = 0;
  uint16_t depth = 0;
  swf::Matrix matrix;
  swf::ColorTransform colorTransform;
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  std::vector<swf::Filter> filters;
};

// The state changes a button's actions run on, as BUTTONCONDACTION's flags word has them.
enum ButtonCondition : uint16_t {
  kRollOver = 0x001,        // idle to over-up
  kRollOut = 0x002,         // over-up to idle
  kPress = 0x004,           // over-up to over-down
  kRelease = 0x008,         // over-down to over-up
  kDragOut = 0x010,         // over-down to out-down
  kDragOver = 0x020,        // out-down to over-down
  kReleaseOutside = 0x040,  // out-down to idle
  kMenuDragOver = 0x080,    // idle to over-down (track as menu)
  kMenuDragOut = 0x100,     // over-down to idle (track as menu)
};

struct ButtonAction {
  uint16_t conditions = 0;  // ButtonCondition bits
  uint8_t keyCode = 0;      // a key-press condition's key (SWF key codes); 0 for none
  std::vector<uint8_t> bytes;
};

struct ButtonDefinition {
  std::vector<ButtonRecord> records;
  bool trackAsMenu = false;
  std::vector<ButtonAction> actions;
};

// The records up to the end flag; a record cut short ends the list. Empty for other tags.
std::vector<ButtonRecord> readButtonRecords(const swf::RawCharacter& button);

// The whole button. DefineButton's one action list runs on release; a DefineButtonCxform body
// for this button (`cxform`, as the tag reader keeps it) tints every record of a DefineButton.
// A condition record cut short ends the list.
ButtonDefinition readButton(const swf::RawCharacter& button, const swf::RawCharacter* cxform = nullptr);

}  // namespace display

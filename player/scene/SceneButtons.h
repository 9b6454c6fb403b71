// DefineButton2 bodies for the scene text: state records, the track-as-menu flag and actions
// with their conditions, written as the tag reader reads them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SwfTypes.h"

namespace scene {

struct ButtonStateRecord {
  uint8_t states = 0;  // up 1, over 2, down 4, hit 8
  swf::CharacterId characterId = 0;
  uint16_t depth = 1;
  swf::Matrix matrix;
};

struct ButtonConditionAction {
  uint16_t conditions = 0;  // the flags word: condition bits, key code << 9
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> buttonBody(swf::CharacterId id, bool trackAsMenu, const std::vector<ButtonStateRecord>& records,
                                const std::vector<ButtonConditionAction>& actions);

// "up", "over", "down", "hit" joined by commas as state bits; 0 for an unknown word.
uint8_t buttonStates(const std::string& words);
// "press", "release", "releaseoutside", "rollover", "rollout", "dragover", "dragout",
// "menudragover", "menudragout" or "key:N" joined by commas as a flags word; -1 for an unknown one.
int buttonConditions(const std::string& words);

}  // namespace scene

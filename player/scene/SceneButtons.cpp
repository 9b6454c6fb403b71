// DefineButton2 bodies: records, then condition actions each led by its size (0 on the last).
#include "SceneButtons.h"

#include <cstdlib>
#include <sstream>

#include "SwfRecordWriter.h"

namespace scene {

namespace {

constexpr struct {
  const char* name;
  uint16_t bit;
} kConditions[] = {{"rollover", 0x001},     {"rollout", 0x002},      {"press", 0x004},
                   {"release", 0x008},      {"dragout", 0x010},      {"dragover", 0x020},
                   {"releaseoutside", 0x040}, {"menudragover", 0x080}, {"menudragout", 0x100}};

constexpr struct {
  const char* name;
  uint8_t bit;
} kStates[] = {{"up", 1}, {"over", 2}, {"down", 4}, {"hit", 8}};

std::vector<std::string> commaList(const std::string& words) {
  std::vector<std::string> out;
  std::stringstream in(words);
  for (std::string w; std::getline(in, w, ',');) out.push_back(w);
  return out;
}

}  // namespace

std::vector<uint8_t> buttonBody(swf::CharacterId id, bool trackAsMenu, const std::vector<ButtonStateRecord>& records,
                                const std::vector<ButtonConditionAction>& actions) {
  std::vector<uint8_t> body;
  swf::BitWriter w(body);
  w.u16(id);
  w.u8(trackAsMenu ? 1 : 0);
  const size_t offsetAt = body.size();
  w.u16(0);
  for (const ButtonStateRecord& r : records) {
    w.u8(r.states);
    w.u16(r.characterId);
    w.u16(r.depth);
    swf::writeMatrix(w, r.matrix);
    w.align();
    swf::writeColorTransformWithAlpha(w, swf::ColorTransform{});
    w.align();
  }
  w.u8(0);
  if (actions.empty()) return body;
  const size_t offset = body.size() - offsetAt;
  body[offsetAt] = static_cast<uint8_t>(offset);
  body[offsetAt + 1] = static_cast<uint8_t>(offset >> 8);
  for (size_t i = 0; i < actions.size(); ++i) {
    const bool last = i + 1 == actions.size();
    w.u16(last ? 0 : static_cast<uint16_t>(4 + actions[i].bytes.size()));
    w.u16(actions[i].conditions);
    w.bytes(actions[i].bytes);
  }
  return body;
}

uint8_t buttonStates(const std::string& words) {
  uint8_t bits = 0;
  for (const std::string& word : commaList(words)) {
    uint8_t bit = 0;
    for (const auto& s : kStates)
      if (word == s.name) bit = s.bit;
    if (!bit) return 0;
    bits |= bit;
  }
  return bits;
}

int buttonConditions(const std::string& words) {
  int flags = 0;
  for (const std::string& word : commaList(words)) {
    if (word.rfind("key:", 0) == 0) {
      char* end = nullptr;
      const long key = std::strtol(word.c_str() + 4, &end, 10);
      if (word.size() == 4 || *end || key < 1 || key > 127) return -1;
      flags |= static_cast<int>(key) << 9;
      continue;
    }
    int bit = 0;
    for (const auto& c : kConditions)
      if (word == c.name) bit = c.bit;
    if (!bit) return -1;
    flags |= bit;
  }
  return flags;
}

}  // namespace scene

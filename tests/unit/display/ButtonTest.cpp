// Buttons as the original player has them: their records, conditions and colour transform read
// from the tag bodies; hit-testing by shape area under masks; the pointer's state machine.
#include <gtest/gtest.h>

#include <string>

#include "../../../player/display/HitTest.h"
#include "../../../player/display/MoviePlayer.h"
#include "../../../player/display/PointerTracker.h"
#include "../../../player/swf/TagCodes.h"
#include "MovieFixture.h"

using display::ButtonState;
using fixture::place;

namespace {

constexpr swf::Rgba kRed{255, 0, 0, 255};

void u16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

// A button record of `states` showing `id` at `depth` with an identity matrix (and, in
// DefineButton2, an identity colour transform).
void record(std::vector<uint8_t>& out, uint8_t states, uint16_t id, uint16_t depth, bool second) {
  out.push_back(states);
  u16(out, id);
  u16(out, depth);
  out.push_back(0);  // matrix: no scale, no rotation, 0-bit translation
  if (second) out.push_back(0);
}

struct CondAction {
  uint16_t flags;
  std::vector<uint8_t> bytes;
};

swf::RawCharacter button2(uint16_t id, bool menu, std::vector<std::pair<uint8_t, uint16_t>> states,
                          std::vector<CondAction> actions) {
  std::vector<uint8_t> b;
  u16(b, id);
  b.push_back(menu ? 1 : 0);
  const size_t offsetAt = b.size();
  u16(b, 0);
  uint16_t depth = 1;
  for (auto [bits, character] : states) record(b, bits, character, depth++, true);
  b.push_back(0);
  if (!actions.empty()) {
    const uint16_t offset = uint16_t(b.size() - offsetAt);
    b[offsetAt] = uint8_t(offset);
    b[offsetAt + 1] = uint8_t(offset >> 8);
  }
  for (size_t i = 0; i < actions.size(); ++i) {
    const bool last = i + 1 == actions.size();
    u16(b, last ? 0 : uint16_t(4 + actions[i].bytes.size()));
    u16(b, actions[i].flags);
    b.insert(b.end(), actions[i].bytes.begin(), actions[i].bytes.end());
  }
  return swf::RawCharacter{id, swf::tag::kDefineButton2, b};
}

// A rectangle from (x, y) to (x + w, y + h) pixels with, inside it, a second contour drawn the
// same way round: a hole under the even-odd rule, filled under non-zero.
swf::Shape ringShape(swf::CharacterId id, bool nonZero) {
  swf::Shape s = fixture::rectangle(id, 30, 30, kRed);
  swf::StyleChange inner;
  inner.moveTo = std::pair{200, 200};
  s.records.insert(s.records.end(), {inner, swf::StraightEdge{200, 0}, swf::StraightEdge{0, 200},
                                     swf::StraightEdge{-200, 0}, swf::StraightEdge{0, -200}});
  s.version = nonZero ? 4 : 1;
  s.usesFillWindingRule = nonZero;
  return s;
}

render::Point px(double x, double y) { return {x * 20, y * 20}; }

}  // namespace

TEST(ButtonRecords, DefineButton2ConditionsKeysAndMenuFlag) {
  const swf::RawCharacter raw = button2(5, true, {{0x01, 10}, {0x0E, 11}},
                                        {{0x0004 | 0x0008, {0x07, 0x00}}, {uint16_t(13 << 9), {0x06, 0x00}}});
  const display::ButtonDefinition b = display::readButton(raw);
  EXPECT_TRUE(b.trackAsMenu);
  ASSERT_EQ(b.records.size(), 2u);
  EXPECT_EQ(b.records[1].states, 0x0E);
  EXPECT_EQ(b.records[1].characterId, 11);
  ASSERT_EQ(b.actions.size(), 2u);
  EXPECT_EQ(b.actions[0].conditions, display::kPress | display::kRelease);
  EXPECT_EQ(b.actions[0].bytes, (std::vector<uint8_t>{0x07, 0x00}));
  EXPECT_EQ(b.actions[1].conditions, 0);
  EXPECT_EQ(b.actions[1].keyCode, 13);
}

TEST(ButtonRecords, DefineButtonRunsItsActionsOnReleaseTintedByItsCxform) {
  std::vector<uint8_t> body;
  u16(body, 6);
  record(body, 0x0F, 10, 1, false);
  body.push_back(0);
  body.insert(body.end(), {0x06, 0x00});
  // CXFORM without alpha: add terms only, 9 bits each: red +255, green 0, blue 0.
  const swf::RawCharacter cxform{6, swf::tag::kDefineButtonCxform, {6, 0, 0xA5, 0xFE, 0x00, 0x00, 0x00}};
  const display::ButtonDefinition b = display::readButton({6, swf::tag::kDefineButton, body}, &cxform);
  ASSERT_EQ(b.actions.size(), 1u);
  EXPECT_EQ(b.actions[0].conditions, display::kRelease);
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(b.records[0].colorTransform.rAdd, 255);
  EXPECT_EQ(b.records[0].colorTransform.gAdd, 0);
}

TEST(ButtonRecords, CutShortConditionListsEndQuietly) {
  swf::RawCharacter raw = button2(5, false, {{0x0F, 10}}, {{0x0008, {0x07, 0x00}}, {0x0004, {0x06, 0x00}}});
  const std::vector<uint8_t> whole = raw.body;
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    raw.body.assign(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
    const display::ButtonDefinition b = display::readButton(raw);
    EXPECT_LE(b.actions.size(), 2u);
  }
  raw.body = whole;
  const size_t first = 3 + (raw.body[3] | raw.body[4] << 8);
  raw.body[first] = 0xFF;  // the first record's size runs past the end
  raw.body[first + 1] = 0x7F;
  EXPECT_TRUE(display::readButton(raw).actions.empty());
}

TEST(HitTest, ShapesHitByTheirAreaUnderTheirFillRule) {
  const struct {
    bool nonZero;
    render::Point point;
    bool hit;
  } cases[] = {
      {false, px(5, 5), true},   {false, px(15, 15), false}, {false, px(31, 5), false},
      {true, px(5, 5), true},    {true, px(15, 15), true},   {true, px(-1, 15), false},
  };
  for (const auto& c : cases) {
    const render::PreparedShape shape = render::prepareShape(ringShape(1, c.nonZero));
    EXPECT_EQ(display::shapeContains(shape, c.point), c.hit)
        << (c.nonZero ? "non-zero " : "even-odd ") << c.point.x / 20 << "," << c.point.y / 20;
  }
}

// A movie whose root holds, at depth 1, button 5 (up: shape 10; hit: shape 11, the ring) moved
// to (10, 10) and scaled by 2, and above it at depth 2 a plain shape that must not hide it.
struct ButtonMovie {
  fixture::Movie m{100, 100};
  ButtonMovie(bool masked = false) {
    m.add(fixture::rectangle(10, 5, 5, kRed));
    m.add(ringShape(11, false));
    m.add(fixture::rectangle(12, 100, 100, kRed));
    m.add(fixture::rectangle(13, 20, 100, kRed));
    m.add(button2(5, false, {{0x01, 10}, {0x02, 12}, {0x08, 11}}, {{display::kRelease, {0x07, 0x00}}}));
    swf::PlaceObject b = place(2, 5);
    b.matrix = swf::Matrix{2, 0, 0, 2, 200, 200};
    m.frame(1).tags = {b, place(3, 12)};
    if (masked) {
      swf::PlaceObject mask = place(1, 13);  // masks x 0..20 over depths up to 2
      mask.clipDepth = 2;
      m.frame(1).tags.insert(m.frame(1).tags.begin(), mask);
    }
  }
};

TEST(HitTest, TopButtonThroughItsMatrixAndHitStateUnderMasks) {
  const struct {
    bool masked;
    render::Point point;
    bool hit;
  } cases[] = {
      {false, px(15, 15), true},   // the ring at 2x: (2.5, 2.5) inside
      {false, px(40, 40), false},  // its hole
      {false, px(60, 60), true},   // (25, 25): the ring again
      {false, px(75, 75), false},  // past it
      {true, px(15, 15), true},    // inside the mask
      {true, px(60, 60), false},   // the mask ends at x 20
  };
  for (const auto& c : cases) {
    ButtonMovie movie(c.masked);
    display::MoviePlayer player(movie.m.data);
    player.advance();
    display::CharacterLibrary library(movie.m.data);
    const bool hit = display::topButtonAt(player.root().children(), library, c.point) != nullptr;
    EXPECT_EQ(hit, c.hit) << (c.masked ? "masked " : "") << c.point.x / 20 << "," << c.point.y / 20;
  }
}

TEST(PointerTracker, PushButtonConditionsAndStates) {
  ButtonMovie movie;
  display::MoviePlayer player(movie.m.data);
  player.advance();
  auto button = std::static_pointer_cast<display::ButtonObject>(player.root().children().children().at(2));
  display::PointerTracker tracker;
  using Step = std::vector<display::ButtonEvent> (display::PointerTracker::*)(const std::shared_ptr<display::ButtonObject>&);
  const Step kMove = &display::PointerTracker::move, kPress = &display::PointerTracker::press,
             kRelease = &display::PointerTracker::release;
  const struct {
    Step step;
    bool over;
    std::vector<uint16_t> conditions;
    ButtonState state;
  } steps[] = {
      {kMove, true, {display::kRollOver}, ButtonState::Over},
      {kPress, true, {display::kPress}, ButtonState::Down},
      {kMove, false, {display::kDragOut}, ButtonState::Over},
      {kMove, true, {display::kDragOver}, ButtonState::Down},
      {kRelease, true, {display::kRelease}, ButtonState::Over},
      {kPress, true, {display::kPress}, ButtonState::Down},
      {kMove, false, {display::kDragOut}, ButtonState::Over},
      {kRelease, false, {display::kReleaseOutside}, ButtonState::Up},
      {kMove, true, {display::kRollOver}, ButtonState::Over},
      {kMove, false, {display::kRollOut}, ButtonState::Up},
      {kPress, false, {}, ButtonState::Up},  // pressed elsewhere: a push button ignores the drag
      {kMove, true, {}, ButtonState::Up},
  };
  int n = 0;
  for (const auto& s : steps) {
    std::vector<uint16_t> got;
    for (const display::ButtonEvent& e : (tracker.*s.step)(s.over ? button : nullptr)) got.push_back(e.condition);
    EXPECT_EQ(got, s.conditions) << "step " << n;
    EXPECT_EQ(button->state(), s.state) << "step " << n;
    ++n;
  }
  // The over state shows shape 12 in place of the up state's shape 10.
  tracker.release(nullptr);
  tracker.move(button);
  ASSERT_NE(button->children().at(2), nullptr);
  EXPECT_EQ(button->children().at(2)->characterId(), 12);
  EXPECT_EQ(button->children().at(1), nullptr);
}

TEST(PointerTracker, MenuButtonsTakeTheDragAsThePointerPasses) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(button2(5, true, {{0x0F, 10}}, {}));
  m.add(button2(6, true, {{0x0F, 10}}, {}));
  m.frame(1).tags = {place(1, 5), place(2, 6)};
  display::MoviePlayer player(m.data);
  player.advance();
  auto a = std::static_pointer_cast<display::ButtonObject>(player.root().children().children().at(1));
  auto b = std::static_pointer_cast<display::ButtonObject>(player.root().children().children().at(2));
  display::PointerTracker tracker;
  auto conditions = [](const std::vector<display::ButtonEvent>& events) {
    std::string out;
    for (const auto& e : events) {
      out.push_back(e.button->depth() == 1 ? 'a' : 'b');
      out.append(std::to_string(e.condition)).push_back(' ');
    }
    return out;
  };
  tracker.move(a);
  EXPECT_EQ(conditions(tracker.press(a)), "a4 ");
  EXPECT_EQ(conditions(tracker.move(b)), "a256 b128 ");  // menu drag out of a, over b
  EXPECT_EQ(a->state(), ButtonState::Up);
  EXPECT_EQ(b->state(), ButtonState::Down);
  EXPECT_EQ(conditions(tracker.release(b)), "b8 ");
  EXPECT_EQ(b->state(), ButtonState::Over);
}

TEST(PointerTracker, KeyPressActionsOfEveryButton) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(button2(5, false, {{0x0F, 10}}, {{uint16_t(65 << 9), {0x06, 0x00}}, {display::kPress, {0x07, 0x00}}}));
  m.frame(1).tags = {place(1, 5)};
  display::MoviePlayer player(m.data);
  player.advance();
  EXPECT_EQ(display::keyPressActions(player.root().children(), 65).size(), 1u);
  EXPECT_TRUE(display::keyPressActions(player.root().children(), 66).empty());
  EXPECT_TRUE(display::keyPressActions(player.root().children(), 0).empty());
}

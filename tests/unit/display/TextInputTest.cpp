// Input on text fields: focus by click and Tab, caret moves and selection by keys, typing,
// Backspace and Delete, copy and cut; read-only and password fields keep their text.
#include <gtest/gtest.h>

#include <string>

#include "../../../player/display/EditTextObject.h"
#include "../../../player/display/MoviePlayer.h"
#include "../../../player/display/TextInput.h"
#include "../../../player/scene/SceneButtons.h"
#include "../../../player/scene/SceneFields.h"
#include "../../../player/swf/TagCodes.h"
#include "MovieFixture.h"

using display::EditKey;

namespace {

// Field 4 at depth 1 over (0, 0)-(100, 20) pixels with `options` applied; button 2 at depth 2.
struct FieldMovie {
  fixture::Movie m{200, 100};
  std::unique_ptr<display::MoviePlayer> player;
  explicit FieldMovie(void (*options)(scene::FieldSpec&) = nullptr) {
    scene::FieldSpec f;
    f.id = 4;
    f.bounds = {0, 2000, 0, 400};
    f.variable = "typed";
    if (options) options(f);
    m.add(swf::RawCharacter{4, swf::tag::kDefineEditText, scene::editTextBody(f)});
    m.add(fixture::rectangle(10, 5, 5, swf::Rgba{0, 0, 255, 255}));
    m.add(swf::RawCharacter{2, swf::tag::kDefineButton2, scene::buttonBody(2, false, {{0x0F, 10, 1, {}}}, {})});
    swf::PlaceObject button = fixture::place(2, 2);
    button.matrix = fixture::translate(150, 50);
    m.frame(1).tags = {fixture::place(1, 4), button};
    player = std::make_unique<display::MoviePlayer>(m.data);
    player->advance();
  }
  const display::DisplayList& stage() { return player->root().children(); }
  display::EditTextObject& field() {
    return static_cast<display::EditTextObject&>(*player->root().children().at(1));
  }
};

std::string narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

}  // namespace

TEST(TextInput, KeysMoveTheCaretSelectAndEdit) {
  FieldMovie movie;
  display::TextInput input;
  ASSERT_TRUE(input.press(movie.stage(), {100, 100}));
  input.release();
  EXPECT_TRUE(movie.field().focused());
  ASSERT_TRUE(input.type(u"abc"));
  const struct {
    EditKey key;
    bool shift;
    const char16_t* typed;  // typed after the key, when set
    const char* text;
    size_t selectionBegin, selectionEnd;
  } steps[] = {
      {EditKey::Left, false, nullptr, "abc", 2, 2},
      {EditKey::Left, true, u"X", "aXc", 2, 2},      // Shift extends over "b"; typing replaces it
      {EditKey::Left, true, nullptr, "aXc", 1, 2},
      {EditKey::Right, false, nullptr, "aXc", 2, 2},  // an arrow collapses a selection to its side
      {EditKey::Backspace, false, nullptr, "ac", 1, 1},
      {EditKey::Home, false, nullptr, "ac", 0, 0},
      {EditKey::Delete, false, nullptr, "c", 0, 0},
      {EditKey::End, true, nullptr, "c", 0, 1},
      {EditKey::SelectAll, false, u"zz", "zz", 2, 2},
      {EditKey::Enter, false, nullptr, "zz", 2, 2},  // a single-line field takes no break
  };
  for (const auto& s : steps) {
    input.key(s.key, s.shift);
    if (s.typed) input.type(s.typed);
    const text::EditTextState& state = movie.field().state();
    EXPECT_EQ(narrow(state.text()), s.text) << "after key " << int(s.key);
    EXPECT_EQ(state.selectionBegin(), s.selectionBegin) << "after key " << int(s.key);
    EXPECT_EQ(state.selectionEnd(), s.selectionEnd) << "after key " << int(s.key);
  }
  input.key(EditKey::SelectAll, false);
  EXPECT_EQ(input.copy(), std::optional<std::u16string>(u"zz"));
  EXPECT_TRUE(input.cut());
  EXPECT_EQ(narrow(movie.field().state().text()), "");
  // A click away from every field takes the focus: typing goes nowhere.
  EXPECT_FALSE(input.press(movie.stage(), {3000, 1500}));
  EXPECT_FALSE(movie.field().focused());
  EXPECT_FALSE(input.type(u"q"));
}

TEST(TextInput, ReadOnlyAndPasswordFieldsKeepTheirText) {
  FieldMovie readOnly([](scene::FieldSpec& f) {
    f.readOnly = true;
    f.text = "fixed";
  });
  display::TextInput input;
  ASSERT_TRUE(input.press(readOnly.stage(), {100, 100}));
  EXPECT_FALSE(input.type(u"x"));
  EXPECT_FALSE(input.key(EditKey::Backspace, false));
  input.key(EditKey::SelectAll, false);
  EXPECT_EQ(input.copy(), std::optional<std::u16string>(u"fixed")) << "read-only text can still be copied";

  FieldMovie password([](scene::FieldSpec& f) { f.password = true; });
  display::TextInput secret;
  ASSERT_TRUE(secret.press(password.stage(), {100, 100}));
  ASSERT_TRUE(secret.type(u"pw"));
  secret.key(EditKey::SelectAll, false);
  EXPECT_EQ(secret.copy(), std::nullopt);
  EXPECT_FALSE(secret.cut());
  EXPECT_EQ(narrow(password.field().state().text()), "pw");
}

TEST(TextInput, TabMovesAlongFieldsAndButtonsInDepthOrder) {
  FieldMovie movie;
  display::TextInput input;
  const display::DisplayObject* field = movie.stage().at(1);
  const display::DisplayObject* button = movie.stage().at(2);
  input.tab(movie.stage(), false);
  EXPECT_EQ(input.focused().get(), field);
  EXPECT_TRUE(movie.field().focused());
  EXPECT_EQ(input.highlighted(), nullptr) << "fields get no focus rectangle";
  input.tab(movie.stage(), false);
  EXPECT_EQ(input.focused().get(), button);
  EXPECT_EQ(input.highlighted().get(), button);
  EXPECT_FALSE(movie.field().focused());
  input.tab(movie.stage(), false);
  EXPECT_EQ(input.focused().get(), field) << "round to the first";
  input.tab(movie.stage(), true);
  EXPECT_EQ(input.focused().get(), button) << "Shift+Tab goes back";
  input.press(movie.stage(), {3000, 1800});
  EXPECT_EQ(input.highlighted(), nullptr) << "the mouse takes the rectangle away";
}

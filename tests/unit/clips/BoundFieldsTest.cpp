// Text fields bound to variables: a field gives an undefined variable its text, shows what
// ActionScript puts in the variable (at the root and inside a clip), and keeps the caret of
// text the user typed.
#include <gtest/gtest.h>

#include <string>

#include "../display/MovieFixture.h"
#include "BoundFields.h"
#include "ClipStage.h"
#include "ScriptHost.h"
#include "Compiler.h"
#include "EditTextObject.h"
#include "SceneFields.h"

using fixture::place;
using fixture::Lines;
using fixture::action;

namespace {

swf::RawCharacter field(swf::CharacterId id, const std::string& variable, const std::string& text) {
  scene::FieldSpec spec;
  spec.id = id;
  spec.bounds = swf::Rect{0, 2000, 0, 400};
  spec.variable = variable;
  spec.text = text;
  return swf::RawCharacter{id, 37, scene::editTextBody(spec)};
}

struct Played {
  fixture::Movie movie;
  Lines host;
  avm1::Machine machine;
  display::MoviePlayer player;
  clips::ClipStage stage;
  explicit Played(fixture::Movie m)
      : movie(std::move(m)), machine(movie.data->version, host), player(movie.data), stage(player, machine) {}
  display::EditTextObject& fieldAt(const display::DisplayList& list, int32_t depth) {
    return static_cast<display::EditTextObject&>(*list.at(depth));
  }
  std::string text(display::EditTextObject& f) { return text::toUtf8(f.state().text()); }
};

TEST(BoundFields, AFieldGivesItsTextAndFollowsItsVariable) {
  fixture::Movie m;
  m.add(field(1, "v", "init"));
  m.add(field(2, "w", ""));
  swf::Sprite clip;
  clip.id = 3;
  fixture::frameOf(clip.timeline, 1).tags = {place(1, 2)};
  m.add(clip);
  swf::PlaceObject named = place(2, 3);
  named.name = "c";
  m.frame(1).tags = {place(1, 1), named, action("trace(v + ' ' + c.w); v = 'changed'; c.w = 5;")};
  m.frame(2).tags = {action("trace(v + ' ' + c.w + ' ' + w); v = 'again'; c.w = undefined;")};
  Played p(std::move(m));
  p.stage.tick();
  auto& root = p.fieldAt(p.player.root().children(), 1);
  auto& inner = p.fieldAt(static_cast<display::SpriteObject*>(p.player.root().children().at(2))->children(), 1);
  EXPECT_EQ(p.text(root), "changed");
  EXPECT_EQ(p.text(inner), "5") << "a field in a clip reads its variable from that clip";
  EXPECT_EQ(clips::boundVariablePath(inner), "_level0.c.w");
  p.stage.tick();
  EXPECT_EQ(p.host.text, "init undefined\nchanged 5 undefined\n") << "an empty field leaves its variable undefined";
  EXPECT_EQ(p.text(root), "again");
  EXPECT_EQ(p.text(inner), "5") << "an undefined variable leaves the text as it was";
}

TEST(BoundFields, TypedTextKeepsTheCaret) {
  fixture::Movie m;
  m.add(field(1, "v", "abc"));
  m.frame(1).tags = {place(1, 1)};
  m.frame(2).tags = {};
  Played p(std::move(m));
  p.stage.tick();
  auto& f = p.fieldAt(p.player.root().children(), 1);
  f.state().setSelection(1, 1);
  ASSERT_TRUE(f.state().replaceSelection(u"x"));
  p.machine.setVariable("v", avm1::Value(std::string("axbc")));  // as the control does on a change
  p.stage.tick();
  EXPECT_EQ(p.text(f), "axbc");
  EXPECT_EQ(f.state().caret(), 2u);
}

}  // namespace

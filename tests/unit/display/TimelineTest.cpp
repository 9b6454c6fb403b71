// Timelines as the original player runs them: frames and loops, gotos forwards (skipped frames
// merged) and backwards (rebuilt, keeping instances the target frame places the same way),
// replacing moves, nested clips and labels.
#include <gtest/gtest.h>

#include <string>

#include "../../../player/display/MoviePlayer.h"
#include "MovieFixture.h"

using fixture::move;
using fixture::place;
using fixture::translate;

namespace {

constexpr swf::Rgba kRed{255, 0, 0, 255};

// "depth:character" for each child, in depth order.
std::string listing(const display::SpriteObject& clip) {
  std::string out;
  for (const auto& [depth, child] : clip.children().children()) {
    if (!out.empty()) out += ' ';
    out.append(std::to_string(depth)).append(":").append(std::to_string(child->characterId()));
  }
  return out;
}

display::SpriteObject& spriteAt(display::SpriteObject& clip, int32_t depth) {
  display::DisplayObject* child = clip.childAt(depth);
  EXPECT_TRUE(child && child->kind() == display::ObjectKind::Sprite);
  return static_cast<display::SpriteObject&>(*child);
}

// A sprite whose frame N places shape 10 at depth N, so its listing tells its frame.
swf::Sprite countingSprite(swf::CharacterId id, size_t frames) {
  swf::Sprite s;
  s.id = id;
  for (size_t f = 1; f <= frames; ++f) fixture::frameOf(s.timeline, f).tags.push_back(place(uint16_t(f), 10));
  return s;
}

TEST(Timeline, FramesPlaceMoveAndRemoveThenLoopBackToTheFirst) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(fixture::rectangle(11, 5, 5, kRed));
  m.frame(1).tags = {place(1, 10)};
  swf::PlaceObject shift = move(1);
  shift.matrix = translate(5, 0);
  m.frame(2).tags = {shift, place(2, 11)};
  m.frame(3).tags = {swf::RemoveObject{1, std::nullopt}};
  display::MoviePlayer player(m.data);
  const struct {
    uint16_t frame;
    const char* listing;
  } steps[] = {{1, "1:10"}, {2, "1:10 2:11"}, {3, "2:11"}, {1, "1:10"}, {2, "1:10 2:11"}};
  for (const auto& step : steps) {
    player.advance();
    EXPECT_EQ(player.root().currentFrame(), step.frame);
    EXPECT_EQ(listing(player.root()), step.listing) << "frame " << step.frame;
  }
  EXPECT_EQ(player.root().childAt(1)->matrix().tx, 100);
}

TEST(Timeline, GotoForwardsMergesTheSkippedFramesIntoTheInstancesKept) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(fixture::rectangle(11, 5, 5, kRed));
  swf::PlaceObject shift = move(1), tint = move(1);
  shift.matrix = translate(3, 4);
  tint.colorTransform = swf::ColorTransform{};
  tint.colorTransform->aMult = 128;
  m.frame(1).tags = {place(1, 10)};
  m.frame(2).tags = {shift, place(2, 10)};
  m.frame(3).tags = {swf::RemoveObject{2, std::nullopt}, tint};
  m.frame(4).tags = {place(3, 11)};
  display::MoviePlayer player(m.data);
  player.advance();
  display::DisplayObject* first = player.root().childAt(1);

  player.root().gotoFrame(4, true);
  EXPECT_EQ(listing(player.root()), "1:10 3:11");
  EXPECT_EQ(player.root().childAt(1), first);
  EXPECT_EQ(first->matrix(), translate(3, 4));
  EXPECT_EQ(first->colorTransform().aMult, 128);
  EXPECT_FALSE(player.root().playing());
  player.advance();
  EXPECT_EQ(player.root().currentFrame(), 4);

  player.root().gotoFrame(99, false);  // past the end: the last frame, which it is on already
  EXPECT_EQ(player.root().currentFrame(), 4);
  EXPECT_TRUE(player.root().playing());
}

TEST(Timeline, GotoBackwardsRebuildsKeepingInstancesTheTargetFramePlacesAlike) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(fixture::rectangle(11, 5, 5, kRed));
  m.add(countingSprite(20, 5));
  m.add(countingSprite(21, 5));
  swf::PlaceObject clip = place(1, 20), shift = move(1);
  clip.matrix = translate(1, 0);
  shift.matrix = translate(9, 0);
  m.frame(1).tags = {clip, place(2, 10), place(3, 20)};
  // Frame 2 moves the clip, puts another shape at depth 2 and another clip at depth 3.
  m.frame(2).tags = {shift, swf::RemoveObject{2, std::nullopt}, place(2, 11), swf::RemoveObject{3, std::nullopt},
                     place(3, 21)};
  m.frame(3).tags = {};
  display::MoviePlayer player(m.data);
  for (int i = 0; i < 3; ++i) player.advance();
  display::SpriteObject* kept = &spriteAt(player.root(), 1);
  display::SpriteObject* replaced = &spriteAt(player.root(), 3);
  ASSERT_EQ(kept->currentFrame(), 3);

  player.root().gotoFrame(1, true);
  EXPECT_EQ(listing(player.root()), "1:20 2:10 3:20");
  EXPECT_EQ(&spriteAt(player.root(), 1), kept);
  EXPECT_EQ(kept->matrix(), translate(1, 0));  // the target frame's placement, not the move's
  EXPECT_EQ(kept->currentFrame(), 3);          // its own timeline goes on where it was
  EXPECT_TRUE(replaced->removed());
  EXPECT_EQ(spriteAt(player.root(), 3).currentFrame(), 1);  // a new instance of clip 20
}

TEST(Timeline, MoveWithACharacterReplacesAShapesCharacterInPlace) {
  for (bool byGoto : {false, true}) {
    fixture::Movie m;
    m.add(fixture::rectangle(10, 5, 5, kRed));
    m.add(fixture::rectangle(11, 5, 5, kRed));
    m.add(countingSprite(20, 1));
    swf::PlaceObject toShape = move(1), toOtherKind = move(2);
    toShape.characterId = 11;
    toOtherKind.characterId = 10;
    m.frame(1).tags = {place(1, 10), place(2, 20)};
    m.frame(2).tags = {toShape, toOtherKind};
    display::MoviePlayer player(m.data);
    player.advance();
    display::DisplayObject* shape = player.root().childAt(1);
    display::DisplayObject* clip = player.root().childAt(2);
    if (byGoto) player.root().gotoFrame(2, true);
    else player.advance();
    EXPECT_EQ(player.root().childAt(1), shape) << byGoto;
    EXPECT_EQ(player.root().childAt(2), clip) << byGoto;
    EXPECT_EQ(listing(player.root()), "1:11 2:20") << byGoto;  // a clip keeps its own character
  }
}

TEST(Timeline, PlacingAtAnOccupiedDepthKeepsTheFirstInstance) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(fixture::rectangle(11, 5, 5, kRed));
  m.frame(1).tags = {place(1, 10), place(1, 11), place(2, 99)};  // 99: no such character
  display::MoviePlayer player(m.data);
  player.advance();
  EXPECT_EQ(listing(player.root()), "1:10");
}

TEST(Timeline, AClipThatPlacesItselfStopsNestingInsteadOfRecursingForever) {
  fixture::Movie m;
  swf::Sprite selfish;
  selfish.id = 20;
  fixture::frameOf(selfish.timeline, 1).tags = {place(1, 20)};
  m.add(selfish);
  m.frame(1).tags = {place(1, 20)};
  display::MoviePlayer player(m.data);
  player.advance();
  int depth = 0;
  for (display::DisplayObject* at = player.root().childAt(1); at; ++depth)
    at = static_cast<display::SpriteObject*>(at)->childAt(1);
  EXPECT_GT(depth, 8);
  EXPECT_LT(depth, 1000);
}

TEST(Timeline, NestedClipsRunTheirOwnFramesAndNewClipsShowTheirFirst) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.add(countingSprite(20, 3));
  m.add(countingSprite(21, 1));
  m.frame(1).tags = {place(1, 20), place(3, 21)};
  m.frame(2).tags = {place(2, 20)};
  display::MoviePlayer player(m.data);
  const struct {
    const char* first;
    const char* second;  // "-" while absent
  } steps[] = {{"1:10", "-"}, {"1:10 2:10", "1:10"}, {"1:10 2:10 3:10", "-"}, {"1:10", "1:10"}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    player.advance();
    EXPECT_EQ(listing(spriteAt(player.root(), 1)), steps[i].first) << "tick " << i + 1;
    display::DisplayObject* second = player.root().childAt(2);
    EXPECT_EQ(second ? listing(static_cast<display::SpriteObject&>(*second)) : "-", steps[i].second) << i + 1;
  }
  // A one-frame clip stops rather than loops; a stopped clip stays where it is until played.
  EXPECT_FALSE(spriteAt(player.root(), 3).playing());
  display::SpriteObject& clip = spriteAt(player.root(), 1);
  clip.stop();
  player.advance();
  EXPECT_EQ(clip.currentFrame(), 1);
  clip.play();
  player.advance();
  EXPECT_EQ(clip.currentFrame(), 2);
}

TEST(Timeline, GotoByLabelIgnoresCaseAndAnUnknownLabelChangesNothing) {
  fixture::Movie m;
  m.add(fixture::rectangle(10, 5, 5, kRed));
  m.frame(1).tags = {place(1, 10)};
  m.frame(2).tags = {swf::FrameLabel{"Intro", false}};
  m.frame(3).tags = {swf::RemoveObject{1, std::nullopt}};
  display::MoviePlayer player(m.data);
  player.advance();
  EXPECT_TRUE(player.root().gotoLabel("intro", true));
  EXPECT_EQ(player.root().currentFrame(), 2);
  EXPECT_FALSE(player.root().gotoLabel("outro", false));
  EXPECT_EQ(player.root().currentFrame(), 2);
  EXPECT_FALSE(player.root().playing());
  EXPECT_EQ(player.root().childByName("nobody"), nullptr);
}

}  // namespace

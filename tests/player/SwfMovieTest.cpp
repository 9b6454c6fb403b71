// The SWF container and script text shared by the player and the movie tool.
#include <gtest/gtest.h>

#include "ScriptText.h"
#include "SwfMovie.h"

namespace {

TEST(PlayerSwf, WrittenMoviesReadBackPlainAndCompressed) {
  for (bool compressed : {false, true}) {
    movie::SwfMovie m;
    m.compressed = compressed;
    m.version = 10;
    m.xMax = 640 * 20;
    m.yMax = 480 * 20;
    m.frameRate = 30;
    m.frameCount = 3;
    m.background = 0x112233;
    m.script = std::string(200, 'x');  // long enough for the long tag header
    m.hasScript = true;
    std::vector<uint8_t> bytes = movie::writeSwf(m);
    ASSERT_EQ(compressed ? 'C' : 'F', bytes[0]);
    EXPECT_EQ(10, bytes[3]) << "version byte at offset 3";
    auto back = movie::parseSwf(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(640, back->widthPixels());
    EXPECT_EQ(480, back->heightPixels());
    EXPECT_DOUBLE_EQ(30.0, back->frameRate);
    EXPECT_EQ(3, back->frameCount);
    EXPECT_EQ(3, back->shownFrames);
    EXPECT_EQ(0x112233u, back->background.value());
    EXPECT_EQ(m.script, back->script);
  }
}

TEST(PlayerSwf, DamagedInputIsRefusedOrCutShort) {
  EXPECT_FALSE(movie::parseSwf(nullptr, 0));
  const uint8_t notSwf[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_FALSE(movie::parseSwf(notSwf, sizeof notSwf));
  // A compressed movie whose body does not inflate.
  const uint8_t badZlib[] = {'C', 'W', 'S', 9, 100, 0, 0, 0, 1, 2, 3, 4};
  EXPECT_FALSE(movie::parseSwf(badZlib, sizeof badZlib));
  // A forged huge uncompressed length is not believed.
  const uint8_t huge[] = {'C', 'W', 'S', 9, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C};
  EXPECT_FALSE(movie::parseSwf(huge, sizeof huge));
  // Truncated in the middle of a tag: the tags before it count.
  movie::SwfMovie m;
  m.xMax = 100;
  m.yMax = 100;
  m.background = 0xABCDEF;
  m.script = std::string(100, 'y');
  m.hasScript = true;
  std::vector<uint8_t> bytes = movie::writeSwf(m);
  auto cut = movie::parseSwf(bytes.data(), bytes.size() - 50);
  ASSERT_TRUE(cut);
  EXPECT_EQ(0xABCDEFu, cut->background.value());
  EXPECT_FALSE(cut->hasScript);
}

TEST(PlayerSwf, ScriptLinesSplitIntoTokensWithQuotesAndEscapes) {
  auto lines = movie::parseScript("# comment\n\ncall  a \"b c\" \"q\\\"\\\\\\n\\t\"\r\n  log x\n");
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(3, lines[0].number);
  EXPECT_EQ((std::vector<std::string>{"call", "a", "b c", "q\"\\\n\t"}), lines[0].tokens);
  EXPECT_EQ(4, lines[1].number);
  EXPECT_EQ((std::vector<std::string>{"log", "x"}), lines[1].tokens);
  EXPECT_EQ("\"a\\\"b\\\\c\\nd\"", movie::quoteToken("a\"b\\c\nd"));
}

}  // namespace

// The SDK's two examples, built with rq4800-cl65 and started from Files.
#include "tests/firmware/font12.h"
#include "tests/sdk/program_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST_F(ProgramTest, SnakeIsPlayedWithTheKeysAndBeeps) {
  StartBuilt("snake.bin");
  ASSERT_TRUE(RunUntilShown("Score   0", 2)) << Screen();
  EXPECT_TRUE(ProgramRunning());
  EXPECT_THAT(Line(4), HasSubstr("ooo")) << "the snake at its start\n" << Screen();
  // Up, then left: it turns and crawls to the wall, where the game ends.
  Press(key::kUp, 5);
  Press(key::kLeft, 5);
  const size_t heard = audio.size();
  ASSERT_TRUE(RunUntilShown("Game over", 10)) << Screen();
  EXPECT_THAT(Screen(), HasSubstr("Score ")) << Screen();
  bool sound = false;
  for (size_t i = heard; i < audio.size() && !sound; ++i) sound = audio[i] != 0;
  EXPECT_TRUE(sound) << "the game-over tone";
  Press(key::kA, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_FALSE(ProgramRunning());
}

TEST_F(ProgramTest, SnakeGivesUpWithEsc) {
  StartBuilt("snake.bin");
  ASSERT_TRUE(RunUntilShown("Score   0", 2)) << Screen();
  Press(key::kEsc, 10);
  ASSERT_TRUE(RunUntilShown("Game over", 2)) << Screen();
  EXPECT_THAT(Screen(), HasSubstr("Score 0"));
  Press(key::kEnter, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_EQ(LastExit(), 0) << "main's result: the score";
}

TEST_F(ProgramTest, ChineseTextThroughTheSystemInterface) {
  const Font12 font12;
  if (!font12.Present()) GTEST_SKIP() << "no 12 x 12 font in this build (package xfonts-wqy)";
  StartBuilt("hanzi.bin");
  // 你好 from dot (2, 0), two cells of six dots each; 中文 on the next line.
  const int ni = Font12::GbkSlot(0xC4, 0xE3), hao = Font12::GbkSlot(0xBA, 0xC3);
  const int zhong = Font12::GbkSlot(0xD6, 0xD0);
  EXPECT_TRUE(ShowsGlyphAt(font12, ni, 2, 0)) << Screen();
  EXPECT_TRUE(ShowsGlyphAt(font12, hao, 14, 0));
  EXPECT_TRUE(ShowsGlyphAt(font12, zhong, 2, 16));
  EXPECT_TRUE(ShowsTextAtDot(2 + 4 * 12 + 6, 16, "ABC 123")) << "ASCII beside the 12 x 12 characters";
  EXPECT_TRUE(ShowsTextAtDot(2, 34, "Time 14:03")) << "the device's clock";
  EXPECT_THAT(Line(9), StartsWith("Any key: back")) << Screen();
  EXPECT_TRUE(Dot(3, 79) && !Dot(3 + 6 * 14, 79)) << "light on dark, the text only";
  EXPECT_TRUE(ProgramRunning());
  Press(key::kA, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  // Listed by the GBK name in its header.
  EXPECT_TRUE(ShowsGlyphAt(font12, Font12::GbkSlot(0xBA, 0xBA), 2 + 4 * 6, ListRowTop(0))) << Screen();
}

}  // namespace
}  // namespace rq4800::test

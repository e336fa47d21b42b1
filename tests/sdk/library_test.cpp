// The target library's conio, keys, clock, TGI and joystick, through a
// program built with rq4800-cl65 (programs/libcheck.c).
#include "tests/sdk/program_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::StartsWith;

TEST_F(ProgramTest, TheTargetLibraryDoesWhatCc65Promises) {
  const auto image = ReadWholeFile(std::string(RQ4800_SDK_TEST_PROGRAMS) + "/libcheck.bin");
  ASSERT_FALSE(image.empty());
  BootWithPrograms({image});
  Press(key::kEnter, 30);
  ASSERT_TRUE(ProgramRunning());
  // The picture, on the LCD: TGI's x is dot x + 1.
  EXPECT_TRUE(Dot(1, 0) && Dot(1 + 158, 79) && Dot(1 + 100, 50)) << "the line's ends and middle";
  EXPECT_TRUE(Dot(1 + 10, 10) && Dot(1 + 19, 19) && !Dot(1 + 20, 15)) << "the bar";
  // The circle of radius 20 round (100, 40): a dot near each of its ends.
  const auto near = [this](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (Dot(1 + x + dx, y + dy)) return true;
    return false;
  };
  EXPECT_TRUE(near(80, 40) && near(120, 40) && near(100, 20) && near(100, 60)) << "the circle";
  EXPECT_FALSE(near(100, 30) || near(90, 40)) << "inside it";
  EXPECT_FALSE(Dot(1 + 100, 40));
  EXPECT_FALSE(Dot(0, 0)) << "dot 0 is never drawn";
  Press(key::kA, 20);

  EXPECT_THAT(Line(0), StartsWith("size 26 10 at 25 9 ")) << "gotoxy keeps to the screen\n" << Screen();
  EXPECT_THAT(Line(1), StartsWith("tgi 159 80 11010")) << "pixels read back";
  EXPECT_THAT(Line(2), StartsWith("keys?"));
  // a; Shift B = 1; Caps A = A; Caps off, a; Up; Enter.
  for (int code : {key::kA, key::kShift, 44, key::kCaps, key::kA, key::kCaps, key::kA, key::kUp, key::kEnter})
    Press(code, 5);
  RunSeconds(1.5);
  EXPECT_THAT(Line(2), StartsWith("keys 61 31 41 61 11 0d")) << Screen();
  EXPECT_THAT(Line(3), StartsWith("slept 25")) << "a second of 250 ticks\n" << Screen();
  EXPECT_THAT(Line(3), ::testing::HasSubstr(" of 250"));
  EXPECT_THAT(Line(4), StartsWith("joy?"));
  // Left held, then Enter (another key word) with it: left and fire.
  PressKeyCode(*machine, key::kLeft);
  Run(5);
  EXPECT_THAT(Line(4), StartsWith("joy?")) << "the program waits for fire";
  PressKeyCode(*machine, key::kEnter);
  Run(5);
  ReleaseAllKeys(*machine);
  Run(10);
  EXPECT_THAT(Line(4), StartsWith("joy 14")) << Screen();
  EXPECT_TRUE(Dot(2 + 6 + 1, 39) && !Dot(2 + 6 * 10 + 1, 39)) << "revers: light on dark, the text only";
  EXPECT_THAT(Line(5), StartsWith("printf"));
  EXPECT_THAT(Line(6), StartsWith("goes on"));
  Press(key::kA, 20);
  EXPECT_TRUE(InFiles()) << Screen();
  EXPECT_EQ(LastExit(), 7);
}

}  // namespace
}  // namespace rq4800::test

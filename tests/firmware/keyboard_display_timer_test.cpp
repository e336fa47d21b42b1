// The screens that exercise the machine's parts one by one: the keyboard
// test, the display test and the timer test.
#include <gmock/gmock.h>

#include <bitset>
#include <cstdlib>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::StartsWith;

class KeyboardScreenTest : public FirmwareTest {
 protected:
  void SetUp() override { OpenScreen(0, "Keyboard test"); }
};

TEST_F(KeyboardScreenTest, NamesEachKeyAndThePathItCameThroughAndEscLeavesOnTheSecondPress) {
  const struct { int code; const char *name, *path; } cases[] = {
      {key::kA, "Key A code 30", "via ports 09/08 word 3"},
      {key::kF1, "Key F1 code 16", "via ports 09/08 word 0"},
      {key::kEnter, "Key ENTER code 39", "via ports 09/08 word 1"},
      {key::kApp3, "Key APP3 code 3", "via row path 0B w6 b2"},
      {15, "Key KEY15 code 15", "via row path 0B w6 b6"},
      {key::kPower, "Key POWER code 0", "via row path 0B w7 b0"},
      {key::kKey8, "Key KEY8 code 8", "via extra path 0B w7 b1"},
      {key::kKey9, "Key KEY9 code 9", "via extra path 0B w7 b2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Press(c.code);
    EXPECT_THAT(Line(1), StartsWith(c.name)) << Screen();
    EXPECT_THAT(Line(2), StartsWith(c.path)) << Screen();
  }
  // The earlier keys, newest first.
  EXPECT_THAT(Line(5), StartsWith("  KEY8 8")) << Screen();
  EXPECT_THAT(Line(6), StartsWith("  POWER 0")) << Screen();
  // Esc is named once and leaves on the second press.
  Press(key::kEsc);
  EXPECT_THAT(Line(1), StartsWith("Key ESC code 53")) << Screen();
  Press(key::kEsc, 20);
  EXPECT_TRUE(AtHome()) << Screen();
}

TEST_F(KeyboardScreenTest, HeldKeysShowTheirWordsAndLightCapsAndShift) {
  PressKeyCode(*machine, key::kA);
  PressKeyCode(*machine, key::kKey9);
  Run(5);
  EXPECT_THAT(Line(3), StartsWith("W 00 00 00 01 00 00 00 04")) << Screen();
  ReleaseAllKeys(*machine);
  const int shiftIcon = 42, capsIcon = 41;
  for (const int code : {key::kShift, key::kCaps}) {
    SCOPED_TRACE(code);
    PressKeyCode(*machine, code);
    Run(5);
    EXPECT_EQ(Icon(shiftIcon), code == key::kShift);
    EXPECT_EQ(Icon(capsIcon), code == key::kCaps);
    ReleaseAllKeys(*machine);
    Run(5);
    EXPECT_FALSE(Icon(shiftIcon));
    EXPECT_FALSE(Icon(capsIcon));
  }
  EXPECT_THAT(Line(3), StartsWith("W 00 00 00 00 00 00 00 00")) << Screen();
}

class DisplayScreenTest : public FirmwareTest {
 protected:
  void SetUp() override {
    Boot();
    OpenMenuItem(1);
  }
  // Every dot row r holds even (r even) or odd (r odd); the icon bits are off.
  void ExpectPattern(uint8_t even, uint8_t odd) {
    for (int r = 0; r < 80; ++r)
      for (int k = 0; k < 20; ++k)
        ASSERT_EQ(Lcd()[r * 20 + k], (r % 2 ? odd : even) & (k ? 0xFF : 0x7F)) << "row " << r << " byte " << k;
  }
};

TEST_F(DisplayScreenTest, DotPatternsFollowEachOtherThenEveryStatusIconLightsInTurnAlone) {
  ExpectPattern(0xAA, 0x55);
  RunSeconds(1);
  ExpectPattern(0xFF, 0xFF);
  Press(key::kEnter);  // Enter skips ahead
  ExpectPattern(0xFF, 0x00);
  Press(key::kEnter);
  ExpectPattern(0xCC, 0xCC);
  // Then every status icon lights in turn, alone.
  PressKeyCode(*machine, key::kEnter);  // into the icon phase, watching from its first frame
  for (int i = 0; i < 3 && !ScreenHas("Status icons"); ++i) Run(1);
  ReleaseAllKeys(*machine);
  ASSERT_TRUE(ScreenHas("Status icons")) << Screen();
  // A frame may end while the firmware is between switching one icon off and
  // the next on, or between the icon and its caption; such frames are few.
  std::bitset<80> seen;
  int between = 0;
  for (int frame = 0; frame < 250; ++frame) {
    Run(1);
    if (ScreenHas("Seven-segment")) break;
    int lit = 0, which = -1;
    for (int r = 0; r < 80; ++r)
      if (Icon(r)) ++lit, which = r;
    ASSERT_LE(lit, 1) << "frame " << frame;
    between += lit == 0;
    if (lit == 0) continue;
    seen.set(which);
    const int caption = std::atoi(Line(5).substr(7, 2).c_str());
    EXPECT_TRUE(caption == which || caption == which - 1) << which << "\n" << Screen();
  }
  EXPECT_TRUE(seen.all()) << seen << " between " << between;
  EXPECT_LE(between, 3);
}

TEST_F(DisplayScreenTest, SevenSegmentDigitsCount) {
  for (int i = 0; i < 5; ++i) Press(key::kEnter, 1);
  ASSERT_TRUE(ScreenHas("Seven-segment")) << Screen();
  Run(150);  // 62.5 counts a second
  // The text comes first, the segments after it: a frame can end between.
  int shown = 0;
  for (int tries = 0; tries < 5; ++tries, Run(1)) {
    shown = std::atoi(Line(5).substr(0, 6).c_str());
    if (SegmentDigits() == shown) break;
  }
  EXPECT_NEAR(shown, 187, 10) << Screen();
  EXPECT_EQ(SegmentDigits(), shown) << "the digits show the count once it is drawn";
  Press(key::kEsc);
  EXPECT_TRUE(AtHome()) << Screen();
}

class TimerScreenTest : public FirmwareTest {
 protected:
  void SetUp() override { OpenScreen(2, "Timer test"); }
  // The measured count of a source line (2..5): the number in columns 9..13.
  int Measured(int line) { return std::atoi(Line(line).substr(9, 5).c_str()); }
};

TEST_F(TimerScreenTest, CountsPerSecondMatchTheMachinesRatesAndLeavingStopsBothTimers) {
  RunSeconds(3.5);
  // Device time: 28,800 slices a second. The tick source fires 5 times a
  // frame (250/s), timer A overflows every 4 slices (7200/s), timer B every
  // 512 slices (56.25/s), and the NMI comes every 25 frames.
  EXPECT_EQ(Measured(2), 250) << Screen();
  EXPECT_NEAR(Measured(3), 7200, 1) << Screen();
  EXPECT_NEAR(Measured(4), 56.5, 0.5) << Screen();
  EXPECT_EQ(Measured(5), 2) << Screen();
  // Leaving stops both timers.
  EXPECT_TRUE(machine->bus.timerARunning);
  EXPECT_TRUE(machine->bus.timerBRunning);
  Press(key::kEsc);
  EXPECT_TRUE(AtHome()) << Screen();
  EXPECT_FALSE(machine->bus.timerARunning);
  EXPECT_FALSE(machine->bus.timerBRunning);
}

}  // namespace
}  // namespace rq4800::test

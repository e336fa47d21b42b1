#include <gmock/gmock.h>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using HomeScreenTest = FirmwareTest;

TEST_F(HomeScreenTest, ShowsNameMenuSelectionAndTheHostsDateAndTimeSteppedBetweenAnswers) {
  Boot();
  RunSeconds(1.2);
  EXPECT_TRUE(AtHome()) << Screen();
  // The firmware asked for the time with year byte 119; the host answered
  // at the half-second tick.
  EXPECT_THAT(Line(1), HasSubstr("2026-12-05  14:03:07")) << Screen();
  const char* items[] = {" 1 Keyboard test", " 2 Display test", " 3 Timer test", " 4 Sound test",
                         " 5 Files",         " 6 Flash test",   " 7 Sleep"};
  for (int i = 0; i < 7; ++i) EXPECT_THAT(Line(2 + i), StartsWith(items[i])) << Screen();
  EXPECT_TRUE(Inverted(2)) << "the first item is selected";
  // Hours and minutes on the seven-segment digits.
  EXPECT_EQ(SegmentDigits(), 1403);
  // The arrows move the selection, and wrap round from the first to the last.
  Press(key::kDown);
  EXPECT_TRUE(Inverted(3));
  EXPECT_FALSE(Inverted(2));
  Press(key::kUp);
  Press(key::kUp);
  EXPECT_TRUE(Inverted(8)) << Screen();
  EXPECT_FALSE(Inverted(2));
  // Between the host's answers the firmware keeps time itself, a half-second
  // a step: the colon beside the digits blinks, and the seconds never run
  // ahead of a host whose clock stands still.
  int lit = 0;
  for (int frame = 0; frame < 200; ++frame) {
    Run(1);
    lit += Icon(9);
    ASSERT_THAT(Line(1), HasSubstr("2026-12-05  14:03:07")) << "frame " << frame;
  }
  EXPECT_GT(lit, 50);
  EXPECT_LT(lit, 150);
}

// The emulation stands still while the desktop program shows a menu or a
// dialog, and the host's time runs on; the firmware asks the host again every
// second, so the shown date and time catch up within 50 frames of a jump.
TEST_F(HomeScreenTest, ShownTimeFollowsTheHostWithinASecond) {
  const struct { LocalTime from, to; const char* shown; int digits; } cases[] = {
      {{2026, 12, 5, 14, 3, 7}, {2026, 12, 5, 14, 3, 36}, "2026-12-05  14:03:36", 1403},  // two file dialogs
      {{2026, 2, 28, 23, 59, 57}, {2026, 3, 1, 0, 0, 2}, "2026-03-01  00:00:02", 0},
      {{2024, 2, 28, 23, 59, 58}, {2024, 2, 29, 0, 0, 0}, "2024-02-29  00:00:00", 0},  // leap day
      {{2026, 12, 31, 23, 59, 58}, {2027, 1, 1, 9, 41, 5}, "2027-01-01  09:41:05", 941},
      {{2026, 10, 25, 3, 0, 10}, {2026, 10, 25, 2, 0, 11}, "2026-10-25  02:00:11", 200},  // set back
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    clock.time = c.from;
    Boot();
    RunSeconds(1.3);
    ASSERT_TRUE(AtHome()) << Screen();
    clock.time = c.to;
    int frames = 0;
    while (frames < 50 && Line(1).find(c.shown) == std::string::npos) {
      Run(1);
      ++frames;
    }
    EXPECT_THAT(Line(1), HasSubstr(c.shown)) << "after " << frames << " frames\n" << Screen();
    Run(2);  // the digits follow the text
    EXPECT_EQ(SegmentDigits(), c.digits);
  }
}

// Sleep, the last menu item, ends back here.
TEST_F(HomeScreenTest, SleepThenAWakeKeyWarmResetsToHome) {
  for (const int wakeKey : {key::kApp1, key::kPower}) {
    SCOPED_TRACE(wakeKey);
    Boot();
    OpenMenuItem(6);
    Run(5);
    ASSERT_TRUE(ScreenHas("Sleeping.")) << Screen();
    ASSERT_EQ(machine->bus.ports[0x05], 0xF0u);
    Press(key::kA);  // not a wake key: the device sleeps on
    EXPECT_TRUE(ScreenHas("Sleeping."));
    Press(wakeKey, 20);
    EXPECT_TRUE(AtHome()) << Screen();
    EXPECT_EQ(machine->bus.ports[0x05], 0u) << "the sleep mark is gone after the restart";
    EXPECT_EQ(machine->bus.ports[0x02], 1u) << "the warm reset's own mark";
    RunSeconds(1);
    EXPECT_THAT(Line(1), HasSubstr("2026-12-05")) << "the clock is asked for again after the restart";
  }
}

}  // namespace
}  // namespace rq4800::test

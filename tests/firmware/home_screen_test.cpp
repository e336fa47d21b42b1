#include <gmock/gmock.h>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using HomeScreenTest = FirmwareTest;

TEST_F(HomeScreenTest, ShowsNameMenuAndTheHostsDateAndTime) {
  Boot();
  RunSeconds(1.2);
  EXPECT_TRUE(AtHome()) << Screen();
  // The firmware asked for the time with year byte 119; the host answered
  // at the half-second tick and the NMI keeps it going from there.
  EXPECT_THAT(Line(1), HasSubstr("2026-12-05  14:03:0")) << Screen();
  EXPECT_EQ(machine->bus.ram[0x046C], 145);
  const char* items[] = {" 1 Keyboard test", " 2 Display test", " 3 Timer test", " 4 Sound test",
                         " 5 Files",         " 6 Flash test",   " 7 Sleep"};
  for (int i = 0; i < 7; ++i) EXPECT_THAT(Line(2 + i), StartsWith(items[i])) << Screen();
  EXPECT_TRUE(Inverted(2)) << "the first item is selected";
  // Hours and minutes on the seven-segment digits.
  EXPECT_EQ(SegmentDigits(), 1403);
}

TEST_F(HomeScreenTest, ClockRollsOverMinuteHourDayMonthAndYear) {
  const struct { LocalTime start; const char* after; } cases[] = {  // after: four seconds on
      {{2024, 2, 28, 23, 59, 57}, "2024-02-29  00:00:0"},  // leap year
      {{2026, 2, 28, 23, 59, 57}, "2026-03-01  00:00:0"},  // common year
      {{2026, 4, 30, 23, 59, 57}, "2026-05-01  00:00:0"},  // 30-day month
      {{2026, 12, 31, 23, 59, 58}, "2027-01-01  00:00:0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    clock.time = c.start;
    Boot();
    RunSeconds(4.5);
    EXPECT_THAT(Line(1), HasSubstr(c.after)) << Screen();
    EXPECT_EQ(SegmentDigits(), 0);
  }
}

TEST_F(HomeScreenTest, ArrowsMoveTheSelectionAndWrapAround) {
  Boot();
  RunSeconds(1);
  Press(key::kDown);
  EXPECT_TRUE(Inverted(3));
  EXPECT_FALSE(Inverted(2));
  Press(key::kUp);
  Press(key::kUp);  // from the first item to the last
  EXPECT_TRUE(Inverted(8)) << Screen();
  EXPECT_FALSE(Inverted(2));
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

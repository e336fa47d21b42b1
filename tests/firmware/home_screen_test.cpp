#include <gmock/gmock.h>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class HomeScreenTest : public FirmwareTest {};

TEST_F(HomeScreenTest, ShowsNameMenuAndTheHostsDateAndTime) {
  Boot();
  RunSeconds(1.2);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
  EXPECT_TRUE(Inverted(0));
  // The firmware asked for the time with year byte 119; the host answered
  // at the half-second tick and the NMI keeps it going from there.
  EXPECT_THAT(Line(1), HasSubstr("2026-12-05  14:03:0")) << Screen();
  EXPECT_EQ(machine->bus.ram[0x046C], 145);
  const char* items[] = {"1 Keyboard test", "2 Display test", "3 Timer test", "4 Sound test",
                         "5 Files", "6 Flash test", "7 Sleep"};
  for (int i = 0; i < 7; ++i) EXPECT_THAT(Line(2 + i), StartsWith(std::string(" ") + items[i])) << Screen();
  EXPECT_TRUE(Inverted(2)) << "the first item is selected";
  // Hours and minutes on the seven-segment digits.
  EXPECT_EQ(SegmentDigit(0), 1);
  EXPECT_EQ(SegmentDigit(1), 4);
  EXPECT_EQ(SegmentDigit(2), 0);
  EXPECT_EQ(SegmentDigit(3), 3);
}

TEST_F(HomeScreenTest, KeepsTimeAcrossMinuteHourAndDayBoundaries) {
  clock.time = {2024, 2, 28, 23, 59, 57};  // the eve of a leap day
  Boot();
  RunSeconds(1);
  EXPECT_THAT(Line(1), HasSubstr("2024-02-28  23:59:5")) << Screen();
  RunSeconds(4);
  EXPECT_THAT(Line(1), HasSubstr("2024-02-29  00:00:0")) << Screen();
  EXPECT_EQ(SegmentDigit(0), 0);
  EXPECT_EQ(SegmentDigit(3), 0);
}

TEST_F(HomeScreenTest, EndOfYearRollsIntoJanuary) {
  clock.time = {2026, 12, 31, 23, 59, 58};
  Boot();
  RunSeconds(4);
  EXPECT_THAT(Line(1), HasSubstr("2027-01-01  00:00:0")) << Screen();
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

}  // namespace
}  // namespace rq4800::test

#include <gmock/gmock.h>

#include <cstdlib>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;

class TimerScreenTest : public FirmwareTest {
 protected:
  // The measured count of a source line (2..5): the number in columns 9..13.
  int Measured(int line) { return std::atoi(Line(line).substr(9, 5).c_str()); }
};

TEST_F(TimerScreenTest, CountsPerSecondMatchTheMachinesRates) {
  Boot();
  OpenMenuItem(2);
  ASSERT_THAT(Line(0), HasSubstr("Timer test")) << Screen();
  RunSeconds(3.5);
  // Device time: 28,800 slices a second. The tick source fires 5 times a
  // frame (250/s), timer A overflows every 4 slices (7200/s), timer B every
  // 512 slices (56.25/s), and the NMI comes every 25 frames.
  EXPECT_EQ(Measured(2), 250) << Screen();
  EXPECT_NEAR(Measured(3), 7200, 1) << Screen();
  EXPECT_GE(Measured(4), 56) << Screen();
  EXPECT_LE(Measured(4), 57) << Screen();
  EXPECT_EQ(Measured(5), 2) << Screen();
  EXPECT_THAT(Line(2), HasSubstr("250")) << "the expected rate beside it";
  EXPECT_TRUE(machine->bus.timerARunning);
  EXPECT_TRUE(machine->bus.timerBRunning);
}

TEST_F(TimerScreenTest, LeavingStopsBothTimers) {
  Boot();
  OpenMenuItem(2);
  RunSeconds(1);
  Press(key::kEsc);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
  EXPECT_FALSE(machine->bus.timerARunning);
  EXPECT_FALSE(machine->bus.timerBRunning);
}

}  // namespace
}  // namespace rq4800::test

#include <gmock/gmock.h>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;

class SleepScreenTest : public FirmwareTest {
 protected:
  void SetUp() override {
    Boot();
    OpenMenuItem(6);
    Run(5);
    ASSERT_THAT(Screen(), HasSubstr("Sleeping.")) << Screen();
    ASSERT_EQ(machine->bus.ports[0x05], 0xF0u);
  }
};

TEST_F(SleepScreenTest, WakeKeyWarmResetsToHome) {
  // A key that is not a wake key leaves the device asleep.
  Press(key::kA);
  EXPECT_THAT(Screen(), HasSubstr("Sleeping."));
  Press(key::kApp1, 20);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
  EXPECT_EQ(machine->bus.ports[0x05], 0u) << "the sleep mark is gone after the restart";
  EXPECT_EQ(machine->bus.ports[0x02], 1u) << "the warm reset's own mark";
  // Awake again: the wake key now only does what it does on the home screen.
  Press(key::kApp1, 5);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics"));
}

TEST_F(SleepScreenTest, PowerKeyWakesToo) {
  Press(key::kPower, 20);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
  RunSeconds(1);
  EXPECT_THAT(Line(1), HasSubstr("2026-12-05")) << "the clock is asked for again after the restart";
}

}  // namespace
}  // namespace rq4800::test

#include "host/pacing.h"

#include <gtest/gtest.h>

namespace rq4800 {
namespace {

constexpr uint64_t kTicksPerSecond = 1'000'000'000;  // a nanosecond clock, 1000 MHz
constexpr uint64_t kTicksPerMs = kTicksPerSecond / 1000;

TEST(Pacing, FirstPassRunsAtOnceLateWakeUpsKeepTheScheduleAndStallsAreNotCaughtUp) {
  Pacing pacing;
  pacing.ticksPerFrame = TicksPerFrame(1000);  // 20 ms
  PacingStep first = NextPacingStep(pacing, 0);
  EXPECT_TRUE(first.runFrame && first.paint);
  EXPECT_EQ(first.waitTicks, 20 * kTicksPerMs);
  EXPECT_FALSE(NextPacingStep(pacing, 20 * kTicksPerMs - 1).runFrame);

  // A stall of one second (a modal dialog): one frame at once, and the next
  // a full period after it, not 49 frames to catch up.
  uint64_t now = 1000 * kTicksPerMs + 7;
  PacingStep resumed = NextPacingStep(pacing, now);
  EXPECT_TRUE(resumed.runFrame);
  EXPECT_EQ(resumed.waitTicks, 20 * kTicksPerMs);
  EXPECT_FALSE(NextPacingStep(pacing, now + 20 * kTicksPerMs - 1).runFrame);
  EXPECT_TRUE(NextPacingStep(pacing, now + 20 * kTicksPerMs).runFrame);

  // A frame woken 4 ms late keeps the schedule: the next is due 16 ms later.
  now += 44 * kTicksPerMs;
  PacingStep late = NextPacingStep(pacing, now);
  EXPECT_TRUE(late.runFrame);
  EXPECT_EQ(late.waitTicks, 16 * kTicksPerMs);

  // A clock reading behind the last frame is taken as no time passed.
  EXPECT_FALSE(NextPacingStep(pacing, 0).runFrame);
}

TEST(Pacing, FastPlayRunsEveryPassAndPaintsAtMostFiftyTimesASecond) {
  Pacing pacing;
  pacing.ticksPerFrame = TicksPerFrame(1000);
  pacing.fastPlay = true;
  int frames = 0, paints = 0;
  for (uint64_t now = 0; now < 2 * kTicksPerSecond; now += kTicksPerMs / 4) {
    PacingStep step = NextPacingStep(pacing, now);
    EXPECT_EQ(step.waitTicks, 0u);
    frames += step.runFrame;
    paints += step.paint;
  }
  EXPECT_EQ(frames, 8000);
  EXPECT_GE(paints, 99);
  EXPECT_LE(paints, 101);
}

TEST(Pacing, FrequencyGivesTheFramePeriodWithoutWrapping) {
  EXPECT_EQ(TicksPerFrame(1000), 20'000'000u);
  EXPECT_EQ(TicksPerFrame(5000), 100'000'000u);  // the product leaves 32 bits
  EXPECT_GT(TicksPerFrame(0), 0u);
}

TEST(Pacing, MeasurementRoundsEachDivisionHalfUp) {
  EXPECT_EQ(MeasuredFrequency(2'999'500'000, 1000), 3000u);  // 2999.5 per µs: up
  EXPECT_EQ(MeasuredFrequency(2'999'499'499, 1000), 2999u);  // remainder 499 dropped first, then 2999.499
  EXPECT_EQ(MeasuredFrequency(1'500, 1), 2u);                // the first division rounds up at exactly 500
  EXPECT_EQ(MeasuredFrequency(0, 1000), 1u);                 // never zero
  EXPECT_EQ(MeasuredFrequency(5'000'000, 0), 5000u);         // no division by zero
}

TEST(Pacing, SleepsAreRoundedUpToWholeMilliseconds) {
  EXPECT_EQ(WaitMilliseconds(0, kTicksPerSecond), 0);
  EXPECT_EQ(WaitMilliseconds(1, kTicksPerSecond), 1);
  EXPECT_EQ(WaitMilliseconds(20 * kTicksPerMs, kTicksPerSecond), 20);
  EXPECT_EQ(WaitMilliseconds(20 * kTicksPerMs + 1, kTicksPerSecond), 21);
  EXPECT_EQ(WaitMilliseconds(~uint64_t{0}, kTicksPerSecond), 60000);
}

}  // namespace
}  // namespace rq4800

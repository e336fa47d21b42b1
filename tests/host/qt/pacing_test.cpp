#include "host/pacing.h"

#include <gtest/gtest.h>

#include <random>

namespace rq4800 {
namespace {

// A front end's loop against a fake clock: after each pass it sleeps for the
// wait the pacing asked for, converted to whole milliseconds, and wakes up a
// little late, as a real timer does.
struct LoopResult {
  int frames = 0;
  int paints = 0;
};

constexpr uint64_t kTicksPerSecond = 1'000'000'000;  // a nanosecond clock, 1000 MHz
constexpr uint64_t kTicksPerMs = kTicksPerSecond / 1000;

LoopResult RunLoop(Pacing& pacing, uint64_t& now, uint64_t until, uint64_t maxLateTicks, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<uint64_t> late(0, maxLateTicks);
  LoopResult result;
  while (now < until) {
    PacingStep step = NextPacingStep(pacing, now);
    result.frames += step.runFrame;
    result.paints += step.paint;
    if (!step.runFrame && step.waitTicks == 0) ADD_FAILURE() << "a pass that does nothing must wait";
    now += static_cast<uint64_t>(WaitMilliseconds(step.waitTicks, kTicksPerSecond)) * kTicksPerMs;
    now += late(random) + kTicksPerMs / 10;  // a pass itself takes a little time
  }
  return result;
}

TEST(Pacing, FiftyFramesPerSecondOnAverageWhateverTheWakeUpLatency) {
  for (uint64_t maxLate : {uint64_t{0}, 3 * kTicksPerMs, 15 * kTicksPerMs}) {
    Pacing pacing;
    pacing.ticksPerFrame = TicksPerFrame(1000);
    uint64_t now = 123456789;  // the clock does not start at 0
    LoopResult r = RunLoop(pacing, now, 123456789 + 60 * kTicksPerSecond, maxLate, 7);
    // One minute of the clock: 3000 frames, each with its paint, however late
    // the sleeps wake (the last frame may fall either side of the end).
    EXPECT_GE(r.frames, 3000) << maxLate;
    EXPECT_LE(r.frames, 3001) << maxLate;
    EXPECT_EQ(r.paints, r.frames);
  }
}

TEST(Pacing, FirstPassRunsAtOnceAndADelayIsNotCaughtUp) {
  Pacing pacing;
  pacing.ticksPerFrame = TicksPerFrame(1000);  // 20 ms
  uint64_t now = 0;
  PacingStep first = NextPacingStep(pacing, now);
  EXPECT_TRUE(first.runFrame);
  EXPECT_TRUE(first.paint);
  EXPECT_EQ(first.waitTicks, 20 * kTicksPerMs);

  // 5 ms later: nothing to do yet, 15 ms to wait.
  PacingStep early = NextPacingStep(pacing, 5 * kTicksPerMs);
  EXPECT_FALSE(early.runFrame);
  EXPECT_FALSE(early.paint);
  EXPECT_EQ(early.waitTicks, 15 * kTicksPerMs);

  // A stall of one second (a modal dialog): one frame at once, and the next
  // a full period after it, not 49 frames to catch up.
  now = 1000 * kTicksPerMs + 7;
  PacingStep resumed = NextPacingStep(pacing, now);
  EXPECT_TRUE(resumed.runFrame);
  EXPECT_EQ(resumed.waitTicks, 20 * kTicksPerMs);
  EXPECT_FALSE(NextPacingStep(pacing, now + 1).runFrame);
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
  // A pass every 0.25 ms for two seconds.
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

TEST(Pacing, FastPlayTwiceLeavesNormalPacing) {
  Pacing pacing;
  pacing.ticksPerFrame = TicksPerFrame(1000);
  uint64_t now = 5 * kTicksPerSecond;
  pacing.fastPlay = true;
  RunLoop(pacing, now, now + kTicksPerSecond, 0, 1);
  pacing.fastPlay = false;
  RestartPacing(pacing);
  LoopResult r = RunLoop(pacing, now, now + 10 * kTicksPerSecond, 2 * kTicksPerMs, 3);
  EXPECT_GE(r.frames, 500);
  EXPECT_LE(r.frames, 501);
}

TEST(Pacing, FrequencyGivesTheFramePeriodWithoutWrapping) {
  EXPECT_EQ(TicksPerFrame(1000), 20'000'000u);
  EXPECT_EQ(TicksPerFrame(3), 60'000u);
  // Above 4294 MHz the product leaves 32 bits; the period must still be right.
  EXPECT_EQ(TicksPerFrame(5000), 100'000'000u);
  EXPECT_GT(TicksPerFrame(0), 0u);
  // A frequency set by hand to twice the clock's rate halves the frame rate.
  Pacing pacing;
  pacing.ticksPerFrame = TicksPerFrame(2000);
  uint64_t now = 0;
  LoopResult r = RunLoop(pacing, now, 10 * kTicksPerSecond, kTicksPerMs, 5);
  EXPECT_GE(r.frames, 250);
  EXPECT_LE(r.frames, 251);
}

TEST(Pacing, MeasurementRoundsEachDivisionHalfUp) {
  EXPECT_EQ(MeasuredFrequency(1'000'000'000, 1000), 1000u);
  // 2,999,500 ticks per ms... 2999.5 per µs: rounds up.
  EXPECT_EQ(MeasuredFrequency(2'999'500'000, 1000), 3000u);
  // 2,999,499 ticks (remainder 499 dropped), then 2999.499 per µs: down.
  EXPECT_EQ(MeasuredFrequency(2'999'499'499, 1000), 2999u);
  // The first division rounds up at a remainder of exactly 500.
  EXPECT_EQ(MeasuredFrequency(1'500, 1), 2u);
  EXPECT_EQ(MeasuredFrequency(1'499, 1), 1u);
  // A wait measured as 1001 ms: q = 3,003,000, 3000.0 per µs.
  EXPECT_EQ(MeasuredFrequency(3'003'000'000, 1001), 3000u);
  // q = 1001 over 2 ms is 500.5: half up.
  EXPECT_EQ(MeasuredFrequency(1'001'000, 2), 501u);
  // Degenerate measurements never give a zero frequency or divide by zero.
  EXPECT_EQ(MeasuredFrequency(0, 1000), 1u);
  EXPECT_EQ(MeasuredFrequency(5'000'000, 0), 5000u);
}

TEST(Pacing, SleepsAreRoundedUpToWholeMilliseconds) {
  EXPECT_EQ(WaitMilliseconds(0, kTicksPerSecond), 0);
  EXPECT_EQ(WaitMilliseconds(1, kTicksPerSecond), 1);
  EXPECT_EQ(WaitMilliseconds(20 * kTicksPerMs, kTicksPerSecond), 20);
  EXPECT_EQ(WaitMilliseconds(20 * kTicksPerMs + 1, kTicksPerSecond), 21);
  EXPECT_EQ(WaitMilliseconds(3, 1000), 3);
  EXPECT_EQ(WaitMilliseconds(~uint64_t{0}, kTicksPerSecond), 60000);
}

}  // namespace
}  // namespace rq4800

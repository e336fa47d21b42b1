#pragma once
// The main loop's heartbeat: one machine frame per 1/50 s of the pacing
// clock in normal play; in fast play frames back to back with at most 50
// paints a second. The pacing clock is any monotonic tick counter whose rate,
// in ticks per microsecond, is the settings' "CPU"/"Frequency"; the desktop
// front end uses std::chrono::steady_clock.
//
// The device's host program polls the clock in a busy loop, so every frame
// starts within a hair of its due time. A front end that sleeps instead wakes
// a little late each time; to keep exactly 50 frames a second on average, a
// frame that runs less than one period late keeps the schedule (the next one
// is due one period after the last was due), while a frame delayed by a whole
// period or more (a modal dialog, a stalled host) starts the schedule afresh
// from now, so frames are never run to catch up.
#include <cstdint>

namespace rq4800 {

class IPacingClock {
 public:
  virtual ~IPacingClock() = default;
  virtual uint64_t Ticks() = 0;          // monotonic
  virtual uint64_t TicksPerSecond() = 0;  // the clock's true rate, for sleeping
};

// std::chrono::steady_clock as a pacing clock.
class SteadyPacingClock final : public IPacingClock {
 public:
  uint64_t Ticks() override;
  uint64_t TicksPerSecond() override;
};

struct Pacing {
  uint64_t ticksPerFrame = 0;
  uint64_t lastFrameTick = 0;  // when the last paced frame was due (fast play: last paint)
  bool started = false;        // the very first pass runs a frame at once
  bool fastPlay = false;
};

// What one pass of the main loop does.
struct PacingStep {
  bool runFrame = false;
  bool paint = false;
  uint64_t waitTicks = 0;  // until the next frame is due (0: go on at once)
};

// frequency × 1,000,000 / 50, truncated; computed wide, so a clock of more
// than 4294 MHz does not wrap. A frequency of 0 is taken as 1.
uint64_t TicksPerFrame(uint32_t frequencyMHz);

// Clock measurement: ticks counted over elapsedMs milliseconds, as ticks per
// microsecond: ticks / 1000 and then / elapsedMs, each rounded half up. The
// result is at least 1, so the frame period is never zero.
uint32_t MeasuredFrequency(uint64_t ticks, uint64_t elapsedMs);

// One pass of the main loop at clock reading now.
PacingStep NextPacingStep(Pacing& pacing, uint64_t now);

// Leaving fast play (or pausing) restarts the schedule: the next frame runs
// at once and the period counts from it.
void RestartPacing(Pacing& pacing);

// Milliseconds to sleep for waitTicks of a clock of ticksPerSecond, rounded
// up so that a wake-up is never early.
int WaitMilliseconds(uint64_t waitTicks, uint64_t ticksPerSecond);

}  // namespace rq4800

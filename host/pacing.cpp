#include "host/pacing.h"

#include <chrono>
#include <limits>

namespace rq4800 {

uint64_t SteadyPacingClock::Ticks() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint64_t SteadyPacingClock::TicksPerSecond() {
  using Period = std::chrono::steady_clock::period;
  return static_cast<uint64_t>(Period::den / Period::num);
}

uint64_t TicksPerFrame(uint32_t frequencyMHz) {
  if (frequencyMHz == 0) frequencyMHz = 1;
  return uint64_t{frequencyMHz} * 1000000u / 50u;
}

uint32_t MeasuredFrequency(uint64_t ticks, uint64_t elapsedMs) {
  if (elapsedMs == 0) elapsedMs = 1;
  uint64_t q = ticks / 1000 + (ticks % 1000 >= 500 ? 1 : 0);
  uint64_t f = q / elapsedMs + (2 * (q % elapsedMs) >= elapsedMs ? 1 : 0);
  if (f == 0) f = 1;
  if (f > std::numeric_limits<uint32_t>::max()) f = std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(f);
}

PacingStep NextPacingStep(Pacing& pacing, uint64_t now) {
  const uint64_t period = pacing.ticksPerFrame;
  PacingStep step;
  if (!pacing.started) {
    pacing.started = true;
    pacing.lastFrameTick = now;
    step.runFrame = step.paint = true;
    step.waitTicks = pacing.fastPlay ? 0 : period;
    return step;
  }
  // A clock that went backwards counts as no time passed.
  const uint64_t elapsed = now >= pacing.lastFrameTick ? now - pacing.lastFrameTick : 0;

  if (pacing.fastPlay) {
    step.runFrame = true;
    step.paint = elapsed >= period;
    if (step.paint) pacing.lastFrameTick = now;
    return step;
  }

  if (elapsed < period) {
    step.waitTicks = period - elapsed;
    return step;
  }
  step.runFrame = step.paint = true;
  if (elapsed < 2 * period) {
    pacing.lastFrameTick += period;
  } else {
    pacing.lastFrameTick = now;
  }
  step.waitTicks = pacing.lastFrameTick + period - now;
  return step;
}

void RestartPacing(Pacing& pacing) { pacing.started = false; }

int WaitMilliseconds(uint64_t waitTicks, uint64_t ticksPerSecond) {
  if (waitTicks == 0) return 0;
  if (ticksPerSecond == 0) return 1;
  // Split to stay clear of overflow for any tick count.
  uint64_t whole = waitTicks / ticksPerSecond * 1000;
  uint64_t part = (waitTicks % ticksPerSecond * 1000 + ticksPerSecond - 1) / ticksPerSecond;
  uint64_t ms = whole + part;
  return ms > 60000 ? 60000 : static_cast<int>(ms);
}

}  // namespace rq4800

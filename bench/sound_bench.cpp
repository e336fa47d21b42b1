// Speech decoding speed: one frame is 30 ms of device sound; the decoder has
// to be far faster than that to leave the frame budget to the processor.
#include <benchmark/benchmark.h>

#include <array>

#include "core/debug_log.h"
#include "sound/sound_generator.h"

namespace rq4800 {
namespace {

// A spoken-like stream: ordered LSPs that vary, mid-range lags with
// fractions, moderate gains and pulses.
std::array<std::array<int, 15>, 16> MakeFrames() {
  std::array<std::array<int, 15>, 16> frames{};
  uint32_t seed = 2024;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (auto& w : frames) {
    const int l = static_cast<int>(next() % 3) + 2;  // keeps the set ordered
    w[0] = 0x0000 | l | (l + 1) << 3 | (l + 1) << 7;
    w[1] = 0x1000 | (l + 2) | (l + 2) << 4 | l << 8;
    w[2] = 0x2000 | l | l << 3 | l << 6 | l << 9;
    for (int s = 0; s < 4; ++s) {
      w[3 + 3 * s] = 0x3000 | (s % 2 == 0 ? static_cast<int>(next() % 200) : static_cast<int>(next() % 32));
      w[4 + 3 * s] = 0x4000 | static_cast<int>(next() % 1024);
      w[5 + 3 * s] = 0x5000 | static_cast<int>(next() % 10) | static_cast<int>(next() % 0x40) << 4;
    }
  }
  return frames;
}

void BM_DecodeFrame(benchmark::State& state) {
  const auto frames = MakeFrames();
  SampleRing ring;
  ring.samples.assign(SampleRing::kCapacity, 0);
  SoundGenerator g;
  g.ring = &ring;
  size_t n = 0;
  for (auto _ : state) {
    for (int word : frames[n++ % frames.size()]) g.WriteCommand(word >> 8, word & 0xFF);
    ring.read = ring.write;  // the wave output keeps up
    benchmark::DoNotOptimize(g.outputFrame.data());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeFrame);

void BM_PcmWord(benchmark::State& state) {
  SampleRing ring;
  ring.samples.assign(SampleRing::kCapacity, 0);
  SoundGenerator g;
  g.ring = &ring;
  DebugLogCapture quiet;  // the mode line would land in the timing output
  g.WriteCommand(0xA0, 4);
  int word = 0;
  for (auto _ : state) {
    g.WriteCommand((word >> 8) % 0xFF, word & 0xFF);
    word += 977;
    if (ring.Fill() > 100000) ring.read = ring.write;
  }
  state.counters["samples/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PcmWord);

}  // namespace
}  // namespace rq4800

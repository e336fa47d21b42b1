// The machine around the processor: the built-in firmware run on the bare
// processor (slices back to back, nothing else) and on the whole machine
// (RunFrame: timers, tick source, beeper after every slice), in one
// process. Both report frames of 73,728 cycles per second of host time;
// their ratio is what the machine's own work costs.
#include <benchmark/benchmark.h>

#include "core/cpu6502_run.h"
#include "machine/machine.h"

namespace rq4800 {
namespace {

struct Firmware {
  ResourceStore resources;
  Machine machine{resources};
  SampleRing ring;
  Firmware() {
    PowerOn(machine);
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine.bus.AttachRing(&ring);
    for (int i = 0; i < 100; ++i) RunFrame(machine);  // past the start-up, into the home screen
  }
};

void BM_BareProcessor(benchmark::State& state) {
  Firmware f;
  for (auto _ : state) {
    for (int slice = 0; slice < 576; ++slice) RunSliceOn<BusRQ4800>(f.machine.cpu);
  }
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareProcessor)->Unit(benchmark::kMicrosecond);

void BM_WholeMachine(benchmark::State& state) {
  Firmware f;
  for (auto _ : state) {
    RunFrame(f.machine);
    f.ring.read = f.ring.write;
  }
  if (f.machine.faulted) state.SkipWithError("the firmware faulted");
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeMachine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rq4800

// The machine around the processor, in one process: the same code run on the
// bare processor (slices back to back, nothing else) and on the whole machine
// (RunFrame: timers, tick source, beeper after every slice). Both report
// frames of 73,728 cycles per second of host time.
//
// Two programs:
//   Loop      a checksum loop in RAM with interrupts masked, so both sides
//             execute the same instructions; their ratio is what the
//             machine's own per-slice work costs.
//   Firmware  the built-in firmware on its home screen. The whole machine
//             also runs the firmware's interrupt handlers, which the bare
//             processor never sees, so this ratio understates the machine.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "core/cpu6502_run.h"
#include "machine/machine.h"

namespace rq4800 {
namespace {

constexpr int kLoopAddress = 0x0300;

// SEI; loop: LDX #0; sum: LDA $0800,X; ADC $0900,X; STA $0800,X; EOR $40;
// STA $41; INX; BNE sum; INC $42; JMP loop
constexpr std::array<uint8_t, 25> kChecksumLoop = {
    0x78, 0xA2, 0x00, 0xBD, 0x00, 0x08, 0x7D, 0x00, 0x09, 0x9D, 0x00, 0x08, 0x45,
    0x40, 0x85, 0x41, 0xE8, 0xD0, 0xF0, 0xE6, 0x42, 0x4C, 0x01, 0x03, 0xEA};

struct Firmware {
  ResourceStore resources;
  Machine machine{resources};
  SampleRing ring;
  explicit Firmware(bool loop) {
    PowerOn(machine);
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine.bus.AttachRing(&ring);
    for (int i = 0; i < 100; ++i) RunFrame(machine);  // past the start-up, into the home screen
    if (loop) {
      for (size_t i = 0; i < kChecksumLoop.size(); ++i) machine.bus.Write(kLoopAddress + static_cast<int>(i), kChecksumLoop[i]);
      machine.cpu.PC = kLoopAddress;
    }
  }
};

void Bare(benchmark::State& state, bool loop) {
  Firmware f(loop);
  for (auto _ : state) {
    for (int slice = 0; slice < 576; ++slice) RunSliceOn<BusRQ4800>(f.machine.cpu);
  }
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Whole(benchmark::State& state, bool loop) {
  Firmware f(loop);
  for (auto _ : state) {
    RunFrame(f.machine);
    f.ring.read = f.ring.write;
  }
  if (f.machine.faulted) state.SkipWithError("the program faulted");
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LoopBareProcessor(benchmark::State& state) { Bare(state, true); }
void BM_LoopWholeMachine(benchmark::State& state) { Whole(state, true); }
void BM_FirmwareBareProcessor(benchmark::State& state) { Bare(state, false); }
void BM_FirmwareWholeMachine(benchmark::State& state) { Whole(state, false); }
BENCHMARK(BM_LoopBareProcessor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoopWholeMachine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirmwareBareProcessor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirmwareWholeMachine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rq4800

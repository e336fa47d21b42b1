// RunFrame on a busy device program: loops of port reads, RAM traffic and
// subroutine calls with the tick source and timer A interrupting. Reports
// frames per second of host time; 50 is real time.
#include <benchmark/benchmark.h>

#include <initializer_list>
#include <vector>

#include "machine/machine.h"

namespace rq4800 {
namespace {

std::vector<uint8_t> BusyRom() {
  std::vector<uint8_t> rom(resource::kRomImageSize, 0xEA);
  auto put = [&rom](int cpuAddress, std::initializer_list<int> bytes) {
    size_t offset = static_cast<size_t>(cpuAddress - 0x8000);
    for (int b : bytes) rom[offset++] = static_cast<uint8_t>(b);
  };
  put(0xE000, {
      0xA9, 0x01, 0x85, 0x04,  // LDA #1; STA $04     tick source on
      0xA9, 0x00, 0x85, 0x01,  // LDA #0; STA $01     every interrupt unmasked
      0xA9, 0xC8, 0x85, 0x02,  // LDA #200; STA $02   timer A load
      0xA5, 0x05,              // LDA $05             timer A runs: an IRQ every 4 slices
      0x58,                    // CLI
  });
  put(0xE100, {
      0xA2, 0x00,              // main: LDX #0
      0xA5, 0x0B,              // loop: LDA $0B       key sense
      0xA5, 0x20,              // LDA $20             sound status
      0xBD, 0x00, 0x04,        // LDA $0400,X
      0x69, 0x03,              // ADC #3
      0x9D, 0x00, 0x05,        // STA $0500,X
      0xE6, 0x80,              // INC $80
      0x20, 0x00, 0xE2,        // JSR sub
      0xE8,                    // INX
      0xD0, 0xEC,              // BNE loop
      0x4C, 0x00, 0xE1,        // JMP main
  });
  put(0xE200, {0xA5, 0x40, 0x49, 0xFF, 0x85, 0x41, 0x60});  // sub: LDA $40; EOR #$FF; STA $41; RTS
  put(0xE300, {0x48, 0xA5, 0x01, 0x68, 0x40});              // irq: PHA; LDA $01; PLA; RTI
  put(0xE400, {0x40});                                      // nmi: RTI
  put(0xFFFA, {0x00, 0xE4, 0x00, 0xE0, 0x00, 0xE3});
  return rom;
}

void BM_RunFrame(benchmark::State& state) {
  ResourceStore resources;
  resources.useBuiltin = false;
  resources.Replace(resource::kRom0, BusyRom());
  Machine machine(resources);
  PowerOn(machine);
  SampleRing ring;
  ring.samples.assign(SampleRing::kCapacity, 0);
  machine.bus.AttachRing(&ring);
  machine.bus.Write(0x07, 0x80);  // beeper gate open: its samples go into the ring

  for (auto _ : state) {
    RunFrame(machine);
    ring.read = ring.write;  // the wave output drains the ring
  }
  if (machine.faulted) state.SkipWithError("the benchmark program faulted");
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rq4800

// Emulated processor cycles per second of host time, for a CPU-bound program:
// indexed loads and stores, arithmetic, a JSR/RTS per inner iteration, and a
// pointer-indirect read. The device runs at 3,686,400 cycles per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "core/cpu6502.h"
#include "core/cpu6502_run.h"
#include "machine/bus_rq4800.h"

namespace rq4800 {
namespace {

struct RamBus final : IBus6502 {
  uint8_t memory[65536] = {};
  int Read(int address) override { return memory[address & 0xFFFF]; }
  void Write(int address, int value) override { memory[address & 0xFFFF] = static_cast<uint8_t>(value); }
};

constexpr int kOrigin = 0x0200;

// clang-format off
const std::vector<uint8_t> kProgram = {
    0xA2, 0x00,        // 0200 start: LDX #0
    0xBD, 0x00, 0x10,  // 0202 loop:  LDA $1000,X
    0x18,              // 0205        CLC
    0x7D, 0x00, 0x11,  // 0206        ADC $1100,X
    0x9D, 0x00, 0x12,  // 0209        STA $1200,X
    0x20, 0x18, 0x02,  // 020C        JSR sub
    0xE8,              // 020F        INX
    0xD0, 0xF0,        // 0210        BNE loop
    0xE6, 0x90,        // 0212        INC $90
    0x4C, 0x00, 0x02,  // 0214        JMP start
    0xEA,              // 0217        NOP
    0xA4, 0x91,        // 0218 sub:   LDY $91
    0xC8,              // 021A        INY
    0x84, 0x91,        // 021B        STY $91
    0x51, 0x92,        // 021D        EOR ($92),Y
    0x2A,              // 021F        ROL A
    0x60,              // 0220        RTS
};
// clang-format on

void Load(IBus6502& bus) {
  for (size_t i = 0; i < kProgram.size(); ++i) bus.Write(kOrigin + static_cast<int>(i), kProgram[i]);
  // Zero-page variables from 0x80 on: below 0x80 the device has its ports
  // and the movable slice.
  bus.Write(0x92, 0x00);  // ($92) points at 0x1300
  bus.Write(0x93, 0x13);
  for (int i = 0; i < 256; ++i) {
    bus.Write(0x1000 + i, i * 7);
    bus.Write(0x1100 + i, i ^ 0x5A);
  }
}

// Runs the slices through Cpu6502::RunSlice() (any bus, virtual calls) or,
// with a bus type given, through RunSliceOn<Bus> as the machine's frame does.
template <class Bus = void>
void RunSlices(benchmark::State& state, Cpu6502& cpu) {
  cpu.PC = kOrigin;
  cpu.SP = 0xFF;
  int64_t slices = 0;
  for (auto _ : state) {
    for (int i = 0; i < 576; ++i) {  // one frame's worth
      if constexpr (std::is_void_v<Bus>) {
        cpu.RunSlice();
      } else {
        RunSliceOn<Bus>(cpu);
      }
    }
    slices += 576;
  }
  state.counters["emulated_cycles_per_second"] =
      benchmark::Counter(static_cast<double>(slices) * 128.0, benchmark::Counter::kIsRate);
}

void BM_RunSlicePlainRam(benchmark::State& state) {
  auto bus = std::make_unique<RamBus>();
  Load(*bus);
  Cpu6502 cpu(*bus);
  RunSlices(state, cpu);
}
BENCHMARK(BM_RunSlicePlainRam);

void BM_RunSliceBusRQ4800(benchmark::State& state) {
  auto bus = std::make_unique<BusRQ4800>();
  Cpu6502 cpu(*bus);
  bus->cpu = &cpu;
  Load(*bus);  // program and data in the RAM of windows 0 and 1
  RunSlices(state, cpu);
}
BENCHMARK(BM_RunSliceBusRQ4800);

void BM_RunSliceOnBusRQ4800(benchmark::State& state) {
  auto bus = std::make_unique<BusRQ4800>();
  Cpu6502 cpu(*bus);
  bus->cpu = &cpu;
  Load(*bus);
  RunSlices<BusRQ4800>(state, cpu);
}
BENCHMARK(BM_RunSliceOnBusRQ4800);

}  // namespace
}  // namespace rq4800

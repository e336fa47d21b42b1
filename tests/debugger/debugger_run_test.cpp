// The debugger's run loop: stops before breakpoints (with and without a
// bank), after watched accesses (RAM and ports), steps, step over and out,
// and resumption that leaves the run exactly as if it had never stopped.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <utility>

#include "debugger/debugger.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::test {
namespace {

// E000: LDX #$FF / TXS / JSR $E020 / LDA #$01 / STA $00 / JSR $8000 / JMP $E00D
// E020: LDA #$42 / JSR $E030 / RTS          E030: STA $0300 / RTS
// 8000 in ROM page 0: RTS; in ROM page 1: RTS as well.
TestRom SmallProgram() {
  TestRom rom;
  rom.Put(0xE000, {0xA2, 0xFF, 0x9A, 0x20, 0x20, 0xE0, 0xA9, 0x01, 0x85, 0x00, 0x20, 0x00, 0x80, 0x4C, 0x0D, 0xE0});
  rom.Put(0xE020, {0xA9, 0x42, 0x20, 0x30, 0xE0, 0x60});
  rom.Put(0xE030, {0x8D, 0x00, 0x03, 0x60});
  rom.Put(0x8000, {0x60});
  rom.Put(0x10000, {0x60});
  rom.Vectors(0xE00D, 0xE000, 0xE00D);
  return rom;
}

struct Program : ::testing::Test {
  TestMachine m{SmallProgram()};
  Debugger d{*m};
  int Pc() { return static_cast<int>(m->cpu.PC); }
};

TEST_F(Program, StepsOverAndOutOfSubroutines) {
  struct Case {
    const char* what;
    StopReason (*action)(Debugger&);
    int pc, sp;
  };
  const Case cases[] = {
      {"step", [](Debugger& d) { return StepInstructions(d, 2); }, 0xE003, 0xFF},
      {"step into JSR", [](Debugger& d) { return StepInstructions(d, 1); }, 0xE020, 0xFD},
      {"step over JSR", StepOver, 0xE022, 0xFD},  // LDA #$42 is one step
      {"over the inner JSR", StepOver, 0xE025, 0xFD},
      {"out to the caller", StepOut, 0xE006, 0xFF},
      {"to the JSR after BANK is set to 1", [](Debugger& d) { return StepInstructions(d, 2); }, 0xE00A, 0xFF},
      {"over", StepOver, 0xE00D, 0xFF},
  };
  for (const Case& c : cases) {
    const StopReason stop = c.action(d);
    EXPECT_EQ(std::tuple(stop.kind, Pc(), static_cast<int>(m->cpu.SP)), std::tuple(StopKind::kStep, c.pc, c.sp))
        << c.what;
  }
  EXPECT_EQ(m->bus.ram[0x0300], 0x42);
}

TEST_F(Program, BreakpointsStopBeforeTheInstructionAndOnlyInTheirBank) {
  d.breakpoints.push_back({0x8000, 1});  // 8000 runs first with page 0 (no stop)
  d.breakpoints.push_back({0xE030, -1});
  StopReason stop = Continue(d, 1);
  EXPECT_EQ(std::pair(stop.kind, stop.address), std::pair(StopKind::kBreak, 0xE030));
  EXPECT_EQ(m->bus.ram[0x0300], 0x00) << "the STA has not run yet";
  stop = Continue(d, 1);
  EXPECT_EQ(std::pair(stop.kind, stop.address), std::pair(StopKind::kBreak, 0x8000)) << DescribeStop(d, stop);
  EXPECT_EQ(BankAt(*m, 0x8000), 1);
  EXPECT_EQ(m->bus.ram[0x0300], 0x42);
  stop = Continue(d, 2);
  EXPECT_EQ(stop.kind, StopKind::kFrames) << "the loop at E00D meets no breakpoint";
}

TEST_F(Program, WatchpointsNameAddressValueAndInstruction) {
  struct Case {
    Watchpoint watch;
    const char* text;
  };
  const Case cases[] = {
      {{0x0300, 0x0300, kWatchWrite}, "watch 0300 w 42 at E030"},
      {{0x0000, 0x003F, kWatchWrite}, "watch 0000 w 01 at E008"},  // BANK, an I/O port
      {{0x01FE, 0x01FF, kWatchRead}, "watch 01FE r 05 at E025"},   // RTS pulls its address
      {{0x02FF, 0x0301, kWatchRead}, "frames 1"},                  // only written
  };
  for (const Case& c : cases) {
    TestMachine fresh{SmallProgram()};
    Debugger debugger{*fresh};
    debugger.watchpoints.push_back(c.watch);
    EXPECT_EQ(DescribeStop(debugger, Continue(debugger, 1)), c.text);
  }
}

TEST_F(Program, AnUnsupportedInstructionStopsAsAFault) {
  m->bus.ram[0x0400] = 0xFF;
  m->cpu.PC = 0x0400;
  d.watchpoints.push_back({0x0500, 0x0500, kWatchBoth});
  const StopReason stop = Continue(d, 1);
  EXPECT_EQ(DescribeStop(d, stop), "fault unsupported instruction FF at 0400");
  EXPECT_TRUE(m->faulted);
}

// The same firmware run straight through and with a stop every few hundred
// instructions, on watched stack accesses and on every interrupt entry, must
// end with the same machine, LCD and sound.
struct Powered {
  Machine m;
  SampleRing ring;
  std::vector<int16_t> samples;
  Powered(const ResourceStore& resources, FakeClock* clock) : m(resources, clock) {
    PowerOn(m);
    ring.samples.assign(SampleRing::kCapacity, 0);
    m.bus.AttachRing(&ring);
  }
  void Drain() {
    for (; ring.read != ring.write; ring.read = (ring.read + 1) % SampleRing::kCapacity)
      samples.push_back(ring.samples[ring.read]);
  }
};

TEST(Resumption, StoppingAnywhereDoesNotChangeTheRun) {
  ResourceStore resources;
  ASSERT_FALSE(resources.Find(resource::kRom0).empty()) << "no built-in firmware";
  FakeClock clock;
  clock.time = {2026, 12, 6, 18, 0, 0};
  constexpr int kFrames = 120;

  Powered straightRun(resources, &clock), stoppedRun(resources, &clock);
  Machine &straight = straightRun.m, &stopped = stoppedRun.m;
  for (int f = 0; f < kFrames; ++f) {
    RunFrame(straight);
    straightRun.Drain();
  }
  Debugger d(stopped);
  d.watchpoints.push_back({0x01F0, 0x01F3, kWatchBoth});
  d.stopOnIrq = d.stopOnNmi = true;
  std::mt19937 random(7);
  int frames = 0, stops = 0;
  while (frames < kFrames) {
    const int32_t before = stopped.frameCount;
    const StopReason stop =
        random() % 3 == 0 ? Continue(d, 1) : StepInstructions(d, 1 + static_cast<int64_t>(random() % 600));
    // A step of at most 600 instructions crosses at most one frame end.
    if (stop.kind == StopKind::kFrames || stopped.frameCount != before) ++frames;
    if (stop.kind != StopKind::kFrames) ++stops;
    ASSERT_FALSE(stopped.faulted);
  }
  // Steps may have run on into the next frame: finish it on both.
  if (!AtFrameStart(stopped)) {
    RunFrame(stopped);
    RunFrame(straight);
    straightRun.Drain();
  }
  stoppedRun.Drain();

  EXPECT_GT(stops, 500);
  const auto registers = [](const Machine& m) {
    return std::tuple(m.cpu.PC, m.cpu.cycles, m.cpu.A, m.cpu.P, m.cpu.SP, m.frameCount);
  };
  EXPECT_EQ(registers(straight), registers(stopped));
  EXPECT_EQ(0, std::memcmp(straight.bus.ports, stopped.bus.ports, sizeof straight.bus.ports));
  EXPECT_EQ(0, std::memcmp(straight.bus.ram.get(), stopped.bus.ram.get(), BusRQ4800::kRamSize)) << "RAM and LCD";
  EXPECT_EQ(std::pair(straight.bus.timerACounter, straight.bus.timer0Counter),
            std::pair(stopped.bus.timerACounter, stopped.bus.timer0Counter));
  EXPECT_EQ(straightRun.samples, stoppedRun.samples);
}

}  // namespace
}  // namespace rq4800::test

// The frame: timers, tick source, beeper, the half-second tick with its clock
// and NMI, warm reset and the faulted state.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/debug_log.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

using test::TestMachine;
using test::TestRom;

// CLI and spin; the IRQ handler clears the status, the NMI handler counts at 0x0302.
TestRom SpinningRom() {
  TestRom rom;
  rom.Put(0xE000, {0x58, 0x4C, 0x01, 0xE0});        // CLI; loop: JMP loop
  rom.Put(0xE100, {0x48, 0xA5, 0x01, 0x68, 0x40});  // PHA; LDA $01; PLA; RTI
  rom.Put(0xE200, {0xEE, 0x02, 0x03, 0x40});        // INC $0302; RTI
  rom.Vectors(0xE200, 0xE000, 0xE100);
  return rom;
}

TEST(Frame, TimersAndTheTickSourceFireAtTheirSlice) {
  TestMachine machine(SpinningRom());  // I is set after reset: IRQs stay pending
  Machine& m = *machine;
  BusRQ4800& bus = m.bus;
  double sampleClock = 0.0;
  auto slice = [&](int i) { AdvanceTimers(m, i, sampleClock); };

  bus.Write(0x02, 200);
  bus.Read(0x05);
  slice(0);
  EXPECT_EQ(bus.timerACarry, 8.0);
  EXPECT_EQ(bus.Read(0x04), 8);
  EXPECT_EQ(bus.Read(0x01), 0x10);
  EXPECT_EQ(m.cpu.irqPending, 1);

  bus.Write(0x03, 255);
  bus.Read(0x07);
  slice(1);
  EXPECT_EQ(bus.Read(0x01), 0);
  slice(2);
  EXPECT_EQ(bus.Read(0x06), 0);
  EXPECT_EQ(bus.Read(0x01), 0x20);

  // Timer 0 at rate 1 (128 a slice) reloads from 0xFF00; its status bit
  // needs intControl bit 0, and it raises no IRQ.
  m.cpu.irqPending = 0;
  bus.Write(0x14, 0x10);
  bus.Write(0x11, 0xFF);
  slice(3), slice(4);
  EXPECT_EQ(bus.timer0Counter, 0xFF00);
  EXPECT_EQ(bus.Read(0x01), 0);
  bus.Write(0x01, 0x01);
  slice(5), slice(6);
  EXPECT_EQ(bus.Read(0x01), 0x01);
  EXPECT_EQ(m.cpu.irqPending, 0);
  bus.Write(0x14, 0x90);  // rates 9..15 stand still
  slice(7);
  EXPECT_EQ(bus.timer0Counter, 0xFF00);

  for (auto [port04, control, i, status] : {std::array{0x10, 0, 30, 0}, {0x01, 0, 29, 0}, {0x01, 0x08, 30, 0},
                                            {0x01, 0, 30, 0x08}, {0x08, 0, 490, 0x08}}) {
    bus.Write(0x04, port04);
    bus.Write(0x01, control);
    slice(i);
    EXPECT_EQ(bus.Read(0x01), status) << port04 << " " << control << " " << i;
  }
}

TEST(Frame, BeeperFillsItsSlotsWhileTheGateIsOpenAndTheRingHasRoom) {
  TestMachine machine(SpinningRom());
  BusRQ4800& bus = machine->bus;
  SampleRing ring;
  bus.AttachRing(&ring);
  bus.Write(0x07, 0x80);
  bus.Write(0x18, 0x80);
  RunFrame(*machine);
  EXPECT_EQ(ring.Fill(), 0) << "a ring without storage takes nothing";
  ring.samples.assign(SampleRing::kCapacity, 0);
  RunFrame(*machine);
  ASSERT_EQ(ring.Fill(), 882);
  EXPECT_EQ(std::count(ring.samples.begin(), ring.samples.begin() + 882, 8192), 882);
  bus.Write(0x19, 0x80);  // gate closed
  RunFrame(*machine);
  EXPECT_EQ(ring.Fill(), 882);
  bus.Write(0x19, 0x00);
  ring.read = ring.write + 100;  // 99 free slots
  RunFrame(*machine);
  EXPECT_TRUE(ring.Full());
}

TEST(Frame, HalfSecondTickSetsAnUnsetClockAndRequestsTheNmi) {
  TestMachine machine(SpinningRom());
  Machine& m = *machine;
  machine.clock.time = {2026, 12, 5, 14, 3, 7};
  m.bus.ram[0x046C] = 119;
  m.bus.ram[0x0471] = 0x55;
  for (int i = 0; i < 24; ++i) RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0471], 0x55);
  RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0471], 0);
  EXPECT_EQ(std::vector<int>(&m.bus.ram[0x0469], &m.bus.ram[0x046F]), (std::vector<int>{14, 3, 14, 145, 11, 4}));
  EXPECT_EQ(m.bus.ram[0x0302], 0) << "the NMI is taken in the next frame";
  RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0302], 1);

  for (int i = 0; i < 49; ++i) RunFrame(m);  // ticks at frames 50 and 75
  EXPECT_EQ(machine.clock.calls, 1) << "once set, the clock belongs to the device";
  EXPECT_EQ(m.bus.ram[0x0302], 2);
  m.bus.Write(0x01, 0x10);
  for (int i = 0; i < 50; ++i) RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0302], 3) << "intControl bit 4 masks every NMI after the pending one";
}

TEST(Frame, WarmResetKeepsRamFlashAndTimersButRestartsTheProcessor) {
  TestMachine machine(SpinningRom());
  Machine& m = *machine;
  m.bus.ram[0x1234] = 0x34;
  m.bus.Write(0x03, 77);
  m.bus.flashUnlock = 1;
  m.cpu.A = 0x99;
  m.warmResetRequest = true;
  DebugLogCapture log;
  RunFrame(m);
  EXPECT_EQ(log.text, "warm reset\n");
  EXPECT_FALSE(m.warmResetRequest);
  EXPECT_EQ(m.bus.ram[0x00CB] + m.bus.ram[0x00CC], 2 * 0xFF);
  EXPECT_EQ(m.bus.ram[0x1234], 0x34);
  EXPECT_EQ(m.bus.Read(0x02), 1);
  EXPECT_EQ(m.bus.Read(0x03), 77);
  EXPECT_EQ(m.bus.flashUnlock, 1);
  EXPECT_EQ(m.cpu.A, 0u);
}

TEST(Frame, UnsupportedInstructionStopsTheMachineUntilAReset) {
  TestRom rom;
  rom.Put(0xE000, {0xEA, 0xEA, 0xFF});  // NOP NOP, then an unsupported opcode
  rom.Vectors(0xE000, 0xE000, 0xE000);
  TestMachine machine(rom);
  Machine& m = *machine;
  DebugLogCapture log;
  RunFrame(m);
  ASSERT_TRUE(m.faulted);
  EXPECT_EQ(m.faultOpcode, 0xFF);
  EXPECT_EQ(m.faultAddress, 0xE002);
  m.bus.rom[0x6003] = 0xEA;  // something to run after the fault, were the machine to go on
  m.cpu.cycles = 0;
  RunFrame(m);
  EXPECT_EQ(m.cpu.cycles, 0) << "a faulted machine stands still";

  // Every reset path clears the fault, so the next frame runs (into it again).
  const std::vector<uint8_t> image(BusRQ4800::kFlashSize, 0xFF);
  for (int path = 0; path < 4; ++path) {
    if (path == 0) ColdReset(m);
    if (path == 1) InitialiseFlash(m);
    if (path == 2) LoadFlashImageFile(m, image.data(), image.size());
    if (path == 3) m.warmResetRequest = true;
    m.cpu.cycles = 0;
    RunFrame(m);
    EXPECT_EQ(m.cpu.cycles, 2 * 2 * 12) << path;
  }
}

}  // namespace
}  // namespace rq4800

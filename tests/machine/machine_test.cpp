// The machine: power-on, the flash image on disk, the frame with its time
// sources, resets and the faulted state, and a whole device program.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/cpu6502_run.h"
#include "core/debug_log.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;
using test::PatternFlash;
using test::Poke;
using test::TestMachine;
using test::TestRom;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
std::vector<uint8_t> FlashOf(Machine& m) { return {m.bus.flash.get(), m.bus.flash.get() + BusRQ4800::kFlashSize}; }

// A device program of our own: sets up the tick interrupt and the half-second
// NMI and counts them, programs a byte of flash, then scans a key. RAM: 0x0300
// ticks (16 bits), 0x0302 NMIs, 0x0303 the last key sense (0 while it is down).
TestRom DeviceProgram(int reset = 0xE000) {
  TestRom rom;
  rom.Put(0xE000, {
      0xA9, 0x01, 0x85, 0x04, 0xA9, 0x00, 0x85, 0x01,  // tick source on; tick and NMI unmasked
      0xA9, 0x02, 0x85, 0x00, 0xA9, 0x80, 0x85, 0x0A,  // BANK 2, flash mode
      0xA9, 0xAA, 0x8D, 0x55, 0x55, 0xA9, 0x55, 0x8D, 0xAA, 0xAA,  // unlock: $AA to $5555, $55 to $AAAA
      0xA9, 0xA0, 0x8D, 0x55, 0x55, 0xA9, 0x3C, 0x8D, 0x01, 0x40,  // byte program: $3C to $4001 (flash 0x14001)
      0xA9, 0x00, 0x85, 0x0A, 0x85, 0x00,              // ROM mode, BANK 0
      0xA9, 0xF0, 0x85, 0x0F, 0x58,                    // key row path on; CLI
      0xA9, 0xFB, 0x85, 0x08,                          // scan: LDA #$FB; STA $08   probe bit 2 of key word 6
      0xA5, 0x0B, 0x29, 0x01, 0x8D, 0x03, 0x03,        // LDA $0B; AND #1; STA $0303
      0x4C, 0x2F, 0xE0,                                // JMP scan
  });
  rom.Put(0xE100, {
      0x48, 0xA5, 0x01, 0x29, 0x08, 0xF0, 0x08,  // irq: PHA; LDA $01; AND #$08; BEQ done  (the read clears the status)
      0xEE, 0x00, 0x03, 0xD0, 0x03, 0xEE, 0x01, 0x03,  // INC $0300; BNE done; INC $0301
      0x68, 0x40,                                      // done: PLA; RTI
  });
  rom.Put(0xE200, {0xEE, 0x02, 0x03, 0x40});  // nmi: INC $0302; RTI
  rom.Put(0xE300, {0xEA, 0xEA, 0xFF});  // NOP NOP, then an unsupported opcode
  rom.Vectors(0xE200, reset, 0xE100);
  return rom;
}

TEST(ResourceStore, ReplaceFromFileTakesOnlyAFileOfTheExpectedSize) {
  const fs::path dir = test::ScratchDirectory(), file = dir / "short.bin";
  WriteFile(file, {1, 2, 3});
  ResourceStore store;
  std::string error;
  const std::pair<std::string, std::string> refused[] = {  // path, reason
      {file.string() + ".missing", "No such file or directory"},
      {file.string(), "holds 3 bytes, not 4"},
      {dir.string(), "is a folder"},
      {"/dev/zero", "is a device"},
  };
  for (const auto& [path, reason] : refused) {
    EXPECT_FALSE(store.ReplaceFromFile(115, path, 4, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
  EXPECT_TRUE(store.replacements.empty());
  EXPECT_TRUE(store.ReplaceFromFile(115, file.string(), 3, &error));
  EXPECT_EQ(store.Find(115)[2], 3);
}

// A machine powered on into DeviceProgram; I is set after reset, so IRQs stay pending.
struct Frame : ::testing::Test {
  TestMachine machine{DeviceProgram()};
  Machine& m = *machine;
  BusRQ4800& bus = m.bus;
};

TEST_F(Frame, TimersAndTheTickSourceFireAtTheirSlice) {
  int32_t sampleUnits = 0;
  auto slice = [&](int i) { AdvanceTimers(m, i, sampleUnits); };
  bus.Write(0x02, 200);
  bus.Read(0x05);  // timer A runs: 200 + 64 overflows in the first slice, keeping 8
  slice(0);
  EXPECT_EQ(bus.timerACarry, 8.0);
  EXPECT_EQ(bus.Read(0x04), 8);
  EXPECT_EQ(bus.Read(0x01), 0x10);
  EXPECT_EQ(m.cpu.irqPending, 1);
  bus.Write(0x03, 255);
  bus.Read(0x07);  // timer B runs: 255 + 0.5 a slice overflows in the second
  slice(1);
  EXPECT_EQ(bus.Read(0x01), 0);
  slice(2);
  EXPECT_EQ(bus.Read(0x06), 0);
  EXPECT_EQ(bus.Read(0x01), 0x20);
  // Timer 0 at rate 1 (128 a slice) reloads from 0xFF00; it sets its status
  // bit only under intControl bit 0, and raises no IRQ.
  m.cpu.irqPending = 0;
  Poke(bus, {{0x14, 0x10}, {0x11, 0xFF}});
  slice(3), slice(4);
  EXPECT_EQ(bus.timer0Counter, 0xFF00);
  EXPECT_EQ(bus.Read(0x01), 0);
  bus.Write(0x01, 0x01);
  slice(5), slice(6);
  EXPECT_EQ(bus.Read(0x01), 0x01);
  EXPECT_EQ(m.cpu.irqPending, 0);
  // The tick source: slices 30 + 115n, port 0x04 bits 0..3 on, intControl bit 3 clear.
  for (auto [port04, control, i, status] : {std::array{0x10, 0, 30, 0}, {0x01, 0, 29, 0}, {0x01, 0x08, 30, 0},
                                            {0x01, 0, 30, 0x08}, {0x08, 0, 490, 0x08}}) {
    Poke(bus, {{0x04, port04}, {0x01, control}});
    slice(i);
    EXPECT_EQ(bus.Read(0x01), status) << port04 << " " << control << " " << i;
  }
}

TEST_F(Frame, BeeperFillsItsSlotsWhileTheGateIsOpenWithTheLevelSetWhileOpen) {
  SampleRing ring;
  ring.samples.assign(SampleRing::kCapacity, 1);
  bus.AttachRing(&ring);
  Poke(bus, {{0x18, 0x80}, {0x07, 0x80}});  // neither the closed-gate write nor the opening sets a level
  RunFrame(m);
  bus.Write(0x18, 0x80);
  RunFrame(m);
  ASSERT_EQ(ring.Fill(), 2 * 882);
  EXPECT_EQ(std::count(ring.samples.begin(), ring.samples.begin() + 882, 0), 882);
  EXPECT_EQ(std::count(ring.samples.begin() + 882, ring.samples.begin() + 2 * 882, 8192), 882);
  Poke(bus, {{0x19, 0x80}, {0x18, 0x00}});  // gate closed: no samples, and the level stays
  RunFrame(m);
  EXPECT_EQ(ring.Fill(), 2 * 882);
  EXPECT_EQ(bus.beeperLevel, 1);
}

TEST_F(Frame, HalfSecondTickSetsAnUnsetClockAndRequestsTheNmi) {
  machine.clock.time = {2026, 12, 5, 14, 3, 7};
  bus.ram[0x046C] = 119, bus.ram[0x0471] = 0x55;
  for (int i = 0; i < 24; ++i) RunFrame(m);
  EXPECT_EQ(bus.ram[0x0471], 0x55);
  RunFrame(m);
  EXPECT_EQ(bus.ram[0x0471], 0);
  EXPECT_EQ(std::vector<int>(&bus.ram[0x0469], &bus.ram[0x046F]), (std::vector<int>{14, 3, 14, 145, 11, 4}));
  for (int i = 0; i < 50; ++i) RunFrame(m);  // ticks at frames 50 and 75
  EXPECT_EQ(machine.clock.calls, 1) << "once set, the clock belongs to the device";
  EXPECT_EQ(bus.ram[0x0302], 2) << "the NMI of frame 75 is still pending";
  bus.Write(0x01, 0x10);
  for (int i = 0; i < 50; ++i) RunFrame(m);
  EXPECT_EQ(bus.ram[0x0302], 3) << "intControl bit 4 masks every NMI after the pending one";
}

TEST(Resets, EachClearsAFaultAndKeepsOrReplacesRamPortsAndFlash) {
  TestMachine machine(DeviceProgram(0xE300));
  Machine& m = *machine;
  DebugLogCapture log;
  RunFrame(m);
  ASSERT_TRUE(m.faulted);
  EXPECT_EQ(std::pair(m.faultOpcode, m.faultAddress), std::pair(0xFF, 0xE302));
  m.bus.rom[0x6303] = 0xEA, m.cpu.cycles = 0;  // something to run, were the machine to go on
  RunFrame(m);
  EXPECT_EQ(m.cpu.cycles, 0) << "a faulted machine stands still";
  const std::vector<uint8_t> image = PatternFlash(4);
  EXPECT_FALSE(LoadFlashImageFile(m, image.data(), image.size() - 1));
  EXPECT_TRUE(m.faulted) << "an image of the wrong size does nothing at all";
  for (int path = 0; path < 4; ++path) {  // cold reset, initialise, load, warm reset
    m.bus.ram[0x8000] = 1, m.bus.flash[5] ^= 0xFF, log.text.clear();
    Poke(m.bus, {{0x0A, 5}, {0x00, 7}});
    const std::vector<uint8_t> flash = path == 1 ? PatternFlash(1) : path == 2 ? image : FlashOf(m);
    if (path == 0) ColdReset(m);
    if (path == 1) InitialiseFlash(m);
    if (path == 2) { EXPECT_TRUE(LoadFlashImageFile(m, image.data(), image.size())); }
    if (path == 3) m.warmResetRequest = true;
    m.cpu.cycles = 0;
    RunFrame(m);
    EXPECT_EQ(m.cpu.cycles, 2 * 2 * 12) << path << ": the processor restarts, into the fault again";
    EXPECT_EQ(log.text.substr(0, 11), path == 3 ? "warm reset\n" : "cold reset\n") << path;
    EXPECT_EQ(m.bus.ram[0x8000], path == 3 ? 1 : 0) << path;
    EXPECT_EQ(m.bus.window[6] == m.bus.rom.get() + 0x4000, path != 3) << path << ": bank ports back to 0";
    EXPECT_TRUE(FlashOf(m) == flash) << path;
  }
  EXPECT_FALSE(m.warmResetRequest);
  EXPECT_EQ((std::vector<int>{m.bus.ram[0x00CB], m.bus.ram[0x00CC], m.bus.Read(0x02)}), (std::vector<int>{0xFF, 0xFF, 1}))
      << "the warm reset's marks";
}

TEST(DeviceProgram, CountsInterruptsScansAKeyAndProgramsFlashOver50Frames) {
  TestMachine machine(DeviceProgram());
  Machine& m = *machine;
  for (int frame = 0; frame < 20; ++frame) RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0303], 1);
  m.bus.keyWords[6] = 0x04;
  for (int frame = 20; frame < 50; ++frame) RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0303], 0);
  ASSERT_FALSE(m.faulted) << std::hex << m.faultOpcode << " at " << m.faultAddress;
  EXPECT_EQ(m.bus.ram[0x0300] | m.bus.ram[0x0301] << 8, 5 * 50);
  EXPECT_EQ(m.bus.ram[0x0302], 1) << "half-second ticks at frames 25 and 50; the second NMI is taken next frame";
  RunFrame(m);
  EXPECT_EQ(m.bus.ram[0x0302], 2);
  std::vector<uint8_t> expected = PatternFlash(1);
  expected[0x14001] &= 0x3C;
  EXPECT_TRUE(FlashOf(m) == expected);
}

// The frame runs the processor through RunSliceOn<BusRQ4800>; it must do
// exactly what the generic Cpu6502::RunSlice() does on the same machine,
// interrupts, port side effects and flash commands included.
TEST(DeviceProgram, RunsTheSameThroughTheMachineBusAsThroughTheGenericBus) {
  TestMachine generic(DeviceProgram());
  TestMachine direct(DeviceProgram());
  Machine& g = *generic;
  Machine& d = *direct;
  int32_t gClock = 0, dClock = 0;
  for (int n = 0; n < 10 * 576; ++n) {
    if (n == 3000) {
      g.cpu.RaiseNmi();
      d.cpu.RaiseNmi();
    }
    if (n == 4000) g.bus.keyWords[6] = d.bus.keyWords[6] = 0x04;
    g.cpu.RunSlice();
    RunSliceOn<BusRQ4800>(d.cpu);
    AdvanceTimers(g, n % 576, gClock);
    AdvanceTimers(d, n % 576, dClock);
    ASSERT_EQ(std::make_tuple(g.cpu.A, g.cpu.X, g.cpu.Y, g.cpu.P, g.cpu.SP, g.cpu.PC, g.cpu.cycles, g.cpu.irqPending),
              std::make_tuple(d.cpu.A, d.cpu.X, d.cpu.Y, d.cpu.P, d.cpu.SP, d.cpu.PC, d.cpu.cycles, d.cpu.irqPending))
        << "slice " << n;
  }
  EXPECT_EQ(g.bus.ram[0x0302], 1) << "the NMI was taken";
  EXPECT_EQ(g.bus.ram[0x0303], 0) << "the key was seen";
  EXPECT_TRUE(std::equal(g.bus.ram.get(), g.bus.ram.get() + BusRQ4800::kRamSize, d.bus.ram.get()));
  EXPECT_TRUE(std::equal(std::begin(g.bus.ports), std::end(g.bus.ports), std::begin(d.bus.ports)));
  EXPECT_TRUE(FlashOf(g) == FlashOf(d));
}

}  // namespace
}  // namespace rq4800

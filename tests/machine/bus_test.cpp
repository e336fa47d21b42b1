// The bus through Read and Write: the memory map per bank setting, the I/O
// ports by device, and the flash chip's command protocol in flash mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/debug_log.h"
#include "machine/bus_rq4800.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

using test::Poke;

// Every 8 KB block of RAM, ROM and flash starts with two bytes naming it, so
// a read shows which block a window points at.
int Rom(int offset) { return offset / 0x2000; }
int Flash(int offset) { return 0xF000 | offset / 0x2000; }
int Ram(int offset) { return 0xE000 | offset / 0x2000; }

void MarkBlocks(BusRQ4800& bus) {
  auto mark = [](uint8_t* block, int name) { block[0] = name & 0xFF, block[1] = static_cast<uint8_t>(name >> 8); };
  for (int o = 0; o < BusRQ4800::kRomSize; o += 0x2000) mark(&bus.rom[o], Rom(o));
  for (int o = 0; o < BusRQ4800::kFlashSize; o += 0x2000) mark(&bus.flash[o], Flash(o));
  for (int o = 0x2000; o < BusRQ4800::kRamSize; o += 0x2000) mark(&bus.ram[o], Ram(o));
}

// A write lands only where RAM shows: ROM never takes one, and in flash mode it is a command cycle.
TEST(BusMap, WindowsFollowTheBankPortsAndOnlyRamTakesWrites) {
  struct Case { std::vector<std::pair<int, int>> portWrites; int address, block; };
  const Case cases[] = {
      {{}, 0x4000, Ram(0x4000)}, {{}, 0x8000, Rom(0x0000)}, {{}, 0xC000, Rom(0x4000)}, {{}, 0xE000, Rom(0x6000)},
      {{{0x00, 1}}, 0x8000, Rom(0x8000)}, {{{0x00, 1}}, 0x6000, Rom(0xE000)},  // a page's halves are swapped
      // Port 0x0D waits for a bank write; flash mode maps BANK's low four bits, BANK 0 too (no RAM then).
      {{{0x0D, 1}}, 0x8000, Rom(0x0000)}, {{{0x0D, 1}, {0x00, 1}}, 0x8000, Rom(0x808000)},
      {{{0x0D, 1}, {0x0A, 0}}, 0xA000, Rom(0x802000)}, {{{0x00, 3}, {0x0A, 0x80}}, 0x4000, Flash(0x1C000)},
      {{{0x00, 3}, {0x0A, 0x80}}, 0x8000, Flash(0x18000)}, {{{0x00, 0x13}, {0x0A, 0x80}}, 0xA000, Flash(0x1A000)},
      {{{0x0A, 0x80}}, 0x4000, Flash(0x4000)}, {{}, 0x1E000, Rom(0x6000)},  // past 0xFFFF: bits 13..15
      // 0xC000..0xDFFF: page 1 is RAM 0x6000..0x7FFF, in flash mode too; other pages are ROM.
      {{{0x0A, 1}}, 0xC000, Ram(0x6000)}, {{{0x0A, 0x81}}, 0xC000, Ram(0x6000)}, {{{0x0A, 2}}, 0xC000, Rom(0x0000)},
      {{{0x0A, 8}}, 0xC000, Rom(0x14000)}, {{{0x0A, 15}}, 0xC000, Rom(0x1A000)},
  };
  DebugLogCapture log;
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    BusRQ4800 bus;
    MarkBlocks(bus);
    for (auto [port, value] : c.portWrites) bus.Write(port, value);
    EXPECT_EQ(bus.Read(c.address) | bus.Read(c.address + 1) << 8, c.block);
    bus.Write(c.address, 0xEE);
    EXPECT_EQ(bus.Read(c.address) == 0xEE, c.block >> 12 == 0xE);
  }
}

// Port 0x0F bits 0..2 choose the RAM that 0x40..0x7F show; the high bits
// (the key row path) do not move it.
TEST(BusMap, ZeroPageSliceFollowsPort0FForEverySetting) {
  const std::pair<int, int> rows[] = {  // {port 0x0F, RAM at 0x40}
      {0, 0x0040}, {1, 0x0000}, {2, 0x0000}, {3, 0x0000}, {4, 0x0200}, {5, 0x0240}, {6, 0x0280}, {7, 0x02C0},
      {0xF7, 0x02C0}, {0xF1, 0x0000}, {0x08, 0x0040},
  };
  for (auto [setting, ram] : rows) {
    SCOPED_TRACE(setting);
    BusRQ4800 bus;
    bus.ram[ram + 0x3F] = 0xA5;
    bus.Write(0x0F, setting);
    EXPECT_EQ(bus.Read(0x7F), 0xA5);
    bus.Write(0x40, 0x3C);
    EXPECT_EQ(bus.ram[ram], 0x3C);
    EXPECT_EQ(bus.Read(0x0F), setting) << "the ports stay below 0x40";
  }
}

TEST(Ports, InterruptStatusAndTimers) {
  BusRQ4800 bus;
  bus.ports[0x01] = 0xFF;
  bus.Write(0x01, 0xFF);  // interrupt control, not the status
  EXPECT_EQ(bus.Read(0x01), 0xFF);
  EXPECT_EQ(bus.Read(0x01), 0xC0) << "a read clears bits 0..5";
  // Each timer: its odd port starts it, its even port stops it, and both read
  // the count truncated; the other timer is left alone.
  struct Timer { int port, count; bool BusRQ4800::*running; bool runs; };
  const Timer timers[] = {{0x05, 100, &BusRQ4800::timerARunning, true}, {0x04, 100, &BusRQ4800::timerARunning, false},
                          {0x07, 42, &BusRQ4800::timerBRunning, true},  {0x06, 42, &BusRQ4800::timerBRunning, false}};
  for (const Timer& t : timers) {
    SCOPED_TRACE(t.port);
    BusRQ4800 timer;
    timer.timerACounter = 100.75, timer.timerBCounter = 42.5;
    timer.timerARunning = timer.timerBRunning = !t.runs;
    EXPECT_EQ(timer.Read(t.port), t.count);
    EXPECT_EQ(timer.*t.running, t.runs);
    EXPECT_EQ(timer.timerARunning + timer.timerBRunning, 1);
  }
  bus.Write(0x03, 77);  // timer B loads without a carry
  EXPECT_EQ(bus.timerBCounter, 77.0);
  EXPECT_EQ(bus.Read(0x03), 77);
  bus.timerACarry = 0.75;
  bus.Write(0x02, 255);
  EXPECT_EQ(bus.timerACounter, 255.0) << "the carry stops at the cap";
  bus.timerACarry = 8.0;
  Poke(bus, {{0x02, 200}, {0x02, 200}});
  EXPECT_EQ(bus.timerACounter, 200.0) << "the carry is taken once";
}

TEST(Ports, KeySenseThroughPort0BAndKeyWordsThroughPort09) {
  BusRQ4800 bus;
  Poke(bus, {{0x0B, 0xA4}, {0x0F, 0xF0}});  // row path: the one cleared bit of port 0x08 probes word 6
  for (int bit = 0; bit < 8; ++bit) {
    bus.Write(0x08, ~(1 << bit) & 0xFF);
    bus.keyWords[6] = 1u << bit;
    EXPECT_EQ(bus.Read(0x0B), 0xA4) << bit;  // bits 1..7 are the latch
    bus.keyWords[6] = ~(1u << bit) & 0xFF;
    EXPECT_EQ(bus.Read(0x0B), 0xA5) << bit;
  }
  struct Case { int port0F, port08, port15, port09, word6, word7, sense; };
  const Case cases[] = {
      // Row path: 0xFF probes bit 0 of word 7, 0x00 any key, two cleared bits nothing; off without 0xF0 in port 0x0F.
      {0xF0, 0xFF, 0, 0xFF, 0, 1, 0}, {0xF0, 0x00, 0, 0xFF, 4, 0, 0}, {0xF0, 0x00, 0, 0xFF, 0, 1, 0},
      {0xF0, 0x00, 0, 0xFF, 0, 6, 1}, {0xF0, 0xF3, 0, 0xFF, 0xFF, 1, 1}, {0x70, 0x7F, 0, 0xFF, 0xFF, 1, 1},
      // Extra path: off until port 0x15 bits 0..1 are set; column bits 0..1 clear sense either key.
      {0, 0, 0x02, 0xFE, 0, 2, 1}, {0, 0, 0x03, 0xFE, 0, 2, 0}, {0, 0, 0x03, 0xFD, 0, 2, 1},
      {0, 0, 0x03, 0xFD, 0, 4, 0}, {0, 0, 0x03, 0x00, 0, 2, 0}, {0, 0, 0x03, 0x02, 0, 6, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Poke(bus, {{0x0F, c.port0F}, {0x08, c.port08}, {0x15, c.port15}, {0x09, c.port09}});
    bus.keyWords[6] = static_cast<uint32_t>(c.word6);
    bus.keyWords[7] = static_cast<uint32_t>(c.word7);
    EXPECT_EQ(bus.Read(0x0B) & 1, c.sense);
  }
  for (int i = 0; i < 6; ++i) bus.keyWords[i] = 0x11u * (i + 1);
  bus.ResetMachine();  // held keys stay down through a reset
  for (auto [select, word] : {std::pair{0x80, 0x11}, {0x40, 0x22}, {0x20, 0x33}, {0x10, 0x44}, {0x08, 0x55},
                              {0x04, 0x66}, {0x84, 0x66}}) {  // two bits select nothing
    bus.Write(0x09, select);
    EXPECT_EQ(bus.Read(0x08), word) << select;
  }
}

TEST(Ports, SoundStatusFollowsTheRingAndTheCommandWords) {
  BusRQ4800 bus;
  DebugLogCapture log;  // the generator reports its commands
  SampleRing ring;
  bus.AttachRing(&ring);
  ring.read = SampleRing::kCapacity - 100, ring.write = 22050 - 100;  // 22,050 samples, wrapped round the end
  EXPECT_EQ(bus.Read(0x20), 0x40);
  ring.write += 1;
  EXPECT_EQ(bus.Read(0x20), 0x70);
  Poke(bus, {{0x22, 0x00}, {0x23, 0x80}, {0x20, 0x41}});  // word 0x8000: busy; 0x41 is not a reset
  EXPECT_EQ(bus.Read(0x20), 0xC0);
  Poke(bus, {{0x22, 0x01}, {0x23, 0xD0}});  // word 0xD001: the handshake
  for (int expected : {0x5A, 0xFF, 0x00, 0x00}) EXPECT_EQ(bus.Read(0x21), expected);
}

// Flash mode on page bank, with every flash byte 0x5A.
void FlashMode(BusRQ4800& bus, int bank) {
  std::fill(bus.flash.get(), bus.flash.get() + BusRQ4800::kFlashSize, 0x5A);
  Poke(bus, {{0x00, bank}, {0x0A, 0x80}});
}
void Program(BusRQ4800& bus, int address, int value) {
  Poke(bus, {{0x5555, 0xAA}, {0xAAAA, 0x55}, {0x5555, 0xA0}, {address, value}});
}

TEST(FlashChip, ProgramAndEraseLandInThePageThatBankSelects) {
  for (int bank : {0, 2, 15}) {
    BusRQ4800 bus;
    FlashMode(bus, bank);
    const uint8_t* page = &bus.flash[bank * 0x8000];
    DebugLogCapture log;
    Poke(bus, {{0x5555, 0xAA}, {0xAAAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0xAAAA, 0x55}, {0x9ABC, 0x30}});
    EXPECT_EQ(std::count(page + 0x1000, page + 0x2000, 0xFF), 0x1000) << bank;
    EXPECT_EQ(page[0x0FFF] + page[0x2000], 2 * 0x5A) << "the sector's neighbours stay";
    Program(bus, 0x4001, 0x0F);  // programming only clears bits
    EXPECT_EQ(page[0x4001], 0x0A) << bank;
    Program(bus, 0x4001, 0xFF);
    EXPECT_EQ(bus.Read(0x4001), 0x0A) << bank;
    EXPECT_EQ(log.text, "") << "accepted cycles are not logged";
  }
}

// After a programmed byte the chip is idle again: the next unlock starts a
// new command instead of being taken as more data.
TEST(FlashChip, ProgramEndsItsCommandSoTheNextUnlockIsAnUnlock) {
  BusRQ4800 bus;
  FlashMode(bus, 1);
  DebugLogCapture log;
  struct Step { int address, value; int unlock, program, erase; };
  const Step steps[] = {
      {0x5555, 0xAA, 1, 1, 1}, {0xAAAA, 0x55, 2, 2, 2}, {0x5555, 0xA0, 0, 3, 0}, {0x4010, 0x0F, 0, 0, 0},
      {0x5555, 0xAA, 1, 1, 1}, {0xAAAA, 0x55, 2, 2, 2}, {0x5555, 0xA0, 0, 3, 0}, {0x5555, 0xAA, 0, 0, 0},
      {0x5555, 0xAA, 1, 1, 1}, {0xAAAA, 0x55, 2, 2, 2}, {0x5555, 0x80, 0, 0, 3},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(&step - steps);
    bus.Write(step.address, step.value);
    EXPECT_EQ(bus.flashUnlock, step.unlock);
    EXPECT_EQ(bus.flashProgram, step.program);
    EXPECT_EQ(bus.flashErase, step.erase);
  }
  const uint8_t* page = &bus.flash[0x8000];
  EXPECT_EQ(page[0x4010], 0x0A);
  EXPECT_EQ(page[0x5555], 0x0A) << "the second program's target, taken as data once";
  EXPECT_EQ(std::count(page, page + 0x8000, 0x5A), 0x8000 - 2);
  EXPECT_EQ(log.text, "");
}

TEST(FlashChip, CyclesThatFitNoStateAreLoggedAndTheSequenceResumes) {
  BusRQ4800 bus;
  FlashMode(bus, 2);
  DebugLogCapture log;
  Poke(bus, {{0x00, 0x12}, {0x5555, 0xF0}, {0x00, 2}});  // BANK 0x12: no chip there, dropped silently
  bus.Write(0x5555, 0xF0);                               // a command this chip does not have
  Poke(bus, {{0x5555, 0xAA}, {0x6000, 0x12}, {0xAAAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0xAAAA, 0x55}});
  bus.Write(0x8000, 0x31);  // not the erase byte: logged, and the erase state waits on
  EXPECT_EQ(bus.flash[0x10000], 0x5A);
  bus.Write(0x8000, 0x30);
  EXPECT_EQ(bus.flash[0x10000], 0xFF);
  EXPECT_EQ(log.text, "write 5555 f0 0 2\nwrite 6000 12 0 2\nwrite 8000 31 0 2\n");
}

}  // namespace
}  // namespace rq4800

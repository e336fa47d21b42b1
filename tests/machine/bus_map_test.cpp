// The memory map per bank setting, seen through Read and Write as the
// processor sees it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/debug_log.h"
#include "machine/bus_rq4800.h"

namespace rq4800 {
namespace {

// Every 8 KB block of RAM, ROM and flash starts with two bytes naming it, so
// a read shows which block a window points at.
int Rom(int offset) { return offset / 0x2000; }
int Flash(int offset) { return 0xF000 | offset / 0x2000; }
int Ram(int offset) { return 0xE000 | offset / 0x2000; }

void Mark(uint8_t* block, int name) {
  block[0] = static_cast<uint8_t>(name);
  block[1] = static_cast<uint8_t>(name >> 8);
}
void MarkBlocks(BusRQ4800& bus) {
  for (int o = 0; o < BusRQ4800::kRomSize; o += 0x2000) Mark(&bus.rom[o], Rom(o));
  for (int o = 0; o < BusRQ4800::kFlashSize; o += 0x2000) Mark(&bus.flash[o], Flash(o));
  for (int o = 0x2000; o < BusRQ4800::kRamSize; o += 0x2000) Mark(&bus.ram[o], Ram(o));
}
int BlockAt(BusRQ4800& bus, int address) { return bus.Read(address) | bus.Read(address + 1) << 8; }

TEST(BusMap, WindowsFollowTheBankPorts) {
  const struct {
    std::vector<std::pair<int, int>> portWrites;
    int address, block;
  } cases[] = {
      {{}, 0x4000, Ram(0x4000)},  {{}, 0x8000, Rom(0x0000)}, {{}, 0xC000, Rom(0x4000)}, {{}, 0xE000, Rom(0x6000)},
      {{{0x00, 1}}, 0x8000, Rom(0x8000)},  // a page's halves are swapped
      {{{0x00, 1}}, 0x6000, Rom(0xE000)},
      {{{0x0D, 1}}, 0x8000, Rom(0x0000)},  // port 0x0D waits for a bank write
      {{{0x0D, 1}, {0x00, 1}}, 0x8000, Rom(0x808000)},
      {{{0x0D, 1}, {0x0A, 0}}, 0xA000, Rom(0x802000)},
      {{{0x00, 3}, {0x0A, 0x80}}, 0x4000, Flash(0x1C000)},
      {{{0x00, 3}, {0x0A, 0x80}}, 0x8000, Flash(0x18000)},
      {{{0x00, 0x13}, {0x0A, 0x80}}, 0xA000, Flash(0x1A000)},
      {{{0x0A, 0x80}}, 0x4000, Flash(0x4000)},  // flash mode with BANK 0: no RAM
      {{{0x0A, 1}}, 0xC000, Ram(0x6000)},
      {{{0x0A, 0x81}}, 0xC000, Ram(0x6000)},
      {{{0x0A, 2}}, 0xC000, Rom(0x0000)},
      {{{0x0A, 8}}, 0xC000, Rom(0x14000)},
      {{{0x0A, 15}}, 0xC000, Rom(0x1A000)},
      {{}, 0x1E000, Rom(0x6000)},  // past the top: bits 13..15 pick the window
  };
  for (const auto& c : cases) {
    BusRQ4800 bus;
    MarkBlocks(bus);
    for (auto [port, value] : c.portWrites) bus.Write(port, value);
    EXPECT_EQ(BlockAt(bus, c.address), c.block) << std::hex << c.address << " after " << c.portWrites.size();
  }
}

TEST(BusMap, ZeroPageSliceFollowsPort0F) {
  BusRQ4800 bus;
  const int ramAt40[8] = {0x40, 0x00, 0x00, 0x00, 0x200, 0x240, 0x280, 0x2C0};
  for (int setting = 0; setting < 8; ++setting) {
    bus.Write(0x0F, setting);
    bus.Write(0x7F, setting + 1);
    EXPECT_EQ(bus.ram[ramAt40[setting] + 0x3F], setting + 1) << setting;
    EXPECT_EQ(bus.Read(0x7F), setting + 1) << setting;
  }
  bus.Write(0x0F, 1);  // the RAM behind the ports shows at 0x40, yet 0x3F is still the port
  bus.Write(0x3F, 0x12);
  EXPECT_EQ(bus.Read(0x7F), 4);
}

TEST(BusMap, WritesReachRamAndTheFlashChipButNeverRom) {
  BusRQ4800 bus;
  MarkBlocks(bus);
  const std::vector<uint8_t> rom(bus.rom.get(), bus.rom.get() + BusRQ4800::kRomSize);
  for (int bank : {0, 1, 0x7F}) {
    for (int page : {0, 2, 15}) {
      bus.Write(0x00, bank);
      bus.Write(0x0A, page);
      for (int a = bank == 0 ? 0x8000 : 0x4000; a <= 0xFFFF; a += 0x0FFF) bus.Write(a, 0xEE);
    }
  }
  bus.Write(0x1E000, 0xEE);
  bus.Write(-1, 0xEE);
  EXPECT_TRUE(rom == std::vector<uint8_t>(bus.rom.get(), bus.rom.get() + BusRQ4800::kRomSize));

  bus.Write(0x00, 0);
  bus.Write(0x4123, 0x1FF);  // BANK 0: RAM, low byte only
  EXPECT_EQ(bus.ram[0x4123], 0xFF);
  bus.Write(0x0A, 0x81);  // page 1 is RAM and takes writes, also in flash mode
  bus.Write(0xC010, 0x32);
  EXPECT_EQ(bus.ram[0x6010], 0x32);
  DebugLogCapture log;
  bus.Write(0x00, 3);
  bus.Write(0x9000, 0x00);  // a command cycle, not a store
  bus.Write(0x00, 0x13);    // no chip there: dropped silently
  bus.Write(0x5555, 0xAA);
  EXPECT_EQ(log.text, "write 9000 0 0 3\n");
  EXPECT_EQ(bus.flash[3 * 0x8000 + 0x1000], 0);
}

}  // namespace
}  // namespace rq4800

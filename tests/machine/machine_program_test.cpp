// A whole device program: set up the tick interrupt and the half-second NMI,
// count them, scan a key and program a byte of flash, run from power-on.
#include <gtest/gtest.h>

#include <cstring>

#include "core/debug_log.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

using test::PatternFlash;
using test::TestMachine;
using test::TestRom;

constexpr int kTicks = 0x0300;   // 16-bit tick count
constexpr int kNmis = 0x0302;    // NMI count
constexpr int kKeyUp = 0x0303;   // last key sense: 0 while the key is down

TestRom DeviceProgram() {
  TestRom rom;
  rom.Put(0xE000, {
      0xA9, 0x01, 0x85, 0x04,        // LDA #1; STA $04      tick source on
      0xA9, 0x00, 0x85, 0x01,        // LDA #0; STA $01      tick and NMI unmasked
      0xA9, 0x02, 0x85, 0x00,        // LDA #2; STA $00      BANK 2
      0xA9, 0x80, 0x85, 0x0A,        // LDA #$80; STA $0A    flash mode
      0xA9, 0xAA, 0x8D, 0x55, 0x55,  // LDA #$AA; STA $5555  unlock
      0xA9, 0x55, 0x8D, 0xAA, 0xAA,  // LDA #$55; STA $AAAA
      0xA9, 0xA0, 0x8D, 0x55, 0x55,  // LDA #$A0; STA $5555  byte program
      0xA9, 0x3C, 0x8D, 0x01, 0x40,  // LDA #$3C; STA $4001  flash 2 * 0x8000 + 0x4001
      0xA9, 0x00, 0x85, 0x0A,        // LDA #0; STA $0A      ROM mode
      0x85, 0x00,                    // STA $00              BANK 0: RAM again
      0xA9, 0xF0, 0x85, 0x0F,        // LDA #$F0; STA $0F    key row path on
      0x58,                          // CLI
      0x4C, 0x00, 0xE1,              // JMP scan
  });
  rom.Put(0xE100, {
      0xA9, 0xFB, 0x85, 0x08,  // scan: LDA #$FB; STA $08   probe bit 2 of key word 6
      0xA5, 0x0B, 0x29, 0x01,  // LDA $0B; AND #1
      0x8D, 0x03, 0x03,        // STA kKeyUp
      0x4C, 0x00, 0xE1,        // JMP scan
  });
  rom.Put(0xE200, {
      0x48,                    // irq: PHA
      0xA5, 0x01, 0x29, 0x08,  // LDA $01; AND #$08     the tick, and clear the status
      0xF0, 0x08,              // BEQ done
      0xEE, 0x00, 0x03,        // INC ticks
      0xD0, 0x03,              // BNE done
      0xEE, 0x01, 0x03,        // INC ticks + 1
      0x68, 0x40,              // done: PLA; RTI
  });
  rom.Put(0xE300, {0xEE, 0x02, 0x03, 0x40});  // nmi: INC kNmis; RTI
  rom.Vectors(0xE300, 0xE000, 0xE200);
  return rom;
}

TEST(DeviceProgram, CountsInterruptsScansAKeyAndProgramsFlashOver50Frames) {
  const auto dir = test::ScratchDirectory();
  TestMachine machine(DeviceProgram(), dir.string());
  Machine& m = *machine;
  DebugLogCapture log;

  for (int frame = 0; frame < 20; ++frame) RunFrame(m);
  EXPECT_EQ(m.bus.ram[kKeyUp], 1);
  m.bus.keyWords[6] = 0x04;
  for (int frame = 20; frame < 50; ++frame) RunFrame(m);
  EXPECT_EQ(m.bus.ram[kKeyUp], 0);

  ASSERT_FALSE(m.faulted) << std::hex << m.faultOpcode << " at " << m.faultAddress;
  EXPECT_EQ(m.bus.ram[kTicks] | m.bus.ram[kTicks + 1] << 8, 5 * 50);
  // Half-second ticks at frames 25 and 50; the second NMI is taken next frame.
  EXPECT_EQ(m.bus.ram[kNmis], 1);
  RunFrame(m);
  EXPECT_EQ(m.bus.ram[kNmis], 2);
  EXPECT_EQ(log.text, "") << "no stray flash cycles";

  std::vector<uint8_t> expected = PatternFlash(1);
  expected[0x14001] &= 0x3C;
  EXPECT_EQ(std::memcmp(m.bus.flash.get(), expected.data(), expected.size()), 0);

  // The programmed byte survives a save and the next power-on.
  ASSERT_TRUE(SaveFlashImage(m));
  TestMachine next(DeviceProgram(), dir.string());
  EXPECT_EQ(next->bus.flash[0x14001], expected[0x14001]);
}

}  // namespace
}  // namespace rq4800

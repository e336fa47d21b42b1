// Reset, interrupts, the run slice's budget and sampling rules, and the
// failure on an unsupported opcode.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/opcode_table.h"
#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::Access;
using testing::CpuFixture;
using testing::R;
using testing::W;

using Trace = std::vector<Access>;

constexpr int kSlice = Cpu6502::kSliceUnits;

TEST(CpuReset, LoadsTheVectorHighByteFirstAndClearsTheState) {
  CpuFixture f;
  f.bus.Poke(0xFFFC, {0x34, 0x12});
  f.cpu.A = f.cpu.X = f.cpu.Y = 0x55;
  f.cpu.P = 0xCB;
  f.cpu.SP = 0x10;
  f.cpu.cycles = 999;
  f.cpu.irqPending = f.cpu.nmiRequest = f.cpu.nmiArmed = 1;
  f.bus.trace.clear();
  f.cpu.Reset();
  EXPECT_EQ(f.bus.trace, (Trace{R(0xFFFD, 0x12), R(0xFFFC, 0x34)}));
  EXPECT_EQ(f.cpu.PC, 0x1234u);
  EXPECT_EQ(f.cpu.SP, 0xFFu);
  EXPECT_EQ(f.cpu.P, 0x04u);
  EXPECT_EQ(f.cpu.A | f.cpu.X | f.cpu.Y, 0u);
  EXPECT_EQ(f.cpu.cycles, 0);
  EXPECT_EQ(f.cpu.irqPending | f.cpu.nmiRequest | f.cpu.nmiArmed, 0);
}

TEST(CpuSlice, BudgetCarriesOverrunIntoTheNextSlice) {
  CpuFixture f;
  f.cpu.cycles = 1600;
  f.cpu.RunSlice();
  EXPECT_TRUE(f.bus.trace.empty());
  EXPECT_EQ(f.cpu.cycles, 64);

  // A 7-cycle instruction started at 1530 completes and the slice ends.
  CpuFixture g;
  g.bus.Poke(0x0200, {0xFE, 0x00, 0x30, 0xEA});  // INC $3000,X
  g.cpu.cycles = 1530;
  g.cpu.RunSlice();
  EXPECT_EQ(g.bus.memory[0x3000], 1);
  EXPECT_EQ(g.cpu.PC, 0x203u);
  EXPECT_EQ(g.cpu.cycles, 1614 - kSlice);
}

TEST(CpuSlice, RunsWholeInstructionsUntilTheBudgetIsSpent) {
  CpuFixture f;
  for (int a = 0x0200; a < 0x0300; ++a) f.bus.Poke(a, {0xEA});  // NOPs
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.PC, 0x200u + 64);  // 64 two-cycle NOPs make 128 cycles
  EXPECT_EQ(f.cpu.cycles, 0);
}

TEST(CpuInterrupts, IrqWithIClearIsEnteredAtOnce) {
  CpuFixture f(0x4567);
  f.bus.Poke(0xFFFE, {0x00, 0x90});
  f.cpu.P = 0x81;
  f.bus.trace.clear();
  f.cpu.RaiseIrq();
  EXPECT_EQ(f.bus.trace,
            (Trace{W(0x1FF, 0x45), W(0x1FE, 0x67), W(0x1FD, 0xA1), R(0xFFFF, 0x90), R(0xFFFE, 0x00)}));
  EXPECT_EQ(f.cpu.SP, 0xFCu);
  EXPECT_EQ(f.cpu.P, 0x85u);
  EXPECT_EQ(f.cpu.PC, 0x9000u);
  EXPECT_EQ(f.cpu.cycles, 84);
  EXPECT_EQ(f.cpu.irqPending, 0);
}

TEST(CpuInterrupts, EntryKeepsDAndWrapsTheStack) {
  CpuFixture f(0x1234);
  f.cpu.P = 0x08;
  f.cpu.SP = 0x01;
  f.bus.trace.clear();
  f.cpu.TakeIrq();
  EXPECT_EQ(f.bus.trace[0], W(0x101, 0x12));
  EXPECT_EQ(f.bus.trace[1], W(0x100, 0x34));
  EXPECT_EQ(f.bus.trace[2], W(0x1FF, 0x28));
  EXPECT_EQ(f.cpu.SP, 0xFEu);
  EXPECT_EQ(f.cpu.P, 0x0Cu);
}

TEST(CpuInterrupts, IrqsWhileMaskedCollapseAndWaitPastPlpForTheNextSlice) {
  CpuFixture f;
  f.bus.Poke(0xFFFE, {0x00, 0x90});
  f.bus.Poke(0x9000, {0x4C, 0x00, 0x90});            // handler: JMP to itself
  f.bus.Poke(0x01FF, {0x00});                         // byte for PLP
  f.bus.Poke(0x0200, {0x28, 0x4C, 0x01, 0x02});       // PLP; loop: JMP loop
  f.cpu.SP = 0xFE;
  f.cpu.P = 0x04;
  f.cpu.RaiseIrq();
  f.cpu.RaiseIrq();
  EXPECT_EQ(f.cpu.irqPending, 1);
  EXPECT_EQ(f.cpu.SP, 0xFEu);

  // PLP clears I but the IRQ is not taken inside the slice.
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.P & 0x04, 0u);
  EXPECT_EQ(f.cpu.irqPending, 1);
  EXPECT_EQ(f.cpu.PC, 0x201u);

  // The next slice enters it before its first instruction, once.
  f.bus.trace.clear();
  f.cpu.RunSlice();
  EXPECT_EQ(f.bus.trace[0].kind, 'W');
  EXPECT_EQ(f.bus.trace[0].address, 0x1FF);
  EXPECT_EQ(f.bus.trace[1], W(0x1FE, 0x01));
  EXPECT_EQ(f.cpu.irqPending, 0);
  EXPECT_EQ(f.cpu.SP, 0xFCu);
}

TEST(CpuInterrupts, CliEntersAPendingIrqAtOnceForNineCycles) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x58});
  f.bus.Poke(0xFFFE, {0x00, 0x90});
  f.cpu.P = 0x04;
  f.cpu.RaiseIrq();
  EXPECT_EQ(f.Step(), 9 * 12);
  EXPECT_EQ(f.cpu.PC, 0x9000u);
  EXPECT_EQ(f.bus.memory[0x1FE], 0x01);  // returns after the CLI
  EXPECT_EQ(f.bus.memory[0x1FD], 0x20);  // pushed with I clear
  EXPECT_EQ(f.cpu.irqPending, 0);
}

TEST(CpuInterrupts, RtiEntersAPendingIrqWhenItRestoresIClear) {
  CpuFixture f(0x9000);
  f.bus.Poke(0x9000, {0x40});
  f.bus.Poke(0xFFFE, {0x00, 0x90});
  f.bus.Poke(0x01FD, {0xC3, 0x34, 0x12});  // P, PC low, PC high
  f.cpu.SP = 0xFC;
  f.cpu.P = 0x04;
  f.cpu.RaiseIrq();
  EXPECT_EQ(f.Step(), 13 * 12);
  EXPECT_EQ(f.cpu.PC, 0x9000u);
  EXPECT_EQ(f.cpu.P, 0xC7u);
  // The IRQ returns to where RTI was going, with the restored status.
  EXPECT_EQ(f.bus.memory[0x1FF], 0x12);
  EXPECT_EQ(f.bus.memory[0x1FE], 0x34);
  EXPECT_EQ(f.bus.memory[0x1FD], 0xE3);

  // Restoring I set leaves it pending.
  CpuFixture g(0x9000);
  g.bus.Poke(0x9000, {0x40});
  g.bus.Poke(0x01FD, {0xFF, 0x34, 0x12});
  g.cpu.SP = 0xFC;
  g.cpu.P = 0x04;
  g.cpu.RaiseIrq();
  EXPECT_EQ(g.Step(), 6 * 12);
  EXPECT_EQ(g.cpu.PC, 0x1234u);
  EXPECT_EQ(g.cpu.P, 0xCFu);
  EXPECT_EQ(g.cpu.irqPending, 1);
}

TEST(CpuInterrupts, NmiIsEnteredAfterExactlyOneInstructionIgnoringI) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0xE8, 0xE8, 0xE8});  // INX x3
  f.bus.Poke(0xFFFA, {0x00, 0xA0});
  f.bus.Poke(0xA000, {0x4C, 0x00, 0xA0});  // JMP to itself
  f.cpu.P = 0x04;
  f.cpu.RaiseNmi();
  EXPECT_EQ(f.cpu.nmiRequest, 1);
  EXPECT_TRUE(f.bus.trace.empty());
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.X, 1u);
  EXPECT_EQ(f.bus.trace[1], W(0x1FF, 0x02));
  EXPECT_EQ(f.bus.trace[2], W(0x1FE, 0x01));
  EXPECT_EQ(f.bus.trace[3], W(0x1FD, 0x24));
  EXPECT_EQ(f.bus.trace[4], R(0xFFFB, 0xA0));
  EXPECT_EQ(f.bus.trace[5], R(0xFFFA, 0x00));
  EXPECT_EQ(f.cpu.nmiRequest | f.cpu.nmiArmed, 0);
  EXPECT_EQ(f.cpu.P, 0x04u);
  // INX, the entry, then 3-cycle jumps: 2 + 7 + 40 * 3 = 129 cycles.
  EXPECT_EQ(f.cpu.cycles, 129 * 12 - kSlice);
}

TEST(CpuInterrupts, BrkPushesTheAddressPastItsPaddingByte) {
  CpuFixture f(0x3000);
  f.bus.Poke(0x3000, {0x00, 0xFF});
  f.bus.Poke(0xFFFE, {0x00, 0x90});
  f.cpu.P = 0x08 | 0x01;
  f.cpu.irqPending = 1;
  EXPECT_EQ(f.Step(), 7 * 12);
  EXPECT_EQ(f.bus.trace, (Trace{R(0x3000, 0x00), W(0x1FF, 0x30), W(0x1FE, 0x02), W(0x1FD, 0x39),
                                R(0xFFFF, 0x90), R(0xFFFE, 0x00)}));
  EXPECT_EQ(f.cpu.P, 0x0Du);
  EXPECT_EQ(f.cpu.PC, 0x9000u);
  EXPECT_EQ(f.cpu.irqPending, 1);
}

std::vector<int> UnsupportedOpcodes() {
  const char* list =
      "02 03 04 07 0B 0C 0F 12 13 14 17 1A 1B 1C 1F 22 23 27 2B 2F 32 33 34 37 3A 3B 3C 3F 42 43 44 "
      "47 4B 4F 52 53 54 57 5A 5B 5C 5F 62 63 64 67 6B 6F 72 73 74 77 7A 7B 7C 7F 80 82 83 87 89 8B "
      "8F 92 93 97 9B 9C 9E 9F A3 A7 AB AF B2 B3 B7 BB BF C2 C3 C7 CB CF D2 D3 D4 D7 DA DB DC DF E2 "
      "E3 E7 EB EF F2 F3 F4 F7 FA FB FC FF";
  std::vector<int> opcodes;
  int value = 0, consumed = 0;
  while (std::sscanf(list, "%x%n", &value, &consumed) == 1) {
    opcodes.push_back(value);
    list += consumed;
  }
  return opcodes;
}

TEST(CpuUnsupported, EachOfTheUndocumentedOpcodesFailsWithoutSideEffects) {
  std::vector<int> opcodes = UnsupportedOpcodes();
  ASSERT_EQ(opcodes.size(), 105u);
  for (int opcode : opcodes) {
    SCOPED_TRACE(opcode);
    EXPECT_EQ(op::kOpcodeTable[opcode].mnemonic, op::___);
    CpuFixture f(0x2000);
    f.bus.Poke(0x2000, {opcode, 0x10, 0x20});
    f.cpu.A = 1;
    f.cpu.X = 2;
    f.cpu.Y = 3;
    f.cpu.P = 0x41;
    f.cpu.cycles = 500;
    DebugLogCapture log;
    try {
      f.cpu.RunSlice();
      ADD_FAILURE() << "no exception";
    } catch (const UnsupportedInstruction& e) {
      EXPECT_EQ(e.opcode, opcode);
      EXPECT_EQ(e.address, 0x2000);
    }
    char line[64];
    std::snprintf(line, sizeof line, "不支持的指令 %x at 2000\n", opcode);
    EXPECT_EQ(log.text, line);
    EXPECT_EQ(f.cpu.PC, 0x2001u);
    EXPECT_EQ(f.cpu.cycles, 500);
    EXPECT_EQ(f.cpu.A, 1u);
    EXPECT_EQ(f.cpu.X, 2u);
    EXPECT_EQ(f.cpu.Y, 3u);
    EXPECT_EQ(f.cpu.P, 0x41u);
    EXPECT_EQ(f.cpu.SP, 0xFFu);
    for (const Access& a : f.bus.trace) EXPECT_EQ(a.kind, 'R');
  }
}

TEST(CpuUnsupported, OpcodeFFInTheMiddleOfASliceStopsIt) {
  CpuFixture f(0x1FFE);
  f.bus.Poke(0x1FFE, {0xE8, 0xE8, 0xFF, 0xE8});
  DebugLogCapture log;
  EXPECT_THROW(f.cpu.RunSlice(), UnsupportedInstruction);
  EXPECT_EQ(log.text, "不支持的指令 ff at 2000\n");
  EXPECT_EQ(f.cpu.X, 2u);
  EXPECT_EQ(f.cpu.PC, 0x2001u);
  EXPECT_EQ(f.cpu.cycles, 48);
  try {
    f.cpu.Execute(0xFF);
    ADD_FAILURE() << "no exception";
  } catch (const UnsupportedInstruction& e) {
    EXPECT_STREQ(e.what(), "unsupported instruction ff at 2000");
  }
  // Executing an out-of-range value directly fails the same way.
  EXPECT_THROW(f.cpu.Execute(0x1FF), UnsupportedInstruction);
}

}  // namespace
}  // namespace rq4800

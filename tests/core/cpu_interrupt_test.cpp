// Reset, interrupts, and the run slice's budget and sampling rules.
#include <gtest/gtest.h>

#include <array>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using namespace testing;

// A processor whose NMI handler at 0xA000 and IRQ handler at 0x9000 loop on themselves.
struct Fixture : CpuFixture {
  explicit Fixture(int pc = 0x0200, const std::vector<int>& code = {}) : CpuFixture(pc, code) {
    bus.Poke(0xFFFA, {0x00, 0xA0, 0x00, 0x00, 0x00, 0x90});
    bus.Poke(0x9000, {0x4C, 0x00, 0x90});
    bus.Poke(0xA000, {0x4C, 0x00, 0xA0});
  }
};

TEST(CpuReset, LoadsTheVectorHighByteFirstAndClearsTheState) {
  CpuFixture f;
  f.bus.Poke(0xFFFC, {0x34, 0x12});
  f.cpu.A = f.cpu.X = f.cpu.Y = f.cpu.P = f.cpu.SP = 0xCB;
  f.cpu.cycles = 999;
  f.cpu.irqPending = f.cpu.nmiRequest = f.cpu.nmiArmed = 1;
  f.cpu.Reset();
  EXPECT_EQ(f.bus.trace, (Trace{R(0xFFFD, 0x12), R(0xFFFC, 0x34)}));
  EXPECT_EQ((std::array{f.cpu.PC, f.cpu.SP, f.cpu.P, f.cpu.A, f.cpu.X, f.cpu.Y}),
            (std::array<uint32_t, 6>{0x1234, 0xFF, 0x04, 0, 0, 0}));
  EXPECT_EQ(f.cpu.cycles | f.cpu.irqPending | f.cpu.nmiRequest | f.cpu.nmiArmed, 0);
}

// The overrun of an instruction that ends past the budget is in the NMI test.
TEST(CpuSlice, RunsUntilTheBudgetIsSpentAndNotAtAllWhenItIsOverspent) {
  CpuFixture f(0x0200, std::vector<int>(64, 0xEA));  // 64 two-cycle NOPs fill a slice exactly
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.PC, 0x240u);
  EXPECT_EQ(f.cpu.cycles, 0);
  f.cpu.cycles = Cpu6502::kSliceUnits + 64;
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.PC, 0x240u);
  EXPECT_EQ(f.cpu.cycles, 64);
}

// An IRQ with I clear is entered at once; BRK pushes the address past its
// padding byte with B set and leaves a pending IRQ pending. Both keep D.
TEST(CpuInterrupts, IrqAndBrkPushPcAndStatusWrappingTheStackAndSetI) {
  Fixture irq(0x4567);
  irq.cpu.P = 0x89;
  irq.cpu.SP = 0x01;
  irq.cpu.RaiseIrq();
  EXPECT_EQ(irq.bus.trace, (Trace{W(0x101, 0x45), W(0x100, 0x67), W(0x1FF, 0xA9), R(0xFFFF, 0x90), R(0xFFFE, 0x00)}));
  EXPECT_EQ((std::array{irq.cpu.PC, irq.cpu.SP, irq.cpu.P}), (std::array<uint32_t, 3>{0x9000, 0xFE, 0x8D}));
  EXPECT_EQ(irq.cpu.cycles, 7 * 12);
  EXPECT_EQ(irq.cpu.irqPending, 0);
  Fixture brk(0x3000, {0x00, 0xFF});
  brk.cpu.P = 0x09;
  brk.cpu.irqPending = 1;
  brk.Step();
  EXPECT_EQ(brk.bus.trace, (Trace{R(0x3000, 0x00), W(0x1FF, 0x30), W(0x1FE, 0x02), W(0x1FD, 0x39), R(0xFFFF, 0x90),
                                  R(0xFFFE, 0x00)}));
  EXPECT_EQ(brk.cpu.P, 0x0Du);
  EXPECT_EQ(brk.cpu.irqPending, 1);
}

TEST(CpuInterrupts, IrqsWhileMaskedCollapseAndWaitPastPlpForTheNextSlice) {
  Fixture f(0x0200, {0x28, 0x4C, 0x01, 0x02});  // PLP; loop: JMP loop
  f.bus.Poke(0x01FF, {0x00});                   // status for PLP: I clear
  f.cpu.SP = 0xFE;
  f.cpu.P = 0x04;
  f.cpu.RaiseIrq();
  f.cpu.RaiseIrq();
  f.cpu.RunSlice();  // PLP clears I but the IRQ is not taken inside the slice
  EXPECT_EQ(f.cpu.irqPending, 1);
  f.bus.trace.clear();
  f.cpu.RunSlice();  // the next slice enters it before its first instruction, once
  EXPECT_EQ(f.bus.trace[1], W(0x1FE, 0x01));
  EXPECT_EQ(f.cpu.SP, 0xFCu);
}

// CLI, and RTI restoring I clear, enter a pending IRQ at once, returning to
// where the instruction was going with the status it left; PLP does not.
TEST(CpuInterrupts, CliAndRtiEnterAPendingIrqAtOnceAndPlpDoesNot) {
  struct Case { const char* name; int opcode, pulled, cycles; bool enters; uint32_t p; int pushed; };
  const Case cases[] = {
      {"CLI", 0x58, 0x00, 9, true, 0x04, 0x20},         {"RTI to I clear", 0x40, 0xC3, 13, true, 0xC7, 0xE3},
      {"RTI to I set", 0x40, 0xFF, 6, false, 0xCF, 0},  {"PLP to I clear", 0x28, 0x00, 4, false, 0x00, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(0x1233, {c.opcode});
    f.bus.Poke(0x01FD, {c.pulled, 0x34, 0x12});  // P, PC low, PC high for RTI
    f.cpu.SP = 0xFC;
    f.cpu.P = 0x04;
    f.cpu.RaiseIrq();
    EXPECT_EQ(f.Step(), c.cycles * 12);
    EXPECT_EQ(f.cpu.P, c.p);
    EXPECT_EQ(f.cpu.irqPending, c.enters ? 0 : 1);
    EXPECT_EQ(f.cpu.PC, c.enters ? 0x9000u : 0x1234u);
    if (c.enters) {
      const uint8_t* pushed = &f.bus.memory[0x101 + f.cpu.SP];
      EXPECT_EQ((std::array<int, 3>{pushed[0], pushed[1], pushed[2]}), (std::array{c.pushed, 0x34, 0x12}));
    }
  }
}

TEST(CpuInterrupts, NmiIsEnteredAfterExactlyOneInstructionIgnoringI) {
  Fixture f(0x0200, {0xE8, 0xE8, 0xE8});  // INX x3
  f.cpu.P = 0x04;
  f.cpu.RaiseNmi();
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.X, 1u);
  EXPECT_EQ(Trace(f.bus.trace.begin() + 1, f.bus.trace.begin() + 6),
            (Trace{W(0x1FF, 0x02), W(0x1FE, 0x01), W(0x1FD, 0x24), R(0xFFFB, 0xA0), R(0xFFFA, 0x00)}));
  EXPECT_EQ(f.cpu.nmiRequest | f.cpu.nmiArmed, 0);
  // INX, the entry, then 3-cycle jumps: 2 + 7 + 40 * 3 = 129 cycles, one past the slice.
  EXPECT_EQ(f.cpu.cycles, 129 * 12 - Cpu6502::kSliceUnits);
}

}  // namespace
}  // namespace rq4800

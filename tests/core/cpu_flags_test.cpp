// Results and flags of the arithmetic, compare, BIT, shift and transfer
// instructions. ADC and SBC are binary even with D set.
#include <gtest/gtest.h>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::CpuFixture;

constexpr uint32_t C = 0x01, Z = 0x02, I = 0x04, D = 0x08, V = 0x40, N = 0x80;

struct Result {
  uint32_t a, p;
};

// Runs "opcode #operand" with A and P preset.
Result RunImmediate(int opcode, uint32_t a, uint32_t p, int operand) {
  CpuFixture f;
  f.bus.Poke(0x0200, {opcode, operand});
  f.cpu.A = a;
  f.cpu.P = p;
  f.Step();
  return {f.cpu.A, f.cpu.P};
}

TEST(CpuFlags, AddWithCarry) {
  struct Case {
    uint32_t a, p;
    int operand;
    uint32_t resultA, resultP;
  };
  const Case cases[] = {
      {0x09, D, 0x01, 0x0A, D},                // no decimal arithmetic
      {0x50, 0, 0x50, 0xA0, N | V},            // positive overflow
      {0xD0, 0, 0x90, 0x60, V | C},            // negative overflow
      {0xFF, C, 0x00, 0x00, Z | C},            // carry in wraps to zero
      {0x7F, C, 0x00, 0x80, N | V},            // carry in overflows
      {0x01, N | Z | V, 0x01, 0x02, 0},        // old N, Z, V cleared
      {0x80, I, 0x80, 0x00, I | Z | V | C},    // other flags kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.a << "+" << c.operand);
    Result r = RunImmediate(0x69, c.a, c.p, c.operand);
    EXPECT_EQ(r.a, c.resultA);
    EXPECT_EQ(r.p, c.resultP);
  }
}

TEST(CpuFlags, SubtractWithBorrow) {
  struct Case {
    uint32_t a, p;
    int operand;
    uint32_t resultA, resultP;
  };
  const Case cases[] = {
      {0x50, C, 0xB0, 0xA0, N | V},        // overflow into negative, borrow
      {0x50, C, 0xF0, 0x60, 0},            // borrow, no overflow
      {0x50, C, 0x30, 0x20, C},            // no borrow
      {0x50, 0, 0x50, 0xFF, N},            // borrow in
      {0x10, C | D, 0x01, 0x0F, C | D},    // no decimal arithmetic
      {0x80, C, 0x01, 0x7F, V | C},        // overflow into positive
      {0x00, 0, 0xFF, 0x00, Z},            // 0 - 255 - 1 = -256
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.a << "-" << c.operand);
    Result r = RunImmediate(0xE9, c.a, c.p, c.operand);
    EXPECT_EQ(r.a, c.resultA);
    EXPECT_EQ(r.p, c.resultP);
  }
}

TEST(CpuFlags, ComparesLeaveTheRegisterAndSetNZCFromTheDifference) {
  struct Case {
    int opcode;  // CMP, CPX, CPY immediate
    uint32_t reg;
    int operand;
    uint32_t resultP;
  };
  const Case cases[] = {
      {0xC9, 0x10, 0x20, N},      {0xC9, 0x20, 0x20, Z | C}, {0xC9, 0x20, 0x10, C},
      {0xE0, 0x00, 0x01, N},      {0xE0, 0x80, 0x00, N | C}, {0xC0, 0xFF, 0xFF, Z | C},
      {0xC0, 0x01, 0x81, N},  // 0x01 - 0x81 = 0x80
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.opcode << " " << c.reg << " " << c.operand);
    CpuFixture f;
    f.bus.Poke(0x0200, {c.opcode, c.operand});
    f.cpu.A = f.cpu.X = f.cpu.Y = c.reg;
    f.cpu.P = V;  // V untouched by compares
    f.Step();
    EXPECT_EQ(f.cpu.P, c.resultP | V);
    EXPECT_EQ(f.cpu.A, c.reg);
    EXPECT_EQ(f.cpu.X, c.reg);
    EXPECT_EQ(f.cpu.Y, c.reg);
  }
}

TEST(CpuFlags, BitTakesNAndVFromMemoryAndZFromTheAnd) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x24, 0x80, 0x2C, 0x81, 0x00});
  f.bus.Poke(0x0080, {0xC0});
  f.bus.Poke(0x0081, {0x3F});
  f.cpu.A = 0x3F;
  f.cpu.P = C;
  f.Step();
  EXPECT_EQ(f.cpu.P, N | V | Z | C);
  EXPECT_EQ(f.cpu.A, 0x3Fu);
  f.Step();
  EXPECT_EQ(f.cpu.P, C);
}

TEST(CpuFlags, ShiftsAndRotates) {
  struct Case {
    int opcode;  // accumulator forms
    uint32_t a, p, resultA, resultP;
  };
  const Case cases[] = {
      {0x0A, 0x81, 0, 0x02, C},          // ASL
      {0x0A, 0x40, C, 0x80, N},          // ASL ignores carry in
      {0x4A, 0x81, N, 0x40, C},          // LSR clears N
      {0x4A, 0x01, 0, 0x00, Z | C},      // LSR to zero
      {0x2A, 0x80, C, 0x01, C},          // ROL
      {0x2A, 0x80, 0, 0x00, Z | C},      // ROL to zero
      {0x6A, 0x01, C, 0x80, N | C},      // ROR
      {0x6A, 0x02, 0, 0x01, 0},          // ROR
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.opcode << " " << c.a);
    CpuFixture f;
    f.bus.Poke(0x0200, {c.opcode});
    f.cpu.A = c.a;
    f.cpu.P = c.p;
    f.Step();
    EXPECT_EQ(f.cpu.A, c.resultA);
    EXPECT_EQ(f.cpu.P, c.resultP);
  }
}

TEST(CpuFlags, MemoryShiftsAndIncrementsWrapAndSetFlags) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x66, 0x10, 0xE6, 0x11, 0xC6, 0x12, 0x0E, 0x00, 0x30});
  f.bus.Poke(0x0010, {0x01, 0xFF, 0x00});
  f.bus.Poke(0x3000, {0xC0});
  f.cpu.P = C;
  f.Step();  // ROR $10
  EXPECT_EQ(f.bus.memory[0x10], 0x80);
  EXPECT_EQ(f.cpu.P, N | C);
  f.Step();  // INC $11
  EXPECT_EQ(f.bus.memory[0x11], 0x00);
  EXPECT_EQ(f.cpu.P, Z | C);
  f.Step();  // DEC $12
  EXPECT_EQ(f.bus.memory[0x12], 0xFF);
  EXPECT_EQ(f.cpu.P, N | C);
  f.Step();  // ASL $3000
  EXPECT_EQ(f.bus.memory[0x3000], 0x80);
  EXPECT_EQ(f.cpu.P, N | C);
}

TEST(CpuFlags, TransfersAndRegisterSteps) {
  CpuFixture f;
  // TXS, TSX, DEX, INY, TYA, TAY, LDA #0
  f.bus.Poke(0x0200, {0x9A, 0xBA, 0xCA, 0xC8, 0x98, 0xA8, 0xA9, 0x00});
  f.cpu.X = 0;
  f.cpu.Y = 0x7F;
  f.cpu.P = N;
  f.Step();  // TXS leaves the flags
  EXPECT_EQ(f.cpu.SP, 0u);
  EXPECT_EQ(f.cpu.P, N);
  f.Step();  // TSX sets Z
  EXPECT_EQ(f.cpu.P, Z);
  f.Step();  // DEX wraps
  EXPECT_EQ(f.cpu.X, 0xFFu);
  EXPECT_EQ(f.cpu.P, N);
  f.Step();  // INY
  EXPECT_EQ(f.cpu.Y, 0x80u);
  f.Step();  // TYA
  EXPECT_EQ(f.cpu.A, 0x80u);
  EXPECT_EQ(f.cpu.P, N);
  f.Step();
  f.Step();  // LDA #0
  EXPECT_EQ(f.cpu.A, 0u);
  EXPECT_EQ(f.cpu.P, Z);
}

TEST(CpuFlags, FlagInstructions) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x38, 0xF8, 0x78, 0xB8, 0x18, 0xD8, 0x58});
  f.cpu.P = V;
  f.Step();
  f.Step();
  f.Step();
  EXPECT_EQ(f.cpu.P, V | C | D | I);
  f.Step();
  EXPECT_EQ(f.cpu.P, C | D | I);
  f.Step();
  f.Step();
  f.Step();
  EXPECT_EQ(f.cpu.P, 0u);
}

TEST(CpuFlags, StatusOnTheStackCarriesBits5And4OnlyThere) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x08, 0x28, 0x68});  // PHP, PLP, PLA
  f.cpu.P = 0x00;
  f.Step();
  EXPECT_EQ(f.bus.memory[0x1FF], 0x30);
  f.bus.memory[0x1FF] = 0xFF;
  f.cpu.SP = 0xFE;
  f.Step();
  EXPECT_EQ(f.cpu.P, 0xCFu);
  f.bus.Poke(0x0100, {0x00});
  f.cpu.SP = 0xFF;  // the pull wraps to 0x100
  f.cpu.P = N;
  f.Step();
  EXPECT_EQ(f.cpu.A, 0u);
  EXPECT_EQ(f.cpu.P, Z);
  EXPECT_EQ(f.cpu.SP, 0u);
  EXPECT_EQ(f.bus.trace.back().address, 0x100);
}

TEST(CpuFlags, PushWrapsWithinPageOne) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x48, 0x48});  // PHA, PHA
  f.cpu.SP = 0x00;
  f.cpu.A = 0x5C;
  f.Step();
  f.Step();
  EXPECT_EQ(f.bus.memory[0x100], 0x5C);
  EXPECT_EQ(f.bus.memory[0x1FF], 0x5C);
  EXPECT_EQ(f.cpu.SP, 0xFEu);
}

}  // namespace
}  // namespace rq4800

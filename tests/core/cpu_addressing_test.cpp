// Addressing modes and the exact bus traffic of each: the I/O ports have read
// side effects, so an extra, missing or reordered access is a fault.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::Access;
using testing::CpuFixture;
using testing::R;
using testing::W;

using Trace = std::vector<Access>;

TEST(CpuAddressing, ReadModesFetchOperandsHighByteFirstThenTheData) {
  struct Case {
    const char* name;
    std::vector<int> code;  // at 0x0200
    int x, y;
    Trace expected;
  };
  const std::vector<Case> cases = {
      {"imm", {0xA9, 0x42}, 0, 0, {R(0x200, 0xA9), R(0x201, 0x42)}},
      {"zp", {0xA5, 0x80}, 0, 0, {R(0x200, 0xA5), R(0x201, 0x80), R(0x80, 0x11)}},
      {"zp,X wraps in page 0", {0xB5, 0xF0}, 0x20, 0, {R(0x200, 0xB5), R(0x201, 0xF0), R(0x10, 0x22)}},
      {"zp,Y wraps in page 0", {0xB6, 0xFF}, 0, 0x11, {R(0x200, 0xB6), R(0x201, 0xFF), R(0x10, 0x22)}},
      {"abs", {0xAD, 0x34, 0x12}, 0, 0, {R(0x200, 0xAD), R(0x202, 0x12), R(0x201, 0x34), R(0x1234, 0x33)}},
      {"abs,X", {0xBD, 0xF0, 0x12}, 0x20, 0, {R(0x200, 0xBD), R(0x202, 0x12), R(0x201, 0xF0), R(0x1310, 0x44)}},
      {"abs,Y wraps at 64 KB",
       {0xB9, 0xF0, 0xFF},
       0,
       0x20,
       {R(0x200, 0xB9), R(0x202, 0xFF), R(0x201, 0xF0), R(0x0010, 0x22)}},
      {"(zp,X) pointer wraps in page 0",
       {0xA1, 0xFE},
       0x01,
       0,
       {R(0x200, 0xA1), R(0x201, 0xFE), R(0x00, 0x13), R(0xFF, 0x10), R(0x1310, 0x44)}},
      {"(zp),Y pointer at 0xFF",
       {0xB1, 0xFF},
       0,
       0x24,
       {R(0x200, 0xB1), R(0x201, 0xFF), R(0x00, 0x13), R(0xFF, 0x10), R(0x1334, 0x55)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CpuFixture f;
    f.bus.Poke(0x0200, std::vector<uint8_t>(c.code.begin(), c.code.end()));
    f.bus.Poke(0x0000, {0x13});
    f.bus.Poke(0x0010, {0x22});
    f.bus.Poke(0x0080, {0x11});
    f.bus.Poke(0x00FF, {0x10});
    f.bus.Poke(0x1234, {0x33});
    f.bus.Poke(0x1310, {0x44});
    f.bus.Poke(0x1334, {0x55});
    f.cpu.X = static_cast<uint32_t>(c.x);
    f.cpu.Y = static_cast<uint32_t>(c.y);
    f.Step();
    EXPECT_EQ(f.bus.trace, c.expected);
    uint32_t loaded = c.code[0] == 0xB6 ? f.cpu.X : f.cpu.A;  // LDX zp,Y
    EXPECT_EQ(loaded, static_cast<uint32_t>(c.expected.back().value));
    EXPECT_EQ(f.cpu.PC, 0x200u + c.code.size());
  }
}

TEST(CpuAddressing, StoresNeverReadTheirTarget) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x91, 0x40});  // STA ($40),Y
  f.bus.Poke(0x0040, {0xF0, 0x12});
  f.cpu.A = 0x5A;
  f.cpu.Y = 0x20;
  f.Step();
  EXPECT_EQ(f.bus.trace, (Trace{R(0x200, 0x91), R(0x201, 0x40), R(0x41, 0x12), R(0x40, 0xF0), W(0x1310, 0x5A)}));

  CpuFixture g;
  g.bus.Poke(0x0200, {0x8E, 0x00, 0x30, 0x94, 0x7F});  // STX $3000; STY $7F,X
  g.cpu.X = 0x81;
  g.cpu.Y = 0x66;
  g.Step();
  EXPECT_EQ(g.bus.trace, (Trace{R(0x200, 0x8E), R(0x202, 0x30), R(0x201, 0x00), W(0x3000, 0x81)}));
  g.Step();
  EXPECT_EQ(g.bus.trace, (Trace{R(0x203, 0x94), R(0x204, 0x7F), W(0x00, 0x66)}));
}

TEST(CpuAddressing, ReadModifyWriteReadsOnceAndWritesOnce) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0xFE, 0xFF, 0x12});  // INC $12FF,X
  f.bus.Poke(0x1300, {0xFF});
  f.cpu.X = 1;
  f.Step();
  EXPECT_EQ(f.bus.trace, (Trace{R(0x200, 0xFE), R(0x202, 0x12), R(0x201, 0xFF), R(0x1300, 0xFF), W(0x1300, 0x00)}));
  EXPECT_EQ(f.cpu.P & 0x02, 0x02u);
}

TEST(CpuAddressing, ImpliedAndAccumulatorInstructionsTouchOnlyTheirOpcode) {
  for (int opcode : {0x0A, 0x2A, 0x4A, 0x6A, 0xEA, 0xE8, 0xAA, 0x18, 0x78, 0x9A}) {
    SCOPED_TRACE(opcode);
    CpuFixture f;
    f.bus.Poke(0x0200, {opcode, 0x55, 0x66});
    f.Step();
    EXPECT_EQ(f.bus.trace, (Trace{R(0x200, opcode)}));
    EXPECT_EQ(f.cpu.PC, 0x201u);
  }
}

TEST(CpuAddressing, IndirectJumpKeepsTheNmosPageWrap) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x6C, 0xFF, 0x12});
  f.bus.Poke(0x12FF, {0x34});
  f.bus.Poke(0x1200, {0x56});
  f.bus.Poke(0x1300, {0x99});
  EXPECT_EQ(f.Step(), 5 * 12);
  EXPECT_EQ(f.bus.trace, (Trace{R(0x200, 0x6C), R(0x202, 0x12), R(0x201, 0xFF), R(0x1200, 0x56), R(0x12FF, 0x34)}));
  EXPECT_EQ(f.cpu.PC, 0x5634u);
}

TEST(CpuAddressing, SubroutineCallPushesBeforeReadingItsTarget) {
  CpuFixture f(0x12FE);
  f.bus.Poke(0x12FE, {0x20, 0x00, 0x40});  // JSR $4000
  f.bus.Poke(0x4000, {0x60});              // RTS
  EXPECT_EQ(f.Step(), 6 * 12);
  EXPECT_EQ(f.bus.trace,
            (Trace{R(0x12FE, 0x20), W(0x1FF, 0x13), W(0x1FE, 0x00), R(0x1300, 0x40), R(0x12FF, 0x00)}));
  EXPECT_EQ(f.cpu.PC, 0x4000u);
  EXPECT_EQ(f.cpu.SP, 0xFDu);
  EXPECT_EQ(f.Step(), 6 * 12);
  EXPECT_EQ(f.bus.trace, (Trace{R(0x4000, 0x60), R(0x1FE, 0x00), R(0x1FF, 0x13)}));
  EXPECT_EQ(f.cpu.PC, 0x1301u);
}

TEST(CpuAddressing, ReturnAddsOneAcrossAPage) {
  CpuFixture f;
  f.bus.Poke(0x0200, {0x60});
  f.bus.Poke(0x01FE, {0xFF, 0x12});
  f.cpu.SP = 0xFD;
  f.Step();
  EXPECT_EQ(f.cpu.PC, 0x1300u);
  EXPECT_EQ(f.cpu.SP, 0xFFu);
}

TEST(CpuAddressing, BranchTargetsAreRelativeToTheNextInstruction) {
  struct Case {
    int pc, opcode, offset;
    uint32_t p;
    int target, cycles;
  };
  const Case cases[] = {
      {0x10FC, 0xD0, 0x04, 0x00, 0x1102, 4},  // BNE taken to another page
      {0x10FC, 0xD0, 0x04, 0x02, 0x10FE, 2},  // BNE not taken
      {0x1000, 0xD0, 0xFE, 0x00, 0x1000, 3},  // to itself
      {0x1080, 0x70, 0x10, 0x40, 0x1092, 3},  // BVS like any other branch
      {0x1000, 0x10, 0x80, 0x00, 0x0F82, 4},  // BPL backwards across a page
      {0xFFF0, 0xB0, 0x7F, 0x01, 0x0071, 4},  // BCS wraps at 64 KB
      {0x0000, 0x30, 0xF0, 0x80, 0xFFF2, 4},  // BMI wraps below 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pc);
    CpuFixture f(c.pc);
    f.bus.Poke(c.pc, {c.opcode, c.offset});
    f.cpu.P = c.p;
    EXPECT_EQ(f.Step(), c.cycles * 12);
    EXPECT_EQ(f.cpu.PC, static_cast<uint32_t>(c.target));
    EXPECT_EQ(f.bus.trace.size(), 2u);
  }
}

TEST(CpuAddressing, EveryBranchTestsItsOwnFlag) {
  struct Case {
    int opcode;
    uint32_t takenWith, notTakenWith;
  };
  const Case cases[] = {
      {0x10, 0x00, 0x80}, {0x30, 0x80, 0x00}, {0x50, 0x00, 0x40}, {0x70, 0x40, 0x00},
      {0x90, 0x00, 0x01}, {0xB0, 0x01, 0x00}, {0xD0, 0x00, 0x02}, {0xF0, 0x02, 0x00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opcode);
    CpuFixture taken;
    taken.bus.Poke(0x0200, {c.opcode, 0x10});
    taken.cpu.P = c.takenWith | (0xC3 & ~c.notTakenWith & ~c.takenWith);
    taken.Step();
    EXPECT_EQ(taken.cpu.PC, 0x212u);
    CpuFixture notTaken;
    notTaken.bus.Poke(0x0200, {c.opcode, 0x10});
    notTaken.cpu.P = c.notTakenWith | (0xC3 & ~c.notTakenWith & ~c.takenWith);
    notTaken.Step();
    EXPECT_EQ(notTaken.cpu.PC, 0x202u);
  }
}

TEST(CpuAddressing, OperandFetchWrapsAtTheTopOfMemory) {
  CpuFixture f(0xFFFE);
  f.bus.Poke(0xFFFE, {0xAD, 0x34});  // LDA $xx34, high byte at 0x0000
  f.bus.Poke(0x0000, {0x12});
  f.bus.Poke(0x1234, {0x77});
  f.Step();
  EXPECT_EQ(f.bus.trace, (Trace{R(0xFFFE, 0xAD), R(0x0000, 0x12), R(0xFFFF, 0x34), R(0x1234, 0x77)}));
  EXPECT_EQ(f.cpu.PC, 0x0001u);
  EXPECT_EQ(f.cpu.A, 0x77u);
}

// A bus that answers with more than a byte must not push a register or an
// address out of range.
TEST(CpuAddressing, OnlyTheLowByteOfABusValueCounts) {
  struct WideBus final : IBus6502 {
    uint8_t memory[65536] = {};
    int Read(int address) override { return memory[address & 0xFFFF] | 0x7F00; }
    void Write(int address, int value) override { memory[address & 0xFFFF] = static_cast<uint8_t>(value); }
  } bus;
  bus.memory[0x0200] = 0xB1;  // LDA ($80),Y
  bus.memory[0x0201] = 0x80;
  bus.memory[0x0080] = 0xFF;
  bus.memory[0x0081] = 0xFF;
  bus.memory[0x0000] = 0x80;  // at 0xFFFF + 1, wrapped
  bus.memory[0x0202] = 0x4C;  // JMP $0202
  bus.memory[0x0203] = 0x02;
  bus.memory[0x0204] = 0x02;
  Cpu6502 cpu(bus);
  cpu.PC = 0x0200;
  cpu.Y = 1;
  cpu.RunSlice();
  EXPECT_EQ(cpu.PC, 0x0202u);
  EXPECT_EQ(cpu.A, 0x80u);
  EXPECT_LE(cpu.SP, 0xFFu);
  EXPECT_LE(cpu.P, 0xFFu);
}

}  // namespace
}  // namespace rq4800

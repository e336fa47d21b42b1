// Whole 6502 programs run through RunSlice on a plain RAM bus: a multiply
// routine, a bubble sort with its own order check and a checksum, and a main
// loop driven by IRQs and NMIs raised between slices.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/core/mini_assembler.h"
#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::CpuFixture;
using testing::MiniAssembler;

constexpr int kCount = 24;  // multiplications
constexpr int kSortLength = 64;

// Runs slices until PC rests on the given address (a JMP to itself).
int RunUntil(CpuFixture& f, int address, int maxSlices) {
  for (int n = 1; n <= maxSlices; ++n) {
    f.cpu.RunSlice();
    if (f.cpu.PC == static_cast<uint32_t>(address)) return n;
  }
  return -1;
}

std::vector<uint8_t> SortAndMultiplyProgram(int* done) {
  MiniAssembler a(0x0200);
  // Products of $3000,Y and $3100,Y into $3200,Y (low) and $3300,Y (high).
  a.Op8(0xA0, 0x00);             // LDY #0
  a.Label("next");
  a.Op16(0xB9, 0x3000);          // LDA $3000,Y
  a.Op8(0x85, 0x10);             // STA $10
  a.Op16(0xB9, 0x3100);          // LDA $3100,Y
  a.Op8(0x85, 0x11);             // STA $11
  a.Op(0x98);                    // TYA
  a.Op(0x48);                    // PHA
  a.OpLabel(0x20, "mul");        // JSR mul
  a.Op(0x68);                    // PLA
  a.Op(0xA8);                    // TAY
  a.Op8(0xA5, 0x12);             // LDA $12
  a.Op16(0x99, 0x3200);          // STA $3200,Y
  a.Op8(0xA5, 0x13);             // LDA $13
  a.Op16(0x99, 0x3300);          // STA $3300,Y
  a.Op(0xC8);                    // INY
  a.Op8(0xC0, kCount);           // CPY #kCount
  a.Branch(0xD0, "next");        // BNE next

  // Copy the unsorted data from ($30) to ($32) through pointers.
  a.Op8(0xA0, kSortLength - 1);  // LDY #63
  a.Label("copy");
  a.Op8(0xB1, 0x30);             // LDA ($30),Y
  a.Op8(0x91, 0x32);             // STA ($32),Y
  a.Op(0x88);                    // DEY
  a.Branch(0x10, "copy");        // BPL copy

  // Bubble sort $3400..$343F, unsigned ascending.
  a.Label("outer");
  a.Op8(0xA2, 0x00);             // LDX #0
  a.Op8(0x86, 0x20);             // STX $20 (swapped)
  a.Label("inner");
  a.Op16(0xBD, 0x3400);          // LDA $3400,X
  a.Op16(0xDD, 0x3401);          // CMP $3401,X
  a.Branch(0xF0, "noswap");      // BEQ noswap
  a.Branch(0x90, "noswap");      // BCC noswap
  a.Op(0xA8);                    // TAY
  a.Op16(0xBD, 0x3401);          // LDA $3401,X
  a.Op16(0x9D, 0x3400);          // STA $3400,X
  a.Op(0x98);                    // TYA
  a.Op16(0x9D, 0x3401);          // STA $3401,X
  a.Op8(0xE6, 0x20);             // INC $20
  a.Label("noswap");
  a.Op(0xE8);                    // INX
  a.Op8(0xE0, kSortLength - 1);  // CPX #63
  a.Branch(0xD0, "inner");       // BNE inner
  a.Op8(0xA5, 0x20);             // LDA $20
  a.Branch(0xD0, "outer");       // BNE outer

  // The program checks its own order: $3502 = $5A when sorted, $EE if not.
  a.Op8(0xA2, 0x00);             // LDX #0
  a.Label("check");
  a.Op16(0xBD, 0x3400);          // LDA $3400,X
  a.Op16(0xDD, 0x3401);          // CMP $3401,X
  a.Branch(0xF0, "ordered");     // BEQ ordered
  a.Branch(0xB0, "bad");         // BCS bad
  a.Label("ordered");
  a.Op(0xE8);                    // INX
  a.Op8(0xE0, kSortLength - 1);  // CPX #63
  a.Branch(0xD0, "check");       // BNE check
  a.Op8(0xA9, 0x5A);             // LDA #$5A
  a.Branch(0xD0, "verdict");     // BNE verdict
  a.Label("bad");
  a.Op8(0xA9, 0xEE);             // LDA #$EE
  a.Label("verdict");
  a.Op16(0x8D, 0x3502);          // STA $3502

  // 16-bit sum of the sorted bytes into $3500/$3501.
  a.Op8(0xA9, 0x00);             // LDA #0
  a.Op16(0x8D, 0x3500);          // STA $3500
  a.Op16(0x8D, 0x3501);          // STA $3501
  a.Op(0xAA);                    // TAX
  a.Label("sum");
  a.Op(0x18);                    // CLC
  a.Op16(0xAD, 0x3500);          // LDA $3500
  a.Op16(0x7D, 0x3400);          // ADC $3400,X
  a.Op16(0x8D, 0x3500);          // STA $3500
  a.Branch(0x90, "nocarry");     // BCC nocarry
  a.Op16(0xEE, 0x3501);          // INC $3501
  a.Label("nocarry");
  a.Op(0xE8);                    // INX
  a.Op8(0xE0, kSortLength);      // CPX #64
  a.Branch(0xD0, "sum");         // BNE sum
  a.Label("done");
  a.OpLabel(0x4C, "done");       // JMP done

  // mul: $13:$12 = $10 * $11, shift and add.
  a.Label("mul");
  a.Op8(0xA9, 0x00);             // LDA #0
  a.Op8(0xA2, 0x08);             // LDX #8
  a.Label("bit");
  a.Op8(0x46, 0x11);             // LSR $11
  a.Branch(0x90, "shift");       // BCC shift
  a.Op(0x18);                    // CLC
  a.Op8(0x65, 0x10);             // ADC $10
  a.Label("shift");
  a.Op(0x6A);                    // ROR A
  a.Op8(0x66, 0x12);             // ROR $12
  a.Op(0xCA);                    // DEX
  a.Branch(0xD0, "bit");         // BNE bit
  a.Op8(0x85, 0x13);             // STA $13
  a.Op(0x60);                    // RTS
  std::vector<uint8_t> code = a.Finish();
  *done = a.labels["done"];
  return code;
}

TEST(CpuProgram, MultiplySortAndChecksumRunToTheirResults) {
  CpuFixture f;
  f.bus.recording = false;
  int done = 0;
  f.bus.Poke(0x0200, SortAndMultiplyProgram(&done));
  std::vector<int> x(kCount), y(kCount);
  for (int i = 0; i < kCount; ++i) {
    x[i] = (i * 37 + 11) & 0xFF;
    y[i] = (i * 91 + 200) & 0xFF;
  }
  x[0] = y[0] = 0xFF;
  x[1] = 0x00;
  for (int i = 0; i < kCount; ++i) {
    f.bus.Poke(0x3000 + i, {x[i]});
    f.bus.Poke(0x3100 + i, {y[i]});
  }
  std::vector<int> data(kSortLength);
  for (int i = 0; i < kSortLength; ++i) data[i] = ((i * 73 + 5) * (i + 3)) & 0xFF;
  for (int i = 0; i < kSortLength; ++i) f.bus.Poke(0x3600 + i, {data[i]});
  f.bus.Poke(0x0030, {0x00, 0x36, 0x00, 0x34});  // source and destination pointers
  f.bus.Poke(0x3502, {0x00});

  ASSERT_GT(RunUntil(f, done, 2000), 0) << "program did not finish";

  for (int i = 0; i < kCount; ++i) {
    int product = x[i] * y[i];
    EXPECT_EQ(f.bus.memory[0x3200 + i], product & 0xFF) << i;
    EXPECT_EQ(f.bus.memory[0x3300 + i], product >> 8) << i;
  }
  std::vector<int> sorted = data;
  std::sort(sorted.begin(), sorted.end());
  int sum = 0;
  for (int i = 0; i < kSortLength; ++i) {
    EXPECT_EQ(f.bus.memory[0x3400 + i], sorted[i]) << i;
    sum += sorted[i];
  }
  EXPECT_EQ(f.bus.memory[0x3502], 0x5A);
  EXPECT_EQ(f.bus.memory[0x3500] | f.bus.memory[0x3501] << 8, sum);
  EXPECT_EQ(f.cpu.SP, 0xFFu);
}

TEST(CpuProgram, MainLoopDrivenByInterruptsBetweenSlices) {
  MiniAssembler a(0x0800);
  a.Label("reset");
  a.Op8(0xA2, 0xFF);        // LDX #$FF
  a.Op(0x9A);               // TXS
  a.Op(0x58);               // CLI
  a.Label("wait");
  a.Op8(0xA5, 0x40);        // LDA $40 (IRQ count)
  a.Op8(0xC9, 10);          // CMP #10
  a.Branch(0xD0, "wait");   // BNE wait
  a.Op(0x78);               // SEI
  a.Label("done");
  a.OpLabel(0x4C, "done");  // JMP done
  a.Label("irq");
  a.Op(0x48);               // PHA
  a.Op8(0xE6, 0x40);        // INC $40
  a.Op(0x68);               // PLA
  a.Op(0x40);               // RTI
  a.Label("nmi");
  a.Op8(0xE6, 0x41);        // INC $41
  a.Op(0x40);               // RTI
  std::vector<uint8_t> code = a.Finish();

  CpuFixture f;
  f.bus.recording = false;
  f.bus.Poke(0x0800, code);
  int nmi = a.labels["nmi"], reset = a.labels["reset"], irq = a.labels["irq"];
  f.bus.Poke(0xFFFA, {nmi & 0xFF, nmi >> 8, reset & 0xFF, reset >> 8, irq & 0xFF, irq >> 8});
  f.cpu.Reset();
  ASSERT_EQ(f.cpu.PC, static_cast<uint32_t>(reset));

  int slices = 0;
  while (f.cpu.PC != static_cast<uint32_t>(a.labels["done"]) && slices < 100) {
    f.cpu.RunSlice();
    ++slices;
    f.cpu.RaiseIrq();
    if (slices % 3 == 0) f.cpu.RaiseNmi();
  }
  EXPECT_EQ(f.bus.memory[0x40], 10);
  EXPECT_EQ(slices, 11);  // the tenth IRQ comes after slice 10
  EXPECT_EQ(f.bus.memory[0x41], 3);
  EXPECT_EQ(f.cpu.SP, 0xFFu);
  // Further IRQs stay pending once the program has masked them.
  f.cpu.RaiseIrq();
  f.cpu.RunSlice();
  EXPECT_EQ(f.cpu.irqPending, 1);
  EXPECT_EQ(f.bus.memory[0x40], 10);
}

}  // namespace
}  // namespace rq4800

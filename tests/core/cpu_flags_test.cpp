// Results and flags of arithmetic, compares, BIT, shifts, transfers and the
// stack. ADC and SBC are binary even with D set.
#include <gtest/gtest.h>

#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

constexpr uint32_t C = 0x01, Z = 0x02, I = 0x04, D = 0x08, V = 0x40, N = 0x80;

// The registers, m at 0x0080 for the memory forms and s at 0x0100 for the stack.
struct State {
  uint32_t a = 0, x = 0, y = 0, sp = 0xFF, p = 0, m = 0, s = 0;
  bool operator==(const State&) const = default;
  friend std::ostream& operator<<(std::ostream& os, const State& s) {
    return os << std::hex << "A=" << s.a << " X=" << s.x << " Y=" << s.y << " SP=" << s.sp << " P=" << s.p
              << " m=" << s.m << " s=" << s.s;
  }
};
struct Row { int opcode, operand; State before, after; };  // operand 0x80 for the memory forms

void Check(std::initializer_list<Row> rows) {
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << "opcode " << r.opcode << " operand " << r.operand);
    testing::CpuFixture f(0x0200, {r.opcode, r.operand, 0x00});
    f.bus.Poke(0x0080, {static_cast<int>(r.before.m)});
    f.bus.Poke(0x0100, {static_cast<int>(r.before.s)});
    f.cpu.A = r.before.a, f.cpu.X = r.before.x, f.cpu.Y = r.before.y, f.cpu.SP = r.before.sp, f.cpu.P = r.before.p;
    f.Step();
    EXPECT_EQ((State{f.cpu.A, f.cpu.X, f.cpu.Y, f.cpu.SP, f.cpu.P, f.bus.memory[0x80], f.bus.memory[0x100]}), r.after);
  }
}

TEST(CpuFlags, ResultsAndFlagsOfEachInstructionClass) {
  Check({
      // ADC and SBC
      {0x69, 0x01, {.a = 0x09, .p = D}, {.a = 0x0A, .p = D}},                  // no decimal arithmetic
      {0x69, 0x50, {.a = 0x50}, {.a = 0xA0, .p = N | V}},                      // positive overflow
      {0x69, 0x90, {.a = 0xD0}, {.a = 0x60, .p = V | C}},                      // negative overflow
      {0x69, 0x00, {.a = 0xFF, .p = C}, {.a = 0x00, .p = Z | C}},              // carry in wraps to zero
      {0x69, 0x00, {.a = 0x7F, .p = C}, {.a = 0x80, .p = N | V}},              // carry in overflows
      {0x69, 0x01, {.a = 0x01, .p = N | Z | V}, {.a = 0x02}},                  // old N, Z, V cleared
      {0x69, 0x80, {.a = 0x80, .p = I}, {.a = 0x00, .p = I | Z | V | C}},      // other flags kept
      {0xE9, 0xB0, {.a = 0x50, .p = C}, {.a = 0xA0, .p = N | V}},              // overflow into negative
      {0xE9, 0xF0, {.a = 0x50, .p = C}, {.a = 0x60}},                          // borrow, no overflow
      {0xE9, 0x30, {.a = 0x50, .p = C}, {.a = 0x20, .p = C}},                  // no borrow
      {0xE9, 0x50, {.a = 0x50}, {.a = 0xFF, .p = N}},                          // borrow in
      {0xE9, 0x50, {.a = 0x50, .p = C}, {.a = 0x00, .p = Z | C}},              // exactly zero: no borrow
      {0xE9, 0x4F, {.a = 0x50}, {.a = 0x00, .p = Z | C}},                      // zero with the borrow in
      {0xE9, 0x01, {.a = 0x10, .p = C | D}, {.a = 0x0F, .p = C | D}},          // no decimal arithmetic
      {0xE9, 0x01, {.a = 0x80, .p = C}, {.a = 0x7F, .p = V | C}},              // overflow into positive
      {0xE9, 0xFF, {.a = 0x00}, {.a = 0x00, .p = Z}},                          // 0 - 255 - 1 = -256
      // compares and BIT set flags without changing registers
      {0xC9, 0x20, {.a = 0x10, .p = V}, {.a = 0x10, .p = N | V}},
      {0xC9, 0x20, {.a = 0x20}, {.a = 0x20, .p = Z | C}},
      {0xC9, 0x10, {.a = 0x20}, {.a = 0x20, .p = C}},
      {0xE0, 0x01, {.x = 0x00}, {.x = 0x00, .p = N}},                          // CPX
      {0xE0, 0x00, {.x = 0x80}, {.x = 0x80, .p = N | C}},
      {0xC0, 0xFF, {.y = 0xFF}, {.y = 0xFF, .p = Z | C}},                      // CPY
      {0xC0, 0x81, {.y = 0x01}, {.y = 0x01, .p = N}},                          // 0x01 - 0x81 = 0x80
      // BIT: N and V from memory, Z from the AND
      {0x24, 0x80, {.a = 0x3F, .p = C, .m = 0xC0}, {.a = 0x3F, .p = N | V | Z | C, .m = 0xC0}},
      {0x2C, 0x80, {.a = 0x3F, .p = N | V | Z, .m = 0x3F}, {.a = 0x3F, .m = 0x3F}},
      // shifts, rotates, increments
      {0x0A, 0, {.a = 0x81}, {.a = 0x02, .p = C}},                             // ASL
      {0x0A, 0, {.a = 0x40, .p = C}, {.a = 0x80, .p = N}},                     // ASL ignores carry in
      {0x4A, 0, {.a = 0x81, .p = N}, {.a = 0x40, .p = C}},                     // LSR clears N
      {0x4A, 0, {.a = 0x01}, {.a = 0x00, .p = Z | C}},                         // LSR to zero
      {0x2A, 0, {.a = 0x80, .p = C}, {.a = 0x01, .p = C}},                     // ROL
      {0x2A, 0, {.a = 0x80}, {.a = 0x00, .p = Z | C}},                         // ROL to zero
      {0x6A, 0, {.a = 0x01, .p = C}, {.a = 0x80, .p = N | C}},                 // ROR
      {0x66, 0x80, {.p = C, .m = 0x01}, {.p = N | C, .m = 0x80}},              // ROR zp
      {0x0E, 0x80, {.m = 0xC0}, {.p = N | C, .m = 0x80}},                      // ASL abs
      {0xE6, 0x80, {.p = C, .m = 0xFF}, {.p = Z | C, .m = 0x00}},              // INC wraps
      {0xC6, 0x80, {.m = 0x00}, {.p = N, .m = 0xFF}},                          // DEC wraps
      // transfers, steps, flag instructions
      {0x9A, 0, {.x = 0, .p = N}, {.x = 0, .sp = 0, .p = N}},                  // TXS leaves the flags
      {0xBA, 0, {.sp = 0, .p = N}, {.sp = 0, .p = Z}},                         // TSX sets them
      {0xCA, 0, {.x = 0}, {.x = 0xFF, .p = N}},                                // DEX wraps
      {0x98, 0, {.a = 1, .y = 0x80, .p = Z}, {.a = 0x80, .y = 0x80, .p = N}},  // TYA
      {0x38, 0, {.p = V}, {.p = V | C}},                                       // SEC
      {0x78, 0, {}, {.p = I}},                                                 // SEI
      {0xB8, 0, {.p = 0xCF}, {.p = 0x8F}},                                     // CLV
      {0x18, 0, {.p = 0xCF}, {.p = 0xCE}},                                     // CLC
      {0xD8, 0, {.p = 0xCF}, {.p = 0xC7}},                                     // CLD
      // the stack wraps in page one; the status carries bits 5 and 4 only there
      {0x08, 0, {.sp = 0x00}, {.sp = 0xFF, .s = 0x30}},                                 // PHP
      {0x28, 0, {.sp = 0xFF, .s = 0xFF}, {.sp = 0x00, .p = 0xCF, .s = 0xFF}},           // PLP
      {0x48, 0, {.a = 0x5C, .sp = 0x00}, {.a = 0x5C, .sp = 0xFF, .s = 0x5C}},           // PHA
      {0x68, 0, {.a = 0x5C, .sp = 0xFF, .p = N}, {.sp = 0x00, .p = Z}},                 // PLA
  });
}

}  // namespace
}  // namespace rq4800

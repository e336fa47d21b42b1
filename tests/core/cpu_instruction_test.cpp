// The processor's instructions: the exact bus traffic of each addressing mode
// (the I/O ports have read side effects, so an extra, missing or reordered
// access is a fault), and every opcode checked against the NMOS 6502 opcode
// map written out here, independently of the processor's own table.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "core/debug_log.h"
#include "core/opcode_table.h"
#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using namespace testing;

// Operand bytes are fetched high byte first, then pointers, then the data;
// stores never read their target, read-modify-write reads once and writes once.
TEST(CpuAddressing, EachModeMakesExactlyItsAccessesInOrder) {
  struct Case { const char* name; std::vector<int> code; uint32_t x, y; Trace expected; };  // code at 0x0200, A 0x5A
  const Case cases[] = {
      {"LDA imm", {0xA9, 0x42}, 0, 0, {R(0x200, 0xA9), R(0x201, 0x42)}},
      {"LDA zp", {0xA5, 0x80}, 0, 0, {R(0x200, 0xA5), R(0x201, 0x80), R(0x80, 0x11)}},
      {"LDA zp,X wraps in page 0", {0xB5, 0xF0}, 0x20, 0, {R(0x200, 0xB5), R(0x201, 0xF0), R(0x10, 0x22)}},
      {"LDX zp,Y wraps in page 0", {0xB6, 0xFF}, 0, 0x11, {R(0x200, 0xB6), R(0x201, 0xFF), R(0x10, 0x22)}},
      {"LDA abs", {0xAD, 0x34, 0x12}, 0, 0, {R(0x200, 0xAD), R(0x202, 0x12), R(0x201, 0x34), R(0x1234, 0x33)}},
      {"LDA abs,X", {0xBD, 0xF0, 0x12}, 0x20, 0, {R(0x200, 0xBD), R(0x202, 0x12), R(0x201, 0xF0), R(0x1310, 0x44)}},
      {"LDA abs,Y wraps at 64 KB", {0xB9, 0xF0, 0xFF}, 0, 0x20,
       {R(0x200, 0xB9), R(0x202, 0xFF), R(0x201, 0xF0), R(0x0010, 0x22)}},
      {"LDA (zp,X) pointer wraps in page 0", {0xA1, 0xFE}, 0x01, 0,
       {R(0x200, 0xA1), R(0x201, 0xFE), R(0x00, 0x13), R(0xFF, 0x10), R(0x1310, 0x44)}},
      {"LDA (zp),Y pointer at 0xFF", {0xB1, 0xFF}, 0, 0x24,
       {R(0x200, 0xB1), R(0x201, 0xFF), R(0x00, 0x13), R(0xFF, 0x10), R(0x1334, 0x55)}},
      {"STA (zp),Y", {0x91, 0x40}, 0, 0x20,
       {R(0x200, 0x91), R(0x201, 0x40), R(0x41, 0x12), R(0x40, 0xF0), W(0x1310, 0x5A)}},
      {"STX abs", {0x8E, 0x00, 0x30}, 0x81, 0, {R(0x200, 0x8E), R(0x202, 0x30), R(0x201, 0x00), W(0x3000, 0x81)}},
      {"STY zp,X wraps in page 0", {0x94, 0x7F}, 0x81, 0x66, {R(0x200, 0x94), R(0x201, 0x7F), W(0x00, 0x66)}},
      {"INC abs,X", {0xFE, 0xFF, 0x12}, 1, 0,
       {R(0x200, 0xFE), R(0x202, 0x12), R(0x201, 0xFF), R(0x1300, 0xFF), W(0x1300, 0x00)}},
      {"JMP (abs) keeps the NMOS page wrap", {0x6C, 0xFF, 0x12}, 0, 0,
       {R(0x200, 0x6C), R(0x202, 0x12), R(0x201, 0xFF), R(0x1200, 0x56), R(0x12FF, 0x34)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CpuFixture f(0x0200, c.code);
    for (auto [address, value] : {std::pair{0x00, 0x13}, {0x10, 0x22}, {0x40, 0xF0}, {0x41, 0x12}, {0x80, 0x11},
                                  {0xFF, 0x10}, {0x1200, 0x56}, {0x1234, 0x33}, {0x12FF, 0x34}, {0x1300, 0xFF},
                                  {0x1310, 0x44}, {0x1334, 0x55}})
      f.bus.Poke(address, {value});
    f.cpu.A = 0x5A;
    f.cpu.X = c.x;
    f.cpu.Y = c.y;
    f.Step();
    EXPECT_EQ(f.bus.trace, c.expected);
    EXPECT_EQ(f.cpu.PC, c.code[0] == 0x6C ? 0x5634u : 0x200u + c.code.size());
  }
}

TEST(CpuAddressing, SubroutineCallPushesBeforeReadingItsTargetAndReturnAddsOne) {
  CpuFixture f(0x12FD, {0x20, 0x00, 0x40});  // JSR $4000
  f.bus.Poke(0x4000, {0x60});              // RTS
  f.Step();
  EXPECT_EQ(f.bus.trace, (Trace{R(0x12FD, 0x20), W(0x1FF, 0x12), W(0x1FE, 0xFF), R(0x12FF, 0x40), R(0x12FE, 0x00)}));
  EXPECT_EQ((std::array{f.cpu.PC, f.cpu.SP}), (std::array<uint32_t, 2>{0x4000, 0xFD}));
  f.Step();
  EXPECT_EQ(f.bus.trace, (Trace{R(0x4000, 0x60), R(0x1FE, 0xFF), R(0x1FF, 0x12)}));
  EXPECT_EQ((std::array{f.cpu.PC, f.cpu.SP}), (std::array<uint32_t, 2>{0x1300, 0xFF}));  // 0x12FF + 1 carries
}

TEST(CpuAddressing, BranchTargetsAreRelativeToTheNextInstruction) {
  struct Case { int pc, opcode, offset; uint32_t p; int target, cycles; };
  const Case cases[] = {
      {0x10FC, 0xD0, 0x04, 0x00, 0x1102, 4},  // BNE taken to another page
      {0x1000, 0xD0, 0xFE, 0x00, 0x1000, 3},  // to itself
      {0x1000, 0x10, 0x80, 0x00, 0x0F82, 4},  // BPL backwards across a page
      {0xFFF0, 0xB0, 0x7F, 0x01, 0x0071, 4},  // BCS wraps at 64 KB
      {0x0000, 0x30, 0xF0, 0x80, 0xFFF2, 4},  // BMI wraps below 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pc);
    CpuFixture f(c.pc, {c.opcode, c.offset});
    f.cpu.P = c.p;
    EXPECT_EQ(f.Step(), c.cycles * 12);
    EXPECT_EQ(f.cpu.PC, static_cast<uint32_t>(c.target));
    EXPECT_EQ(f.bus.trace.size(), 2u);
  }
}

// Row = high nibble; "-" is unsupported.
const char* const kMap[16] = {
    "BRK|ORA (zp,X)|-|-|-|ORA zp|ASL zp|-|PHP|ORA imm|ASL A|-|-|ORA abs|ASL abs|-",
    "BPL rel|ORA (zp),Y|-|-|-|ORA zp,X|ASL zp,X|-|CLC|ORA abs,Y|-|-|-|ORA abs,X|ASL abs,X|-",
    "JSR abs|AND (zp,X)|-|-|BIT zp|AND zp|ROL zp|-|PLP|AND imm|ROL A|-|BIT abs|AND abs|ROL abs|-",
    "BMI rel|AND (zp),Y|-|-|-|AND zp,X|ROL zp,X|-|SEC|AND abs,Y|-|-|-|AND abs,X|ROL abs,X|-",
    "RTI|EOR (zp,X)|-|-|-|EOR zp|LSR zp|-|PHA|EOR imm|LSR A|-|JMP abs|EOR abs|LSR abs|-",
    "BVC rel|EOR (zp),Y|-|-|-|EOR zp,X|LSR zp,X|-|CLI|EOR abs,Y|-|-|-|EOR abs,X|LSR abs,X|-",
    "RTS|ADC (zp,X)|-|-|-|ADC zp|ROR zp|-|PLA|ADC imm|ROR A|-|JMP (abs)|ADC abs|ROR abs|-",
    "BVS rel|ADC (zp),Y|-|-|-|ADC zp,X|ROR zp,X|-|SEI|ADC abs,Y|-|-|-|ADC abs,X|ROR abs,X|-",
    "-|STA (zp,X)|-|-|STY zp|STA zp|STX zp|-|DEY|-|TXA|-|STY abs|STA abs|STX abs|-",
    "BCC rel|STA (zp),Y|-|-|STY zp,X|STA zp,X|STX zp,Y|-|TYA|STA abs,Y|TXS|-|-|STA abs,X|-|-",
    "LDY imm|LDA (zp,X)|LDX imm|-|LDY zp|LDA zp|LDX zp|-|TAY|LDA imm|TAX|-|LDY abs|LDA abs|LDX abs|-",
    "BCS rel|LDA (zp),Y|-|-|LDY zp,X|LDA zp,X|LDX zp,Y|-|CLV|LDA abs,Y|TSX|-|LDY abs,X|LDA abs,X|LDX abs,Y|-",
    "CPY imm|CMP (zp,X)|-|-|CPY zp|CMP zp|DEC zp|-|INY|CMP imm|DEX|-|CPY abs|CMP abs|DEC abs|-",
    "BNE rel|CMP (zp),Y|-|-|-|CMP zp,X|DEC zp,X|-|CLD|CMP abs,Y|-|-|-|CMP abs,X|DEC abs,X|-",
    "CPX imm|SBC (zp,X)|-|-|CPX zp|SBC zp|INC zp|-|INX|SBC imm|NOP|-|CPX abs|SBC abs|INC abs|-",
    "BEQ rel|SBC (zp),Y|-|-|-|SBC zp,X|INC zp,X|-|SED|SBC abs,Y|-|-|-|SBC abs,X|INC abs,X|-",
};
// Mnemonics charged by mode: reads, stores, read-modify-write; and their cycles
// by mode in that order (0 where the class has no such mode).
const char* const kClasses[3] = {"LDA LDX LDY ORA AND EOR ADC SBC CMP CPX CPY BIT", "STA STX STY",
                                 "ASL LSR ROL ROR INC DEC"};
const std::map<std::string, std::array<int, 3>> kCyclesByMode = {
    {"A", {0, 0, 2}},   {"imm", {2, 0, 0}},   {"zp", {3, 3, 5}},    {"zp,X", {4, 4, 6}},   {"zp,Y", {4, 4, 0}},
    {"abs", {4, 4, 6}}, {"abs,X", {4, 5, 7}}, {"abs,Y", {4, 5, 0}}, {"(zp,X)", {6, 6, 0}}, {"(zp),Y", {5, 6, 0}}};

struct Entry {
  std::string name, mode;  // name empty when unsupported, mode empty when implied
  bool Is(const char* names) const { return !name.empty() && std::string(names).find(name) != std::string::npos; }
};

std::vector<Entry> ParseMap() {
  std::vector<Entry> map;
  for (const char* row : kMap) {
    std::stringstream cells(row);
    for (std::string cell; std::getline(cells, cell, '|');)
      map.push_back(cell == "-" ? Entry{} : Entry{cell.substr(0, 3), cell.size() > 3 ? cell.substr(4) : ""});
  }
  return map;
}

int Length(const Entry& e) {
  return e.mode.empty() || e.mode == "A" ? 1 : e.mode.find("abs") != std::string::npos ? 3 : 2;
}

// Cycles without page crossing or a taken branch.
int Cycles(const Entry& e) {
  for (int k = 0; k < 3; ++k)
    if (e.Is(kClasses[k])) return kCyclesByMode.at(e.mode)[k];
  if (e.Is("PHA PHP")) return 3;
  if (e.Is("PLA PLP")) return 4;
  if (e.name == "JMP") return e.mode == "abs" ? 3 : 5;
  if (e.Is("JSR RTS RTI")) return 6;
  return e.name == "BRK" ? 7 : 2;
}

// Opcode and operand bytes, pointer bytes, then data and stack accesses.
int Accesses(const Entry& e) {
  int n = Length(e);
  if (e.mode.starts_with("(")) n += 2;
  if ((e.Is(kClasses[0]) && e.mode != "imm") || e.Is(kClasses[1]) || e.Is("PHA PHP PLA PLP")) n += 1;
  if (e.Is(kClasses[2]) && e.mode != "A") n += 2;
  if (e.Is("JSR RTS")) n += 2;
  if (e.name == "RTI") n += 3;
  if (e.name == "BRK") n += 5;  // three pushes, two vector bytes
  return n;
}

// Each opcode outside the documented set, run after an INX in the same slice,
// stops it with the debug line and the exception, PC past the opcode and
// nothing else changed.
void ExpectUnsupported(int opcode) {
  CpuFixture f(0x1FFF, {0xE8, opcode, 0x10, 0x20});
  f.cpu.A = 1, f.cpu.X = 2, f.cpu.Y = 3, f.cpu.P = 0x41;
  char what[64], line[64];
  std::snprintf(what, sizeof what, "unsupported instruction %02x at 2000", opcode);
  std::snprintf(line, sizeof line, "不支持的指令 %x at 2000\n", opcode);
  DebugLogCapture log;
  try {
    f.cpu.RunSlice();
    ADD_FAILURE() << "no exception";
  } catch (const UnsupportedInstruction& e) {
    EXPECT_EQ(e.opcode, opcode);
    EXPECT_EQ(e.address, 0x2000);
    EXPECT_STREQ(e.what(), what);
  }
  EXPECT_EQ(log.text, line);
  EXPECT_EQ((std::array{f.cpu.PC, f.cpu.A, f.cpu.X, f.cpu.Y, f.cpu.P, f.cpu.SP}),
            (std::array<uint32_t, 6>{0x2001, 1, 3, 3, 0x41, 0xFF}));
  EXPECT_EQ(f.cpu.cycles, 2 * 12);
  for (const Access& a : f.bus.trace) EXPECT_EQ(a.kind, 'R');
}

// Each documented opcode is run with an index that keeps indexed accesses in
// their page and one that crosses it (one cycle more for loads, stores and
// read-modify-write alike, no extra access). Branches go back 16 bytes, with
// only their own flag set, then only the others, one cycle more when taken.
TEST(CpuOpcodeMap, EveryOpcodeBehavesAsTheMapSays) {
  const std::map<op::Mode, std::string> modeText = {
      {op::IMP, ""},      {op::ACC, "A"},      {op::IMM, "imm"},       {op::ZP, "zp"},         {op::ZPX, "zp,X"},
      {op::ZPY, "zp,Y"},  {op::ABS, "abs"},    {op::ABX, "abs,X"},     {op::ABY, "abs,Y"},     {op::IZX, "(zp,X)"},
      {op::IZY, "(zp),Y"}, {op::IND, "(abs)"}, {op::REL, "rel"}};
  std::vector<Entry> map = ParseMap();
  ASSERT_EQ(map.size(), 256u);
  int documented = 0, crossings = 0;
  for (int opcode = 0; opcode < 256; ++opcode) {
    const Entry& e = map[opcode];
    SCOPED_TRACE(::testing::Message() << std::hex << opcode << " " << e.name << " " << e.mode);
    op::Opcode mine = op::kOpcodeTable[opcode];
    if (e.name.empty()) {
      EXPECT_EQ(mine.mnemonic, op::___);
      ExpectUnsupported(opcode);
      continue;
    }
    ++documented;
    EXPECT_EQ(op::kMnemonicNames[mine.mnemonic], e.name);
    EXPECT_EQ(modeText.at(mine.mode), e.mode);
    EXPECT_EQ(op::OperandBytes(mine.mode) + 1, Length(e));
    EXPECT_EQ(op::BaseCycles(mine), Cycles(e));
    for (uint32_t index : {0x0Fu, 0x20u}) {
      SCOPED_TRACE(index);
      CpuFixture f(0x0480, {opcode, 0xF0, 0x12});  // base 0x12F0 for abs
      f.bus.Poke(0x00F0, {0xF0, 0x12});          // and for (zp),Y
      f.cpu.SP = 0x80;
      uint32_t flag = e.Is("BPL BMI") ? 0x80 : e.Is("BVC BVS") ? 0x40 : e.Is("BCC BCS") ? 0x01
                      : e.Is("BNE BEQ") ? 0x02 : 0;
      f.cpu.P = index == 0x0F ? flag : 0xC3 & ~flag;
      f.cpu.X = f.cpu.Y = index;
      bool crosses = index == 0x20 && (e.mode == "abs,X" || e.mode == "abs,Y" || e.mode == "(zp),Y");
      bool taken = flag && ((f.cpu.P & flag) != 0) == e.Is("BMI BVS BCS BEQ");
      crossings += crosses;
      EXPECT_EQ(f.Step(), (Cycles(e) + crosses + taken) * 12);
      EXPECT_EQ(static_cast<int>(f.bus.trace.size()), Accesses(e));
      if (taken) {
        EXPECT_EQ(f.cpu.PC, 0x0472u);
      } else if (!e.Is("JMP JSR RTS RTI BRK")) {
        EXPECT_EQ(f.cpu.PC, 0x0480u + static_cast<uint32_t>(Length(e)));
      }
    }
  }
  EXPECT_EQ(documented, 151);
  EXPECT_EQ(crossings, 32);
  CpuFixture f;  // an out-of-range value executed directly fails like an unsupported opcode
  EXPECT_THROW(f.cpu.Execute(0x1FF), UnsupportedInstruction);
}

}  // namespace
}  // namespace rq4800

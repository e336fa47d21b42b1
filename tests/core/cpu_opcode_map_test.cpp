// Every opcode checked against an opcode map written out here independently
// of the processor's own table: mnemonic, mode, length, cost by class and
// mode, and the number of bus accesses. The instructions are executed, so a
// wrong handler shows up even when the table looks right.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/opcode_table.h"
#include "tests/core/recording_bus.h"

namespace rq4800 {
namespace {

using testing::CpuFixture;

// The NMOS 6502 opcode map, row = high nibble; "-" is unsupported.
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

struct Entry {
  std::string mnemonic;  // empty when unsupported
  std::string mode;      // "" for implied
};

std::vector<Entry> ParseMap() {
  std::vector<Entry> entries;
  for (const char* row : kMap) {
    std::stringstream line(row);
    std::string cell;
    while (std::getline(line, cell, '|')) {
      if (cell == "-") {
        entries.push_back({});
      } else {
        size_t blank = cell.find(' ');
        entries.push_back({cell.substr(0, 3), blank == std::string::npos ? "" : cell.substr(blank + 1)});
      }
    }
  }
  return entries;
}

bool In(const std::string& m, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (m == n) return true;
  return false;
}

bool IsRead(const std::string& m) {
  return In(m, {"LDA", "LDX", "LDY", "ORA", "AND", "EOR", "ADC", "SBC", "CMP", "CPX", "CPY", "BIT"});
}
bool IsStore(const std::string& m) { return In(m, {"STA", "STX", "STY"}); }
bool IsModify(const std::string& m) { return In(m, {"ASL", "LSR", "ROL", "ROR", "INC", "DEC"}); }

// Cycles without page crossing or a taken branch, from the cost tables.
int ExpectedCycles(const Entry& e) {
  static const std::map<std::string, std::vector<int>> byMode = {
      //           A  imm zp zpi abs absi izx izy
      {"read", {0, 2, 3, 4, 4, 4, 6, 5}},
      {"store", {0, 0, 3, 4, 4, 5, 6, 6}},
      {"modify", {2, 0, 5, 6, 6, 7, 0, 0}},
  };
  auto column = [&] {
    const std::string& m = e.mode;
    if (m == "A") return 0;
    if (m == "imm") return 1;
    if (m == "zp") return 2;
    if (m == "zp,X" || m == "zp,Y") return 3;
    if (m == "abs") return 4;
    if (m == "abs,X" || m == "abs,Y") return 5;
    if (m == "(zp,X)") return 6;
    return 7;
  };
  if (IsRead(e.mnemonic)) return byMode.at("read")[column()];
  if (IsStore(e.mnemonic)) return byMode.at("store")[column()];
  if (IsModify(e.mnemonic)) return byMode.at("modify")[column()];
  if (e.mode == "rel") return 2;
  if (In(e.mnemonic, {"PHA", "PHP"})) return 3;
  if (In(e.mnemonic, {"PLA", "PLP"})) return 4;
  if (e.mnemonic == "JMP") return e.mode == "abs" ? 3 : 5;
  if (In(e.mnemonic, {"JSR", "RTS", "RTI"})) return 6;
  if (e.mnemonic == "BRK") return 7;
  return 2;
}

int ExpectedLength(const Entry& e) {
  if (e.mode.empty() || e.mode == "A") return 1;
  if (e.mode.find("abs") != std::string::npos) return 3;
  return 2;
}

// Opcode fetch, operand bytes, pointer bytes, data and stack accesses.
int ExpectedAccesses(const Entry& e) {
  int n = ExpectedLength(e);
  if (e.mode == "(zp,X)" || e.mode == "(zp),Y" || e.mode == "(abs)") n += 2;
  if (IsRead(e.mnemonic) && e.mode != "imm") n += 1;
  if (IsStore(e.mnemonic)) n += 1;
  if (IsModify(e.mnemonic) && e.mode != "A") n += 2;
  if (In(e.mnemonic, {"PHA", "PHP", "PLA", "PLP"})) n += 1;
  if (In(e.mnemonic, {"JSR", "RTS"})) n += 2;
  if (e.mnemonic == "RTI") n += 3;
  if (e.mnemonic == "BRK") n += 5;  // three pushes, two vector bytes
  return n;
}

const char* ModeText(op::Mode mode) {
  switch (mode) {
    case op::IMP: return "";
    case op::ACC: return "A";
    case op::IMM: return "imm";
    case op::ZP: return "zp";
    case op::ZPX: return "zp,X";
    case op::ZPY: return "zp,Y";
    case op::ABS: return "abs";
    case op::ABX: return "abs,X";
    case op::ABY: return "abs,Y";
    case op::IZX: return "(zp,X)";
    case op::IZY: return "(zp),Y";
    case op::IND: return "(abs)";
    case op::REL: return "rel";
  }
  return "?";
}

TEST(CpuOpcodeMap, TableAgreesWithTheInstructionSet) {
  std::vector<Entry> map = ParseMap();
  ASSERT_EQ(map.size(), 256u);
  int documented = 0;
  for (int opcode = 0; opcode < 256; ++opcode) {
    SCOPED_TRACE(opcode);
    const Entry& e = map[opcode];
    op::Opcode mine = op::kOpcodeTable[opcode];
    if (e.mnemonic.empty()) {
      EXPECT_EQ(mine.mnemonic, op::___);
      continue;
    }
    ++documented;
    EXPECT_EQ(op::kMnemonicNames[mine.mnemonic], e.mnemonic);
    EXPECT_EQ(ModeText(mine.mode), e.mode);
    EXPECT_EQ(op::OperandBytes(mine.mode) + 1, ExpectedLength(e));
    EXPECT_EQ(op::BaseCycles(mine), ExpectedCycles(e));
  }
  EXPECT_EQ(documented, 151);
}

// Runs every documented opcode with operands that cross no page and a
// forward branch within the page, and checks cost, length and bus traffic.
TEST(CpuOpcodeMap, EveryDocumentedOpcodeCostsAndAccessesAsItsClassSays) {
  std::vector<Entry> map = ParseMap();
  for (int opcode = 0; opcode < 256; ++opcode) {
    const Entry& e = map[opcode];
    if (e.mnemonic.empty()) continue;
    SCOPED_TRACE(e.mnemonic + " " + e.mode);
    CpuFixture f(0x0400);
    f.bus.Poke(0x0400, {opcode, 0x10, 0x20});
    f.cpu.SP = 0x80;
    f.cpu.P = 0x00;
    int units = f.Step();
    int cycles = ExpectedCycles(e);
    bool branchTaken = e.mode == "rel" && In(e.mnemonic, {"BPL", "BVC", "BCC", "BNE"});
    if (branchTaken) cycles += 1;
    EXPECT_EQ(units, cycles * 12);
    EXPECT_EQ(static_cast<int>(f.bus.trace.size()), ExpectedAccesses(e));
    bool jumps = In(e.mnemonic, {"JMP", "JSR", "RTS", "RTI", "BRK"});
    if (branchTaken) {
      EXPECT_EQ(f.cpu.PC, 0x0412u);
    } else if (!jumps) {
      EXPECT_EQ(f.cpu.PC, 0x0400u + static_cast<uint32_t>(ExpectedLength(e)));
    }
  }
}

// Indexed accesses that cross a page cost one cycle more, whatever the class.
TEST(CpuOpcodeMap, PageCrossingCostsOneMoreForLoadsStoresAndModifies) {
  std::vector<Entry> map = ParseMap();
  int checked = 0;
  for (int opcode = 0; opcode < 256; ++opcode) {
    const Entry& e = map[opcode];
    if (e.mode != "abs,X" && e.mode != "abs,Y" && e.mode != "(zp),Y") continue;
    SCOPED_TRACE(e.mnemonic + " " + e.mode);
    CpuFixture f(0x0400);
    f.bus.Poke(0x0400, {opcode, 0xF0, 0x12});  // base 0x12F0 for abs
    f.bus.Poke(0x00F0, {0xF0, 0x12});          // pointer for (zp),Y
    f.cpu.X = f.cpu.Y = 0x20;
    EXPECT_EQ(f.Step(), (ExpectedCycles(e) + 1) * 12);

    CpuFixture g(0x0400);
    g.bus.Poke(0x0400, {opcode, 0xF0, 0x12});
    g.bus.Poke(0x00F0, {0xF0, 0x12});
    g.cpu.X = g.cpu.Y = 0x0F;
    EXPECT_EQ(g.Step(), ExpectedCycles(e) * 12);
    ++checked;
  }
  EXPECT_EQ(checked, 32);
}

}  // namespace
}  // namespace rq4800

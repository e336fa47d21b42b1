#pragma once
// The NMOS 6502 opcode map as data: mnemonic and addressing mode of each of
// the 256 opcodes, laid out as the 16 x 16 grid of the instruction set
// (row = high nibble, column = low nibble). Length and cost class follow from
// these two. The processor compiles its dispatch from this table and the
// disassembler prints from it, so the two can never disagree.
//
// Only the 151 documented opcodes are filled in; every other cell is ___,
// which the processor treats as an unsupported instruction.
#include <cstdint>

namespace rq4800 {
namespace op {

enum Mnemonic : uint8_t {
  ___,  // unsupported
  ADC, AND, ASL, BCC, BCS, BEQ, BIT, BMI, BNE, BPL, BRK, BVC, BVS, CLC,
  CLD, CLI, CLV, CMP, CPX, CPY, DEC, DEX, DEY, EOR, INC, INX, INY, JMP,
  JSR, LDA, LDX, LDY, LSR, NOP, ORA, PHA, PHP, PLA, PLP, ROL, ROR, RTI,
  RTS, SBC, SEC, SED, SEI, STA, STX, STY, TAX, TAY, TSX, TXA, TXS, TYA,
  kMnemonicCount
};

inline constexpr char kMnemonicNames[kMnemonicCount][4] = {
    "   ",
    "ADC", "AND", "ASL", "BCC", "BCS", "BEQ", "BIT", "BMI", "BNE", "BPL", "BRK", "BVC", "BVS", "CLC",
    "CLD", "CLI", "CLV", "CMP", "CPX", "CPY", "DEC", "DEX", "DEY", "EOR", "INC", "INX", "INY", "JMP",
    "JSR", "LDA", "LDX", "LDY", "LSR", "NOP", "ORA", "PHA", "PHP", "PLA", "PLP", "ROL", "ROR", "RTI",
    "RTS", "SBC", "SEC", "SED", "SEI", "STA", "STX", "STY", "TAX", "TAY", "TSX", "TXA", "TXS", "TYA",
};

enum Mode : uint8_t {
  IMP,  // implied (no operand)
  ACC,  // accumulator
  IMM,  // #b
  ZP,   // b
  ZPX,  // b,X (wraps in page 0)
  ZPY,  // b,Y (wraps in page 0)
  ABS,  // hi lo
  ABX,  // hi lo,X
  ABY,  // hi lo,Y
  IZX,  // (b,X)
  IZY,  // (b),Y
  IND,  // (hi lo), JMP only, with the NMOS page wrap of the pointer
  REL,  // branches
};

// How an instruction with a memory operand is charged (cycles by mode).
enum CostClass : uint8_t {
  kNone,    // unsupported opcode: no cost
  kRead,    // loads, logic, arithmetic, compares, BIT
  kStore,   // STA, STX, STY
  kModify,  // read-modify-write: shifts, rotates, INC, DEC
  kBranch,  // 2, +1 taken, +1 more to another page
  kFixed,   // everything else: a fixed number of cycles
};

struct Opcode {
  Mnemonic mnemonic;
  Mode mode;
};

// clang-format off
inline constexpr Opcode kOpcodeTable[256] = {
//         x0         x1         x2         x3         x4         x5         x6         x7         x8         x9         xA         xB         xC         xD         xE         xF
/* 0x */ {BRK,IMP}, {ORA,IZX}, {___,IMP}, {___,IMP}, {___,IMP}, {ORA,ZP }, {ASL,ZP }, {___,IMP}, {PHP,IMP}, {ORA,IMM}, {ASL,ACC}, {___,IMP}, {___,IMP}, {ORA,ABS}, {ASL,ABS}, {___,IMP},
/* 1x */ {BPL,REL}, {ORA,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {ORA,ZPX}, {ASL,ZPX}, {___,IMP}, {CLC,IMP}, {ORA,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {ORA,ABX}, {ASL,ABX}, {___,IMP},
/* 2x */ {JSR,ABS}, {AND,IZX}, {___,IMP}, {___,IMP}, {BIT,ZP }, {AND,ZP }, {ROL,ZP }, {___,IMP}, {PLP,IMP}, {AND,IMM}, {ROL,ACC}, {___,IMP}, {BIT,ABS}, {AND,ABS}, {ROL,ABS}, {___,IMP},
/* 3x */ {BMI,REL}, {AND,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {AND,ZPX}, {ROL,ZPX}, {___,IMP}, {SEC,IMP}, {AND,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {AND,ABX}, {ROL,ABX}, {___,IMP},
/* 4x */ {RTI,IMP}, {EOR,IZX}, {___,IMP}, {___,IMP}, {___,IMP}, {EOR,ZP }, {LSR,ZP }, {___,IMP}, {PHA,IMP}, {EOR,IMM}, {LSR,ACC}, {___,IMP}, {JMP,ABS}, {EOR,ABS}, {LSR,ABS}, {___,IMP},
/* 5x */ {BVC,REL}, {EOR,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {EOR,ZPX}, {LSR,ZPX}, {___,IMP}, {CLI,IMP}, {EOR,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {EOR,ABX}, {LSR,ABX}, {___,IMP},
/* 6x */ {RTS,IMP}, {ADC,IZX}, {___,IMP}, {___,IMP}, {___,IMP}, {ADC,ZP }, {ROR,ZP }, {___,IMP}, {PLA,IMP}, {ADC,IMM}, {ROR,ACC}, {___,IMP}, {JMP,IND}, {ADC,ABS}, {ROR,ABS}, {___,IMP},
/* 7x */ {BVS,REL}, {ADC,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {ADC,ZPX}, {ROR,ZPX}, {___,IMP}, {SEI,IMP}, {ADC,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {ADC,ABX}, {ROR,ABX}, {___,IMP},
/* 8x */ {___,IMP}, {STA,IZX}, {___,IMP}, {___,IMP}, {STY,ZP }, {STA,ZP }, {STX,ZP }, {___,IMP}, {DEY,IMP}, {___,IMP}, {TXA,IMP}, {___,IMP}, {STY,ABS}, {STA,ABS}, {STX,ABS}, {___,IMP},
/* 9x */ {BCC,REL}, {STA,IZY}, {___,IMP}, {___,IMP}, {STY,ZPX}, {STA,ZPX}, {STX,ZPY}, {___,IMP}, {TYA,IMP}, {STA,ABY}, {TXS,IMP}, {___,IMP}, {___,IMP}, {STA,ABX}, {___,IMP}, {___,IMP},
/* Ax */ {LDY,IMM}, {LDA,IZX}, {LDX,IMM}, {___,IMP}, {LDY,ZP }, {LDA,ZP }, {LDX,ZP }, {___,IMP}, {TAY,IMP}, {LDA,IMM}, {TAX,IMP}, {___,IMP}, {LDY,ABS}, {LDA,ABS}, {LDX,ABS}, {___,IMP},
/* Bx */ {BCS,REL}, {LDA,IZY}, {___,IMP}, {___,IMP}, {LDY,ZPX}, {LDA,ZPX}, {LDX,ZPY}, {___,IMP}, {CLV,IMP}, {LDA,ABY}, {TSX,IMP}, {___,IMP}, {LDY,ABX}, {LDA,ABX}, {LDX,ABY}, {___,IMP},
/* Cx */ {CPY,IMM}, {CMP,IZX}, {___,IMP}, {___,IMP}, {CPY,ZP }, {CMP,ZP }, {DEC,ZP }, {___,IMP}, {INY,IMP}, {CMP,IMM}, {DEX,IMP}, {___,IMP}, {CPY,ABS}, {CMP,ABS}, {DEC,ABS}, {___,IMP},
/* Dx */ {BNE,REL}, {CMP,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {CMP,ZPX}, {DEC,ZPX}, {___,IMP}, {CLD,IMP}, {CMP,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {CMP,ABX}, {DEC,ABX}, {___,IMP},
/* Ex */ {CPX,IMM}, {SBC,IZX}, {___,IMP}, {___,IMP}, {CPX,ZP }, {SBC,ZP }, {INC,ZP }, {___,IMP}, {INX,IMP}, {SBC,IMM}, {NOP,IMP}, {___,IMP}, {CPX,ABS}, {SBC,ABS}, {INC,ABS}, {___,IMP},
/* Fx */ {BEQ,REL}, {SBC,IZY}, {___,IMP}, {___,IMP}, {___,IMP}, {SBC,ZPX}, {INC,ZPX}, {___,IMP}, {SED,IMP}, {SBC,ABY}, {___,IMP}, {___,IMP}, {___,IMP}, {SBC,ABX}, {INC,ABX}, {___,IMP},
};
// clang-format on

// Operand bytes that follow the opcode (BRK's padding byte not counted).
constexpr int OperandBytes(Mode mode) {
  switch (mode) {
    case IMP: case ACC: return 0;
    case ABS: case ABX: case ABY: case IND: return 2;
    default: return 1;
  }
}

constexpr CostClass ClassOf(Mnemonic m) {
  switch (m) {
    case ___: return kNone;
    case LDA: case LDX: case LDY: case ORA: case AND: case EOR:
    case ADC: case SBC: case CMP: case CPX: case CPY: case BIT: return kRead;
    case STA: case STX: case STY: return kStore;
    case ASL: case LSR: case ROL: case ROR: case INC: case DEC: return kModify;
    case BPL: case BMI: case BVC: case BVS: case BCC: case BCS: case BNE: case BEQ: return kBranch;
    default: return kFixed;
  }
}

// Cycles of an instruction before any page-crossing or branch-taken cycle.
// Indexed modes add one more on a page crossing for every class, stores and
// read-modify-write included: this processor charges them all alike.
constexpr int BaseCycles(Opcode o) {
  switch (ClassOf(o.mnemonic)) {
    case kNone: return 0;
    case kBranch: return 2;
    case kRead:
      switch (o.mode) {
        case IMM: return 2;
        case ZP: return 3;
        case IZX: return 6;
        case IZY: return 5;
        default: return 4;  // zp,X zp,Y abs abs,X abs,Y
      }
    case kStore:
      switch (o.mode) {
        case ZP: return 3;
        case ABX: case ABY: return 5;
        case IZX: case IZY: return 6;
        default: return 4;  // zp,X zp,Y abs
      }
    case kModify:
      switch (o.mode) {
        case ACC: return 2;
        case ZP: return 5;
        case ABX: return 7;
        default: return 6;  // zp,X abs
      }
    case kFixed:
      switch (o.mnemonic) {
        case PHA: case PHP: return 3;
        case PLA: case PLP: return 4;
        case JMP: return o.mode == IND ? 5 : 3;
        case JSR: case RTS: case RTI: return 6;
        case BRK: return 7;
        default: return 2;  // transfers, flag changes, INX..DEY, NOP
      }
  }
  return 0;
}

}  // namespace op
}  // namespace rq4800

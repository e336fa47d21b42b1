#pragma once
// The processor's instructions, written once as templates on the bus type.
//
// The run slice is the emulator's innermost loop, and with the bus behind
// IBus6502 every byte costs a virtual call the compiler cannot see through.
// Instantiated on a `final` bus class whose Read and Write are defined in its
// header, the same code calls them directly and can inline them. So:
//
//   Cpu6502::RunSlice(), Execute()  Bus = IBus6502: any bus, e.g. a test's
//                                   recording one (core/cpu6502.cpp)
//   RunSliceOn<Bus>(cpu)            the machine's own bus, instantiated where
//                                   that bus is known (machine/frame.cpp)
//
// Both run the very same instruction code, so they behave identically as long
// as cpu.bus really is a Bus. The opcode map itself is core/opcode_table.h.
#include <array>
#include <cstdint>
#include <type_traits>

#include "core/cpu6502.h"
#include "core/opcode_table.h"

namespace rq4800 {
namespace cpu_detail {

using namespace op;

inline constexpr uint32_t kC = 0x01, kZ = 0x02, kI = 0x04, kV = 0x40, kN = 0x80;
inline constexpr int kUnit = Cpu6502::kUnitsPerCycle;

// N and Z for every result byte.
inline constexpr std::array<uint8_t, 256> kNZ = [] {
  std::array<uint8_t, 256> t{};
  for (int v = 0; v < 256; ++v) t[v] = v == 0 ? kZ : (v & 0x80) ? kN : 0;
  return t;
}();

// Writes the debug line and throws UnsupportedInstruction for the opcode
// just fetched. Cold and out of line (core/cpu6502.cpp): it only rereads the
// opcode, through the generic bus.
[[noreturn]] __attribute__((noinline, cold)) void Unsupported(Cpu6502& c);

// Force the per-opcode templates into the dispatch switch: the run slice is
// the emulator's innermost loop and a call per instruction is measurable.
#define RQ_INLINE inline __attribute__((always_inline))

RQ_INLINE void SetNZ(Cpu6502& c, uint32_t v) { c.P = (c.P & ~(kN | kZ)) | kNZ[v]; }

RQ_INLINE void Adc(Cpu6502& c, uint32_t v) {
  uint32_t s = c.A + v + (c.P & kC);
  uint32_t overflow = ~(c.A ^ v) & (c.A ^ s) & 0x80;
  c.A = s & 0xFF;
  c.P = (c.P & ~(kN | kV | kZ | kC)) | kNZ[c.A] | (s > 0xFF ? kC : 0) | (overflow ? kV : 0);
}

RQ_INLINE void Sbc(Cpu6502& c, uint32_t v) {
  int a = static_cast<int>(c.A);
  int d = a - static_cast<int>(v) - static_cast<int>(1 - (c.P & kC));
  uint32_t overflow = static_cast<uint32_t>((a ^ d) & (a ^ static_cast<int>(v))) & 0x80;
  c.A = static_cast<uint32_t>(d) & 0xFF;
  c.P = (c.P & ~(kN | kV | kZ | kC)) | kNZ[c.A] | (d >= 0 ? kC : 0) | (overflow ? kV : 0);
}

RQ_INLINE void Compare(Cpu6502& c, uint32_t reg, uint32_t v) {
  c.P = (c.P & ~(kN | kZ | kC)) | kNZ[(reg - v) & 0xFF] | (reg >= v ? kC : 0);
}

template <Mnemonic kM>
RQ_INLINE void ReadOp(Cpu6502& c, uint32_t v) {
  if constexpr (kM == LDA) { c.A = v; SetNZ(c, v); }
  else if constexpr (kM == LDX) { c.X = v; SetNZ(c, v); }
  else if constexpr (kM == LDY) { c.Y = v; SetNZ(c, v); }
  else if constexpr (kM == ORA) { c.A |= v; SetNZ(c, c.A); }
  else if constexpr (kM == AND) { c.A &= v; SetNZ(c, c.A); }
  else if constexpr (kM == EOR) { c.A ^= v; SetNZ(c, c.A); }
  else if constexpr (kM == ADC) Adc(c, v);
  else if constexpr (kM == SBC) Sbc(c, v);
  else if constexpr (kM == CMP) Compare(c, c.A, v);
  else if constexpr (kM == CPX) Compare(c, c.X, v);
  else if constexpr (kM == CPY) Compare(c, c.Y, v);
  else {
    static_assert(kM == BIT);
    c.P = (c.P & ~(kN | kV | kZ)) | (v & (kN | kV)) | ((c.A & v) == 0 ? kZ : 0);
  }
}

template <Mnemonic kM>
RQ_INLINE uint32_t ModifyOp(Cpu6502& c, uint32_t v) {
  uint32_t r;
  if constexpr (kM == ASL) { r = (v << 1) & 0xFF; c.P = (c.P & ~kC) | (v >> 7); }
  else if constexpr (kM == LSR) { r = v >> 1; c.P = (c.P & ~kC) | (v & 1); }
  else if constexpr (kM == ROL) { r = ((v << 1) | (c.P & kC)) & 0xFF; c.P = (c.P & ~kC) | (v >> 7); }
  else if constexpr (kM == ROR) { r = (v >> 1) | ((c.P & kC) << 7); c.P = (c.P & ~kC) | (v & 1); }
  else if constexpr (kM == INC) r = (v + 1) & 0xFF;
  else { static_assert(kM == DEC); r = (v - 1) & 0xFF; }
  SetNZ(c, r);
  return r;
}

template <Mnemonic kM>
constexpr bool BranchTaken(uint32_t p) {
  if constexpr (kM == BPL) return !(p & kN);
  else if constexpr (kM == BMI) return p & kN;
  else if constexpr (kM == BVC) return !(p & kV);
  else if constexpr (kM == BVS) return p & kV;
  else if constexpr (kM == BCC) return !(p & kC);
  else if constexpr (kM == BCS) return p & kC;
  else if constexpr (kM == BNE) return !(p & kZ);
  else { static_assert(kM == BEQ); return p & kZ; }
}

// Everything that touches the bus. Bus is IBus6502 itself or a class derived
// from it that cpu.bus actually is; the cast is then exact, and for a final
// class the calls below are direct.
template <class Bus>
struct Run {
  static_assert(std::is_base_of_v<IBus6502, Bus>);

  static RQ_INLINE Bus& BusOf(Cpu6502& c) { return static_cast<Bus&>(c.bus); }

  // Masked so that a bus returning more than a byte cannot push a register
  // out of its range (or index past the flag table).
  static RQ_INLINE int ReadByte(Cpu6502& c, int address) { return BusOf(c).Read(address) & 0xFF; }

  static RQ_INLINE void WriteByte(Cpu6502& c, int address, uint32_t v) {
    BusOf(c).Write(address, static_cast<int>(v));
  }

  static RQ_INLINE int FetchByte(Cpu6502& c) {
    int v = ReadByte(c, static_cast<int>(c.PC));
    c.PC = (c.PC + 1) & 0xFFFF;
    return v;
  }

  // Two-byte operands are read high byte first.
  static RQ_INLINE int FetchWord(Cpu6502& c) {
    int hi = ReadByte(c, static_cast<int>((c.PC + 1) & 0xFFFF));
    int lo = ReadByte(c, static_cast<int>(c.PC));
    c.PC = (c.PC + 2) & 0xFFFF;
    return hi << 8 | lo;
  }

  static RQ_INLINE void Push(Cpu6502& c, uint32_t v) {
    WriteByte(c, static_cast<int>(0x100 + c.SP), v);
    c.SP = (c.SP - 1) & 0xFF;
  }

  static RQ_INLINE uint32_t Pull(Cpu6502& c) {
    c.SP = (c.SP + 1) & 0xFF;
    return static_cast<uint32_t>(ReadByte(c, static_cast<int>(0x100 + c.SP)));
  }

  static RQ_INLINE int Indexed(Cpu6502& c, int base, uint32_t index) {
    int ea = (base + static_cast<int>(index)) & 0xFFFF;
    if ((base ^ ea) & 0x100) c.cycles += kUnit;
    return ea;
  }

  // Effective address of a memory operand; the reads that form it, in order.
  template <Mode kMode>
  static RQ_INLINE int Address(Cpu6502& c) {
    if constexpr (kMode == ZP) {
      return FetchByte(c);
    } else if constexpr (kMode == ZPX) {
      return (FetchByte(c) + static_cast<int>(c.X)) & 0xFF;
    } else if constexpr (kMode == ZPY) {
      return (FetchByte(c) + static_cast<int>(c.Y)) & 0xFF;
    } else if constexpr (kMode == ABS) {
      return FetchWord(c);
    } else if constexpr (kMode == ABX) {
      return Indexed(c, FetchWord(c), c.X);
    } else if constexpr (kMode == ABY) {
      return Indexed(c, FetchWord(c), c.Y);
    } else if constexpr (kMode == IZX) {
      int q = (FetchByte(c) + static_cast<int>(c.X)) & 0xFF;
      int hi = ReadByte(c, (q + 1) & 0xFF);
      return hi << 8 | ReadByte(c, q);
    } else if constexpr (kMode == IZY) {
      int b = FetchByte(c);
      int hi = ReadByte(c, (b + 1) & 0xFF);
      return Indexed(c, hi << 8 | ReadByte(c, b), c.Y);
    } else {
      static_assert(kMode == IND);
      // NMOS quirk: the pointer's high byte comes from the same page.
      int q = FetchWord(c);
      int hi = ReadByte(c, (q & 0xFF00) | ((q + 1) & 0xFF));
      return hi << 8 | ReadByte(c, q);
    }
  }

  // The entry shared by IRQ, NMI and BRK; the caller charges its 7 cycles.
  static void Interrupt(Cpu6502& c, int vector, uint32_t pushedP) {
    Push(c, c.PC >> 8);
    Push(c, c.PC & 0xFF);
    Push(c, pushedP);
    int hi = ReadByte(c, vector + 1);
    int lo = ReadByte(c, vector);
    c.P |= kI;
    c.PC = static_cast<uint32_t>(hi << 8 | lo);
  }

  static void TakeIrq(Cpu6502& c) {
    Interrupt(c, 0xFFFE, c.P | 0x20);
    c.cycles += 7 * kUnit;
  }

  template <Mnemonic kM, Mode kMode>
  static RQ_INLINE void FixedOp(Cpu6502& c) {
    if constexpr (kM == TAX) { c.X = c.A; SetNZ(c, c.X); }
    else if constexpr (kM == TAY) { c.Y = c.A; SetNZ(c, c.Y); }
    else if constexpr (kM == TXA) { c.A = c.X; SetNZ(c, c.A); }
    else if constexpr (kM == TYA) { c.A = c.Y; SetNZ(c, c.A); }
    else if constexpr (kM == TSX) { c.X = c.SP; SetNZ(c, c.X); }
    else if constexpr (kM == TXS) c.SP = c.X;
    else if constexpr (kM == INX) { c.X = (c.X + 1) & 0xFF; SetNZ(c, c.X); }
    else if constexpr (kM == INY) { c.Y = (c.Y + 1) & 0xFF; SetNZ(c, c.Y); }
    else if constexpr (kM == DEX) { c.X = (c.X - 1) & 0xFF; SetNZ(c, c.X); }
    else if constexpr (kM == DEY) { c.Y = (c.Y - 1) & 0xFF; SetNZ(c, c.Y); }
    else if constexpr (kM == CLC) c.P &= ~kC;
    else if constexpr (kM == SEC) c.P |= kC;
    else if constexpr (kM == CLV) c.P &= ~kV;
    else if constexpr (kM == CLD) c.P &= ~0x08u;
    else if constexpr (kM == SED) c.P |= 0x08u;
    else if constexpr (kM == SEI) c.P |= kI;
    else if constexpr (kM == CLI) {
      c.P &= ~kI;
      if (c.irqPending) { c.irqPending = 0; TakeIrq(c); }
    }
    else if constexpr (kM == NOP) {}
    else if constexpr (kM == PHA) Push(c, c.A);
    else if constexpr (kM == PHP) Push(c, c.P | 0x30);
    else if constexpr (kM == PLA) { c.A = Pull(c); SetNZ(c, c.A); }
    else if constexpr (kM == PLP) c.P = Pull(c) & 0xCF;  // a pending IRQ waits for the slice
    else if constexpr (kM == JMP) {
      c.PC = static_cast<uint32_t>(Address<kMode>(c));
    } else if constexpr (kM == JSR) {
      // Pushes the address of its own last byte before it reads the target.
      uint32_t last = (c.PC + 1) & 0xFFFF;
      Push(c, last >> 8);
      Push(c, last & 0xFF);
      c.PC = static_cast<uint32_t>(FetchWord(c));
    } else if constexpr (kM == RTS) {
      uint32_t lo = Pull(c);
      uint32_t hi = Pull(c);
      c.PC = ((hi << 8 | lo) + 1) & 0xFFFF;
    } else if constexpr (kM == RTI) {
      c.P = Pull(c) & 0xCF;
      uint32_t lo = Pull(c);
      uint32_t hi = Pull(c);
      c.PC = hi << 8 | lo;
      if (c.irqPending && !(c.P & kI)) { c.irqPending = 0; TakeIrq(c); }
    } else {
      static_assert(kM == BRK);
      // The byte after a BRK is skipped on return.
      c.PC = (c.PC + 1) & 0xFFFF;
      Interrupt(c, 0xFFFE, c.P | 0x30);
    }
  }

  // One instruction, its opcode already fetched.
  template <int kOp>
  static RQ_INLINE void Step(Cpu6502& c) {
    constexpr Opcode o = kOpcodeTable[kOp];
    constexpr CostClass cls = ClassOf(o.mnemonic);
    if constexpr (cls == kNone) {
      Unsupported(c);
    } else {
      if constexpr (cls == kRead) {
        if constexpr (o.mode == IMM) ReadOp<o.mnemonic>(c, static_cast<uint32_t>(FetchByte(c)));
        else ReadOp<o.mnemonic>(c, static_cast<uint32_t>(ReadByte(c, Address<o.mode>(c))));
      } else if constexpr (cls == kStore) {
        constexpr Mnemonic m = o.mnemonic;
        uint32_t v = m == STA ? c.A : m == STX ? c.X : c.Y;
        int ea = Address<o.mode>(c);
        WriteByte(c, ea, v);
      } else if constexpr (cls == kModify) {
        if constexpr (o.mode == ACC) {
          c.A = ModifyOp<o.mnemonic>(c, c.A);
        } else {
          int ea = Address<o.mode>(c);
          uint32_t v = static_cast<uint32_t>(ReadByte(c, ea));
          WriteByte(c, ea, ModifyOp<o.mnemonic>(c, v));
        }
      } else if constexpr (cls == kBranch) {
        int offset = static_cast<int8_t>(FetchByte(c));
        if (BranchTaken<o.mnemonic>(c.P)) {
          uint32_t target = (c.PC + static_cast<uint32_t>(offset)) & 0xFFFF;
          c.cycles += ((target ^ c.PC) & 0x100) ? 2 * kUnit : kUnit;
          c.PC = target;
        }
      } else {
        FixedOp<o.mnemonic, o.mode>(c);
      }
      c.cycles += BaseCycles(o) * kUnit;
    }
  }

#define RQ_CASE(n)   \
  case n:            \
    Step<n>(c);      \
    break;
#define RQ_CASE4(n) RQ_CASE(n) RQ_CASE(n + 1) RQ_CASE(n + 2) RQ_CASE(n + 3)
#define RQ_CASE16(n) RQ_CASE4(n) RQ_CASE4(n + 4) RQ_CASE4(n + 8) RQ_CASE4(n + 12)
#define RQ_CASE64(n) RQ_CASE16(n) RQ_CASE16(n + 16) RQ_CASE16(n + 32) RQ_CASE16(n + 48)

  static RQ_INLINE void Dispatch(Cpu6502& c, int opcode) {
    switch (opcode) {
      RQ_CASE64(0x00)
      RQ_CASE64(0x40)
      RQ_CASE64(0x80)
      RQ_CASE64(0xC0)
      default:
        Unsupported(c);
    }
  }

#undef RQ_CASE64
#undef RQ_CASE16
#undef RQ_CASE4
#undef RQ_CASE

  static void Slice(Cpu6502& c) {
    if (c.cycles < Cpu6502::kSliceUnits) {
      if (c.irqPending && !(c.P & kI)) {
        c.irqPending = 0;
        TakeIrq(c);
      }
      while (c.cycles < Cpu6502::kSliceUnits) {
        // An NMI seen here is entered after exactly one more instruction.
        if (c.nmiRequest) {
          c.nmiRequest = 0;
          c.nmiArmed = 1;
        }
        int opcode = FetchByte(c);
        Dispatch(c, opcode);
        if (c.nmiArmed) {
          c.nmiArmed = 0;
          Interrupt(c, 0xFFFA, c.P | 0x20);
          c.cycles += 7 * kUnit;
        }
      }
    }
    c.cycles -= Cpu6502::kSliceUnits;
  }
};

#undef RQ_INLINE

}  // namespace cpu_detail

// Cpu6502::RunSlice() with the bus known to be a Bus: the same instructions,
// with direct (and, for a final Bus defined in its header, inlined) Read and
// Write. cpu.bus must be a Bus.
template <class Bus>
void RunSliceOn(Cpu6502& cpu) {
  cpu_detail::Run<Bus>::Slice(cpu);
}

}  // namespace rq4800

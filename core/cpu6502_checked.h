#pragma once
// The debugger's run slice: the same instructions as RunSliceOn<Bus>, with a
// look before and after each one so that a run can stop at any instruction
// boundary and later go on from exactly there.
//
// A slice that stops keeps its cycles in cpu.cycles; the caller then goes on
// with begin = false, which skips the pending-IRQ check a slice makes only
// once, at its start. Stopped and resumed any number of times, a slice makes
// the same bus accesses in the same order as one that ran straight through.
//
// Hooks provides
//   bool Before(Cpu6502&)                         true: stop before the instruction at PC
//   bool After(Cpu6502&, int opcode, bool nmi)    true: stop after it (nmi: NMI entered after it)
//   bool Irq(Cpu6502&)                            true: stop after the IRQ entry at the slice start
#include "core/cpu6502_run.h"

namespace rq4800 {

// Returns true when the slice is complete (its 1536 units taken off
// cpu.cycles), false when a hook stopped it.
template <class Bus, class Hooks>
bool RunSliceChecked(Cpu6502& c, bool begin, Hooks& hooks) {
  using R = cpu_detail::Run<Bus>;
  if (begin && c.cycles < Cpu6502::kSliceUnits && c.irqPending && !(c.P & cpu_detail::kI)) {
    c.irqPending = 0;
    R::TakeIrq(c);
    if (hooks.Irq(c)) return false;
  }
  while (c.cycles < Cpu6502::kSliceUnits) {
    if (hooks.Before(c)) return false;
    if (c.nmiRequest) {
      c.nmiRequest = 0;
      c.nmiArmed = 1;
    }
    const int opcode = R::FetchByte(c);
    R::Dispatch(c, opcode);
    bool nmi = false;
    if (c.nmiArmed) {
      c.nmiArmed = 0;
      R::Interrupt(c, 0xFFFA, c.P | 0x20);
      c.cycles += 7 * Cpu6502::kUnitsPerCycle;
      nmi = true;
    }
    if (hooks.After(c, opcode, nmi)) return false;
  }
  c.cycles -= Cpu6502::kSliceUnits;
  return true;
}

// The rest of a slice a debugger stopped in, without stops.
struct NoStops {
  static bool Before(Cpu6502&) { return false; }
  static bool After(Cpu6502&, int, bool) { return false; }
  static bool Irq(Cpu6502&) { return false; }
};

template <class Bus>
void RunSliceRestOn(Cpu6502& cpu) {
  NoStops none;
  RunSliceChecked<Bus>(cpu, false, none);
}

// The registers and interrupt latches of one processor copied onto another
// that may sit on a different bus (the debugger runs a copy on its checking
// bus and hands the result back).
inline void CopyProcessorState(const Cpu6502& from, Cpu6502& to) {
  to.A = from.A;
  to.X = from.X;
  to.Y = from.Y;
  to.P = from.P;
  to.SP = from.SP;
  to.PC = from.PC;
  to.irqPending = from.irqPending;
  to.nmiRequest = from.nmiRequest;
  to.nmiArmed = from.nmiArmed;
  to.cycles = from.cycles;
}

}  // namespace rq4800

#pragma once
// The disassembly a debugger shows: one record per instruction from an
// address on, with the label that names the address and, where the operand
// is an address with a name, that name. Read without touching the machine.
#include <string>
#include <vector>

#include "debugger/symbols.h"
#include "machine/machine.h"

namespace rq4800 {

struct CodeLine {
  int address = 0;
  int length = 1;       // bytes the instruction takes (1 for an unknown opcode)
  std::string label;    // the name of this very address, or empty
  std::string text;     // "E003: LDA $0300  ; counter" or "E003: .byte $FF"
};

// At most count lines from address on, never past 0xFFFF.
std::vector<CodeLine> CodeLines(const Machine& machine, const SymbolTable& symbols, int address, int count);

}  // namespace rq4800

#pragma once
// The disassembler of the debug window: one line of 6502 assembly per
// instruction, read through the bus so that it shows what the processor
// would see with the current bank settings (and, below 0x40, with the
// ports' read side effects).
#include <cstddef>

#include "core/cpu6502.h"

namespace rq4800 {

// Room for one line: "%04X: " (up to eight digits), mnemonic, "($%04X),Y".
constexpr size_t kDisassemblyLineSize = 40;

// Listing: lines are appended until the text holds 8,000 bytes, plus room
// for the line that crosses that mark and the terminating NUL.
constexpr size_t kListingLimit = 8000;
constexpr size_t kListingSize = kListingLimit + kDisassemblyLineSize + 2;

// Writes one NUL-terminated line for the instruction at address into out
// (kDisassemblyLineSize bytes) and returns its length, 1..3; an opcode that
// is not a documented one gives the empty string and 0. BRK is shown as a
// three-byte instruction with an absolute operand.
int DisassembleOne(IBus6502& bus, int address, char* out);

// Fills out (kListingSize bytes) with lines ending in CR LF from address
// on, until 8,000 bytes are reached or an unknown opcode ends it. Addresses
// run on past 0xFFFF unwrapped. Returns the text's length.
size_t DisassembleListing(IBus6502& bus, int address, char* out);

}  // namespace rq4800

#pragma once
// The three texts of the debug window, built from a machine standing still
// between frames: the register line, a dump of the 64 KB address space and
// a disassembly listing. The dialog that shows them belongs to the front end.
#include <cstddef>
#include <cstdint>

#include "debugger/disassembler.h"
#include "machine/machine.h"

namespace rq4800 {

constexpr size_t kRegisterLineSize = 96;
constexpr size_t kDumpLineLength = 54;  // "%04X-", 16 x "%02X ", CR LF in place of the last blank
constexpr size_t kMemoryDumpSize = 4096 * kDumpLineLength + 1;
constexpr size_t kAddressBoxChars = 14;  // the address box is read up to this many characters

// "PC:%04X SP:%03X P:%02X A:%02X X:%02X Y:%02X  BANK:%02X BSW:%01X INT:%02X"
void BuildRegisterLine(const Machine& machine, char* out);

// One line per 16 bytes from 0x0000 to 0xFFF0, taken from the machine state
// without calling Read, so that showing it changes nothing: the ports show
// their latches (0x01 and 0x08 the values last written there), 0x40..0x7F
// the zero-page slice, the rest the block each window shows.
void BuildMemoryDump(const Machine& machine, char* out);

// The byte the dump shows for an address 0..0xFFFF.
int DumpByte(const Machine& machine, int address);

// The listing of the debug window. Unlike the dump it reads through the bus,
// with the ports' read side effects below 0x40.
size_t BuildListing(Machine& machine, int address, char* out);

// The three buffers of the debug window, made once and rebuilt each time the
// window opens (about 230 KB: allocate it, do not put it on the stack).
struct DebugWindowTexts {
  char registerLine[kRegisterLineSize];
  char memoryDump[kMemoryDumpSize];
  char listing[kListingSize];
};

// What the window shows when it opens: registers, dump, listing from PC.
void BuildDebugWindowTexts(Machine& machine, DebugWindowTexts& texts);

// The address typed into the debug window's box, read as hexadecimal:
// leading blanks, an optional sign and an optional 0x are accepted, the
// number ends at the first character that is not a hexadecimal digit, and
// text without digits gives 0. Only the first 14 characters count.
int64_t ParseAddressText(const char* text);

// What the listing button does with that number: values outside the 64 KB
// address space are brought into it (a negative number or five and more
// digits would otherwise reach the bus with an address it does not have).
int ListingAddressFromText(const char* text);

}  // namespace rq4800

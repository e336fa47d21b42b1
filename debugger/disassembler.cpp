#include "debugger/disassembler.h"

#include <cstdio>
#include <cstring>

#include "core/opcode_table.h"

namespace rq4800 {

namespace {

// Operand texts by the listing's mode numbers 0..11.
enum ListingMode { kNoOperand, kImmediate, kZeroPage, kZeroPageX, kZeroPageY, kIndexedIndirect,
                   kIndirectIndexed, kAbsolute, kAbsoluteX, kAbsoluteY, kIndirect, kRelative };

ListingMode ListingModeOf(int opcode) {
  if (opcode == 0x00) return kAbsolute;  // BRK shows its padding bytes as an operand
  switch (op::kOpcodeTable[opcode].mode) {
    case op::IMP: case op::ACC: return kNoOperand;
    case op::IMM: return kImmediate;
    case op::ZP: return kZeroPage;
    case op::ZPX: return kZeroPageX;
    case op::ZPY: return kZeroPageY;
    case op::IZX: return kIndexedIndirect;
    case op::IZY: return kIndirectIndexed;
    case op::ABS: return kAbsolute;
    case op::ABX: return kAbsoluteX;
    case op::ABY: return kAbsoluteY;
    case op::IND: return kIndirect;
    case op::REL: return kRelative;
  }
  return kNoOperand;
}

}  // namespace

int DisassembleOne(IBus6502& bus, int address, char* out) {
  int opcode = bus.Read(address) & 0xFF;
  op::Mnemonic mnemonic = op::kOpcodeTable[opcode].mnemonic;
  if (mnemonic == op::___) {
    out[0] = '\0';
    return 0;
  }
  int length = opcode == 0x00 ? 3 : op::OperandBytes(op::kOpcodeTable[opcode].mode) + 1;
  int n = std::snprintf(out, kDisassemblyLineSize, "%04X: %s ", static_cast<unsigned>(address),
                        op::kMnemonicNames[mnemonic]);
  char* operand = out + n;
  size_t room = kDisassemblyLineSize - static_cast<size_t>(n);
  ListingMode mode = ListingModeOf(opcode);
  if (mode >= kAbsolute && mode <= kIndirect) {
    int hi = bus.Read(address + 2);
    int word = hi << 8 | bus.Read(address + 1);
    const char* format = mode == kAbsolute    ? "$%04X"
                         : mode == kAbsoluteX ? "$%04X,X"
                         : mode == kAbsoluteY ? "$%04X,Y"
                                              : "($%04X)";
    std::snprintf(operand, room, format, static_cast<unsigned>(word));
  } else if (mode != kNoOperand) {
    int b = bus.Read(address + 1);
    switch (mode) {
      case kImmediate: std::snprintf(operand, room, "#$%02X", static_cast<unsigned>(b)); break;
      case kZeroPage: std::snprintf(operand, room, "$%02X", static_cast<unsigned>(b)); break;
      case kZeroPageX: std::snprintf(operand, room, "$%02X,X", static_cast<unsigned>(b)); break;
      case kZeroPageY: std::snprintf(operand, room, "$%02X,Y", static_cast<unsigned>(b)); break;
      case kIndexedIndirect: std::snprintf(operand, room, "($%02X,X)", static_cast<unsigned>(b)); break;
      case kIndirectIndexed: std::snprintf(operand, room, "($%02X),Y", static_cast<unsigned>(b)); break;
      default: {
        // Branch targets are shown as computed, even past either end of memory.
        int target = address + 2 + static_cast<signed char>(b);
        std::snprintf(operand, room, "$%04X", static_cast<unsigned>(target));
      }
    }
  }
  return length;
}

size_t DisassembleListing(IBus6502& bus, int address, char* out) {
  size_t used = 0;
  out[0] = '\0';
  while (used < kListingLimit) {
    int length = DisassembleOne(bus, address, out + used);
    if (length == 0) break;
    used += std::strlen(out + used);
    out[used++] = '\r';
    out[used++] = '\n';
    out[used] = '\0';
    address += length;
  }
  return used;
}

}  // namespace rq4800

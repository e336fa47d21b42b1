#include "debugger/debug_texts.h"

#include <cstdio>

namespace rq4800 {

void BuildRegisterLine(const Machine& machine, char* out) {
  const Cpu6502& cpu = machine.cpu;
  const BusRQ4800& bus = machine.bus;
  std::snprintf(out, kRegisterLineSize,
                "PC:%04X SP:%03X P:%02X A:%02X X:%02X Y:%02X  BANK:%02X BSW:%01X INT:%02X",
                static_cast<unsigned>(cpu.PC), static_cast<unsigned>(0x100 + cpu.SP),
                static_cast<unsigned>(cpu.P), static_cast<unsigned>(cpu.A), static_cast<unsigned>(cpu.X),
                static_cast<unsigned>(cpu.Y), static_cast<unsigned>(bus.ports[0x00]),
                static_cast<unsigned>(bus.ports[0x0A] & 0x0F), static_cast<unsigned>(bus.ports[0x01]));
}

int DumpByte(const Machine& machine, int address) {
  const BusRQ4800& bus = machine.bus;
  if (address < 0x40) {
    // Reading ports 0x01 and 0x08 would return live status; the dump shows
    // what the processor last wrote there instead.
    if (address == 0x01) return static_cast<int>(bus.intControl & 0xFF);
    if (address == 0x08) return static_cast<int>(bus.keyRowSelect & 0xFF);
    return static_cast<int>(bus.ports[address] & 0xFF);
  }
  if (address < 0x80) return bus.ram[bus.zeroPageOffset + address];
  const uint8_t* block = bus.window[(address >> 13) & 7];
  return block ? block[address & 0x1FFF] : 0;
}

void BuildMemoryDump(const Machine& machine, char* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char* p = out;
  for (int line = 0; line < 0x10000; line += 16) {
    p += std::snprintf(p, 6, "%04X-", static_cast<unsigned>(line));
    for (int i = 0; i < 16; ++i) {
      int b = DumpByte(machine, line + i);
      *p++ = kHex[b >> 4];
      *p++ = kHex[b & 15];
      *p++ = ' ';
    }
    p[-1] = '\r';
    *p++ = '\n';
  }
  *p = '\0';
}

size_t BuildListing(Machine& machine, int address, char* out) {
  return DisassembleListing(machine.bus, address, out);
}

void BuildDebugWindowTexts(Machine& machine, DebugWindowTexts& texts) {
  BuildRegisterLine(machine, texts.registerLine);
  BuildMemoryDump(machine, texts.memoryDump);
  BuildListing(machine, static_cast<int>(machine.cpu.PC), texts.listing);
}

int64_t ParseAddressText(const char* text) {
  size_t i = 0;
  auto at = [&](size_t k) { return k < kAddressBoxChars ? text[k] : '\0'; };
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  while (at(i) == ' ' || at(i) == '\t' || at(i) == '\n' || at(i) == '\r' || at(i) == '\v' || at(i) == '\f') ++i;
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
  if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X') && digit(at(i + 2)) >= 0) i += 2;
  int64_t value = 0;
  for (; digit(at(i)) >= 0; ++i) value = value * 16 + digit(at(i));
  return negative ? -value : value;
}

int ListingAddressFromText(const char* text) { return static_cast<int>(ParseAddressText(text) & 0xFFFF); }

}  // namespace rq4800

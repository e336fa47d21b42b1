// The commands that look at the machine and change it: memory, listing,
// registers and bytes.
#include <cctype>

#include "debugger/code_lines.h"
#include "debugger/command_context.h"
#include "debugger/peek.h"

namespace rq4800::debug_command {

std::string Memory(Context& c) {
  c.Arguments(1, 2);
  const int64_t count = c.Count(2, 16, 0x10000);
  std::string out;
  const std::optional<Physical> physical = PhysicalAddress(c.m, c.w[1]);
  const int64_t start = physical ? physical->offset : c.Address(c.w[1]);
  const int64_t end = std::min(start + count, physical ? physical->size : 0x10000);
  for (int64_t line = start; line < end; line += 16) {
    out += Hex(static_cast<int>(line), physical ? 6 : 4) + "-";
    for (int64_t a = line; a < std::min(line + 16, end); ++a) {
      const int b = physical ? physical->bytes[a] : DumpByte(c.m, static_cast<int>(a));
      if (a != line) out += ' ';
      out += Hex(b, 2);
    }
    out += "\n";
  }
  return out;
}

std::string Disassemble(Context& c) {
  c.Arguments(0, 2);
  const int address = c.w.size() > 1 ? c.Address(c.w[1]) : static_cast<int>(c.m.cpu.PC);
  const int64_t count = c.Count(2, 16, 1000);
  std::string out;
  for (const CodeLine& line : CodeLines(c.m, c.d.symbols, address, static_cast<int>(count))) {
    if (!line.label.empty()) out += line.label + ":\n";
    out += line.text + "\n";
  }
  return out;
}

std::string SetRegister(Context& c) {
  c.Arguments(2, 2);
  std::string reg(c.w[1]);
  std::transform(reg.begin(), reg.end(), reg.begin(), [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  Cpu6502& cpu = c.m.cpu;
  struct Register {
    const char* name;
    uint32_t Cpu6502::*field;
    int64_t max;
  };
  static constexpr Register kRegisters[] = {{"A", &Cpu6502::A, 0xFF}, {"X", &Cpu6502::X, 0xFF},
                                            {"Y", &Cpu6502::Y, 0xFF}, {"SP", &Cpu6502::SP, 0x1FF},
                                            {"PC", &Cpu6502::PC, 0xFFFF}, {"P", &Cpu6502::P, 0xFF}};
  static constexpr std::string_view kFlags = "CZIDBUVN";  // bit order of P
  for (const Register& r : kRegisters) {
    if (reg != r.name) continue;
    const int64_t value = r.field == &Cpu6502::PC ? c.Address(c.w[2]) : [&] {
      const auto v = Number(c.w[2], 16, r.max);
      if (!v) throw Failure{"\"" + std::string(c.w[2]) + "\" does not fit " + reg};
      return *v;
    }();
    uint32_t stored = static_cast<uint32_t>(value);
    if (r.field == &Cpu6502::SP) stored &= 0xFF;  // the line shows SP with its page
    if (r.field == &Cpu6502::P) stored &= 0xCF;   // bits 5 and 4 live only on the stack
    cpu.*r.field = stored;
    return RegisterLine(c.d);
  }
  if (reg == "BANK" || reg == "BSW") {
    const int value = c.Byte(c.w[2]);
    // Written as the processor would, so that the windows follow.
    if (reg == "BANK") c.m.bus.Write(0x00, value);
    else if (value > 15) throw Failure{"BSW takes 0..F"};
    else c.m.bus.Write(0x0A, static_cast<int>((c.m.bus.ports[0x0A] & 0xF0) | static_cast<uint32_t>(value)));
    return RegisterLine(c.d);
  }
  const size_t flag = reg.size() == 1 ? kFlags.find(reg[0]) : std::string_view::npos;
  if (flag == std::string_view::npos || flag == 4 || flag == 5) {
    throw Failure{"no register " + reg + " (A X Y P SP PC BANK BSW, flags N V D I Z C)"};
  }
  if (c.w[2] != "0" && c.w[2] != "1") throw Failure{"a flag is 0 or 1"};
  cpu.P = c.w[2] == "1" ? cpu.P | (1u << flag) : cpu.P & ~(1u << flag);
  return RegisterLine(c.d);
}

std::string Poke(Context& c) {
  if (c.w.size() < 3) throw Failure{"poke takes an address and at least one byte"};
  std::vector<int> bytes;
  for (size_t i = 2; i < c.w.size(); ++i) bytes.push_back(c.Byte(c.w[i]));
  if (const std::optional<Physical> p = PhysicalAddress(c.m, c.w[1])) {
    if (p->offset + static_cast<int64_t>(bytes.size()) > p->size) throw Failure{"the bytes run past the end"};
    for (size_t i = 0; i < bytes.size(); ++i) p->bytes[p->offset + static_cast<int64_t>(i)] = static_cast<uint8_t>(bytes[i]);
  } else {
    const int address = c.Address(c.w[1]);
    if (address + static_cast<int>(bytes.size()) > 0x10000) throw Failure{"the bytes run past FFFF"};
    for (size_t i = 0; i < bytes.size(); ++i) c.m.bus.Write(address + static_cast<int>(i), bytes[i]);
  }
  return "poked " + std::to_string(bytes.size()) + " bytes\n";
}

}  // namespace rq4800::debug_command

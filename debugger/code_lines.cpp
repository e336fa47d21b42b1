#include "debugger/code_lines.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "debugger/peek.h"

namespace rq4800 {

namespace {

// The operand's target by name, when it has one (not for immediates).
std::string OperandName(const SymbolTable& symbols, const std::string& text) {
  const size_t dollar = text.find('$');
  if (dollar == std::string::npos || dollar == 0 || text[dollar - 1] == '#') return {};
  const size_t end = std::min(text.find_first_not_of("0123456789ABCDEF", dollar + 1), text.size());
  int target = 0;
  const char* first = text.data() + dollar + 1;
  const auto [stop, error] = std::from_chars(first, text.data() + end, target, 16);
  if (error != std::errc() || stop == first || target > 0xFFFF) return {};
  return LabelFor(symbols, target);
}

}  // namespace

std::vector<CodeLine> CodeLines(const Machine& machine, const SymbolTable& symbols, int address, int count) {
  PeekBus peek(machine);
  std::vector<CodeLine> lines;
  for (int i = 0; i < count && address >= 0 && address <= 0xFFFF; ++i) {
    CodeLine line;
    line.address = address;
    const auto label = symbols.byAddress.find(address);
    if (label != symbols.byAddress.end()) line.label = label->second;
    char text[kDisassemblyLineSize];
    const int length = DisassembleOne(peek, address, text);
    if (length == 0) {
      std::snprintf(text, sizeof text, "%04X: .byte $%02X", static_cast<unsigned>(address),
                    static_cast<unsigned>(peek.Read(address)));
    }
    line.text = text;
    line.length = length ? length : 1;
    if (length > 1) {
      const std::string name = OperandName(symbols, line.text);
      if (!name.empty()) line.text += "  ; " + name;
    }
    address += line.length;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace rq4800

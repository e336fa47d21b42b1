#pragma once
// What the debugger's commands share: the words of a line, number and
// address parsing, and the failure that answers a bad command.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/debug_commands.h"
#include "debugger/debug_texts.h"

namespace rq4800::debug_command {

using Words = std::vector<std::string_view>;

inline Words Split(std::string_view line) {
  Words words;
  size_t i = 0;
  while (true) {
    i = line.find_first_not_of(" \t\r", i);
    if (i == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t\r", i), line.size());
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

inline std::optional<int64_t> Number(std::string_view text, int base, int64_t max) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  if (base == 16 && text.starts_with('$')) text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > max) {
    return std::nullopt;
  }
  return value;
}

inline std::string Hex(int value, int digits) {
  char text[12];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

// An error answer: the command changed nothing.
struct Failure {
  std::string message;
};

struct Context {
  DebugSession& s;
  Debugger& d;
  Machine& m;
  const Words& w;

  std::string_view Word(size_t i) const { return i < w.size() ? w[i] : std::string_view(); }

  int Address(std::string_view text) const {
    if (const auto symbol = FindSymbol(d.symbols, text)) return *symbol;
    if (const auto value = Number(text, 16, 0xFFFF)) return static_cast<int>(*value);
    throw Failure{"\"" + std::string(text) + "\" is neither an address 0000..FFFF nor a known label"};
  }
  int64_t Count(size_t i, int64_t fallback, int64_t max) const {
    if (i >= w.size()) return fallback;
    const auto value = Number(w[i], 10, max);
    if (!value || *value == 0) throw Failure{"expected a count from 1 to " + std::to_string(max) + ", not \"" +
                                             std::string(w[i]) + "\""};
    return *value;
  }
  int Byte(std::string_view text) const {
    const auto value = Number(text, 16, 0xFF);
    if (!value) throw Failure{"\"" + std::string(text) + "\" is not a byte 00..FF"};
    return static_cast<int>(*value);
  }
  void Arguments(size_t min, size_t max) const {
    if (w.size() - 1 < min || w.size() - 1 > max) throw Failure{"wrong number of arguments to " + std::string(w[0])};
  }
};

inline std::string RegisterLine(const Debugger& d) {
  char line[kRegisterLineSize];
  BuildRegisterLine(d.machine, line);
  const std::string label = LabelFor(d.symbols, static_cast<int>(d.machine.cpu.PC));
  return std::string(line) + (label.empty() ? "" : "  " + label) + "\n";
}

// Physical memories by prefix: the buffers behind the bus windows.
struct Physical {
  uint8_t* bytes = nullptr;
  int64_t size = 0;
  int64_t offset = 0;
};

inline std::optional<Physical> PhysicalAddress(Machine& m, std::string_view text) {
  struct Area {
    std::string_view prefix;
    uint8_t* bytes;
    int64_t size;
  };
  const Area areas[] = {{"ram:", m.bus.ram.get(), BusRQ4800::kRamSize},
                        {"rom:", m.bus.rom.get(), BusRQ4800::kRomSize},
                        {"flash:", m.bus.flash.get(), BusRQ4800::kFlashSize}};
  for (const Area& a : areas) {
    if (!text.starts_with(a.prefix)) continue;
    const auto offset = Number(text.substr(a.prefix.size()), 16, a.size - 1);
    if (!offset) throw Failure{"\"" + std::string(text) + "\" is not an offset inside " + std::string(a.prefix)};
    return Physical{a.bytes, a.size, *offset};
  }
  return std::nullopt;
}

// The commands that look at and change the machine (debug_inspect.cpp).
std::string Memory(Context& c);
std::string Disassemble(Context& c);
std::string SetRegister(Context& c);
std::string Poke(Context& c);

}  // namespace rq4800::debug_command

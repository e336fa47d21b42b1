#pragma once
// A 64 KB RAM bus recording every access, and a processor on it.
#include <cstdint>
#include <ostream>
#include <vector>

#include "core/cpu6502.h"

namespace rq4800::testing {

struct Access {
  char kind;  // 'R' or 'W'
  int address, value;
  bool operator==(const Access&) const = default;
  friend std::ostream& operator<<(std::ostream& os, const Access& a) {
    return os << a.kind << std::hex << " 0x" << a.address << "=0x" << a.value << std::dec;
  }
};
inline Access R(int address, int value) { return {'R', address, value}; }
inline Access W(int address, int value) { return {'W', address, value}; }
using Trace = std::vector<Access>;

struct RecordingBus final : IBus6502 {
  uint8_t memory[65536] = {};
  Trace trace;
  int Read(int address) override {
    trace.push_back(R(address, memory[address & 0xFFFF]));
    return trace.back().value;
  }
  void Write(int address, int value) override {
    memory[address & 0xFFFF] = static_cast<uint8_t>(value);
    trace.push_back(W(address, value & 0xFF));
  }
  void Poke(int address, const std::vector<int>& bytes) {  // not recorded
    for (int b : bytes) memory[address++ & 0xFFFF] = static_cast<uint8_t>(b);
  }
};

// A processor on a recording bus, about to run code placed at pc.
struct CpuFixture {
  RecordingBus bus;
  Cpu6502 cpu{bus};
  explicit CpuFixture(int pc = 0x0200, const std::vector<int>& code = {}) {
    bus.Poke(pc, code);
    cpu.PC = static_cast<uint32_t>(pc);
    cpu.SP = 0xFF;
  }
  // Runs one instruction as the slice does and returns the units it cost; the
  // trace then holds exactly its accesses.
  int Step() {
    bus.trace.clear();
    int before = cpu.cycles;
    int opcode = bus.Read(static_cast<int>(cpu.PC));
    cpu.PC = (cpu.PC + 1) & 0xFFFF;
    cpu.Execute(opcode);
    return cpu.cycles - before;
  }
};

}  // namespace rq4800::testing

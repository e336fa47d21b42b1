#pragma once
// A 64 KB RAM bus that records every access, so tests can check the number
// and order of the processor's bus calls.
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "core/cpu6502.h"

namespace rq4800::testing {

struct Access {
  char kind;  // 'R' or 'W'
  int address;
  int value;
  bool operator==(const Access&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Access& a) {
  return os << a.kind << std::hex << " 0x" << a.address << "=0x" << a.value << std::dec;
}

struct RecordingBus final : IBus6502 {
  uint8_t memory[65536] = {};
  std::vector<Access> trace;
  bool recording = true;

  int Read(int address) override {
    int v = memory[address & 0xFFFF];
    if (recording) trace.push_back({'R', address, v});
    return v;
  }
  void Write(int address, int value) override {
    memory[address & 0xFFFF] = static_cast<uint8_t>(value);
    if (recording) trace.push_back({'W', address, value & 0xFF});
  }

  // Places bytes without recording them.
  void Poke(int address, std::initializer_list<int> bytes) {
    for (int b : bytes) memory[address++ & 0xFFFF] = static_cast<uint8_t>(b);
  }
  void Poke(int address, const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) memory[address++ & 0xFFFF] = b;
  }
};

// A processor on a recording bus, positioned to run the instruction at pc.
struct CpuFixture {
  RecordingBus bus;
  Cpu6502 cpu{bus};

  explicit CpuFixture(int pc = 0x0200) {
    cpu.PC = static_cast<uint32_t>(pc);
    cpu.SP = 0xFF;
  }

  // Fetches and executes one instruction the way the run slice does, and
  // returns the units it cost. The trace then holds exactly its accesses.
  int Step() {
    bus.trace.clear();
    int before = cpu.cycles;
    int opcode = bus.Read(static_cast<int>(cpu.PC));
    cpu.PC = (cpu.PC + 1) & 0xFFFF;
    cpu.Execute(opcode);
    return cpu.cycles - before;
  }
};

inline Access R(int address, int value) { return {'R', address, value}; }
inline Access W(int address, int value) { return {'W', address, value}; }

}  // namespace rq4800::testing

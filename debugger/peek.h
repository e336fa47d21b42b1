#pragma once
// A bus that looks without touching: what the debug window's dump shows for
// each address (port latches instead of live port reads), so that listing,
// tracing or examining memory never changes the machine.
#include "debugger/debug_texts.h"

namespace rq4800 {

struct PeekBus final : IBus6502 {
  const Machine& machine;
  explicit PeekBus(const Machine& machine) : machine(machine) {}
  int Read(int address) override { return DumpByte(machine, address & 0xFFFF); }
  void Write(int, int) override {}
};

}  // namespace rq4800

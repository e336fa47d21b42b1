#include "core/cpu6502.h"

#include <cstdio>
#include <string>

#include "core/cpu6502_run.h"
#include "core/debug_log.h"

namespace rq4800 {

namespace {
std::string UnsupportedText(int opcode, int address) {
  char text[64];
  std::snprintf(text, sizeof text, "unsupported instruction %02x at %04x", static_cast<unsigned>(opcode),
                static_cast<unsigned>(address));
  return text;
}
}  // namespace

UnsupportedInstruction::UnsupportedInstruction(int opcode, int address)
    : std::runtime_error(UnsupportedText(opcode, address)), opcode(opcode), address(address) {}

namespace cpu_detail {

[[noreturn]] __attribute__((noinline, cold)) void Unsupported(Cpu6502& c) {
  int address = static_cast<int>((c.PC - 1) & 0xFFFF);
  DebugLog("不支持的指令 %x at %x\n", c.bus.Read(address) & 0xFF, address);
  throw UnsupportedInstruction(c.bus.Read(address) & 0xFF, address);
}

}  // namespace cpu_detail

// The generic path: any IBus6502, one virtual call per byte. The machine's
// frame runs RunSliceOn<BusRQ4800> instead (core/cpu6502_run.h).
namespace {
using Generic = cpu_detail::Run<IBus6502>;
}  // namespace

void Cpu6502::Reset() {
  A = X = Y = 0;
  P = cpu_detail::kI;
  SP = 0xFF;
  int hi = bus.Read(0xFFFD) & 0xFF;
  int lo = bus.Read(0xFFFC) & 0xFF;
  PC = static_cast<uint32_t>(hi << 8 | lo);
  cycles = 0;
  irqPending = nmiRequest = nmiArmed = 0;
}

void Cpu6502::Execute(int opcode) { Generic::Dispatch(*this, opcode); }

void Cpu6502::TakeIrq() { Generic::TakeIrq(*this); }

void Cpu6502::RaiseIrq() {
  if (P & cpu_detail::kI) {
    irqPending = 1;
  } else {
    TakeIrq();
  }
}

void Cpu6502::RaiseNmi() { nmiRequest = 1; }

void Cpu6502::RunSlice() { Generic::Slice(*this); }

}  // namespace rq4800

#pragma once
// The device's processor: an NMOS 6502 running the 151 documented opcodes
// (no decimal mode in ADC/SBC), keeping time in twelfths of a cycle and run by
// the machine frame in slices of 128 cycles (1536 units).
//
// Every byte it touches goes through IBus6502, one call per byte, in the order
// the instruction makes them: operand bytes and pointer bytes high byte first,
// no dummy reads, read-modify-write reads once and writes once. The I/O ports
// have read side effects, so the number and order of accesses matter.
#include <cstdint>
#include <stdexcept>

namespace rq4800 {

class IBus6502 {
 public:
  virtual ~IBus6502() = default;
  virtual int Read(int address) = 0;              // returns 0..255
  virtual void Write(int address, int value) = 0;  // stores the low byte
};

// Thrown by Execute for any of the 105 undocumented opcodes. The processor
// has already written the debug line; PC points one past the opcode and
// cycles is unchanged.
struct UnsupportedInstruction : std::runtime_error {
  int opcode;   // as read again from the bus at address
  int address;  // PC - 1
  UnsupportedInstruction(int opcode, int address);
};

struct Cpu6502 {
  static constexpr int kUnitsPerCycle = 12;
  static constexpr int kSliceUnits = 1536;  // 128 cycles

  uint32_t A = 0, X = 0, Y = 0;  // always 0..255
  uint32_t P = 0;                // NV--DIZC; bits 5 and 4 always 0 in the register
  uint32_t SP = 0;               // stack byte at 0x100 + SP
  uint32_t PC = 0;               // always 0..0xFFFF
  IBus6502& bus;
  uint8_t irqPending = 0;  // an IRQ arrived while I was set
  uint8_t nmiRequest = 0;  // raised by the machine, not yet seen by RunSlice
  uint8_t nmiArmed = 0;    // NMI entry follows the instruction now running
  int32_t cycles = 0;      // units used in this slice; the overrun carries over

  explicit Cpu6502(IBus6502& bus) : bus(bus) {}

  void Reset();
  void RunSlice();
  void Execute(int opcode);
  void TakeIrq();
  void RaiseIrq();
  void RaiseNmi();
};

}  // namespace rq4800

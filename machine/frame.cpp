// One frame: 1/50 s of device time, 576 slices of 128 processor cycles.
// After each slice the machine's time sources move:
//
//   source       per slice                      overflow                   status  IRQ
//   timer 0      += 256 >> (port 0x14 >> 4)     at 0x10000: reload         0x01    no (intControl bit 0 enables the bit)
//   timer A      += 64.0 while running          at 256.0: keeps the excess 0x10    yes
//   timer B      += 0.5 while running           at 256.0: back to 0.0      0x20    yes
//   tick source  slices 30, 145, 260, 375, 490  (250 per second)           0x08    yes (port 0x04 bits 0..3, intControl bit 3 clear)
//   beeper       1.53125 sample slots           882 per frame, 44,100 per second into the ring
//
// Every 25th frame is the half-second tick: RAM 0x0471 is cleared, the clock
// bytes are set from the host while the device's year byte reads 119 (the
// firmware's "never set" value, the year 2000), and an NMI is requested
// unless intControl bit 4 masks it.
#include "core/cpu6502_checked.h"
#include "core/debug_log.h"
#include "machine/machine.h"

namespace rq4800 {

namespace {

constexpr int kSlicesPerFrame = 576;
constexpr int kFramesPerHalfSecond = 25;
constexpr int kTickPeriod = 115;
constexpr int kTickPhase = 30;
// 44,100 / 28,800 = 1.53125 = 49/32 sample slots a slice: counted in 32nds,
// the count is exact and whole frames hold exactly 882 slots.
constexpr int kSampleUnitsPerSlice = 49;
constexpr int kSampleUnitShift = 5;
constexpr int kBeeperAmplitude = 8192;

constexpr int kStatusTimer0 = 0x01;
constexpr int kStatusTick = 0x08;
constexpr int kStatusTimerA = 0x10;
constexpr int kStatusTimerB = 0x20;

// The device clock in RAM, one byte per field.
constexpr int kClockHour = 0x0469;
constexpr int kClockMinute = 0x046A;
constexpr int kClockHalfSeconds = 0x046B;
constexpr int kClockYear = 0x046C;
constexpr int kClockMonth = 0x046D;
constexpr int kClockDay = 0x046E;
constexpr int kClockUnsetYear = 119;  // the year 2000, counted from 1881
constexpr int kHalfSecondFlag = 0x0471;

void WarmReset(Machine& machine) {
  BusRQ4800& bus = machine.bus;
  bus.ports[0x02] = 1;
  bus.ram[0x00CB] = 0xFF;
  bus.ram[0x00CC] = 0xFF;
  machine.cpu.Reset();
  DebugLog("warm reset\n");
  machine.warmResetRequest = false;
  ClearFault(machine);
}

void HalfSecondTick(Machine& machine) {
  BusRQ4800& bus = machine.bus;
  bus.Write(kHalfSecondFlag, 0);
  if (bus.Read(kClockYear) == kClockUnsetYear) {
    const LocalTime now = machine.clock ? machine.clock->Now() : SystemClock().Now();
    bus.Write(kClockYear, (now.year - 1881) & 0xFF);
    bus.Write(kClockMonth, now.month - 1);
    bus.Write(kClockDay, now.day - 1);
    bus.Write(kClockHour, now.hour);
    bus.Write(kClockMinute, now.minute);
    bus.Write(kClockHalfSeconds, now.second * 2);
  }
  machine.frameCount = 0;
  if ((bus.intControl & 0x10) == 0) machine.cpu.RaiseNmi();
}

}  // namespace

void AdvanceTimers(Machine& machine, int slice, int32_t& sampleUnits) {
  BusRQ4800& bus = machine.bus;
  Cpu6502& cpu = machine.cpu;

  const int rate = static_cast<int>((bus.ports[0x14] >> 4) & 15);
  if (rate != 0) {
    bus.timer0Counter += 256 >> rate;
    if (bus.timer0Counter >= 0x10000) {
      bus.timer0Counter = bus.timer0Reload;
      if (bus.intControl & 0x01) bus.ports[0x01] |= kStatusTimer0;
    }
  }

  if (bus.timerARunning) {
    bus.timerACounter += 64.0;
    if (bus.timerACounter >= 256.0) {
      bus.timerACounter -= 256.0;
      bus.timerACarry = bus.timerACounter;
      bus.ports[0x01] |= kStatusTimerA;
      cpu.RaiseIrq();
    }
  }

  if (bus.timerBRunning) {
    bus.timerBCounter += 0.5;
    if (bus.timerBCounter >= 256.0) {
      bus.timerBCounter = 0.0;
      bus.ports[0x01] |= kStatusTimerB;
      cpu.RaiseIrq();
    }
  }

  if (slice % kTickPeriod == kTickPhase && (bus.intControl & 0x08) == 0 && (bus.ports[0x04] & 0x0F) != 0) {
    bus.ports[0x01] |= kStatusTick;
    cpu.RaiseIrq();
  }

  // Slots that find the gate closed, no ring or a full ring are skipped, not
  // delayed: the beeper keeps its place in device time.
  sampleUnits += kSampleUnitsPerSlice;
  const int slots = sampleUnits >> kSampleUnitShift;
  sampleUnits &= (1 << kSampleUnitShift) - 1;
  if (bus.beeperGate && bus.ring) [[unlikely]] {
    const auto level = static_cast<int16_t>(bus.beeperLevel * kBeeperAmplitude);
    for (int i = 0; i < slots; ++i) bus.ring->Push(level);
  }
}

bool BeginFrame(Machine& machine) {
  if (machine.warmResetRequest) WarmReset(machine);
  return !machine.faulted;
}

void RecordFault(Machine& machine, const UnsupportedInstruction& fault) {
  // The processor cannot go on; the machine stands still with its state
  // as the fault left it until the user resets it.
  machine.faulted = true;
  machine.faultOpcode = fault.opcode;
  machine.faultAddress = fault.address;
  machine.frame = FramePosition{};  // the faulted frame is over
}

bool EndSlice(Machine& machine) {
  FramePosition& f = machine.frame;
  AdvanceTimers(machine, f.slice, f.sampleUnits);
  f.inSlice = false;
  if (++f.slice < kSlicesPerFrame) return false;
  f = FramePosition{};
  machine.frameCount += 1;
  if (machine.frameCount >= kFramesPerHalfSecond) HalfSecondTick(machine);
  return true;
}

void RunFrame(Machine& machine) {
  FramePosition& f = machine.frame;
  if (AtFrameStart(machine) && !BeginFrame(machine)) return;
  if (machine.faulted) return;

  try {
    if (f.inSlice) {
      // A debugger stopped inside this slice: its start is behind it.
      RunSliceRestOn<BusRQ4800>(machine.cpu);
      if (EndSlice(machine)) return;
    }
    // The position lives in locals while the loop runs.
    int32_t sampleUnits = f.sampleUnits;
    for (int slice = f.slice; slice < kSlicesPerFrame; ++slice) {
      // Cpu6502::RunSlice() with Read and Write inlined: the machine's cpu
      // always runs on the machine's own (final) bus.
      f.slice = slice;
      RunSliceOn<BusRQ4800>(machine.cpu);
      AdvanceTimers(machine, slice, sampleUnits);
    }
  } catch (const UnsupportedInstruction& fault) {
    RecordFault(machine, fault);
    return;
  }

  f = FramePosition{};
  machine.frameCount += 1;
  if (machine.frameCount >= kFramesPerHalfSecond) HalfSecondTick(machine);
}

}  // namespace rq4800

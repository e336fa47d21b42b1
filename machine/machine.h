#pragma once
// The emulated device as a whole: processor, bus and the host-side view of the
// flash file system, with the frame that advances device time.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/cpu6502.h"
#include "machine/bus_rq4800.h"
#include "machine/key_state.h"
#include "machine/resource_store.h"
#include "storage/flash_file_system.h"

namespace rq4800 {

// The host's local date and time, as the device clock takes it.
struct LocalTime {
  int year = 2000, month = 1, day = 1;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0;
};

class IHostClock {
 public:
  virtual ~IHostClock() = default;
  virtual LocalTime Now() = 0;
};

// The real local time of the host.
class SystemClock final : public IHostClock {
 public:
  LocalTime Now() override;
};

// Where device time stands inside the current frame. Between frames it is
// all zero; a debugger stop can leave it anywhere at an instruction
// boundary, and the next run goes on from exactly there (cpu.cycles holds
// the units already used in the slice).
struct FramePosition {
  int32_t slice = 0;         // the slice running or next to run, 0..575
  bool inSlice = false;      // that slice has begun (its IRQ check is done)
  int32_t sampleUnits = 0;   // the beeper's fractional sample slot so far, in 32nds
};

struct Machine {
  Cpu6502 cpu;
  BusRQ4800 bus;
  FlashFileSystem storage;
  int32_t frameCount = 0;
  FramePosition frame;
  bool warmResetRequest = false;
  KeyState keys;  // key releases waiting for a frame to have seen the key

  // An unsupported instruction stops the machine: no frame runs until a
  // reset (cold, warm, flash initialise or image load) clears the fault.
  bool faulted = false;
  int faultOpcode = 0;
  int faultAddress = 0;

  const ResourceStore& resources;
  // The host's local time, read when the firmware asks for it; the host's
  // real time when none is linked.
  IHostClock* clock = nullptr;

  // Assembles the machine (buffers, reset, links); PowerOn is separate.
  explicit Machine(const ResourceStore& resources, IHostClock* clock = nullptr);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;
};

// Loads the ROM images and the flash, resets the processor. The flash starts
// from flashImage when it is exactly one image (the user's saved file), and
// from the default image (resource 115) otherwise.
void PowerOn(Machine& machine, std::span<const uint8_t> flashImage = {});
void ColdReset(Machine& machine);
// Runs to the end of the current frame: a whole frame between frames, the
// rest of it after a debugger stop.
void RunFrame(Machine& machine);

// The pieces of a frame, for a run loop that stops inside one (the
// debugger). BeginFrame is due when frame is all zero: it makes a requested
// warm reset and returns false while the machine is faulted. EndSlice
// follows each complete slice (timers, then the frame's end after slice 575;
// true there). RecordFault stops the machine on an unsupported instruction.
bool BeginFrame(Machine& machine);
bool EndSlice(Machine& machine);
void RecordFault(Machine& machine, const UnsupportedInstruction& fault);
inline bool AtFrameStart(const Machine& machine) {
  return machine.frame.slice == 0 && !machine.frame.inSlice;
}
// What follows processor slice `slice` (0..575) of a frame: the three timers,
// the tick source and the beeper's sample slots, counted in sampleUnits.
void AdvanceTimers(Machine& machine, int slice, int32_t& sampleUnits);

// Flash operations of the device's user: back to the default image, or an
// image given whole; both cold-reset the device.
void InitialiseFlash(Machine& machine);
// The default image into the flash, nothing else.
void CopyDefaultFlash(Machine& machine);
// Ignores (and returns false for) contents that are not exactly one flash image.
bool LoadFlashImageFile(Machine& machine, const uint8_t* data, size_t size);

// The first step of PowerOn: ROM images 112..114 into their ranges (a
// missing one leaves its range as it is).
void LoadRomImages(Machine& machine);

// Clears a fault left by an unsupported instruction and puts the frame
// position back to a frame start; every reset path runs it.
void ClearFault(Machine& machine);

}  // namespace rq4800

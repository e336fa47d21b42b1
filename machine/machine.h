#pragma once
// The emulated device as a whole: processor, bus and the host-side view of the
// flash file system, with the frame that advances device time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/cpu6502.h"
#include "machine/bus_rq4800.h"
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
  double sampleClock = 0.0;  // the beeper's fractional sample slots so far
};

struct Machine {
  Cpu6502 cpu;
  BusRQ4800 bus;
  FlashFileSystem storage;
  int32_t frameCount = 0;
  FramePosition frame;
  bool warmResetRequest = false;

  // An unsupported instruction stops the machine: no frame runs until a
  // reset (cold, warm, flash initialise or image load) clears the fault.
  bool faulted = false;
  int faultOpcode = 0;
  int faultAddress = 0;

  const ResourceStore& resources;
  std::string dataDirectory;  // with its trailing separator; holds "rq4800.fls"; empty: no image file
  SystemClock systemClock;
  IHostClock* clock = nullptr;  // the host's local time; systemClock when none is given

  // The image file found at power-on could not be used (wrong size,
  // unreadable, not a file) and was not loaded; the next save moves it aside
  // to a numbered backup (core/file_io.h, MoveAside) rather than replace the
  // only copy of what it held.
  bool keepOldImageOnSave = false;

  // Assembles the machine (buffers, reset, links); PowerOn is separate.
  Machine(const ResourceStore& resources, std::string dataDirectory = {}, IHostClock* clock = nullptr);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;
};

// The flash image file inside the data directory.
inline constexpr const char* kFlashImageName = "rq4800.fls";

void PowerOn(Machine& machine);
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
// the tick source and the beeper's sample slots, counted in sampleClock.
void AdvanceTimers(Machine& machine, int slice, double& sampleClock);

// Flash image operations. SaveFlashImage replaces the file atomically and
// durably (WriteFileAtomically), so a failure leaves the old file whole; it
// returns false (with a reason in *error when given) on any failure.
bool SaveFlashImage(Machine& machine, std::string* error = nullptr);
void InitialiseFlash(Machine& machine);
// Ignores (and returns false for) contents that are not exactly one flash image.
bool LoadFlashImageFile(Machine& machine, const uint8_t* data, size_t size);

// The steps of PowerOn: ROM images 112..114 into their ranges (a missing one
// leaves its range as it is), then the flash from the image file or the
// default image.
void LoadRomImages(Machine& machine);
void LoadFlashAtPowerOn(Machine& machine);

// Clears a fault left by an unsupported instruction and puts the frame
// position back to a frame start; every reset path runs it.
void ClearFault(Machine& machine);

}  // namespace rq4800

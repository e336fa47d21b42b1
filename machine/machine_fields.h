#pragma once
// The machine's state as plain values: every field that decides what the
// device does next, apart from the three large buffers (RAM, flash, the
// ring's samples), which save states and rewind snapshots keep in their own
// ways. Pointers become places in the bus's buffers, so a record can be
// written to a file and put back into any machine of the same build.
//
//   MachineFields f;
//   CaptureFields(machine, f);          // between frames
//   ... later, or into another machine:
//   if (CheckFields(f, &error)) ApplyFields(f, machine);
//
// ROM is not part of it: it never changes after power-on, and a state only
// fits the firmware it ran with (see save_state.h).
#include <cstdint>
#include <string>

#include "sound/sound_generator.h"

namespace rq4800 {

struct Machine;

// Where a window or page-table entry points: an 8 KB block of RAM, ROM or
// flash, by its offset in that buffer.
struct BlockPlace {
  static constexpr uint8_t kRam = 0;
  static constexpr uint8_t kRom = 1;
  static constexpr uint8_t kFlash = 2;

  uint8_t area = kRam;
  uint32_t offset = 0;

  bool operator==(const BlockPlace&) const = default;
};

struct MachineFields {
  // Processor registers, interrupt lines and the slice's cycle carry.
  uint32_t A = 0, X = 0, Y = 0, P = 0, SP = 0, PC = 0;
  uint8_t irqPending = 0, nmiRequest = 0, nmiArmed = 0;
  int32_t cycles = 0;

  // Bus: ports, memory map and the devices behind the ports.
  uint32_t ports[64] = {};
  uint32_t intControl = 0;
  uint32_t keyRowSelect = 0;
  BlockPlace window[8] = {};
  BlockPlace pageTable[16] = {};
  int32_t zeroPageOffset = 0;
  int32_t timer0Counter = 0;
  int32_t timer0Reload = 0;
  uint8_t timerARunning = 0, timerBRunning = 0;
  double timerACounter = 0.0, timerACarry = 0.0, timerBCounter = 0.0;
  uint8_t soundLatch = 0, beeperGate = 0;
  int32_t soundHandshake = 0;
  int32_t beeperLevel = 0;
  int32_t flashUnlock = 0, flashProgram = 0, flashErase = 0;

  // The keys held, as the firmware reads them.
  uint32_t keyWords[8] = {};
  uint8_t unseenKeyWords = 0, releaseKeyWords = 0;

  // The sound generator with its decoder history and command position; its
  // ring link is always null here.
  SoundGenerator sound;

  // The sample ring's positions. Without storage the ring is always empty.
  uint8_t ringStorage = 0;
  int32_t ringWrite = 0, ringRead = 0;

  // Frame and fault state.
  int32_t frameCount = 0;
  uint8_t warmResetRequest = 0;
  uint8_t faulted = 0;
  int32_t faultOpcode = 0, faultAddress = 0;
};

void CaptureFields(const Machine& machine, MachineFields& fields);

// Whether every field holds a value the machine can reach; on failure the
// message names the field. Nothing that passes can make the machine index
// outside its buffers or tables.
bool CheckFields(const MachineFields& fields, std::string* error);

// Puts fields into machine, which must have passed CheckFields. The ring
// link of the sound generator, the ring's samples and the buffers' contents
// are left to the caller.
void ApplyFields(const MachineFields& fields, Machine& machine);

}  // namespace rq4800

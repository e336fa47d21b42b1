#include "machine/machine_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>

#include "machine/machine.h"

namespace rq4800 {

namespace {

// A field added to any of these records must be added to MachineFields,
// to CaptureFields, CheckFields and ApplyFields, and to the state sections;
// the sizes make the compiler say so.
static_assert(sizeof(Cpu6502) == 40, "Cpu6502 changed: carry the new field in MachineFields");
static_assert(sizeof(BusRQ4800) == 2304, "BusRQ4800 changed: carry the new field in MachineFields");
static_assert(sizeof(SoundGenerator) == 1704, "SoundGenerator changed: carry the new field in MachineFields");

constexpr uint32_t kBlockSize = 0x2000;

uint32_t AreaSize(uint8_t area) {
  switch (area) {
    case BlockPlace::kRam: return BusRQ4800::kRamSize;
    case BlockPlace::kRom: return BusRQ4800::kRomSize;
    case BlockPlace::kFlash: return BusRQ4800::kFlashSize;
    default: return 0;
  }
}

BlockPlace PlaceOf(const BusRQ4800& bus, const uint8_t* block) {
  const struct {
    uint8_t area;
    const uint8_t* base;
  } areas[] = {{BlockPlace::kRam, bus.ram.get()}, {BlockPlace::kRom, bus.rom.get()}, {BlockPlace::kFlash, bus.flash.get()}};
  const std::less<const uint8_t*> before;
  for (const auto& a : areas) {
    if (!before(block, a.base) && before(block, a.base + AreaSize(a.area)))
      return {a.area, static_cast<uint32_t>(block - a.base)};
  }
  return {0xFF, 0};  // no buffer of this bus: CheckFields refuses it
}

uint8_t* BlockAt(BusRQ4800& bus, BlockPlace place) {
  uint8_t* base = place.area == BlockPlace::kRam ? bus.ram.get()
                  : place.area == BlockPlace::kRom ? bus.rom.get()
                                                   : bus.flash.get();
  return base + place.offset;
}

// Collects the first failed check; later ones are not looked at.
struct Checker {
  std::string* error;
  bool ok = true;

  void Fail(const char* field, const char* value) {
    if (!ok) return;
    ok = false;
    if (error) *error = std::string(field) + " has an impossible value (" + value + ")";
  }
  void Fail(const char* field, long long value) { Fail(field, std::to_string(value).c_str()); }
  void Range(const char* field, long long value, long long low, long long high) {
    if (value < low || value > high) Fail(field, value);
  }
  void Flag(const char* field, uint8_t value) { Range(field, value, 0, 1); }
  template <class Array>
  void AllInRange(const char* field, const Array& values, long long low, long long high) {
    for (const auto& v : values) Range(field, static_cast<long long>(v), low, high);
  }
  // The timers count in doubles between 0 and 256.
  void Count(const char* field, double value) {
    if (!std::isfinite(value) || value < 0.0 || value >= 256.0) {
      char text[32];
      std::snprintf(text, sizeof text, "%g", value);
      Fail(field, text);
    }
  }
  void Block(const char* field, BlockPlace place) {
    const uint32_t size = AreaSize(place.area);
    if (size == 0 || place.offset % kBlockSize != 0 || place.offset > size - kBlockSize)
      Fail(field, static_cast<long long>(place.area) << 32 | place.offset);
  }
};

void CheckProcessor(const MachineFields& f, Checker& c) {
  c.Range("A", f.A, 0, 0xFF);
  c.Range("X", f.X, 0, 0xFF);
  c.Range("Y", f.Y, 0, 0xFF);
  c.Range("SP", f.SP, 0, 0xFF);
  // Bits 5 and 4 exist only on the stack copy of P.
  if (f.P > 0xFF || (f.P & 0x30) != 0) c.Fail("P", f.P);
  c.Range("PC", f.PC, 0, 0xFFFF);
  c.Flag("irqPending", f.irqPending);
  c.Flag("nmiRequest", f.nmiRequest);
  c.Flag("nmiArmed", f.nmiArmed);
  // Between slices the carry is what the last instruction and interrupt
  // entries ran past the budget: far below four slices.
  c.Range("cycles", f.cycles, 0, 4 * Cpu6502::kSliceUnits - 1);
}

void CheckBus(const MachineFields& f, Checker& c) {
  for (int p = 0; p < 64; ++p) {
    // Port 0x08 may hold a copied key word; every other port a byte.
    if (p != 0x08) c.Range("a port latch", f.ports[p], 0, 0xFF);
  }
  c.Range("intControl", f.intControl, 0, 0xFF);
  c.Range("keyRowSelect", f.keyRowSelect, 0, 0xFF);
  for (const BlockPlace& place : f.window) c.Block("a window", place);
  for (const BlockPlace& place : f.pageTable) c.Block("a page-table entry", place);
  // Windows 0, 1 and 7 never move; window 6 shows a page of the table.
  if (f.window[0] != BlockPlace{BlockPlace::kRam, 0x0000}) c.Fail("window 0", f.window[0].offset);
  if (f.window[1] != BlockPlace{BlockPlace::kRam, 0x2000}) c.Fail("window 1", f.window[1].offset);
  if (f.window[7] != BlockPlace{BlockPlace::kRom, 0x6000}) c.Fail("window 7", f.window[7].offset);
  if (std::find(std::begin(f.pageTable), std::end(f.pageTable), f.window[6]) == std::end(f.pageTable))
    c.Fail("window 6", f.window[6].offset);
  constexpr int32_t kOffsets[] = {0, -0x40, 0x1C0, 0x200, 0x240, 0x280};
  if (std::find(std::begin(kOffsets), std::end(kOffsets), f.zeroPageOffset) == std::end(kOffsets))
    c.Fail("zeroPageOffset", f.zeroPageOffset);
  c.Range("timer0Counter", f.timer0Counter, 0, 0xFFFF);
  c.Range("timer0Reload", f.timer0Reload, 0, 0xFFFF);
  c.Flag("timerARunning", f.timerARunning);
  c.Flag("timerBRunning", f.timerBRunning);
  c.Count("timerACounter", f.timerACounter);
  c.Count("timerACarry", f.timerACarry);
  c.Count("timerBCounter", f.timerBCounter);
  c.Flag("soundLatch", f.soundLatch);
  c.Flag("beeperGate", f.beeperGate);
  if (f.soundHandshake != 0 && f.soundHandshake != 0x5A && f.soundHandshake != 0xFF)
    c.Fail("soundHandshake", f.soundHandshake);
  c.Range("beeperLevel", f.beeperLevel, -1, 1);
  c.Range("flashUnlock", f.flashUnlock, 0, 2);
  c.Range("flashProgram", f.flashProgram, 0, 3);
  c.Range("flashErase", f.flashErase, 0, 5);
}

void CheckSound(const SoundGenerator& g, Checker& c) {
  constexpr int kLongestLag = 140;
  c.AllInRange("a sound frame word", g.frameWords, 0, 0xFFFF);
  c.Range("sound wordIndex", g.wordIndex, 0, SoundGenerator::kFrameWords);
  c.Range("sound mode", g.mode, 0, 0xFF);
  c.AllInRange("a previous LSP", g.previousLsp, 0, 0x7FFF);
  c.AllInRange("a current LSP", g.currentLsp, 0, 0x7FFF);
  c.AllInRange("an LSP index", g.lspIndices, 0, 15);
  c.Range("sound pitchLag", g.pitchLag, 0, kLongestLag);
  c.Range("sound pitchFraction", g.pitchFraction, 0, 2);
  c.Range("sound subframeLength", g.subframeLength, SoundGenerator::kSubframeSamples, SoundGenerator::kSubframeSamples);
  c.Range("sound savedPitchIndex", g.savedPitchIndex, 0, 0xFF);
  c.Range("sound lagCountdown", g.lagCountdown, -SoundGenerator::kSubframeSamples, kLongestLag);
  c.Range("sound historyWrite", g.historyWrite, 0, SoundGenerator::kHistorySize - 1);
  c.Range("sound historyNewest", g.historyNewest, 0, SoundGenerator::kHistorySize - 1);
  c.Range("sound pitchField", g.pitchField, 0, 0xFF);
  c.Range("sound gainIndex", g.gainIndex, 0, 15);
  c.Range("sound amplitudeIndex", g.amplitudeIndex, 0, 15);
  c.Range("sound gridBit", g.gridBit, 0, 1);
  // A pulse moves on by the lag each time it is placed.
  c.Range("sound pulsePosition1", g.pulsePosition1, 0, SoundGenerator::kSubframeSamples + kLongestLag);
  c.Range("sound pulsePosition2", g.pulsePosition2, 0, SoundGenerator::kSubframeSamples + kLongestLag);
  c.Range("sound pulseSign1", g.pulseSign1, -1, 1);
  c.Range("sound pulseSign2", g.pulseSign2, -1, 1);
}

}  // namespace

void CaptureFields(const Machine& machine, MachineFields& f) {
  const Cpu6502& cpu = machine.cpu;
  f.A = cpu.A;
  f.X = cpu.X;
  f.Y = cpu.Y;
  f.P = cpu.P;
  f.SP = cpu.SP;
  f.PC = cpu.PC;
  f.irqPending = cpu.irqPending;
  f.nmiRequest = cpu.nmiRequest;
  f.nmiArmed = cpu.nmiArmed;
  f.cycles = cpu.cycles;

  const BusRQ4800& bus = machine.bus;
  std::copy(std::begin(bus.ports), std::end(bus.ports), f.ports);
  f.intControl = bus.intControl;
  f.keyRowSelect = bus.keyRowSelect;
  for (int i = 0; i < 8; ++i) f.window[i] = PlaceOf(bus, bus.window[i]);
  for (int i = 0; i < 16; ++i) f.pageTable[i] = PlaceOf(bus, bus.pageTable[i]);
  f.zeroPageOffset = bus.zeroPageOffset;
  f.timer0Counter = bus.timer0Counter;
  f.timer0Reload = bus.timer0Reload;
  f.timerARunning = bus.timerARunning;
  f.timerBRunning = bus.timerBRunning;
  f.timerACounter = bus.timerACounter;
  f.timerACarry = bus.timerACarry;
  f.timerBCounter = bus.timerBCounter;
  f.soundLatch = bus.soundLatch;
  f.beeperGate = bus.beeperGate;
  f.soundHandshake = bus.soundHandshake;
  f.beeperLevel = bus.beeperLevel;
  f.flashUnlock = bus.flashUnlock;
  f.flashProgram = bus.flashProgram;
  f.flashErase = bus.flashErase;
  std::copy(std::begin(bus.keyWords), std::end(bus.keyWords), f.keyWords);

  f.sound = bus.sound;
  f.sound.ring = nullptr;

  const SampleRing* ring = bus.ring;
  f.ringStorage = ring && ring->HasStorage();
  f.ringWrite = f.ringStorage ? ring->write : 0;
  f.ringRead = f.ringStorage ? ring->read : 0;

  f.frameCount = machine.frameCount;
  f.unseenKeyWords = machine.keys.unseenWords;
  f.releaseKeyWords = machine.keys.releaseWords;
  f.warmResetRequest = machine.warmResetRequest;
  f.faulted = machine.faulted;
  f.faultOpcode = machine.faultOpcode;
  f.faultAddress = machine.faultAddress;
}

bool CheckFields(const MachineFields& f, std::string* error) {
  Checker c{error};
  CheckProcessor(f, c);
  CheckBus(f, c);
  CheckSound(f.sound, c);
  c.Flag("ringStorage", f.ringStorage);
  c.Range("ring write index", f.ringWrite, 0, SampleRing::kCapacity - 1);
  c.Range("ring read index", f.ringRead, 0, SampleRing::kCapacity - 1);
  if (!f.ringStorage && (f.ringWrite != 0 || f.ringRead != 0)) c.Fail("ring without storage", f.ringWrite);
  // The half-second tick brings the count back to 0 at 25.
  c.Range("frameCount", f.frameCount, 0, 24);
  c.Flag("warmResetRequest", f.warmResetRequest);
  c.Flag("faulted", f.faulted);
  c.Range("faultOpcode", f.faultOpcode, 0, 0xFF);
  c.Range("faultAddress", f.faultAddress, 0, 0xFFFF);
  return c.ok;
}

void ApplyFields(const MachineFields& f, Machine& machine) {
  Cpu6502& cpu = machine.cpu;
  cpu.A = f.A;
  cpu.X = f.X;
  cpu.Y = f.Y;
  cpu.P = f.P;
  cpu.SP = f.SP;
  cpu.PC = f.PC;
  cpu.irqPending = f.irqPending;
  cpu.nmiRequest = f.nmiRequest;
  cpu.nmiArmed = f.nmiArmed;
  cpu.cycles = f.cycles;

  BusRQ4800& bus = machine.bus;
  std::copy(std::begin(f.ports), std::end(f.ports), bus.ports);
  bus.intControl = f.intControl;
  bus.keyRowSelect = f.keyRowSelect;
  for (int i = 0; i < 8; ++i) bus.window[i] = BlockAt(bus, f.window[i]);
  for (int i = 0; i < 16; ++i) bus.pageTable[i] = BlockAt(bus, f.pageTable[i]);
  bus.zeroPageOffset = f.zeroPageOffset;
  bus.timer0Counter = f.timer0Counter;
  bus.timer0Reload = f.timer0Reload;
  bus.timerARunning = f.timerARunning;
  bus.timerBRunning = f.timerBRunning;
  bus.timerACounter = f.timerACounter;
  bus.timerACarry = f.timerACarry;
  bus.timerBCounter = f.timerBCounter;
  bus.soundLatch = f.soundLatch;
  bus.beeperGate = f.beeperGate;
  bus.soundHandshake = f.soundHandshake;
  bus.beeperLevel = f.beeperLevel;
  bus.flashUnlock = f.flashUnlock;
  bus.flashProgram = f.flashProgram;
  bus.flashErase = f.flashErase;
  std::copy(std::begin(f.keyWords), std::end(f.keyWords), bus.keyWords);

  SampleRing* const link = bus.sound.ring;
  bus.sound = f.sound;
  bus.sound.ring = link;

  // A ring without storage stays empty whatever the state's ring held: no
  // producer can write into it and no consumer reads it.
  if (SampleRing* ring = bus.ring) {
    const bool storage = ring->HasStorage() && f.ringStorage;
    ring->write = storage ? f.ringWrite : 0;
    ring->read = storage ? f.ringRead : 0;
  }

  machine.frameCount = f.frameCount;
  machine.keys.unseenWords = f.unseenKeyWords;
  machine.keys.releaseWords = f.releaseKeyWords;
  machine.warmResetRequest = f.warmResetRequest;
  machine.faulted = f.faulted;
  machine.faultOpcode = f.faultOpcode;
  machine.faultAddress = f.faultAddress;
  // Fields are always taken between frames: a machine stopped inside one
  // must not run that frame's remaining slices on the state put in.
  machine.frame = FramePosition{};
}

}  // namespace rq4800

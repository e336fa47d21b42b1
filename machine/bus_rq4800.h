#pragma once
// The device's bus: the 64 KB address space the processor sees, and the
// device state behind the I/O ports.
//
//   0x0000..0x003F  I/O ports (read side effects: 0x01, 0x04..0x07, 0x21)
//   0x0040..0x007F  zero-page slice: ram[zeroPageOffset + address] (port 0x0F)
//   0x0080..0x3FFF  RAM, windows 0 and 1
//   0x4000..0x7FFF  windows 2, 3: RAM (BANK 0), ROM page BANK, or flash page
//   0x8000..0xBFFF  windows 4, 5: first half of the ROM or flash page
//   0xC000..0xDFFF  window 6: pageTable[port 0x0A & 15]
//   0xE000..0xFFFF  window 7: ROM 0x6000..0x7FFF (the vectors)
//
// Flash mode is bit 7 of port 0x0A; then writes to 0x4000..0xBFFF with BANK
// below 16 are cycles of the flash chip's command protocol.
#include <cstdint>
#include <memory>

#include "core/cpu6502.h"
#include "sound/sample_ring.h"
#include "sound/sound_generator.h"

namespace rq4800 {

struct BusRQ4800 final : IBus6502 {
  static constexpr int kRamSize = 65536;
  static constexpr int kRomSize = 16777216;  // 512 pages of 32 KB
  static constexpr int kFlashSize = 524288;  // 16 pages of 32 KB
  static constexpr int kLcdAddress = 0x09C0;  // 80 rows of 20 bytes
  static constexpr int kWindowShift = 13;        // 8 windows of 8 KB
  static constexpr int kWindowMask = 0x1FFF;

  Cpu6502* cpu = nullptr;  // not owned
  SoundGenerator sound;
  uint32_t ports[64] = {};
  uint32_t intControl = 0;    // last value written to port 0x01
  uint32_t keyRowSelect = 0;  // last value written to port 0x08
  std::unique_ptr<uint8_t[]> ram;
  std::unique_ptr<uint8_t[]> rom;
  std::unique_ptr<uint8_t[]> flash;
  uint8_t* window[8] = {};
  uint8_t* pageTable[16] = {};
  int32_t zeroPageOffset = 0;
  int32_t timer0Counter = 0;
  int32_t timer0Reload = 0;
  uint32_t keyWords[8] = {};
  bool timerARunning = false;
  bool timerBRunning = false;
  double timerACounter = 0.0;
  double timerACarry = 0.0;
  double timerBCounter = 0.0;
  bool soundLatch = false;
  bool beeperGate = false;
  int32_t soundHandshake = 0;
  SampleRing* ring = nullptr;  // not owned; attached by the front end
  int32_t beeperLevel = 0;     // +1 or -1 (0 after reset)
  int32_t flashUnlock = 0, flashProgram = 0, flashErase = 0;

  BusRQ4800();  // allocates the three buffers zero-filled and runs ResetMachine

  // Read and Write are defined here so that the processor's run slice,
  // instantiated on this final class (machine/frame.cpp), can inline them:
  // RAM and window accesses stay in the loop, ports, ROM/flash stores and
  // flash commands go out of line.
  int Read(int address) override {
    // Unsigned, so that a stray negative address falls into the window path
    // and is masked there instead of indexing before a buffer.
    const unsigned a = static_cast<unsigned>(address);
    if (a < 0x80) [[unlikely]] {
      if (a < 0x40) return ReadPort(static_cast<int>(a)) & 0xFF;
      return ram[zeroPageOffset + static_cast<int>(a)];
    }
    return window[(a >> kWindowShift) & 7][a & kWindowMask];
  }

  void Write(int address, int value) override {
    const unsigned a = static_cast<unsigned>(address);
    const uint8_t byte = static_cast<uint8_t>(value);
    if (a < 0x80) [[unlikely]] {
      if (a < 0x40) {
        WritePort(static_cast<int>(a), byte);
      } else {
        ram[zeroPageOffset + static_cast<int>(a)] = byte;
      }
      return;
    }
    if (a < 0x4000) [[likely]] {
      window[a >> kWindowShift][a & kWindowMask] = byte;  // RAM, windows 0 and 1
      return;
    }
    WriteAbove4000(a, byte);
  }

  // Write's cases from 0x4000 up: banked RAM, flash commands, window 6.
  void WriteAbove4000(unsigned address, uint8_t byte);

  int ReadPort(int port);
  void WritePort(int port, int value);
  void RecomputeWindows();
  void FlashCommandCycle(int address, int value);
  void ResetMachine();

  // The front end gives the bus its sample ring once the wave output has
  // storage for it; the beeper and the sound generator both write into it.
  void AttachRing(SampleRing* sampleRing) {
    ring = sampleRing;
    sound.ring = sampleRing;
  }

  bool FlashMode() const { return (ports[0x0A] & 0x80) != 0; }
  const uint8_t* Lcd() const { return ram.get() + kLcdAddress; }
};

}  // namespace rq4800

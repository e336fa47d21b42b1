// The bus: how the processor's 64 KB address space lands on the ports, RAM,
// ROM and flash.
//
//   Addresses       Read                         Write
//   0x0000..0x003F  port read (ports.cpp)        port write (ports.cpp)
//   0x0040..0x007F  ram[zeroPageOffset + a]      ram[zeroPageOffset + a]
//   0x0080..0x3FFF  RAM (windows 0, 1)           stored
//   0x4000..0x7FFF  window 2, 3                  flash mode, BANK < 16: flash command cycle
//                                                BANK 0 (RAM): stored; otherwise dropped
//   0x8000..0xBFFF  window 4, 5                  flash mode, BANK < 16: flash command cycle
//                                                otherwise dropped (ROM)
//   0xC000..0xDFFF  window 6 = pageTable[BSW]    stored only while page 1 (RAM 0x6000) is
//                                                shown; dropped over a ROM page
//   0xE000..0xFFFF  ROM 0x6000..0x7FFF           dropped
//
// Windows 2..5 show one 32 KB page with its halves swapped: 0x4000..0x7FFF is
// the page's second half, 0x8000..0xBFFF its first half. In ROM mode the page
// is BANK + 256 * (port 0x0D bit 0); with BANK 0 RAM 0x4000..0x7FFF stands in
// for the second half. In flash mode (port 0x0A bit 7) the page is flash page
// BANK & 15.
//
// The page table of window 6 (port 0x0A bits 0..3):
//   page n != 1 -> ROM (n ^ 2) * 0x2000, so 0 -> 0x4000, 2 -> 0x0000, 15 -> 0x1A000
//   page 1      -> RAM 0x6000
//
// Nothing ever writes into ROM: the only stores outside RAM are flash command
// cycles, which the flash chip decodes itself.
#include "machine/bus_rq4800.h"

#include <cstring>

namespace rq4800 {

namespace {
constexpr int kPageSize = 0x8000;
}  // namespace

BusRQ4800::BusRQ4800()
    : ram(new uint8_t[kRamSize]()), rom(new uint8_t[kRomSize]()), flash(new uint8_t[kFlashSize]()) {
  ResetMachine();
}

// Read and Write themselves are in the header, for the processor to inline.
void BusRQ4800::WriteAbove4000(unsigned a, uint8_t byte) {
  const uint32_t bank = ports[0x00];
  if (a < 0xC000) {
    if (FlashMode() && bank < 16) {
      FlashCommandCycle(static_cast<int>(a), byte);
    } else if (bank == 0 && a < 0x8000) {
      window[a >> kWindowShift][a & kWindowMask] = byte;  // RAM 0x4000..0x7FFF
    }
    return;
  }
  // Window 6 takes a store only while it shows the RAM page; a ROM page
  // there is as read-only as any other ROM. Addresses above 0xFFFF (a
  // disassembly running past the top) are dropped with window 7.
  if (a < 0xE000 && window[6] == pageTable[1]) window[6][a & kWindowMask] = byte;
}

void BusRQ4800::RecomputeWindows() {
  const uint32_t bank = ports[0x00];
  uint8_t* base;
  if (FlashMode()) {
    base = flash.get() + (bank & 15) * kPageSize;
  } else {
    // BANK is a 32-bit latch but the processor only ever writes a byte; the
    // mask keeps the page inside the 512 pages of the buffer whatever a
    // debugger puts there.
    const uint32_t page = (bank & 0xFF) + 256 * (ports[0x0D] & 1);
    base = rom.get() + static_cast<size_t>(page) * kPageSize;
  }
  window[4] = base + 0x0000;
  window[5] = base + 0x2000;
  if (!FlashMode() && bank == 0) {
    window[2] = ram.get() + 0x4000;
    window[3] = ram.get() + 0x6000;
  } else {
    window[2] = base + 0x4000;
    window[3] = base + 0x6000;
  }
}

void BusRQ4800::ResetMachine() {
  timerACarry = timerBCounter = timerACounter = 0.0;
  timerARunning = timerBRunning = false;
  timer0Reload = timer0Counter = 0;
  soundLatch = beeperGate = false;
  soundHandshake = 0;
  flashErase = flashProgram = flashUnlock = 0;
  beeperLevel = 0;
  std::memset(ports, 0, sizeof ports);
  intControl = 0;
  keyRowSelect = 0;
  std::memset(ram.get(), 0, kRamSize);

  window[0] = ram.get() + 0x0000;
  window[1] = ram.get() + 0x2000;
  ports[0x00] = 0;
  RecomputeWindows();

  zeroPageOffset = 0;
  window[7] = rom.get() + 0x6000;
  for (int page = 0; page < 16; ++page) {
    pageTable[page] = page == 1 ? ram.get() + 0x6000 : rom.get() + (page ^ 2) * 0x2000;
  }
  window[6] = pageTable[0];
}

}  // namespace rq4800

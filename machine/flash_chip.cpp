// The flash chip's command decoder. In flash mode with BANK below 16 every
// processor write to 0x4000..0xBFFF is a bus cycle of the chip; the chip
// changes its contents only through two sequences:
//
//   byte program:   5555/AA  AAAA/55  5555/A0  target/data      (data ANDed in)
//   sector erase:   5555/AA  AAAA/55  5555/80  5555/AA  AAAA/55  sector/30
//
// The shared unlock moves the three state fields together (Idle ->
// Unlocked1 -> Unlocked2); the command byte then leaves only one of them
// armed. A cycle that fits no state changes nothing and is logged, so a
// sequence interrupted by a stray write resumes with its next cycle.
//
// Addresses are the processor's: cycle address a touches flash offset
// BANK * 0x8000 + (a & 0x7FFF), the byte windows 2..5 show at a.
#include "core/debug_log.h"
#include "machine/bus_rq4800.h"

#include <cstring>

namespace rq4800 {

namespace {

// Values of flashUnlock, flashProgram and flashErase.
enum FlashState : int32_t {
  kIdle = 0,
  kUnlocked1 = 1,       // 5555/AA seen
  kUnlocked2 = 2,       // AAAA/55 seen: a command byte is next
  kProgramArmed = 3,    // flashProgram: the next cycle programs its byte
  kEraseSetUp = 3,      // flashErase: 5555/80 seen
  kEraseUnlocked1 = 4,  // flashErase: second 5555/AA seen
  kEraseUnlocked2 = 5,  // flashErase: second AAAA/55 seen: the sector cycle is next
};

constexpr int kUnlockAddress1 = 0x5555;
constexpr int kUnlockAddress2 = 0xAAAA;
constexpr int kSectorSize = 0x1000;

}  // namespace

void BusRQ4800::FlashCommandCycle(int address, int value) {
  const int32_t page = static_cast<int32_t>(ports[0x00] & 15) * 0x8000;

  if (flashUnlock == kIdle && flashProgram == kIdle && flashErase == kIdle && address == kUnlockAddress1 &&
      value == 0xAA) {
    flashUnlock = flashProgram = flashErase = kUnlocked1;
    return;
  }
  if (flashUnlock == kUnlocked1 && flashProgram == kUnlocked1 && flashErase == kUnlocked1 &&
      address == kUnlockAddress2 && value == 0x55) {
    flashUnlock = flashProgram = flashErase = kUnlocked2;
    return;
  }

  if (flashProgram == kUnlocked2 && address == kUnlockAddress1 && value == 0xA0) {
    flashProgram = kProgramArmed;
    flashUnlock = flashErase = kIdle;
    return;
  }
  if (flashProgram == kProgramArmed) {
    // Programming can only clear bits; erasing is the only way back to 1.
    flash[page + (address & 0x7FFF)] &= static_cast<uint8_t>(value);
    flashProgram = kIdle;
    return;
  }

  switch (flashErase) {
    case kUnlocked2:
      if (address == kUnlockAddress1 && value == 0x80) {
        flashErase = kEraseSetUp;
        flashProgram = flashUnlock = kIdle;
        return;
      }
      break;
    case kEraseSetUp:
      if (address == kUnlockAddress1 && value == 0xAA) {
        flashErase = kEraseUnlocked1;
        return;
      }
      break;
    case kEraseUnlocked1:
      if (address == kUnlockAddress2 && value == 0x55) {
        flashErase = kEraseUnlocked2;
        return;
      }
      break;
    case kEraseUnlocked2:
      if (value == 0x30) {
        std::memset(flash.get() + page + (address & 0x7000), 0xFF, kSectorSize);
        flashErase = kIdle;
        return;
      }
      break;
    default:
      break;
  }

  DebugLog("write %x %x %x %x\n", static_cast<unsigned>(address), static_cast<unsigned>(value), 0u,
           static_cast<unsigned>(ports[0x00]));
}

}  // namespace rq4800

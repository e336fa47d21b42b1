// The I/O ports at 0x00..0x3F. Every port latches what the processor writes
// into ports[p] and reads it back, except:
//
//   Port  Read                                  Write
//   0x00  BANK                                  BANK; recompute windows 2..5
//   0x01  INT status; clears bits 0..5          intControl (INT is not touched)
//   0x02  latch (last timer A load)             timer A = v + carry, at most 255.0; carry 0
//   0x03  latch (last timer B load)             timer B = v
//   0x04  timer A count; stops timer A          latch; bits 0..3 enable the tick source
//   0x05  timer A count; starts timer A         latch
//   0x06  timer B count; stops timer B          latch
//   0x07  timer B count; starts timer B         latch; bit 7 opens the beeper gate
//   0x08  key word / last row select            latch; keyRowSelect = v
//   0x09  latch                                 latch; 0x80..0x04 copy keyWords 0..5 to port 0x08
//   0x0A  latch                                 flash mode (bit 7), BSW (bits 0..3): windows 2..6
//   0x0B  bits 1..7 latched, bit 0 key sense    latch
//   0x0C  latch & 0x7F                          latch
//   0x0D  latch                                 latch; bit 0 is the ROM page's high bit, taken
//                                               at the next write to port 0x00 or 0x0A
//   0x0F  latch                                 zero-page slice (bits 0..2); key row path (0xF_)
//   0x10  latch                                 timer 0 reload, low byte (port not latched)
//   0x11  latch                                 timer 0 reload high byte and counter (not latched)
//   0x14  latch                                 latch; bits 4..7 the rate of timer 0
//   0x15  latch                                 latch; bits 0..1 set switch on the extra key path
//   0x18  latch                                 latch; beeper level from bit 7 while the gate is open
//   0x19  latch                                 latch; bit 7 closes the beeper gate
//   0x20  sound status (0xC0, 0x70, 0x40)       0x40 or 0x80: sound reset (port not latched)
//   0x21  handshake; 0x5A -> 0xFF -> 0          latch
//   0x22  latch                                 latch; low byte of a sound command word
//   0x23  latch                                 latch; sends the word (v << 8 | port 0x22)
//
// Port reads and writes run inside the processor's instruction loop: constant
// time, no allocation, no host calls.
#include "machine/bus_rq4800.h"

namespace rq4800 {

namespace {

// Bit 0 of port 0x0B: 0 while the key that the firmware is probing is down.
// The row path scans keyWords 6 (and bit 0 of word 7) by the row select the
// firmware wrote to port 0x08; the extra path reports the two keys in bits 1
// and 2 of word 7 by the column value of port 0x09.
int KeySense(const BusRQ4800& bus) {
  const uint32_t row = bus.keyWords[6];
  const uint32_t extra = bus.keyWords[7];
  if ((bus.ports[0x0F] & 0xF0) == 0xF0) {
    const uint32_t select = bus.keyRowSelect;
    bool down = false;
    switch (select) {
      case 0xFE: case 0xFD: case 0xFB: case 0xF7:
      case 0xEF: case 0xDF: case 0xBF: case 0x7F: {
        const uint32_t bit = ~select & 0xFF;  // the one cleared bit names the key
        down = (row & bit) != 0;
        break;
      }
      case 0xFF:
        down = (extra & 0x01) != 0;
        break;
      case 0x00:  // "any key": the firmware's wake-up probe
        down = (row & 0xFF) != 0 || (extra & 0x01) != 0;
        break;
      default:
        break;
    }
    if (down) return 0;
  }
  if ((bus.ports[0x15] & 0x03) == 0x03) {
    const uint32_t column = bus.ports[0x09];
    if (column == 0xFE) return (extra & 0x02) ? 0 : 1;
    if (column == 0xFD) return (extra & 0x04) ? 0 : 1;
    if ((column & 0x03) == 0) return (extra & 0x06) ? 0 : 1;
    return 1;
  }
  return 1;
}

// The firmware paces its speech by the ring's fill level: above half a
// second of samples it waits.
int SoundStatus(const BusRQ4800& bus) {
  if (bus.soundLatch) return 0xC0;
  const int fill = bus.ring ? bus.ring->Fill() : 0;
  return fill > 22050 ? 0x70 : 0x40;
}

void UpdateBeeperGate(BusRQ4800& bus) {
  bus.beeperGate = (bus.ports[0x07] & 0x80) != 0 && (bus.ports[0x19] & 0x80) == 0;
}

// Port 0x0F bits 0..2: where the 64 bytes at 0x40..0x7F come from. Settings
// 1..3 show the RAM hidden behind the I/O ports.
constexpr int32_t kZeroPageOffsets[8] = {0, -0x40, -0x40, -0x40, 0x1C0, 0x200, 0x240, 0x280};

constexpr int kCommandReset = 0x8000;      // sets the busy latch of port 0x20
constexpr int kCommandHandshake = 0xD001;  // answered through port 0x21

}  // namespace

int BusRQ4800::ReadPort(int port) {
  port &= 0x3F;
  switch (port) {
    case 0x01: {
      const uint32_t status = ports[0x01];
      ports[0x01] = status & 0xC0;
      return static_cast<int>(status);
    }
    case 0x04:
      timerARunning = false;
      return static_cast<int>(timerACounter);
    case 0x05:
      timerARunning = true;
      return static_cast<int>(timerACounter);
    case 0x06:
      timerBRunning = false;
      return static_cast<int>(timerBCounter);
    case 0x07:
      timerBRunning = true;
      return static_cast<int>(timerBCounter);
    case 0x0B:
      return static_cast<int>(ports[0x0B] & 0xFE) | KeySense(*this);
    case 0x0C:
      return static_cast<int>(ports[0x0C] & 0x7F);
    case 0x20:
      return SoundStatus(*this);
    case 0x21: {
      const int32_t value = soundHandshake;
      soundHandshake = value == 0x5A ? 0xFF : 0;
      return value;
    }
    default:
      return static_cast<int>(ports[port]);
  }
}

void BusRQ4800::WritePort(int port, int value) {
  port &= 0x3F;
  const uint32_t v = static_cast<uint32_t>(value) & 0xFF;
  switch (port) {
    case 0x00:
      ports[0x00] = v;
      RecomputeWindows();
      break;
    case 0x01:
      intControl = v;
      break;
    case 0x02:
      ports[0x02] = v;
      timerACounter = v + timerACarry;
      if (timerACounter > 255.0) timerACounter = 255.0;
      timerACarry = 0.0;
      break;
    case 0x03:
      ports[0x03] = v;
      timerBCounter = v;
      break;
    case 0x07:
      ports[0x07] = v;
      UpdateBeeperGate(*this);
      break;
    case 0x08:
      ports[0x08] = v;
      keyRowSelect = v;
      break;
    case 0x09:
      ports[0x09] = v;
      switch (v) {
        case 0x80: ports[0x08] = keyWords[0]; break;
        case 0x40: ports[0x08] = keyWords[1]; break;
        case 0x20: ports[0x08] = keyWords[2]; break;
        case 0x10: ports[0x08] = keyWords[3]; break;
        case 0x08: ports[0x08] = keyWords[4]; break;
        case 0x04: ports[0x08] = keyWords[5]; break;
        default: break;
      }
      break;
    case 0x0A:
      ports[0x0A] = v;
      window[6] = pageTable[v & 15];
      RecomputeWindows();
      break;
    case 0x0F:
      ports[0x0F] = v;
      zeroPageOffset = kZeroPageOffsets[v & 7];
      break;
    case 0x10:
      timer0Reload = static_cast<int32_t>((static_cast<uint32_t>(timer0Reload) & ~0xFFu) | v);
      break;
    case 0x11:
      timer0Reload = static_cast<int32_t>(v * 256 + (static_cast<uint32_t>(timer0Reload) & 0xFF));
      timer0Counter = timer0Reload;
      break;
    case 0x18:
      ports[0x18] = v;
      if (beeperGate) beeperLevel = (v & 0x80) ? 1 : -1;
      break;
    case 0x19:
      ports[0x19] = v;
      UpdateBeeperGate(*this);
      break;
    case 0x20:
      if (v == 0x40 || v == 0x80) {
        soundLatch = false;
        sound.Reset();
      }
      break;
    case 0x23: {
      ports[0x23] = v;
      const int low = static_cast<int>(ports[0x22] & 0xFF);
      const int word = static_cast<int>(v) * 256 + low;
      if (word == kCommandReset) soundLatch = true;
      if (word == kCommandHandshake) soundHandshake = 0x5A;
      sound.WriteCommand(static_cast<int>(v), low);
      break;
    }
    default:
      ports[port] = v;
      break;
  }
}

}  // namespace rq4800

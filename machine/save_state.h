#pragma once
// Save states: the whole running device as one byte vector, and back.
//
// A state holds everything that decides what the device does next: the
// processor (registers, interrupt lines, the cycle carry), every field of
// the bus (ports, windows and page table, timers, beeper, flash command
// state), RAM, the whole flash, the key words, the sound generator with its
// decoder history and command position, the sample ring's positions and the
// samples waiting in it, the frame counter, a pending warm reset and the
// fault state. ROM is not stored: a CRC-32 of each 4 MB ROM range stands for
// it, and a state made with other firmware is refused.
//
// File format, version 1. Every number is little-endian.
//
//   Offset  Size  Content
//   0       8     magic "RQ4800ST"
//   8       4     format version (1)
//   12      4     length of the whole file in bytes
//   16      4     number of sections that follow
//   20      ...   sections, each: tag (4 ASCII bytes), payload length L (4), L bytes of payload
//   end-4   4     CRC-32 (zlib's) of every byte before it
//
//   Tag     Payload
//   "ROMS"  4 x CRC-32 of the ROM ranges 0x000000, 0x400000, 0x800000 and 0xC00000 (4 MB each)
//   "CPU "  A, X, Y, P, SP, PC (4 each), irqPending, nmiRequest, nmiArmed (1 each), cycles (4)
//   "BUS "  the 64 port latches (4 each), intControl, keyRowSelect (4 each); windows 0..7 and
//           page-table entries 0..15 as area (1: 0 RAM, 1 ROM, 2 flash) and offset (4);
//           zeroPageOffset, timer0Counter, timer0Reload (4 each); timerARunning,
//           timerBRunning (1 each); timerACounter, timerACarry, timerBCounter (8 each, IEEE-754);
//           soundLatch, beeperGate (1 each); soundHandshake, beeperLevel, flashUnlock,
//           flashProgram, flashErase (4 each)
//   "KEYS"  keyWords 0..7 (4 each); key words pressed since the last frame, key words whose
//           release waits for the next frame (1 each, bit w for word w)
//   "SND "  the sound generator's fields in declaration order (state_sections.h)
//   "RING"  storage flag (1), write index (4), read index (4), pending count n (4: the
//           samples from read up to write), n samples (2 each). The spent samples before
//           read are never played again and are not kept.
//   "FRAM"  frameCount (4), warmResetRequest, faulted (1 each), faultOpcode, faultAddress (4 each)
//   "RAM "  65,536 (4), then the RAM as one zlib stream
//   "FLSH"  erased-sector map (16 bytes: bit s % 8 of byte s / 8 set when 4 KB sector s is all
//           0xFF), then the other sectors, in order, as one zlib stream
//
// Every section appears exactly once, in any order; an unknown tag is refused
// (a new section makes a new version). Loading checks the magic, the version,
// the length, the CRC, each section's length, the ROM ranges and every
// field's range before it changes anything, so a refused state leaves the
// running machine exactly as it was.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rq4800 {

struct Machine;
struct BusRQ4800;

inline constexpr uint32_t kSaveStateVersion = 1;

// CRC-32 of each 4 MB ROM range, in address order. Hashing 16 MB takes
// milliseconds, and ROM never changes after power-on: take it once then.
struct RomHashes {
  std::array<uint32_t, 4> crc{};
  bool operator==(const RomHashes&) const = default;
};
RomHashes HashRomRanges(const BusRQ4800& bus);

// The state of machine, taken between frames. rom must be the machine's own
// hashes.
std::vector<uint8_t> SaveState(const Machine& machine, const RomHashes& rom);

// Puts the state in bytes into machine, whose ROM hashes are rom. On any
// fault in bytes returns false with the reason in *error (when given) and
// leaves machine untouched. The ring the machine has attached receives the
// state's positions and pending samples; a ring without storage stays empty.
bool LoadState(Machine& machine, const RomHashes& rom, std::span<const uint8_t> bytes, std::string* error);

// Only the RAM of a state (65,536 bytes), checked as LoadState checks the
// whole: what a list of saved states shows of each (its LCD memory).
bool ReadStateRam(std::span<const uint8_t> bytes, std::vector<uint8_t>* ram, std::string* error);

}  // namespace rq4800

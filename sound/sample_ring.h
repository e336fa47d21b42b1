#pragma once
// The one ring of 44,100 Hz samples that every sound producer writes (the
// speech decoder, the beeper) and the wave output drains. One slot always
// stays free, so read == write means empty.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rq4800 {

struct SampleRing {
  static constexpr int kCapacity = 176400;  // four seconds

  std::vector<int16_t> samples;  // empty until the wave output gives it storage
  int write = 0;                 // changed only by producers
  int read = 0;                  // changed only by the wave output

  // Storage counts only at its full size, so no index can fall outside it.
  bool HasStorage() const { return samples.size() == static_cast<std::size_t>(kCapacity); }
  bool Empty() const { return read == write; }
  bool Full() const { return write + 1 == read || (read == 0 && write + 1 == kCapacity); }
  int Fill() const { return write >= read ? write - read : write - read + kCapacity; }
  // Stores one sample unless there is no storage or the ring is full; a
  // sample that finds no room is dropped, never delayed.
  void Push(int16_t sample) {
    if (!HasStorage() || Full()) return;
    samples[write] = sample;
    write = write + 1 == kCapacity ? 0 : write + 1;
  }
};

}  // namespace rq4800

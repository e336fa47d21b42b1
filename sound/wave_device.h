#pragma once
// The platform's wave-output device, as the wave output (wave_output.h) uses
// it: 44,100 Hz mono signed 16-bit little-endian PCM, played from blocks the
// owner prepares and queues.
//
// How a finished block comes back: a device never calls into the emulator.
// It counts the blocks it has finished playing, in the order they were
// queued, and hands that count out through TakeFinishedBlocks(), which the
// owner calls on the emulation thread (ServiceWaveOutput does it between
// frames) and answers with one RefillBlock per finished block. A device that
// plays on a thread of its own only has to keep that count thread-safe.
//
// Call order per block: Unprepare (harmless on a block never prepared),
// Prepare, and if that succeeds, Queue. A block must stay untouched between
// Queue and its being reported finished.
#include <cstdint>

namespace rq4800 {

// One block as the device sees it: the owner's buffer and its length.
struct WaveBlock {
  const int16_t* data = nullptr;
  int bytes = 0;
  bool prepared = false;  // set by Prepare, cleared by Unprepare
};

class IWaveDevice {
 public:
  static constexpr int kSampleRate = 44100;
  static constexpr int kChannels = 1;
  static constexpr int kBitsPerSample = 16;

  virtual ~IWaveDevice() = default;
  // Opens the device for the format above; false when it cannot play it.
  virtual bool Open() = 0;
  virtual bool Prepare(WaveBlock& block) = 0;
  virtual void Unprepare(WaveBlock& block) = 0;
  virtual void Queue(WaveBlock& block) = 0;
  // Blocks finished since the last call, oldest first.
  virtual int TakeFinishedBlocks() = 0;
};

}  // namespace rq4800

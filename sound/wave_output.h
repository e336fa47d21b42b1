#pragma once
// Plays the sample ring through a wave device: four blocks of 882 samples
// (one machine frame, 20 ms, each) circulate; every block the device has
// finished is refilled from the ring, padded with silence where the ring runs
// short, and queued again. This is the ring's only consumer and the only
// writer of its read index.
//
//   WaveOutput out;
//   OpenWaveOutput(out, device, ring);  // storage for the ring, 4 silent blocks
//   ... each frame: ServiceWaveOutput(out);  (or RefillBlock(out) directly
//   when the caller itself decides that a block has been played)
#include <array>
#include <cstdint>

#include "sound/sample_ring.h"
#include "sound/wav_file_device.h"
#include "sound/wave_device.h"

namespace rq4800 {

struct WaveOutput {
  static constexpr int kBlockSamples = 882;
  static constexpr int kBlockCount = 4;

  IWaveDevice* device = nullptr;  // null when opening failed: no sound
  SampleRing* ring = nullptr;
  std::array<std::array<int16_t, kBlockSamples>, kBlockCount> buffers{};
  std::array<WaveBlock, kBlockCount> headers{};
  int blockIndex = 0;  // advanced before each refill: order 1, 2, 3, 0, ...
  // A recording of what plays: every block the device takes is appended
  // here too, as it was queued (silence where the ring ran short), so the
  // file holds exactly the sound the user hears, before any volume.
  WavFileDevice* recorder = nullptr;
};

// Opens the device; on success gives the ring its storage (emptied) and
// queues four blocks of silence. On failure the ring is left without storage
// and every producer discards its samples. Returns whether sound is on.
bool OpenWaveOutput(WaveOutput& out, IWaveDevice& device, SampleRing& ring);

// Refills the next block in rotation from the ring and queues it. The device
// finishes blocks in queue order, so the rotation names the finished block.
void RefillBlock(WaveOutput& out);

// Answers every block the device reports finished with a refill; returns how
// many there were.
int ServiceWaveOutput(WaveOutput& out);

}  // namespace rq4800

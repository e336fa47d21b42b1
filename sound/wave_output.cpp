#include "sound/wave_output.h"

#include <algorithm>

namespace rq4800 {

bool OpenWaveOutput(WaveOutput& out, IWaveDevice& device, SampleRing& ring) {
  out.ring = &ring;
  if (!device.Open()) {
    out.device = nullptr;
    ring.samples.clear();
    ring.samples.shrink_to_fit();
    ring.read = 0;
    ring.write = 0;
    return false;
  }
  out.device = &device;
  ring.samples.assign(SampleRing::kCapacity, 0);
  ring.read = 0;
  ring.write = 0;
  // The ring is empty, so these queue silence and put all four blocks in
  // circulation.
  for (int n = 0; n < WaveOutput::kBlockCount; ++n) RefillBlock(out);
  return true;
}

void RefillBlock(WaveOutput& out) {
  if (out.device == nullptr || out.ring == nullptr) return;
  out.blockIndex = (out.blockIndex + 1) % WaveOutput::kBlockCount;
  WaveBlock& header = out.headers[out.blockIndex];
  auto& buffer = out.buffers[out.blockIndex];
  out.device->Unprepare(header);
  header = WaveBlock{};

  SampleRing& ring = *out.ring;
  int need = WaveOutput::kBlockSamples;
  int16_t* dest = buffer.data();
  if (ring.HasStorage()) {
    if (ring.read > ring.write) {  // the pending samples wrap past the end
      const int n = std::min(SampleRing::kCapacity - ring.read, need);
      dest = std::copy_n(ring.samples.begin() + ring.read, n, dest);
      ring.read += n;
      if (ring.read == SampleRing::kCapacity) ring.read = 0;
      need -= n;
    }
    if (ring.read < ring.write) {
      const int m = std::min(ring.write - ring.read, need);
      dest = std::copy_n(ring.samples.begin() + ring.read, m, dest);
      ring.read += m;
      need -= m;
    }
  }
  std::fill_n(dest, need, int16_t{0});

  header.data = buffer.data();
  header.bytes = WaveOutput::kBlockSamples * 2;
  // A block that cannot be prepared leaves circulation; the rest play on.
  if (!out.device->Prepare(header)) return;
  out.device->Queue(header);
  if (out.recorder != nullptr) out.recorder->Append(buffer.data(), WaveOutput::kBlockSamples);
}

int ServiceWaveOutput(WaveOutput& out) {
  if (out.device == nullptr) return 0;
  const int finished = out.device->TakeFinishedBlocks();
  for (int n = 0; n < finished; ++n) RefillBlock(out);
  return finished;
}

}  // namespace rq4800

#pragma once
// Test helpers: speech frames written field by field and sent as the
// firmware sends them, one word per strobe.
#include <array>

#include "sound/sound_generator.h"

namespace rq4800::test {

struct SubframeFields {
  int pitch = 0;  // 8-bit index (even subframes) or delta + 16 (odd)
  int pulsePair = 0, grid = 0, gain = 0, amplitude = 0;
  bool negative1 = false, negative2 = false;
};
struct FrameFields {
  std::array<int, 10> lsp = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3};  // ordered: a stable filter
  std::array<SubframeFields, 4> sub{};
};

inline std::array<int, 15> EncodeFrame(const FrameFields& f) {
  const auto& l = f.lsp;
  std::array<int, 15> w = {l[0] | l[1] << 3 | l[2] << 7, 0x1000 | l[3] | l[4] << 4 | l[5] << 8,
                           0x2000 | l[6] | l[7] << 3 | l[8] << 6 | l[9] << 9};
  for (int s = 0; s < 4; ++s) {
    const SubframeFields& b = f.sub[s];
    w[3 + 3 * s] = 0x3000 | (b.pitch & (s % 2 == 0 ? 0xFF : 0x1F));
    w[4 + 3 * s] = 0x4000 | (b.pulsePair & 0x1FF) | b.grid << 9;
    w[5 + 3 * s] = 0x5000 | b.gain | b.amplitude << 4 | b.negative2 << 8 | b.negative1 << 9;
  }
  return w;
}

inline void SendWord(SoundGenerator& g, int word) { g.WriteCommand(word >> 8, word & 0xFF); }
inline void SendFrame(SoundGenerator& g, const std::array<int, 15>& words) {
  for (int w : words) SendWord(g, w);
}

// A generator whose ring has its storage.
struct GeneratorRig {
  SampleRing ring;
  SoundGenerator g;
  GeneratorRig() {
    ring.samples.assign(SampleRing::kCapacity, 0);
    g.ring = &ring;
  }
  GeneratorRig(const GeneratorRig& other) : ring(other.ring), g(other.g) { g.ring = &ring; }
};

}  // namespace rq4800::test

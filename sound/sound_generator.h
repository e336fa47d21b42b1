#pragma once
// The device's sound generator: a CELP speech decoder with a raw sample path,
// driven by 16-bit command words (ports 0x20, 0x22, 0x23). Frame mode collects
// fifteen tagged words and decodes them into 240 samples at 8000 Hz; PCM mode
// plays each word as one sample. Every 8 kHz sample is written 5 or 6 times
// into the ring, alternately, which turns 8000 samples into 44000.
#include <cstdint>

#include "sound/sample_ring.h"

namespace rq4800 {

struct SoundGenerator {
  SampleRing* ring = nullptr;  // not owned; null when none is attached

  void Reset();
  void WriteCommand(int high, int low);
  void PushSample(int sample);

  // (decoder state follows; see sound_generator.cpp)
};

}  // namespace rq4800

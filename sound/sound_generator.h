#pragma once
// The device's sound generator: a CELP speech decoder with a raw sample path,
// driven by 16-bit command words (ports 0x20, 0x22, 0x23). Frame mode collects
// fifteen tagged words and decodes them into 240 samples at 8000 Hz; PCM mode
// plays each word as one sample. Every 8 kHz sample is written 5 or 6 times
// into the ring, alternately, which turns 8000 samples into 44000.
//
// Command words (high byte, low byte):
//   frame mode  high 0x00..0x5F  frame word, tag = high >> 4:
//                                tags 0,1,2 = LSP words, tags 3,4,5 = the
//                                pitch / pulse-pair / gain words of a subframe
//               high 0xA0        mode = low (1 frame, 4 PCM)
//               high 0x60..0xFF  any other: logged as "DSP_CMD %04X"
//   PCM mode    high 0xFF        back to frame mode
//               anything else    one sample, word - 0x8000
//
// The arithmetic is the device's: 32-bit signed integers whose sums and
// products wrap modulo 2^32, arithmetic right shifts throughout.
#include <array>
#include <cstdint>

#include "sound/sample_ring.h"

namespace rq4800 {

struct SoundGenerator {
  static constexpr int kFrameWords = 15;
  static constexpr int kFrameSamples = 240;
  static constexpr int kSubframeSamples = 60;
  static constexpr int kHistorySize = 148;  // longest delay (140 + 4 taps) plus margin
  static constexpr int kModeFrame = 1;
  static constexpr int kModePcm = 4;

  SampleRing* ring = nullptr;  // not owned; null when none is attached

  // Command-word collection.
  std::array<int32_t, kFrameWords> frameWords{};  // low 16 bits used
  int32_t wordIndex = 0;  // slot the next tag 3..5 word must fill
  int32_t mode = kModeFrame;

  // Spectral envelope: LSPs as Q15 fractions of 4000 Hz, cosines in Q14.
  std::array<int32_t, 10> previousLsp{};
  std::array<int32_t, 10> currentLsp{};
  std::array<int32_t, 10> lspCosines{};  // of the subframe being synthesised
  std::array<int32_t, 10> lspIndices{};

  // Past excitation, written at decreasing slots: a higher slot (mod 148)
  // is an older sample.
  std::array<int32_t, kHistorySize> history{};
  std::array<int16_t, kFrameSamples> outputFrame{};
  std::array<int32_t, kSubframeSamples> adaptive{};  // of the current subframe

  // Pitch of the current subframe.
  int32_t pitchLag = 0;
  int32_t pitchFraction = 0;  // thirds of a sample: 0, 1 or 2
  int32_t subframeLength = kSubframeSamples;
  int32_t savedPitchIndex = 0;  // of the last even subframe; odd ones are deltas
  int32_t lagCountdown = 0;     // lag - 1 - i; negative once the lag no longer reaches before the subframe

  int32_t historyWrite = kHistorySize - 1;  // slot of the next excitation sample
  int32_t historyNewest = 0;                // slot of the most recent one
  bool firstFrame = true;

  // Fields of the current subframe.
  int32_t pitchField = 0;
  int32_t gainIndex = 0;
  int32_t amplitudeIndex = 0;
  int32_t gridBit = 0;
  int32_t pulsePosition1 = 0;
  int32_t pulsePosition2 = 0;
  int32_t pulseSign1 = 0;  // +1 or -1 once a subframe is prepared
  int32_t pulseSign2 = 0;

  std::array<int32_t, 10> synthesisMemory{};  // y(n-1) .. y(n-10), unsaturated
  std::array<int32_t, 11> predictor{};        // a0 .. a10, Q11

  uint32_t alternation = 0;  // odd: the next sample is written a sixth time

  // Port 0x20's reset: clears the excitation history and returns to frame
  // mode. Collected words, LSPs, synthesis memory, the saved pitch index and
  // the alternation survive, and the first-frame interpolation is not redone.
  void Reset();
  // One command word, high * 256 + low (each taken as a byte).
  void WriteCommand(int high, int low);
  // Output stage: one 8 kHz sample, written 5 or 6 times into the ring.
  void PushSample(int sample);
};

}  // namespace rq4800

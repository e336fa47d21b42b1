#include "sound/speech_decoder.h"

#include <algorithm>

#include "sound/sound_tables.h"
#include "sound/wrap32.h"

namespace rq4800 {
namespace {

// Where each LSP index sits in the three LSP words: word, first bit, width.
struct LspField {
  int word;
  int shift;
};
constexpr std::array<LspField, 10> kLspFields = {{
    {0, 0}, {0, 3}, {0, 7}, {1, 0}, {1, 4}, {1, 8}, {2, 0}, {2, 3}, {2, 6}, {2, 9},
}};

constexpr std::array<int32_t, 4> kPreviousWeight = {3, 2, 1, 0};
constexpr std::array<int32_t, 4> kCurrentWeight = {1, 2, 3, 4};

// Product of two Q15-scaled values, kept in Q15.
int32_t MulShift15(int32_t a, int32_t b) { return WrapMul(a, b) >> 15; }

void UnpackLsp(SoundGenerator& g) {
  for (int k = 0; k < 10; ++k) {
    const LspField field = kLspFields[k];
    const int32_t index = (g.frameWords[field.word] >> field.shift) & ((1 << kLspBits[k]) - 1);
    g.lspIndices[k] = index;
    g.currentLsp[k] = kLspValues[k][index];
  }
}

void PrepareSubframe(SoundGenerator& g, int s) {
  const int32_t pitchWord = g.frameWords[3 + 3 * s];
  const int32_t pulseWord = g.frameWords[4 + 3 * s];
  const int32_t gainWord = g.frameWords[5 + 3 * s];

  // The pulse-pair index has 9 bits but only 435 pairs; the indices beyond
  // fall back on the last pair so that a malformed frame stays in the table.
  const int32_t pairIndex = std::min<int32_t>(pulseWord & 0x1FF, kPulsePairCount - 1);
  const PulsePair pair = kPulsePairs[pairIndex];
  g.gridBit = (pulseWord >> 9) & 1;
  g.pulsePosition1 = g.gridBit + 2 * pair.first;
  g.pulsePosition2 = g.gridBit + 2 * pair.second;

  g.gainIndex = gainWord & 0xF;
  g.amplitudeIndex = (gainWord >> 4) & 0xF;
  g.pulseSign2 = (gainWord & 0x100) ? -1 : 1;
  g.pulseSign1 = (gainWord & 0x200) ? -1 : 1;

  // Even subframes carry the pitch index itself, odd ones a delta of
  // -16..+15 from the even one before. A delta can leave 0..255, where the
  // lag rule has no meaning; it is clamped back.
  int32_t pitchIndex;
  if (s % 2 == 0) {
    g.pitchField = pitchWord & 0xFF;
    pitchIndex = g.pitchField;
    g.savedPitchIndex = pitchIndex;
  } else {
    g.pitchField = pitchWord & 0x1F;
    pitchIndex = std::clamp<int32_t>(g.savedPitchIndex + g.pitchField - 16, 0, 255);
  }
  if (pitchIndex > 191) {
    g.pitchLag = pitchIndex - 115;  // 77..140 in whole samples
    g.pitchFraction = 0;
  } else {
    g.pitchLag = pitchIndex / 3 + 13;  // 13..76 2/3 in thirds
    g.pitchFraction = pitchIndex % 3;
  }

  InterpolateLsp(g.previousLsp, g.currentLsp, s, g.lspCosines);
  LspToPredictor(g.lspCosines, g.predictor);
  g.lagCountdown = g.pitchLag - 1;
}

// The excitation 'back' + 1 samples before the subframe start, or, when the
// delay falls inside the subframe (back < 0), the adaptive vector already
// built: a lag shorter than the subframe repeats the vector, not the new
// excitation.
int32_t Past(const SoundGenerator& g, int32_t back) {
  if (back >= 0) {
    int32_t slot = g.historyNewest + back;
    if (slot >= SoundGenerator::kHistorySize) slot -= SoundGenerator::kHistorySize;
    return g.history[slot];
  }
  return g.adaptive[-back - 1];
}

void SynthesizeSubframe(SoundGenerator& g, int s) {
  const int32_t gain = kPitchGains[g.gainIndex];
  const int32_t amplitude = kPulseAmplitudes[g.amplitudeIndex];
  const int32_t pulse1 = g.pulseSign1 * amplitude;
  const int32_t pulse2 = g.pulseSign2 * amplitude;
  const int32_t start = g.historyWrite;
  const auto& a = g.predictor;
  auto& y = g.synthesisMemory;

  for (int i = 0; i < SoundGenerator::kSubframeSamples; ++i) {
    // lagCountdown + 4 - k is how far before the subframe start the tap
    // x(lag + 4 - k) lies, less one.
    int32_t v;
    if (g.pitchFraction == 0) {
      v = Past(g, g.lagCountdown);
    } else {
      const auto& h = kFractionTaps[g.pitchFraction - 1];
      int32_t sum = 0;
      for (int k = 0; k < 8; ++k) sum = WrapAdd(sum, MulShift15(Past(g, g.lagCountdown + 4 - k), h[k]));
      v = Wrap16(sum);
    }
    g.adaptive[i] = v;

    int32_t e = WrapMul(gain, v) >> 14;
    if (i == g.pulsePosition1) {
      e = WrapAdd(e, pulse1);
      g.pulsePosition1 += g.pitchLag;
    }
    if (i == g.pulsePosition2) {
      e = WrapAdd(e, pulse2);
      g.pulsePosition2 += g.pitchLag;
    }
    g.history[g.historyWrite] = e;

    int32_t prediction = 1024;  // rounds the Q11 sum
    for (int k = 0; k < 10; ++k) prediction = WrapAdd(prediction, WrapMul(a[k + 1], y[k]));
    const int32_t out = WrapSub(e, prediction >> 11);
    for (int k = 9; k > 0; --k) y[k] = y[k - 1];
    y[0] = out;
    // 16 y is formed in 32 bits like every other value, so a runaway filter
    // beyond 2^27 wraps before the saturation, as on the device.
    g.outputFrame[SoundGenerator::kSubframeSamples * s + i] = static_cast<int16_t>(Saturate16(WrapMul(16, out)));

    g.historyWrite = g.historyWrite == 0 ? SoundGenerator::kHistorySize - 1 : g.historyWrite - 1;
    --g.lagCountdown;
  }
  g.historyWrite = (start + SoundGenerator::kHistorySize - SoundGenerator::kSubframeSamples) %
                   SoundGenerator::kHistorySize;
  g.historyNewest = (g.historyWrite + 1) % SoundGenerator::kHistorySize;
}

}  // namespace

void InterpolateLsp(const std::array<int32_t, 10>& previous, const std::array<int32_t, 10>& current,
                    int subframe, std::array<int32_t, 10>& cosines) {
  const int s = subframe & 3;
  for (int k = 0; k < 10; ++k) {
    // Q17 position on the 128-step half circle; table LSPs stay below step
    // 123, the clamp only guards callers with values of their own.
    int32_t w = WrapAdd(WrapMul(previous[k], kPreviousWeight[s]), WrapMul(current[k], kCurrentWeight[s]));
    w = std::clamp<int32_t>(w, 0, 127 * 1024 - 1);
    const int32_t m = w >> 10;
    const int32_t f = w & 1023;
    cosines[k] = kCosineTable[m] + (((kCosineTable[m + 1] - kCosineTable[m]) * f) >> 10);
  }
}

void SymmetricSums(const std::array<int32_t, 5>& x, std::array<int32_t, 5>& e) {
  std::array<int32_t, 5> d;
  int32_t sum = 0;
  for (int i = 0; i < 5; ++i) {
    d[i] = WrapMul(2, x[i]);
    sum = WrapAdd(sum, x[i]);
  }
  int32_t e2 = 5;
  int32_t e3 = 0;
  int32_t e4 = 0;
  for (int i = 0; i < 5; ++i) {
    for (int j = i + 1; j < 5; ++j) {
      e2 = WrapAdd(e2, MulShift15(x[i], x[j]));
      const int32_t dij = MulShift15(d[i], d[j]);
      for (int k = j + 1; k < 5; ++k) {
        e3 = WrapSub(e3, MulShift15(x[k], dij));
        for (int l = k + 1; l < 5; ++l) e4 = WrapAdd(e4, MulShift15(MulShift15(d[k], d[l]), dij));
      }
    }
  }
  const int32_t e5 =
      WrapMul(-2, MulShift15(MulShift15(MulShift15(d[3], d[4]), MulShift15(d[0], d[1])), d[2]));
  e = {WrapSub(2, sum) >> 2, e2, e3, e4, e5};
}

void LspToPredictor(const std::array<int32_t, 10>& cosines, std::array<int32_t, 11>& a) {
  std::array<int32_t, 5> odd;
  std::array<int32_t, 5> even;
  for (int i = 0; i < 5; ++i) {
    odd[i] = cosines[2 * i];
    even[i] = cosines[2 * i + 1];
  }
  std::array<int32_t, 5> E;
  std::array<int32_t, 5> F;
  SymmetricSums(odd, E);
  SymmetricSums(even, F);
  const auto add = [](auto... terms) {
    int32_t sum = 0;
    ((sum = WrapAdd(sum, terms)), ...);
    return sum;
  };
  // P (1 + 1/z) and Q (1 - 1/z), coefficients 2..5; the upper half mirrors.
  const int32_t p2 = add(E[1], 10240, E[0]);
  const int32_t p3 = add(p2, E[2], WrapMul(3, E[0]));
  const int32_t p4 = add(E[3], 10240, WrapMul(2, E[1]), p3);
  const int32_t p5 = add(E[4], WrapMul(2, E[0]), E[2], p4);
  const int32_t q2 = add(WrapSub(F[1], F[0]), 10240);
  const int32_t q3 = WrapSub(add(F[2], WrapMul(3, F[0])), q2);
  const int32_t q4 = WrapSub(add(F[3], WrapMul(2, F[1]), 10240), q3);
  const int32_t q5 = WrapSub(add(F[4], WrapMul(2, F[0]), F[2]), q4);
  a[0] = 2048;
  a[1] = WrapAdd(E[0], F[0]) >> 1;
  a[2] = WrapAdd(p2, q2) >> 1;
  a[3] = WrapAdd(p3, q3) >> 1;
  a[4] = WrapAdd(p4, q4) >> 1;
  a[5] = WrapAdd(p5, q5) >> 1;
  a[6] = WrapSub(p5, q5) >> 1;
  a[7] = WrapSub(p4, q4) >> 1;
  a[8] = WrapSub(p3, q3) >> 1;
  a[9] = WrapSub(p2, q2) >> 1;
  a[10] = WrapAdd(WrapSub(E[0], F[0]), 4096) >> 1;
}

void DecodeFrame(SoundGenerator& g) {
  UnpackLsp(g);
  if (g.firstFrame) {
    // Nothing to come from yet: the first frame interpolates with itself.
    g.previousLsp = g.currentLsp;
    g.firstFrame = false;
  }
  for (int s = 0; s < 4; ++s) {
    PrepareSubframe(g, s);
    SynthesizeSubframe(g, s);
  }
  g.previousLsp = g.currentLsp;
  for (const int16_t sample : g.outputFrame) g.PushSample(sample);
}

}  // namespace rq4800

#include "sound/speech_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sound/sound_tables.h"
#include "tests/sound/frame_words.h"

namespace rq4800 {
namespace {

using test::FrameFields;
using test::GeneratorRig;
using test::SendFrame;

// History slot of sample n of a fresh generator's first frame: written
// downwards from 147, the last 148 samples kept.
int SlotOfSample(int n) { return ((147 - n) % 148 + 148) % 148; }

GeneratorRig Decode(const FrameFields& f) {
  GeneratorRig rig;
  SendFrame(rig.g, EncodeFrame(f));
  return rig;
}

TEST(LspToPredictor, HandWorkedSums) {
  std::array<int32_t, 5> e;
  SymmetricSums({8192, 0, 0, 0, 0}, e);  // E1 = (2 - 8192) >> 2 = floor(-2047.5)
  EXPECT_EQ(e, (std::array<int32_t, 5>{-2048, 5, 0, 0, 0}));
  // Five cosines of 1: sums of five terms -2 are -10, 40, -80, 80, -32, in
  // Q11 -20480, 81920, -163840, 163840, -65536; E2 carries its +5.
  SymmetricSums({16384, 16384, 16384, 16384, 16384}, e);
  EXPECT_EQ(e, (std::array<int32_t, 5>{-20480, 81925, -163840, 163840, -65536}));
  // All cosines 0: P = Q = (1 + z^-2)^5, so A = 1, 5, 10, 10, 5, 1 on the
  // even powers, plus the +5 of each E2: p2 = q2 = 10245, p4 = q4 = 20495.
  std::array<int32_t, 11> a;
  LspToPredictor({}, a);
  EXPECT_EQ(a, (std::array<int32_t, 11>{2048, 0, 10245, 0, 20495, 0, 20495, 0, 10245, 0, 2048}));
}

TEST(LspToPredictor, AgreesWithTheExactPolynomialWithinRounding) {
  uint32_t seed = 12345;
  for (int trial = 0; trial < 300; ++trial) {
    std::array<int32_t, 10> lsp, c;
    for (int k = 0; k < 10; ++k) {
      seed = seed * 1664525u + 1013904223u;
      lsp[k] = kLspValues[k][(seed >> 16) % (1u << kLspBits[k])];
    }
    std::sort(lsp.begin(), lsp.end());
    InterpolateLsp(lsp, lsp, 3, c);
    std::array<int32_t, 11> a;
    LspToPredictor(c, a);
    // (P (1 + 1/z) + Q (1 - 1/z)) / 2 in doubles, P from c0, c2, .., Q from c1, c3, ..
    std::vector<double> p{1.0}, q{1.0};
    for (int k = 0; k < 10; ++k) {
      auto& poly = k % 2 == 0 ? p : q;
      std::vector<double> next(poly.size() + 2, 0.0);
      for (size_t i = 0; i < poly.size(); ++i) {
        next[i] += poly[i];
        next[i + 1] -= 2.0 * c[k] / 16384.0 * poly[i];
        next[i + 2] += poly[i];
      }
      poly = next;
    }
    // A wrong term or sign is off by hundreds; rounding stays under 24.
    for (int i = 1; i <= 10; ++i) {
      EXPECT_NEAR(a[i], 1024.0 * (p[i] + p[i - 1] + q[i] - q[i - 1]), 24.0) << trial << " a" << i;
    }
  }
}

TEST(InterpolateLsp, QuarterWeightsAndFloorInterpolation) {
  std::array<int32_t, 10> prev, cur, cos;
  prev.fill(4096);
  cur.fill(8192);
  InterpolateLsp(prev, cur, 0, cos);  // 3*4096 + 8192 = 20*1024 -> T[20]
  EXPECT_EQ(cos[0], 14449);
  InterpolateLsp(prev, cur, 3, cos);  // the current set alone -> T[32]
  EXPECT_EQ(cos[9], 11585);
  // 4*819 = 3*1024 + 204: 16339 + ((16305 - 16339) * 204 >> 10) = 16339 - 7.
  prev.fill(819);
  InterpolateLsp(prev, prev, 1, cos);
  EXPECT_EQ(cos[0], 16332);
}

// Worked by hand. LSP indices all 3 (words 0x019B 0x1333 0x26DB); first
// frame, so all subframes use the set itself. Cosines T[m] + ((T[m+1] -
// T[m]) f >> 10): 2048 -> 16069, 2416 -> 15985 - 41 = 15944, then 14931,
// 13291, 9525, 2181, -1285, -8004, -12458, -14711. a1 = (E1 + F1) >> 1 =
// ((-26780 >> 2) + (-8699 >> 2)) >> 1 = (-6695 - 2175) >> 1 = -4435;
// a2 = 3007, a3 = -791. Subframe 0: lag 140, pulses of 870 at 0 and 2.
std::array<int, 15> HandFrame(int gainWord0) {
  return {0x019B, 0x1333, 0x26DB, 0x30FF, 0x4000, gainWord0, 0x3010, 0x4000,
          0x5000, 0x30FF, 0x4000, 0x5000, 0x3010, 0x4000, 0x5000};
}

TEST(DecodeFrame, HandWorkedSynthesisAndSaturation) {
  GeneratorRig rig;
  SendFrame(rig.g, HandFrame(0x51F0));  // pulse 2 negative
  EXPECT_EQ(rig.g.lspCosines, (std::array<int32_t, 10>{16069, 15944, 14931, 13291, 9525, 2181, -1285,
                                                        -8004, -12458, -14711}));
  EXPECT_EQ(rig.g.predictor[1], -4435);
  // y0 = 870; y1 = -((-4435*870 + 1024) >> 11) = 1884;
  // y2 = -870 - ((-4435*1884 + 3007*870 + 1024) >> 11) = -870 + 2802 = 1932;
  // y3 = -((-4435*1932 + 3007*1884 - 791*870 + 1024) >> 11) = 1754; times 16:
  const int16_t first[] = {13920, 30144, 30912, 28064};
  EXPECT_TRUE(std::equal(first, first + 4, rig.g.outputFrame.begin()));

  // Both pulses positive: y2 = 870 + 2802 = 3672 saturates (58752), and the
  // filter goes on from 3672: y3 = 5522 saturates again, where a filter
  // fed 2047 would give 32048.
  GeneratorRig loud;
  SendFrame(loud.g, HandFrame(0x50F0));
  const int16_t ringing[] = {13920, 30144, 32767, 32767};
  EXPECT_TRUE(std::equal(ringing, ringing + 4, loud.g.outputFrame.begin()));
  EXPECT_EQ(loud.g.outputFrame[12], 30400);
  EXPECT_EQ(loud.g.outputFrame[15], -32768);
}

TEST(DecodeFrame, PulsesRepeatEveryLagAndThePitchLoopRepeatsItsOwnVector) {
  // Subframe 2: lag 13 (index 0), +870 at 0 and -870 at 2, repeating.
  // Subframe 3: same lag, gain 0.75 (index 10), no pulses. For i < 13 it
  // takes x(13) = sample 167 + i (pulses at i = 5, 7); from 13 on it repeats
  // its own vector v, not the new excitation: e = (12288 * 870) >> 14 = 652,
  // (12288 * -870) >> 14 = floor(-652.5) = -653.
  FrameFields f;
  f.sub = {{{.pitch = 255}, {.pitch = 16}, {.pitch = 0, .amplitude = 15, .negative2 = true},
            {.pitch = 16, .gain = 10}}};
  const GeneratorRig rig = Decode(f);
  for (int i = 0; i < 60; ++i) {
    const int pulse = i % 13 == 0 ? 870 : (i % 13 == 2 ? -870 : 0);
    const int v = i % 13 == 5 ? 870 : (i % 13 == 7 ? -870 : 0);
    EXPECT_EQ(rig.g.history[SlotOfSample(120 + i)], pulse) << i;
    EXPECT_EQ(rig.g.adaptive[i], v) << i;
    EXPECT_EQ(rig.g.history[SlotOfSample(180 + i)], v == 0 ? 0 : (v > 0 ? 652 : -653)) << i;
  }
  EXPECT_EQ(rig.g.historyNewest, SlotOfSample(239));
}

TEST(DecodeFrame, FractionalLagUsesTheTapsWithFloorShifts) {
  // Subframe 2: lag 60 (index 141), +870 at its samples 0 and 58 (pair 28).
  // Subframe 3: index 142 = lag 60 1/3: v(i) = sum (x(64 - k) h1[k]) >> 15.
  // The pulse 60 back meets k = 4 - i: 870*26674 >> 15 = 708, then 337,
  // floor(-94.8) = -95, 27, floor(-6.2) = -7. The pulse 2 back meets
  // k = 62 - i, and from i = 57 taps with delay <= i read v itself.
  FrameFields f;
  f.sub = {{{.pitch = 255}, {.pitch = 16}, {.pitch = 141, .pulsePair = 28, .amplitude = 15}, {.pitch = 17}}};
  const GeneratorRig rig = Decode(f);
  std::array<int32_t, 60> v{708, 337, -95, 27, -7};
  v[55] = -11;               // 870 * -383
  v[56] = 43;                // 870 * 1629
  v[57] = -139 - 9;          // 870 * -5216, v0 * -383
  v[58] = 708 + 35 - 4;      // 870 * 26674, v0 * 1629, v1 * -383
  v[59] = 337 - 113 + 16 + 1;  // 870 * 12714, v0 * -5216, v1 * 1629, v2 * -383
  EXPECT_EQ(rig.g.adaptive, v);
}

TEST(DecodeFrame, PitchIndicesPulsePairsAndTheirClamps) {
  const int cases[][4] = {  // even index, odd field -> lag, fraction
      {191, 16, 76, 2}, {192, 16, 77, 0}, {2, 16, 13, 2}, {100, 20, 47, 2},
      {3, 0, 13, 0},     // 3 - 16 < 0: clamped to index 0
      {250, 31, 140, 0}  // 265: clamped to 255
  };
  for (const auto& c : cases) {
    FrameFields f;
    f.sub[2].pitch = c[0];
    f.sub[3].pitch = c[1];
    const GeneratorRig rig = Decode(f);
    EXPECT_EQ(rig.g.pitchLag, c[2]) << c[0] << "+" << c[1];
    EXPECT_EQ(rig.g.pitchFraction, c[3]) << c[0] << "+" << c[1];
  }
  for (int pair : {434, 511}) {  // beyond the table: the last pair, (28, 29)
    FrameFields f;
    f.sub = {{{.pitch = 255}, {}, {.pitch = 255}, {.pitch = 16, .pulsePair = pair, .grid = 1, .amplitude = 3}}};
    const GeneratorRig rig = Decode(f);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(rig.g.history[SlotOfSample(180 + i)], i == 57 || i == 59 ? 13 : 0);
  }
}

TEST(DecodeFrame, TheFirstFrameInterpolatesWithItselfAndResetDoesNotRestoreThat) {
  FrameFields quiet;  // silent frames leave history and filter at zero
  FrameFields impulse;
  impulse.sub[0] = {.pitch = 255, .pulsePair = 434, .amplitude = 10};
  FrameFields otherQuiet;
  otherQuiet.lsp = {7, 15, 15, 15, 15, 7, 7, 7, 7, 7};

  const GeneratorRig fresh = Decode(impulse);
  GeneratorRig same = Decode(quiet);
  SendFrame(same.g, EncodeFrame(impulse));
  EXPECT_EQ(same.g.outputFrame, fresh.g.outputFrame);

  GeneratorRig other = Decode(otherQuiet);
  ASSERT_EQ(other.g.outputFrame, decltype(other.g.outputFrame){});
  other.g.Reset();
  SendFrame(other.g, EncodeFrame(impulse));
  EXPECT_NE(other.g.outputFrame, fresh.g.outputFrame);  // subframe 0 came from the other set
}

}  // namespace
}  // namespace rq4800

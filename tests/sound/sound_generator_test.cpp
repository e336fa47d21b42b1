// The sound generator: command words, output stage and frame decode (expected values worked by hand).
#include "sound/sound_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

#include "core/debug_log.h"
#include "sound/sound_tables.h"
#include "sound/speech_decoder.h"

namespace rq4800 {
namespace {

struct SubframeFields {
  int pitch = 0;  // 8-bit index (even subframes) or delta + 16 (odd)
  int pulsePair = 0, grid = 0, gain = 0, amplitude = 0;
  bool negative1 = false, negative2 = false;
};
struct FrameFields {
  std::array<int, 10> lsp = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3};  // ordered: a stable filter
  std::array<SubframeFields, 4> sub{};
};

std::array<int, 15> EncodeFrame(const FrameFields& f) {
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

void SendWord(SoundGenerator& g, int word) { g.WriteCommand(word >> 8, word & 0xFF); }  // one per strobe
void SendFrame(SoundGenerator& g, const std::array<int, 15>& words) {
  for (int w : words) SendWord(g, w);
}

// A generator whose ring has its storage, optionally fed a first frame.
struct Rig {
  SampleRing ring{.samples = std::vector<int16_t>(SampleRing::kCapacity)};
  SoundGenerator g{.ring = &ring};
  Rig() = default;
  explicit Rig(const std::array<int, 15>& words) { SendFrame(g, words); }
  explicit Rig(const FrameFields& f) : Rig(EncodeFrame(f)) {}
};

// History slot of sample n of a fresh generator's first frame (written downwards from 147).
int SlotOfSample(int n) { return ((147 - n) % 148 + 148) % 148; }

FrameFields Audible() {
  FrameFields f;
  for (auto& sub : f.sub) sub = {.pitch = 100, .pulsePair = 40, .amplitude = 9};
  f.sub[1].pitch = f.sub[3].pitch = 16;
  return f;
}

TEST(SoundGenerator, FramesBecome1320RingSlotsAndTheFiveSixCadenceCarriesOn) {
  Rig rig(Audible());
  DebugLogCapture log;
  // Output sample n fills 'first' slots from 'pos' when n is even, else 11 - first.
  const auto expectRuns = [&rig](int pos, int first) {
    for (int n = 0; n < 240; ++n) {
      for (int c = 0; c < (n % 2 == 0 ? first : 11 - first); ++c, ++pos) {
        ASSERT_EQ(rig.ring.samples[pos], rig.g.outputFrame[n]) << n;
      }
    }
  };
  ASSERT_EQ(rig.ring.write, 1320);
  expectRuns(0, 5);
  // One PCM sample (5 copies) in between: the next frame starts with 6.
  for (int w : {0xA004, 0x8123, 0xFF00}) SendWord(rig.g, w);
  SendFrame(rig.g, EncodeFrame(Audible()));
  ASSERT_EQ(rig.ring.write, 2645);
  expectRuns(1325, 6);
}

TEST(SoundGenerator, FrameWordsCountOnlyInTheirTurn) {
  Rig rig;
  const auto w = EncodeFrame(Audible());
  for (int n = 0; n < 3; ++n) SendWord(rig.g, w[n]);
  SendWord(rig.g, 0x4155);  // tag 4 where tag 3 is due: ignored
  EXPECT_EQ(rig.g.wordIndex, 3);
  for (int n = 3; n < 5; ++n) SendWord(rig.g, w[n]);
  SendWord(rig.g, w[2]);  // tag 2 always sets the index to 3
  EXPECT_EQ(rig.g.wordIndex, 3);
  for (int n = 3; n < 10; ++n) SendWord(rig.g, w[n]);
  SendWord(rig.g, w[0]);  // tag 0 restarts the collection
  EXPECT_EQ(rig.g.wordIndex, 1);
  for (int n = 1; n < 15; ++n) SendWord(rig.g, w[n]);
  EXPECT_EQ(rig.ring.write, 1320);  // decoded once
  // The index stays 15: tag 3 passes the tag test there (15 mod 3 = 0) but
  // has no slot; nothing is stored or decoded.
  const auto words = rig.g.frameWords;
  for (int n = 0; n < 30; ++n) SendWord(rig.g, 0x3000 + 0x1000 * (n % 3) + n);
  EXPECT_EQ(rig.g.wordIndex, 15);
  EXPECT_EQ(rig.g.frameWords, words);
  EXPECT_EQ(rig.ring.write, 1320);
}

TEST(SoundGenerator, CommandWordsModesAndPcmSamples) {
  Rig rig;
  DebugLogCapture log;
  // Frame mode: 0xA0 sets the mode, other high bytes of 0x60 up only log.
  for (int w : {0x7F12, 0xD001, 0xA004}) SendWord(rig.g, w);
  // PCM mode: the word minus 0x8000; 0xA001 is a sample here, 0xFFxx leaves.
  for (int w : {0x8000, 0x0000, 0xA001, 0xFEFF, 0xFF00, 0x8000}) SendWord(rig.g, w);
  EXPECT_EQ(log.text, "DSP_CMD 7F12\nDSP_CMD D001\nDSP_MODE 4\nDSP_CMD 8000\n");
  EXPECT_EQ(rig.g.mode, 1);
  ASSERT_EQ(rig.ring.write, 22);
  for (auto [slot, value] : {std::pair{0, 0}, {5, -32768}, {11, 0x2001}, {21, 0x7EFF}}) {
    EXPECT_EQ(rig.ring.samples[slot], value) << slot;
  }
}

TEST(SoundGenerator, CopiesThatFindTheRingFullOrAbsentAreDropped) {
  Rig rig;
  rig.ring.write = 176397;  // read 0: the producers stop at 176399
  rig.g.PushSample(1234);
  EXPECT_EQ(std::pair(rig.ring.write, rig.ring.samples[176398]), std::pair(176399, int16_t{1234}));
  rig.ring.read = 10;  // wrapped: 6 copies due, then 5, then full at 9
  rig.g.PushSample(-7);
  rig.g.PushSample(-8);
  EXPECT_EQ(rig.ring.write, 9);
  EXPECT_EQ(std::pair(rig.ring.samples[3], rig.ring.samples[8]), (std::pair<int16_t, int16_t>(-7, -8)));

  SoundGenerator g;  // no ring, then a ring the wave output gave no storage
  g.PushSample(100);
  SampleRing empty;
  g.ring = &empty;
  SendFrame(g, EncodeFrame(Audible()));
  EXPECT_EQ(empty.write, 0);
  EXPECT_EQ(g.alternation, 241u);  // the cadence still runs
}

TEST(SoundGenerator, ResetClearsTheExcitationAndModeOnly) {
  Rig rig(Audible());
  DebugLogCapture log;
  for (int w : {0x0123, 0xA004}) SendWord(rig.g, w);  // a collection under way, PCM mode
  const SoundGenerator before = rig.g;
  rig.g.Reset();
  EXPECT_EQ(rig.g.history, decltype(before.history){});
  EXPECT_EQ(std::tie(rig.g.historyWrite, rig.g.historyNewest, rig.g.mode), std::tuple(147, 0, 1));
  const auto kept = [](const SoundGenerator& g) {
    return std::tie(g.frameWords, g.wordIndex, g.previousLsp, g.currentLsp, g.synthesisMemory,
                    g.savedPitchIndex, g.alternation, g.firstFrame);
  };
  EXPECT_TRUE(kept(rig.g) == kept(before));
}

TEST(SoundTables, DerivedTablesMatchTheirListedValues) {
  // Q14 cosines truncated towards zero; entry 28 (12665.0033) is the closest call.
  for (int j = 0; j < 128; ++j) {
    EXPECT_EQ(kCosineTable[j], static_cast<int32_t>(std::trunc(16384.0 * std::cos(std::numbers::pi * j / 128.0))));
  }
  EXPECT_EQ(kPitchGains, (std::array<int32_t, 16>{0, 1228, 2457, 3686, 4915, 6144, 7372, 8601, 9830, 11059,
                                                   12288, 13516, 14745, 15974, 17203, 18432}));
  EXPECT_EQ(std::pair(kPulsePairs[28].second, kPulsePairs[29].first), (std::pair<int8_t, int8_t>(29, 1)));
}

TEST(InterpolateLsp, QuarterWeightsFromPreviousToCurrent) {
  // Weights 3:1, 2:2, 1:3, 0:4 on 4096 and 8192 sum to 20, 24, 28, 32 * 1024.
  std::array<int32_t, 10> prev, cur, cos;
  prev.fill(4096);
  cur.fill(8192);
  for (int s = 0; s < 4; ++s) {
    InterpolateLsp(prev, cur, s, cos);
    EXPECT_EQ(std::count(cos.begin(), cos.end(), kCosineTable[20 + 4 * s]), 10) << s;
  }
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
  const Rig rig(HandFrame(0x51F0));  // pulse 2 negative
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
  const Rig loud(HandFrame(0x50F0));
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
  const Rig rig(f);
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
  std::array<int32_t, 60> v{708, 337, -95, 27, -7};
  v[55] = -11;                 // 870 * -383
  v[56] = 43;                  // 870 * 1629
  v[57] = -139 - 9;            // 870 * -5216, v0 * -383
  v[58] = 708 + 35 - 4;        // 870 * 26674, v0 * 1629, v1 * -383
  v[59] = 337 - 113 + 16 + 1;  // 870 * 12714, v0 * -5216, v1 * 1629, v2 * -383
  EXPECT_EQ(Rig(f).g.adaptive, v);
}

TEST(DecodeFrame, PitchIndicesPulsePairsAndTheirClamps) {
  const int cases[][4] = {  // even index, odd field -> lag, fraction
      {191, 16, 76, 2}, {192, 16, 77, 0}, {2, 16, 13, 2}, {100, 20, 47, 2},
      {3, 0, 13, 0}, {250, 31, 140, 0}  // 3 - 16 and 250 + 15 are clamped to 0 and 255
  };
  for (const auto& c : cases) {
    FrameFields f;
    f.sub[2].pitch = c[0];
    f.sub[3].pitch = c[1];
    const Rig rig(f);
    EXPECT_EQ(std::pair(rig.g.pitchLag, rig.g.pitchFraction), std::pair(c[2], c[3])) << c[0] << "+" << c[1];
  }
  for (int pair : {434, 511}) {  // beyond the table: the last pair, (28, 29)
    FrameFields f;
    f.sub = {{{.pitch = 255}, {}, {.pitch = 255}, {.pitch = 16, .pulsePair = pair, .grid = 1, .amplitude = 3}}};
    const Rig rig(f);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(rig.g.history[SlotOfSample(180 + i)], i == 57 || i == 59 ? 13 : 0);
  }
}

TEST(DecodeFrame, TheFirstFrameInterpolatesWithItself) {
  // A silent frame leaves history and filter at zero, so a frame after one
  // with the same LSPs must sound exactly like that frame decoded first.
  FrameFields quiet, impulse;
  impulse.sub[0] = {.pitch = 255, .pulsePair = 434, .amplitude = 10};
  Rig same(quiet);
  SendFrame(same.g, EncodeFrame(impulse));
  EXPECT_EQ(same.g.outputFrame, Rig(impulse).g.outputFrame);
  EXPECT_NE(same.g.outputFrame, decltype(same.g.outputFrame){});
}

// Malformed and random input must keep the generator inside its tables and
// arrays and free of undefined arithmetic: the sanitizer build is where this
// test earns its keep.
TEST(SoundGenerator, FuzzedWordsAndFramesStayInBoundsAndWrapCleanly) {
  Rig rig;
  DebugLogCapture log;
  uint32_t seed = 7;
  const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  int64_t largestE = 0, largestY = 0;
  for (int n = 0; n < 40000; ++n) {
    const uint32_t r = next();  // any word at all, mostly frame words so that frames complete
    const int high = static_cast<int>((r >> 8) % 8 ? (r >> 12) % 6 << 4 | (r & 0xF) : r & 0xFF);
    rig.g.WriteCommand(high, static_cast<int>(r >> 16) & 0xFF);
    if ((r >> 8) % 3000 == 0) rig.g.Reset();
    // Well-formed frames with out-of-range deltas and pairs; half of the runs drive the pitch loop
    // at full gain on a short lag until the gain product (beyond 2^31 / 18432) and the filter sums wrap.
    if (n % 10 == 0) {
      std::array<int, 15> w;
      for (int k = 0; k < 15; ++k) w[k] = (k < 3 ? k : 3 + k % 3) << 12 | static_cast<int>(next() & 0x0FFF);
      for (int s = 0; s < 4 && (n / 1000) % 2 == 0; ++s) {
        w[3 + 3 * s] = 0x3000 | (s % 2 ? 16 : 0);
        w[5 + 3 * s] = 0x50FF;
      }
      rig.g.mode = 1;
      rig.ring.read = rig.ring.write;
      SendFrame(rig.g, w);
      ASSERT_EQ(rig.ring.Fill(), 1320);
      for (int32_t v : rig.g.adaptive) ASSERT_TRUE(rig.g.pitchFraction == 0 || (v >= -32768 && v <= 32767)) << v;
      for (int32_t e : rig.g.history) largestE = std::max(largestE, std::abs(int64_t{e}));
      for (int32_t y : rig.g.synthesisMemory) largestY = std::max(largestY, std::abs(int64_t{y}));
      log.text.clear();
    }
    ASSERT_TRUE(rig.g.wordIndex >= 0 && rig.g.wordIndex <= 15);
    ASSERT_TRUE(rig.g.historyWrite >= 0 && rig.g.historyWrite < 148);
    ASSERT_EQ(rig.g.historyNewest, (rig.g.historyWrite + 1) % 148);
  }
  EXPECT_TRUE(largestE > 116508 && largestY > 1 << 20) << largestE << " " << largestY;  // wrapping was reached
}

}  // namespace
}  // namespace rq4800

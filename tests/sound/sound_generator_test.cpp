#include "sound/sound_generator.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/debug_log.h"
#include "tests/sound/frame_words.h"

namespace rq4800 {
namespace {

using test::SendFrame;
using test::SendWord;

std::array<int, 15> AudibleFrame() {
  test::FrameFields f;
  for (auto& sub : f.sub) sub = {.pitch = 100, .pulsePair = 40, .amplitude = 9};
  f.sub[1].pitch = f.sub[3].pitch = 16;
  return EncodeFrame(f);
}

// Each output sample must fill 'first', then alternately the other count,
// of consecutive ring slots starting at 'pos'.
void ExpectRuns(const test::GeneratorRig& rig, int pos, int first) {
  for (int n = 0; n < 240; ++n) {
    const int copies = n % 2 == 0 ? first : 11 - first;
    for (int c = 0; c < copies; ++c, ++pos) ASSERT_EQ(rig.ring.samples[pos], rig.g.outputFrame[n]) << n;
  }
}

TEST(SoundGenerator, FramesBecome1320RingSlotsAndTheFiveSixCadenceCarriesOn) {
  test::GeneratorRig rig;
  DebugLogCapture log;
  SendFrame(rig.g, AudibleFrame());
  ASSERT_EQ(rig.ring.write, 1320);
  ExpectRuns(rig, 0, 5);
  // One PCM sample (5 copies) in between: the next frame starts with 6.
  for (int w : {0xA004, 0x8123, 0xFF00}) SendWord(rig.g, w);
  SendFrame(rig.g, AudibleFrame());
  ASSERT_EQ(rig.ring.write, 2645);
  ExpectRuns(rig, 1325, 6);
}

TEST(SoundGenerator, FrameWordsCountOnlyInTheirTurn) {
  test::GeneratorRig rig;
  const auto w = AudibleFrame();
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

  // After the decode the index stays 15: tag 3 passes the tag test there
  // (15 mod 3 = 0) but has no slot; nothing is stored or decoded.
  const auto words = rig.g.frameWords;
  for (int n = 0; n < 30; ++n) SendWord(rig.g, 0x3000 + 0x1000 * (n % 3) + n);
  EXPECT_EQ(rig.g.wordIndex, 15);
  EXPECT_EQ(rig.g.frameWords, words);
  EXPECT_EQ(rig.ring.write, 1320);
}

TEST(SoundGenerator, CommandWordsModesAndPcmSamples) {
  test::GeneratorRig rig;
  DebugLogCapture log;
  // Frame mode: 0xA0 sets the mode, other high bytes of 0x60 up only log.
  for (int w : {0x7F12, 0xD001, 0xA004}) SendWord(rig.g, w);
  EXPECT_EQ(rig.g.mode, 4);
  // PCM mode: the word minus 0x8000; 0xA001 is a sample here, 0xFFxx leaves.
  for (int w : {0x8000, 0x0000, 0xA001, 0xFEFF, 0xFF00, 0x8000}) SendWord(rig.g, w);
  EXPECT_EQ(log.text, "DSP_CMD 7F12\nDSP_CMD D001\nDSP_MODE 4\nDSP_CMD 8000\n");
  EXPECT_EQ(rig.g.mode, 1);
  ASSERT_EQ(rig.ring.write, 22);
  for (auto [slot, value] : {std::pair{0, 0}, {5, -32768}, {11, 0x2001}, {21, 0x7EFF}}) {
    EXPECT_EQ(rig.ring.samples[slot], value) << slot;
  }
  // An unknown mode collects frames like mode 1; port values are bytes.
  rig.g.WriteCommand(0x1A0, 0x307);
  EXPECT_EQ(rig.g.mode, 7);
  SendFrame(rig.g, AudibleFrame());
  EXPECT_EQ(rig.ring.write, 22 + 1320);
}

TEST(SoundGenerator, CopiesThatFindTheRingFullOrAbsentAreDropped) {
  test::GeneratorRig rig;
  rig.ring.write = 176397;  // read 0: the producers stop at 176399
  rig.g.PushSample(1234);
  EXPECT_EQ(rig.ring.write, 176399);
  EXPECT_EQ(rig.ring.samples[176398], 1234);
  rig.ring.read = 10;  // wrapped: 6 copies due, then 5, then full at 9
  rig.g.PushSample(-7);
  rig.g.PushSample(-8);
  EXPECT_EQ(rig.ring.write, 9);
  EXPECT_EQ(rig.ring.samples[3], -7);
  EXPECT_EQ(rig.ring.samples[8], -8);

  SoundGenerator g;  // no ring, then a ring the wave output gave no storage
  g.PushSample(100);
  SampleRing empty;
  g.ring = &empty;
  SendFrame(g, AudibleFrame());
  EXPECT_EQ(empty.write, 0);
  EXPECT_EQ(g.alternation, 241u);  // the cadence still runs
}

TEST(SoundGenerator, ResetClearsTheExcitationAndModeOnly) {
  test::GeneratorRig rig;
  DebugLogCapture log;
  SendFrame(rig.g, AudibleFrame());
  SendWord(rig.g, 0x0123);
  SendWord(rig.g, 0xA004);
  const SoundGenerator before = rig.g;
  ASSERT_NE(before.historyWrite, 147);
  rig.g.Reset();
  EXPECT_EQ(rig.g.history, decltype(before.history){});
  EXPECT_EQ(rig.g.historyWrite, 147);
  EXPECT_EQ(rig.g.historyNewest, 0);
  EXPECT_EQ(rig.g.mode, 1);
  const auto kept = [](const SoundGenerator& g) {
    return std::tie(g.frameWords, g.wordIndex, g.previousLsp, g.currentLsp, g.synthesisMemory,
                    g.savedPitchIndex, g.alternation, g.firstFrame);
  };
  EXPECT_TRUE(kept(rig.g) == kept(before));
  EXPECT_EQ(rig.g.wordIndex, 1);
  EXPECT_FALSE(rig.g.firstFrame);
}

}  // namespace
}  // namespace rq4800

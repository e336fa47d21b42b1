// Malformed and random input must keep the generator inside its tables and
// arrays and free of undefined arithmetic: the sanitizer build is where
// this test earns its keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/debug_log.h"
#include "tests/sound/frame_words.h"

namespace rq4800 {
namespace {

TEST(SoundFuzz, RandomWordsAndFramesStayInBoundsAndWrapCleanly) {
  test::GeneratorRig rig;
  DebugLogCapture log;
  uint32_t seed = 7;
  const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  const auto magnitude = [](int32_t x) { return x == INT32_MIN ? INT32_MAX : std::abs(x); };
  int32_t largestE = 0, largestY = 0;
  for (int n = 0; n < 40000; ++n) {
    // Any word at all, mostly frame words so that frames complete.
    const uint32_t r = next();
    const int high = (r >> 8) % 8 ? static_cast<int>((r >> 12) % 6 << 4 | (r & 0xF)) : static_cast<int>(r & 0xFF);
    rig.g.WriteCommand(high, static_cast<int>(r >> 16) & 0xFF);
    if ((r >> 8) % 3000 == 0) rig.g.Reset();
    // Runs of well-formed frames with out-of-range deltas and pairs; half of
    // the runs drive the pitch loop at full gain on a short lag until the
    // gain product (beyond 2^31 / 18432) and the filter sums wrap.
    if (n % 10 == 0) {
      std::array<int, 15> w;
      const int order[15] = {0, 1, 2, 3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5};
      for (int k = 0; k < 15; ++k) w[k] = order[k] << 12 | static_cast<int>(next() & 0x0FFF);
      if ((n / 1000) % 2 == 0) {
        for (int s = 0; s < 4; ++s) w[3 + 3 * s] = 0x3000 | (s % 2 ? 16 : 0), w[5 + 3 * s] = 0x50FF;
      }
      rig.g.mode = 1;
      const int before = rig.ring.write;
      test::SendFrame(rig.g, w);
      ASSERT_EQ((rig.ring.write - before + SampleRing::kCapacity) % SampleRing::kCapacity, 1320);
      if (rig.g.pitchFraction != 0) {
        for (int32_t v : rig.g.adaptive) ASSERT_TRUE(v >= -32768 && v <= 32767) << v;
      }
      for (int32_t e : rig.g.history) largestE = std::max(largestE, magnitude(e));
      for (int32_t y : rig.g.synthesisMemory) largestY = std::max(largestY, magnitude(y));
      rig.ring.read = rig.ring.write;
      log.text.clear();
    }
    ASSERT_TRUE(rig.g.wordIndex >= 0 && rig.g.wordIndex <= 15);
    ASSERT_TRUE(rig.g.historyWrite >= 0 && rig.g.historyWrite < 148);
    ASSERT_EQ(rig.g.historyNewest, (rig.g.historyWrite + 1) % 148);
  }
  EXPECT_GT(largestE, 116508);
  EXPECT_GT(largestY, 1 << 20);
}

}  // namespace
}  // namespace rq4800

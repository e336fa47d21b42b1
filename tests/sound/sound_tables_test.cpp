#include "sound/sound_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace rq4800 {
namespace {

TEST(SoundTables, CosineTableIsTruncatedQ14Cosine) {
  // By hand: cos(pi/4) -> 11585.2, cos(pi/128) -> 16379.07; negatives
  // truncate towards zero. Entry 28 (12665.0033) is the closest call.
  EXPECT_EQ(kCosineTable[0], 16384);
  EXPECT_EQ(kCosineTable[32], 11585);
  EXPECT_EQ(kCosineTable[64], 0);
  EXPECT_EQ(kCosineTable[127], -16379);
  EXPECT_EQ(kCosineTable[28], 12665);
  EXPECT_EQ(kCosineTable[100], -12665);
  for (int j = 0; j < 128; ++j) {
    EXPECT_EQ(kCosineTable[j], static_cast<int32_t>(std::trunc(16384.0 * std::cos(std::numbers::pi * j / 128.0))));
  }
}

TEST(SoundTables, DerivedGainsAndPulsePairsMatchTheDevicesLists) {
  EXPECT_EQ(kPitchGains, (std::array<int32_t, 16>{0, 1228, 2457, 3686, 4915, 6144, 7372, 8601, 9830, 11059,
                                                   12288, 13516, 14745, 15974, 17203, 18432}));
  const std::pair<int, int> anchors[][2] = {{{0, 0}, {0, 1}}, {{28, 0}, {0, 29}}, {{29, 0}, {1, 2}},
                                            {{434, 0}, {28, 29}}};
  for (const auto& [at, pair] : anchors) {
    EXPECT_EQ(kPulsePairs[at.first].first, pair.first) << at.first;
    EXPECT_EQ(kPulsePairs[at.first].second, pair.second) << at.first;
  }
  for (size_t n = 1; n < kPulsePairs.size(); ++n) {
    const PulsePair a = kPulsePairs[n - 1], b = kPulsePairs[n];
    EXPECT_TRUE(b.first < b.second && (a.first < b.first || (a.first == b.first && a.second < b.second))) << n;
  }
}

}  // namespace
}  // namespace rq4800

#include <gmock/gmock.h>

#include <bitset>
#include <cstdlib>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;

class DisplayScreenTest : public FirmwareTest {
 protected:
  void SetUp() override {
    Boot();
    OpenMenuItem(1);
  }
  // Every dot row r holds even (r even) or odd (r odd); the icon bits are off.
  void ExpectPattern(uint8_t even, uint8_t odd) {
    for (int r = 0; r < 80; ++r) {
      const uint8_t want = r % 2 ? odd : even;
      ASSERT_EQ(Lcd()[r * 20], want & 0x7F) << "row " << r;
      for (int k = 1; k < 20; ++k) ASSERT_EQ(Lcd()[r * 20 + k], want) << "row " << r << " byte " << k;
    }
  }
  int LitIcons(int* which) const {
    int count = 0;
    for (int r = 0; r < 80; ++r)
      if (Icon(r)) ++count, *which = r;
    return count;
  }
};

TEST_F(DisplayScreenTest, DotPatternsFollowEachOther) {
  ExpectPattern(0xAA, 0x55);
  RunSeconds(1);
  ExpectPattern(0xFF, 0xFF);
  Press(key::kEnter);  // Enter skips ahead
  ExpectPattern(0xFF, 0x00);
  Press(key::kEnter);
  ExpectPattern(0xCC, 0xCC);
}

TEST_F(DisplayScreenTest, EveryStatusIconLightsInTurnAlone) {
  for (int i = 0; i < 3; ++i) Press(key::kEnter, 1);
  Hold(key::kEnter);  // into the icon phase, watching from its first frame
  for (int i = 0; i < 3 && !ScreenHas("Status icons"); ++i) Run(1);
  ReleaseAll();
  ASSERT_TRUE(ScreenHas("Status icons")) << Screen();
  // A frame may end while the firmware is between switching one icon off and
  // the next on, or between the icon and its caption; such frames are few.
  std::bitset<80> seen;
  int between = 0;
  for (int frame = 0; frame < 250 && !ScreenHas("Seven-segment"); ++frame) {
    Run(1);
    int which = -1;
    const int lit = LitIcons(&which);
    if (ScreenHas("Seven-segment")) break;
    ASSERT_LE(lit, 1) << "frame " << frame;
    if (lit == 0) {
      ++between;
      continue;
    }
    seen.set(which);
    const int caption = std::atoi(Line(5).substr(7, 2).c_str());
    EXPECT_TRUE(caption == which || caption == which - 1) << which << "\n" << Screen();
  }
  EXPECT_TRUE(seen.all()) << seen << " between " << between;
  EXPECT_LE(between, 3);
}

TEST_F(DisplayScreenTest, SevenSegmentDigitsCount) {
  for (int i = 0; i < 5; ++i) Press(key::kEnter, 1);
  ASSERT_TRUE(ScreenHas("Seven-segment")) << Screen();
  Run(150);  // 62.5 counts a second
  // The text comes first, the segments after it: a frame can end between.
  int shown = 0, segments = -1;
  for (int tries = 0; tries < 5 && segments != shown; ++tries, Run(1)) {
    shown = std::atoi(Line(5).substr(0, 6).c_str());
    segments = SegmentDigit(0) * 1000 + SegmentDigit(1) * 100 + SegmentDigit(2) * 10 + SegmentDigit(3);
  }
  EXPECT_NEAR(shown, 187, 10) << Screen();
  EXPECT_EQ(segments, shown) << "the digits show the count once it is drawn";
  Press(key::kEsc);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
}

}  // namespace
}  // namespace rq4800::test

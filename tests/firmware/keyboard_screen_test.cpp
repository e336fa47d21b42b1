#include <gmock/gmock.h>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class KeyboardScreenTest : public FirmwareTest {
 protected:
  void SetUp() override {
    Boot();
    OpenMenuItem(0);
    ASSERT_THAT(Line(0), HasSubstr("Keyboard test")) << Screen();
  }
};

TEST_F(KeyboardScreenTest, NamesKeysOfTheSelectPortWords) {
  Press(key::kA);
  EXPECT_THAT(Line(1), StartsWith("Key A code 30")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via ports 09/08 word 3")) << Screen();
  Press(key::kF1);
  EXPECT_THAT(Line(1), StartsWith("Key F1 code 16")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via ports 09/08 word 0")) << Screen();
  Press(key::kEnter);
  EXPECT_THAT(Line(1), StartsWith("Key ENTER code 39")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via ports 09/08 word 1")) << Screen();
  // The earlier keys, newest first.
  EXPECT_THAT(Line(5), StartsWith("  F1 16")) << Screen();
  EXPECT_THAT(Line(6), StartsWith("  A 30")) << Screen();
}

TEST_F(KeyboardScreenTest, NamesKeysOfTheRowPath) {
  Press(key::kApp3);
  EXPECT_THAT(Line(1), StartsWith("Key APP3 code 3")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via row path 0B w6 b2")) << Screen();
  Press(15);
  EXPECT_THAT(Line(1), StartsWith("Key KEY15 code 15")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via row path 0B w6 b6")) << Screen();
  Press(key::kPower);
  EXPECT_THAT(Line(1), StartsWith("Key POWER code 0")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via row path 0B w7 b0")) << Screen();
}

TEST_F(KeyboardScreenTest, NamesKeysOfTheExtraPath) {
  Press(key::kKey8);
  EXPECT_THAT(Line(1), StartsWith("Key KEY8 code 8")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via extra path 0B w7 b1")) << Screen();
  Press(key::kKey9);
  EXPECT_THAT(Line(1), StartsWith("Key KEY9 code 9")) << Screen();
  EXPECT_THAT(Line(2), StartsWith("via extra path 0B w7 b2")) << Screen();
}

TEST_F(KeyboardScreenTest, ShowsTheKeyWordsWhileHeld) {
  Hold(key::kA);
  Hold(key::kKey9);
  Run(5);
  EXPECT_THAT(Line(3), StartsWith("W 00 00 00 01 00 00 00 04")) << Screen();
  ReleaseAll();
  Run(5);
  EXPECT_THAT(Line(3), StartsWith("W 00 00 00 00 00 00 00 00")) << Screen();
}

TEST_F(KeyboardScreenTest, CapsAndShiftIconsLightOnlyWhileHeld) {
  EXPECT_FALSE(Icon(41));
  EXPECT_FALSE(Icon(42));
  Hold(key::kShift);
  Run(5);
  EXPECT_TRUE(Icon(42));
  EXPECT_FALSE(Icon(41));
  EXPECT_THAT(Line(1), StartsWith("Key SHIFT code 51")) << Screen();
  ReleaseAll();
  Run(5);
  EXPECT_FALSE(Icon(42));
  Hold(key::kCaps);
  Run(5);
  EXPECT_TRUE(Icon(41));
  EXPECT_FALSE(Icon(42));
  ReleaseAll();
  Run(5);
  EXPECT_FALSE(Icon(41));
}

TEST_F(KeyboardScreenTest, EscIsNamedOnceAndLeavesOnTheSecondPress) {
  Press(key::kEsc);
  EXPECT_THAT(Line(1), StartsWith("Key ESC code 53")) << Screen();
  EXPECT_THAT(Line(0), HasSubstr("Keyboard test"));
  Press(key::kEsc, 20);
  EXPECT_THAT(Line(0), HasSubstr("RQ4800 Diagnostics")) << Screen();
}

}  // namespace
}  // namespace rq4800::test

#include "host/keyboard.h"

#include <gtest/gtest.h>

#include "core/debug_log.h"
#include "host/screen.h"
#include "host/skin_layout.h"
#include "machine/machine.h"
#include "tests/host/skin_fixture.h"

namespace rq4800 {
namespace {

struct KeyboardTest : ::testing::Test {
  ResourceStore store = test::MakeSkinStore();
  Machine machine{store};
  Screen screen;
  uint32_t* words = machine.bus.keyWords;

  void SetUp() override { ASSERT_TRUE(SetUpScreen(screen, store)); }
  bool NoKeyHeld() const {
    for (uint32_t w : machine.bus.keyWords)
      if (w != 0) return false;
    return true;
  }
  uint32_t Frame(int x, int y) const { return screen.frameBuffer.At(x, y); }
};

TEST_F(KeyboardTest, KeysOnOneWordReplaceEachOtherAndAnyReleaseClearsAll) {
  KeyDown(machine, HostKey::kA, false);
  EXPECT_EQ(words[3], 0x01u);
  KeyDown(machine, HostKey::kS, false);
  EXPECT_EQ(words[3], 0x02u);  // A is no longer seen
  KeyDown(machine, HostKey::kQ, false);
  EXPECT_EQ(words[2], 0x01u);
  EXPECT_EQ(words[3], 0x02u);
  KeyUp(machine, HostKey::kNone);  // not a mapped key: nothing happens
  EXPECT_EQ(words[2], 0x01u);
  KeyUp(machine, HostKey::kS);
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, ShiftHeldSwallowsOtherKeysButNotItself) {
  KeyDown(machine, HostKey::kShift, false);
  EXPECT_EQ(words[5], 0x02u);
  KeyDown(machine, HostKey::kA, true);
  EXPECT_EQ(words[3], 0u);
  words[5] = 0;
  KeyDown(machine, HostKey::kShift, true);  // the platform repeats Shift's own key-down
  EXPECT_EQ(words[5], 0x02u);
}

TEST_F(KeyboardTest, DigitsPressTheLetterKeysTheyShare) {
  const std::pair<HostKey, HostKey> shared[] = {
      {HostKey::k1, HostKey::kB}, {HostKey::k2, HostKey::kN}, {HostKey::k3, HostKey::kM},
      {HostKey::k4, HostKey::kG}, {HostKey::k5, HostKey::kH}, {HostKey::k6, HostKey::kJ},
      {HostKey::k7, HostKey::kT}, {HostKey::k8, HostKey::kY}, {HostKey::k9, HostKey::kU},
  };
  for (auto [digit, letter] : shared) {
    EXPECT_GE(FindVirtualKey(digit), 0);
    EXPECT_EQ(FindVirtualKey(digit), FindVirtualKey(letter)) << static_cast<int>(digit);
  }
  ReleaseAllKeys(machine);
  KeyDown(machine, HostKey::k1, false);
  EXPECT_EQ(words[4], 0x10u);  // key code 44
  KeyDown(machine, HostKey::k0, false);
  EXPECT_EQ(words[5], 0x10u);  // key code 54, a key of its own
}

TEST_F(KeyboardTest, CharacterPathPressesAndReleasesAtItsOwnKeyUp) {
  EXPECT_TRUE(Character(machine, U'*'));
  EXPECT_EQ(words[1], 0x02u);  // key code 38, the L key
  EXPECT_TRUE(Character(machine, U'.'));
  EXPECT_EQ(words[5], 0x20u);  // key code 55
  EXPECT_TRUE(Character(machine, U'+'));
  EXPECT_EQ(words[1], 0x08u);  // key code 58 replaces 38 on word 1
  EXPECT_TRUE(Character(machine, U'/'));
  EXPECT_EQ(words[1], 0x01u);  // key code 28
  EXPECT_TRUE(Character(machine, U'-'));
  EXPECT_EQ(words[1], 0x04u);  // key code 48
  CharacterUp(machine, U'a');
  EXPECT_FALSE(NoKeyHeld());
  CharacterUp(machine, U'/');
  EXPECT_TRUE(NoKeyHeld());
  EXPECT_FALSE(Character(machine, U'a'));
  EXPECT_FALSE(Character(machine, U'=' ));
  EXPECT_FALSE(Character(machine, U'\x2A' + 0x10000));  // not truncated to '*'
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, PressKeyIgnoresPositionsOutsideTheMatrixOrWithoutAKey) {
  PressKey(machine, 10, 0);
  PressKey(machine, 0, 6);
  PressKey(machine, -1, 2);
  PressKey(machine, 0, 1);  // key codes 10..12 do not exist
  PressKey(machine, 2, 1);
  PressKeyCode(machine, -1);
  EXPECT_TRUE(NoKeyHeld());
  EXPECT_FALSE(machine.warmResetRequest);
}

TEST_F(KeyboardTest, WakeKeysRequestAWarmResetOnlyWhileTheFirmwareWaits) {
  for (int code = 0; code < 60; ++code) {
    machine.bus.ports[5] = 0xF0;
    machine.warmResetRequest = false;
    PressKeyCode(machine, code);
    const bool wake = code <= 6 || code == 15;
    EXPECT_EQ(machine.warmResetRequest, wake) << "key code " << code;
  }
  machine.bus.ports[5] = 0xF1;
  machine.warmResetRequest = false;
  PressKeyCode(machine, 5);
  EXPECT_FALSE(machine.warmResetRequest);
  EXPECT_EQ(words[6], 0x10u);
}

TEST_F(KeyboardTest, ClickOnAWakeKeyIsCarriedOutByTheNextFrame) {
  machine.bus.ports[5] = 0xF0;
  const SkinKeyRegion& key5 = skinKeyRegions[4];
  ASSERT_EQ(key5.keyCode, 5);
  EXPECT_EQ(ButtonDown(machine, screen, key5.x1 + 1, key5.y1 + 1), 5);
  EXPECT_EQ(words[6], 0x10u);
  EXPECT_TRUE(machine.warmResetRequest);
  DebugLogCapture log;
  RunFrame(machine);
  EXPECT_FALSE(machine.warmResetRequest);
  EXPECT_NE(log.text.find("warm reset\n"), std::string::npos);
  EXPECT_EQ(words[6], 0x10u);  // the key is still held
}

TEST_F(KeyboardTest, RegionBordersAreOutside) {
  for (const SkinKeyRegion& k : skinKeyRegions) {
    const int midX = (k.x1 + k.x2) / 2, midY = (k.y1 + k.y2) / 2;
    for (auto [x, y] : {std::pair{k.x1, midY}, {k.x2, midY}, {midX, k.y1}, {midX, k.y2}}) {
      EXPECT_EQ(ButtonDown(machine, screen, x, y), -1) << "key " << k.keyCode << " at " << x << "," << y;
    }
    EXPECT_TRUE(NoKeyHeld());
    EXPECT_EQ(ButtonDown(machine, screen, k.x1 + 1, k.y2 - 1), k.keyCode);
    EXPECT_EQ(ButtonDown(machine, screen, k.x2 - 1, k.y1 + 1), k.keyCode);
    ButtonUp(machine, screen);
  }
  EXPECT_EQ(ButtonDown(machine, screen, -30, 460), -1);
  EXPECT_EQ(ButtonDown(machine, screen, 50, -1), -1);
}

TEST_F(KeyboardTest, ClickDrawsThePressedLookAndReleaseAnywhereRestoresIt) {
  const Image before = screen.frameBuffer;
  EXPECT_EQ(ButtonDown(machine, screen, 5, 5), -1);  // off the keys: nothing drawn
  EXPECT_EQ(screen.frameBuffer.pixels, before.pixels);
  ASSERT_EQ(ButtonDown(machine, screen, 40, 460), 20);  // Q: 29..62 x 451..474
  EXPECT_EQ(words[2], 0x01u);
  for (int y = 440; y < 490; ++y) {
    for (int x = 20; x < 75; ++x) {
      const bool highlighted = x >= 27 && x <= 63 && y >= 449 && y <= 475;
      const uint32_t expected = highlighted ? test::PressedSkinAt(x, y - 301) : before.At(x, y);
      ASSERT_EQ(Frame(x, y), expected) << x << "," << y;
    }
  }
  // Released outside any key: still a release, and the keyboard is whole again.
  ButtonUp(machine, screen);
  EXPECT_TRUE(NoKeyHeld());
  EXPECT_EQ(screen.frameBuffer.pixels, before.pixels);
}

}  // namespace
}  // namespace rq4800

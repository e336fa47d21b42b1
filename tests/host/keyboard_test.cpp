// Keyboard and mouse handlers, and the runner's key scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "host/key_script.h"
#include "host/keyboard.h"
#include "host/screen.h"
#include "machine/machine.h"
#include "tests/host/test_pictures.h"

namespace rq4800 {
namespace {

struct KeyboardTest : ::testing::Test {
  ResourceStore store = test::MakeSkinStore();
  Machine machine{store};
  Screen screen;
  uint32_t* words = machine.bus.keyWords;

  void SetUp() override { ASSERT_TRUE(SetUpScreen(screen, store)); }
  bool NoKeyHeld() const {
    return std::all_of(std::begin(machine.bus.keyWords), std::end(machine.bus.keyWords), [](uint32_t w) { return !w; });
  }
};

TEST_F(KeyboardTest, KeysOnOneWordReplaceEachOtherAndAnyReleaseClearsAll) {
  KeyDown(machine, HostKey::kA, false);
  EXPECT_EQ(words[3], 0x01u);
  KeyDown(machine, HostKey::kS, false);
  KeyDown(machine, HostKey::kQ, false);
  EXPECT_EQ(words[2], 0x01u);
  EXPECT_EQ(words[3], 0x02u);      // S replaced A
  KeyUp(machine, HostKey::kNone);  // not a mapped key: nothing happens
  EXPECT_EQ(words[2], 0x01u);
  KeyUp(machine, HostKey::kS);
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, ShiftHeldSwallowsOtherKeysButNotItself) {
  KeyDown(machine, HostKey::kShift, false);
  KeyDown(machine, HostKey::kA, true);
  EXPECT_EQ(words[3], 0u);
  words[5] = 0;
  KeyDown(machine, HostKey::kShift, true);  // the platform repeats Shift's own key-down
  EXPECT_EQ(words[5], 0x02u);
}

TEST_F(KeyboardTest, DigitsPressTheLetterKeysTheyShareButZeroHasItsOwn) {
  for (int i = 0; i < 9; ++i) {  // 1, 2, 3 are B, N, M; 4, 5, 6 are G, H, J; 7, 8, 9 are T, Y, U
    const int digit = FindVirtualKey(HostKeyFromName(std::string(1, static_cast<char>('1' + i))));
    EXPECT_TRUE(digit >= 0 && digit == FindVirtualKey(HostKeyFromName(std::string(1, "BNMGHJTYU"[i])))) << i + 1;
  }
  KeyDown(machine, HostKey::k0, false);
  EXPECT_EQ(words[5], 0x10u);  // key code 54
}

TEST_F(KeyboardTest, CharacterPathPressesAndReleasesAtItsOwnKeyUp) {
  // "*" is key code 38 (the L key); "+" (58) then replaces it on word 1.
  for (auto [c, word, bits] : {std::tuple{U'*', 1, 0x02u}, {U'.', 5, 0x20u}, {U'+', 1, 0x08u}, {U'/', 1, 0x01u},
                               {U'-', 1, 0x04u}}) {
    EXPECT_TRUE(Character(machine, c));
    EXPECT_EQ(words[word], bits) << static_cast<char>(c);
  }
  CharacterUp(machine, U'a');
  EXPECT_FALSE(NoKeyHeld());
  CharacterUp(machine, U'/');
  EXPECT_TRUE(NoKeyHeld());
  for (char32_t c : {U'a', U'=', static_cast<char32_t>(U'*' + 0x10000)})  // the last is not truncated to "*"
    EXPECT_FALSE(Character(machine, c));
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, WakeKeysRequestAWarmResetOnlyWhileTheFirmwareWaits) {
  for (int code = 0; code < 60; ++code) {
    machine.bus.ports[5] = 0xF0;
    machine.warmResetRequest = false;
    PressKeyCode(machine, code);
    EXPECT_EQ(machine.warmResetRequest, code <= 6 || code == 15) << "key code " << code;
  }
  machine.bus.ports[5] = 0xF1;
  machine.warmResetRequest = false;
  PressKeyCode(machine, 5);
  EXPECT_FALSE(machine.warmResetRequest);
  EXPECT_EQ(words[6], 0x10u);
}

TEST_F(KeyboardTest, RegionBordersAreOutsideTheKey) {
  for (const SkinKeyRegion& k : skinKeyRegions) {
    const int midX = (k.x1 + k.x2) / 2, midY = (k.y1 + k.y2) / 2;
    for (auto [x, y] : {std::pair{k.x1, midY}, {k.x2, midY}, {midX, k.y1}, {midX, k.y2}, {-30, 460}, {50, -1}})
      EXPECT_EQ(ButtonDown(machine, screen, x, y), -1) << "key " << k.keyCode << " at " << x << "," << y;
    EXPECT_TRUE(NoKeyHeld());
    EXPECT_EQ(ButtonDown(machine, screen, k.x1 + 1, k.y2 - 1), k.keyCode);
    EXPECT_EQ(ButtonDown(machine, screen, k.x2 - 1, k.y1 + 1), k.keyCode);
    ButtonUp(machine, screen);
  }
}

TEST_F(KeyboardTest, ClickDrawsThePressedLookAndReleaseAnywhereRestoresTheKeyboard) {
  const Image before = screen.frameBuffer;
  EXPECT_EQ(ButtonDown(machine, screen, 5, 5), -1);  // off the keys: nothing drawn
  EXPECT_EQ(screen.frameBuffer.pixels, before.pixels);
  ASSERT_EQ(ButtonDown(machine, screen, 40, 460), 20);  // Q: 29..62 x 451..474
  EXPECT_EQ(words[2], 0x01u);
  for (int y = 440; y < 490; ++y) {
    for (int x = 20; x < 75; ++x) {
      const bool highlighted = x >= 27 && x <= 63 && y >= 449 && y <= 475;
      ASSERT_EQ(screen.frameBuffer.At(x, y), highlighted ? test::PressedSkinAt(x, y - 301) : before.At(x, y))
          << x << "," << y;
    }
  }
  std::fill(screen.frameBuffer.pixels.begin(), screen.frameBuffer.pixels.end(), 0xFF123456u);
  ButtonUp(machine, screen);  // released outside any key: still a release
  EXPECT_TRUE(NoKeyHeld());
  for (int y = 0; y < 611; ++y)  // rows 290..610 come back whole, the rest is left alone
    for (int x = 0; x < 470; ++x) ASSERT_EQ(screen.frameBuffer.At(x, y), y < 290 ? 0xFF123456u : before.At(x, y));
}

using Kind = KeyScriptEvent::Kind;

TEST(KeyScript, ParsesEveryEventSkipsCommentsAndOrdersByFrame) {
  const char* script = "# wake the device, then type\n\n  10 press #5\n12 release\r\n20\tpress pageup\n"
                       "3 click 100 460\n20 char *\n4 unclick\n20 press F4\n21 press q";  // no newline at the end
  std::vector<KeyScriptEvent> events;
  std::string error;
  ASSERT_TRUE(ParseKeyScript(script, &events, &error)) << error;
  const KeyScriptEvent want[] = {  // events of one frame keep the order of their lines
      {.frame = 3, .kind = Kind::kClick, .x = 100, .y = 460, .line = 6},
      {.frame = 4, .kind = Kind::kUnclick, .line = 8},
      {.frame = 10, .kind = Kind::kPressCode, .keyCode = 5, .line = 3},
      {.frame = 12, .kind = Kind::kRelease, .line = 4},
      {.frame = 20, .kind = Kind::kPress, .key = HostKey::kPageUp, .line = 5},
      {.frame = 20, .kind = Kind::kCharacter, .character = '*', .line = 7},
      {.frame = 20, .kind = Kind::kPress, .key = HostKey::kF4, .line = 9},
      {.frame = 21, .kind = Kind::kPress, .key = HostKey::kQ, .line = 10}};
  auto fields = [](const KeyScriptEvent& e) {
    return std::tuple(e.frame, static_cast<int>(e.kind), static_cast<int>(e.key), e.keyCode, e.character, e.x, e.y,
                      e.line);
  };
  ASSERT_EQ(events.size(), std::size(want));
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(fields(events[i]), fields(want[i])) << "event " << i;
}

TEST(KeyScript, EveryKeyNameReachesTheDevice) {
  for (const char* name : {"A", "Z", "0", "9", "F1", "F4", "Up", "Down", "Left", "Right", "PageUp", "PageDown",
                           "Enter", "Esc", "Space", "Shift", "CapsLock"})
    EXPECT_GE(FindVirtualKey(HostKeyFromName(name)), 0) << name;
}

TEST(KeyScript, BadLineIsRejectedWithItsNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 press A\n2 press F5\n", "line 2: unknown key"},  {"\n\n5\n", "line 3: missing the event"},
      {"x press A\n", "line 1: expected a frame number"},    {"5 hold A\n", "line 1: unknown event"},
      {"99999999999 press A\n", "line 1: expected a frame number"},
      {"5 press\n", "line 1: press takes 1 argument"},       {"5 release now\n", "line 1: release takes 0 arguments"},
      {"5 char a\n", "line 1: char takes one of"},           {"5 click 10\n", "line 1: click takes 2 arguments"},
      {"5 click 10 y\n", "line 1: click takes two numbers"}, {"5 press #10\n", "line 1: no device key #10"},
      {"5 press #60\n", "line 1: no device key #60"}};
  for (auto [script, message] : cases) {
    std::vector<KeyScriptEvent> events;
    std::string error;
    EXPECT_FALSE(ParseKeyScript(script, &events, &error)) << script;
    EXPECT_EQ(error.rfind(message, 0), 0u) << script << " gave: " << error;
  }
}

}  // namespace
}  // namespace rq4800

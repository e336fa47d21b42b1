// Keyboard and mouse handlers, and the runner's key scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>
#include <tuple>

#include "host/key_script.h"
#include "host/device_key_map.h"
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
  KeyState keys;
  uint32_t* words = machine.bus.keyWords;

  void SetUp() override { ASSERT_TRUE(SetUpScreen(screen, store)); }
  // What the front end does after each frame it runs.
  void FrameRan() { ApplyPendingRelease(machine, keys); }
  void Down(HostKey key) { KeyDown(machine, keys, key, false); }
  void Tap(HostKey key) { KeyDown(machine, keys, key, false), KeyUp(machine, keys, key); }
  bool NoKeyHeld() const {
    return std::all_of(std::begin(machine.bus.keyWords), std::end(machine.bus.keyWords), [](uint32_t w) { return !w; });
  }
};

TEST_F(KeyboardTest, KeysOnOneWordReplaceEachOtherAndAnyReleaseClearsAll) {
  Down(HostKey::kA);
  EXPECT_EQ(words[3], 0x01u);
  Down(HostKey::kS);
  Down(HostKey::kQ);
  EXPECT_EQ(words[2], 0x01u);
  EXPECT_EQ(words[3], 0x02u);      // S replaced A
  FrameRan();
  KeyUp(machine, keys, HostKey::kNone);  // not a mapped key: nothing happens
  EXPECT_EQ(words[2], 0x01u);
  KeyUp(machine, keys, HostKey::kS);
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, ShiftHeldSwallowsOtherKeysButNotItself) {
  Down(HostKey::kShift);
  KeyDown(machine, keys, HostKey::kA, true);
  EXPECT_EQ(words[3], 0u);
  words[5] = 0;
  KeyDown(machine, keys, HostKey::kShift, true);  // the platform repeats Shift's own key-down
  EXPECT_EQ(words[5], 0x02u);
}

TEST_F(KeyboardTest, CharacterPathPressesAndReleasesAtItsOwnKeyUp) {
  // "*" is key code 38 (the L key); "+" (58) then replaces it on word 1.
  for (auto [c, word, bits] : {std::tuple{U'*', 1, 0x02u}, {U'.', 5, 0x20u}, {U'+', 1, 0x08u}, {U'/', 1, 0x01u},
                               {U'-', 1, 0x04u}}) {
    EXPECT_TRUE(Character(machine, keys, c));
    EXPECT_EQ(words[word], bits) << static_cast<char>(c);
  }
  FrameRan();
  CharacterUp(machine, keys, U'a');
  EXPECT_FALSE(NoKeyHeld());
  CharacterUp(machine, keys, U'/');
  EXPECT_TRUE(NoKeyHeld());
  for (char32_t c : {U'a', U'=', static_cast<char32_t>(U'*' + 0x10000)})  // the last is not truncated to "*"
    EXPECT_FALSE(Character(machine, keys, c));
  EXPECT_TRUE(NoKeyHeld());
}

TEST_F(KeyboardTest, WakeKeysRequestAWarmResetOnlyWhileTheFirmwareWaits) {
  for (int code = 0; code < 60; ++code) {
    machine.bus.ports[5] = 0xF0, machine.warmResetRequest = false;
    PressKeyCode(machine, code);
    EXPECT_EQ(machine.warmResetRequest, code <= 6 || code == 15) << "key code " << code;
  }
  machine.bus.ports[5] = 0xF1, machine.warmResetRequest = false;
  PressKeyCode(machine, 5);
  EXPECT_FALSE(machine.warmResetRequest);
  EXPECT_EQ(words[6], 0x10u);
}

TEST_F(KeyboardTest, RegionBordersAreOutsideTheKey) {
  for (const SkinKeyRegion& k : skinKeyRegions) {
    const int midX = (k.x1 + k.x2) / 2, midY = (k.y1 + k.y2) / 2;
    for (auto [x, y] : {std::pair{k.x1, midY}, {k.x2, midY}, {midX, k.y1}, {midX, k.y2}, {-30, 460}, {50, -1}})
      EXPECT_EQ(ButtonDown(machine, keys, screen, x, y), -1) << "key " << k.keyCode << " at " << x << "," << y;
    EXPECT_TRUE(NoKeyHeld());
    EXPECT_EQ(ButtonDown(machine, keys, screen, k.x1 + 1, k.y2 - 1), k.keyCode);
    EXPECT_EQ(ButtonDown(machine, keys, screen, k.x2 - 1, k.y1 + 1), k.keyCode);
    ButtonUp(machine, keys, screen);
    FrameRan();
  }
}

TEST_F(KeyboardTest, ClickDrawsThePressedLookAndReleaseAnywhereRestoresTheKeyboard) {
  const Image before = screen.frameBuffer;
  EXPECT_EQ(ButtonDown(machine, keys, screen, 5, 5), -1);  // off the keys: nothing drawn
  EXPECT_EQ(screen.frameBuffer.pixels, before.pixels);
  ASSERT_EQ(ButtonDown(machine, keys, screen, 40, 460), 20);  // Q: 29..62 x 451..474
  EXPECT_EQ(words[2], 0x01u);
  for (int y = 440; y < 490; ++y) {
    for (int x = 20; x < 75; ++x) {
      const bool highlighted = x >= 27 && x <= 63 && y >= 449 && y <= 475;
      ASSERT_EQ(screen.frameBuffer.At(x, y), highlighted ? test::PressedSkinAt(x, y - 301) : before.At(x, y))
          << x << "," << y;
    }
  }
  FrameRan();
  std::fill(screen.frameBuffer.pixels.begin(), screen.frameBuffer.pixels.end(), 0xFF123456u);
  ButtonUp(machine, keys, screen);  // released outside any key: still a release
  EXPECT_TRUE(NoKeyHeld());
  for (int y = 0; y < 611; ++y)  // rows 290..610 come back whole, the rest is left alone
    for (int x = 0; x < 470; ++x) ASSERT_EQ(screen.frameBuffer.At(x, y), y < 290 ? 0xFF123456u : before.At(x, y));
}

// A key that goes down and up between two frames is seen by the next frame,
// and released after it; keys a frame has already seen go at once.
TEST_F(KeyboardTest, ReleaseWaitsUntilAFrameHasSeenWhatWentDown) {
  using Words = std::array<uint32_t, 8>;
  struct Case {
    const char* name;
    void (*events)(KeyboardTest&);
    Words seenByFrame, afterFrame;
  };
  const Case cases[] = {
      {"PC key tap", [](KeyboardTest& t) { t.Tap(HostKey::kA); }, {0, 0, 0, 0x01}, {}},
      {"click tap",  // on Q
       [](KeyboardTest& t) { ButtonDown(t.machine, t.keys, t.screen, 40, 460), ButtonUp(t.machine, t.keys, t.screen); },
       {0, 0, 0x01}, {}},
      {"character tap",
       [](KeyboardTest& t) { Character(t.machine, t.keys, U'*'), CharacterUp(t.machine, t.keys, U'*'); },
       {0, 0x02}, {}},
      {"device key tap", [](KeyboardTest& t) { PressDeviceKey(t.machine, t.keys, 5), ReleaseKeys(t.machine, t.keys); },
       {0, 0, 0, 0, 0, 0, 0x10}, {}},
      {"tap, then a key held on another word", [](KeyboardTest& t) { t.Tap(HostKey::kA), t.Down(HostKey::kQ); },
       {0, 0, 0x01, 0x01}, {0, 0, 0x01}},
      {"tap, then a key held on the same word", [](KeyboardTest& t) { t.Tap(HostKey::kA), t.Down(HostKey::kS); },
       {0, 0, 0, 0x02}, {0, 0, 0, 0x02}},
      {"a seen key goes at once, a new one after the frame",
       [](KeyboardTest& t) { t.Down(HostKey::kA), t.FrameRan(), t.Tap(HostKey::kF1); }, {0x04}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReleaseAllKeys(machine);
    keys = {};
    c.events(*this);
    EXPECT_TRUE(std::equal(c.seenByFrame.begin(), c.seenByFrame.end(), words));
    for (int frame = 0; frame < 2; ++frame) {  // held keys stay held
      FrameRan();
      EXPECT_TRUE(std::equal(c.afterFrame.begin(), c.afterFrame.end(), words)) << "frame " << frame;
    }
  }
}

// The key matrix: each key code sets one bit of one key word, (word << 8) |
// bit as the device's keyboard table lists it; 0000 is no key.
TEST_F(KeyboardTest, EveryKeyCodeSetsItsWordAndBitAlone) {
  const uint16_t matrix[6][10] = {
      {0x0701, 0x0601, 0x0602, 0x0604, 0x0608, 0x0610, 0x0620, 0x0680, 0x0702, 0x0704},
      {0x0000, 0x0000, 0x0000, 0x0001, 0x0002, 0x0640, 0x0004, 0x0008, 0x0010, 0x0020},
      {0x0201, 0x0202, 0x0204, 0x0208, 0x0210, 0x0220, 0x0240, 0x0280, 0x0101, 0x0110},
      {0x0301, 0x0302, 0x0304, 0x0308, 0x0310, 0x0320, 0x0340, 0x0380, 0x0102, 0x0120},
      {0x0401, 0x0402, 0x0404, 0x0408, 0x0410, 0x0420, 0x0440, 0x0480, 0x0104, 0x0140},
      {0x0501, 0x0502, 0x0504, 0x0508, 0x0510, 0x0520, 0x0540, 0x0580, 0x0108, 0x0180},
  };
  for (int code = 0; code < 60; ++code) {
    ReleaseAllKeys(machine);
    PressKeyCode(machine, code);
    const uint16_t entry = matrix[code / 10][code % 10];
    for (int w = 0; w < 8; ++w)
      EXPECT_EQ(words[w], entry != 0 && w == entry >> 8 ? entry & 0xFFu : 0u) << "key code " << code << " word " << w;
  }
}

// The PC keys and the device keys they press, as the keyboard's table lists
// them; every mapped PC key is in it once.
TEST(KeyTables, EveryPcKeyPressesItsListedKeyCode) {
  std::vector<std::pair<HostKey, int>> want = {
      {HostKey::kF1, 16},       {HostKey::kF2, 17},     {HostKey::kF3, 18},     {HostKey::kF4, 19},
      {HostKey::kUp, 48},       {HostKey::kDown, 58},   {HostKey::kLeft, 57},   {HostKey::kRight, 59},
      {HostKey::kPageUp, 47},   {HostKey::kPageDown, 49}, {HostKey::kEnter, 39}, {HostKey::kEscape, 53},
      {HostKey::kSpace, 56},    {HostKey::kShift, 51},  {HostKey::kCapsLock, 52}};
  const std::pair<const char*, std::vector<int>> rows[] = {
      {"QWERTYUIOP", {20, 21, 22, 23, 24, 25, 26, 27, 28, 29}},
      {"ASDFGHJKL", {30, 31, 32, 33, 34, 35, 36, 37, 38}},
      {"ZXCVBNM", {40, 41, 42, 43, 44, 45, 46}},
      {"0123456789", {54, 44, 45, 46, 34, 35, 36, 24, 25, 26}}};
  for (const auto& [keys, codes] : rows) {
    for (size_t i = 0; i < codes.size(); ++i) {
      const char c = keys[i];
      const HostKey key = c <= '9' ? static_cast<HostKey>(static_cast<int>(HostKey::k0) + (c - '0'))
                                   : static_cast<HostKey>(static_cast<int>(HostKey::kA) + (c - 'A'));
      want.emplace_back(key, codes[i]);
    }
  }
  ASSERT_EQ(want.size(), 51u);
  for (auto [key, code] : want) EXPECT_EQ(FindVirtualKey(key), code) << "HostKey " << static_cast<int>(key);
  EXPECT_EQ(FindVirtualKey(HostKey::kNone), -1);
  EXPECT_EQ(virtualKeyTable.size(), want.size());
}

using Kind = KeyScriptEvent::Kind;

TEST(KeyScript, ParsesEveryEventSkipsCommentsAndOrdersByFrame) {
  const char* script = "# wake the device, then type\n\n  10 press #5\n12 RELEASE\r\n20\tpress pageup\n"
                       "3 Click 100 460\n20 char *\n4 unClick\n20 press F4\n0 press #0\n21 Press q";  // no newline at the end
  std::vector<KeyScriptEvent> events;
  std::string error;
  ASSERT_TRUE(ParseKeyScript(script, &events, &error)) << error;
  const KeyScriptEvent want[] = {  // events of one frame keep the order of their lines
      {.frame = 0, .kind = Kind::kPressCode, .keyCode = 0, .line = 10},
      {.frame = 3, .kind = Kind::kClick, .x = 100, .y = 460, .line = 6},
      {.frame = 4, .kind = Kind::kUnclick, .line = 8},
      {.frame = 10, .kind = Kind::kPressCode, .keyCode = 5, .line = 3},
      {.frame = 12, .kind = Kind::kRelease, .line = 4},
      {.frame = 20, .kind = Kind::kPress, .key = HostKey::kPageUp, .line = 5},
      {.frame = 20, .kind = Kind::kCharacter, .character = '*', .line = 7},
      {.frame = 20, .kind = Kind::kPress, .key = HostKey::kF4, .line = 9},
      {.frame = 21, .kind = Kind::kPress, .key = HostKey::kQ, .line = 11}};
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
    EXPECT_GE(FindVirtualKey(HostKeyNamed(name)), 0) << name;
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

#include "host/key_script.h"

#include <gtest/gtest.h>

namespace rq4800 {
namespace {

using Kind = KeyScriptEvent::Kind;

TEST(KeyScript, ParsesEveryEventSkipsCommentsAndOrdersByFrame) {
  const char* script =
      "# wake the device, then type\n"
      "\n"
      "  10 press #5\n"
      "12 release\r\n"
      "20\tpress pageup\n"
      "3 click 100 460\n"
      "20 char *\n"
      "4 unclick\n"
      "20 press F4\n"
      "21 press q";  // no newline at the end
  std::vector<KeyScriptEvent> events;
  std::string error;
  ASSERT_TRUE(ParseKeyScript(script, &events, &error)) << error;
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].frame, 3);
  EXPECT_EQ(events[0].kind, Kind::kClick);
  EXPECT_EQ(events[0].x, 100);
  EXPECT_EQ(events[0].y, 460);
  EXPECT_EQ(events[0].line, 6);
  EXPECT_EQ(events[1].kind, Kind::kUnclick);
  EXPECT_EQ(events[2].kind, Kind::kPressCode);
  EXPECT_EQ(events[2].keyCode, 5);
  EXPECT_EQ(events[3].kind, Kind::kRelease);
  EXPECT_EQ(events[3].frame, 12);
  // Three events of frame 20 keep the order of their lines.
  EXPECT_EQ(events[4].key, HostKey::kPageUp);
  EXPECT_EQ(events[5].kind, Kind::kCharacter);
  EXPECT_EQ(events[5].character, '*');
  EXPECT_EQ(events[6].key, HostKey::kF4);
  EXPECT_EQ(events[7].key, HostKey::kQ);
}

TEST(KeyScript, KeyNames) {
  EXPECT_EQ(HostKeyFromName("A"), HostKey::kA);
  EXPECT_EQ(HostKeyFromName("z"), HostKey::kZ);
  EXPECT_EQ(HostKeyFromName("0"), HostKey::k0);
  EXPECT_EQ(HostKeyFromName("9"), HostKey::k9);
  EXPECT_EQ(HostKeyFromName("ESC"), HostKey::kEscape);
  EXPECT_EQ(HostKeyFromName("CapsLock"), HostKey::kCapsLock);
  EXPECT_EQ(HostKeyFromName("PageDown"), HostKey::kPageDown);
  EXPECT_EQ(HostKeyFromName("F5"), HostKey::kNone);
  EXPECT_EQ(HostKeyFromName("*"), HostKey::kNone);
  EXPECT_EQ(HostKeyFromName(""), HostKey::kNone);
  // Every named key reaches the device.
  for (const char* name : {"F1", "F2", "F3", "F4", "Up", "Down", "Left", "Right", "PageUp", "PageDown", "Enter",
                           "Esc", "Space", "Shift", "CapsLock"}) {
    EXPECT_GE(FindVirtualKey(HostKeyFromName(name)), 0) << name;
  }
}

TEST(KeyScript, BadLineIsRejectedWithItsNumber) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"1 press A\n2 press F5\n", "line 2: unknown key"},
      {"x press A\n", "line 1: expected a frame number"},
      {"-1 press A\n", "line 1: expected a frame number"},
      {"\n\n5\n", "line 3: missing the event"},
      {"5 press\n", "line 1: press takes 1 argument"},
      {"5 press A B\n", "line 1: press takes 1 argument"},
      {"5 release now\n", "line 1: release takes 0 arguments"},
      {"5 char a\n", "line 1: char takes one of"},
      {"5 char **\n", "line 1: char takes one of"},
      {"5 click 10\n", "line 1: click takes 2 arguments"},
      {"5 click 10 y\n", "line 1: click takes two numbers"},
      {"5 press #10\n", "line 1: no device key #10"},
      {"5 press #60\n", "line 1: no device key #60"},
      {"5 press #\n", "line 1: unknown key"},
      {"5 hold A\n", "line 1: unknown event"},
      {"99999999999 press A\n", "line 1: expected a frame number"},
  };
  for (const Case& c : cases) {
    std::vector<KeyScriptEvent> events;
    std::string error;
    EXPECT_FALSE(ParseKeyScript(c.script, &events, &error)) << c.script;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.script << " gave: " << error;
    EXPECT_TRUE(events.empty());
  }
}

}  // namespace
}  // namespace rq4800

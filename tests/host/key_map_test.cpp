// The user's key map and its settings, the pressed look of PC keys, the list
// of recent files, and the read-only data directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "host/device_key_map.h"
#include "host/emulator.h"
#include "host/recent_files.h"
#include "host/settings_entries.h"
#include "host/settings_file.h"
#include "host/skin_layout.h"
#include "tests/file_text.h"
#include "tests/host/host_fixture.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Device key 20 moved from Q to F6, device key 44 kept on B alone.
KeyMap RemappedMap() {
  KeyAssignments a = AssignmentsOf(DefaultKeyMap());
  a.pcKeys[20].reset();
  a.pcKeys[20].set(static_cast<size_t>(HostKey::kF6));
  a.pcKeys[44].reset(static_cast<size_t>(HostKey::k1));
  KeyMap map;
  EXPECT_TRUE(MakeKeyMap(a, &map));
  return map;
}

TEST(KeyMap, DefaultsAreTheKeyTableAndTheNewKeysPressNothing) {
  const KeyMap map = DefaultKeyMap();
  for (const VirtualKey& v : virtualKeyTable) EXPECT_EQ(MappedKeyCode(map, v.key), v.keyCode) << HostKeyName(v.key);
  for (HostKey k : {HostKey::kNone, HostKey::kF6, HostKey::kF9, HostKey::kHome, HostKey::kDelete, HostKey::kKeypad0,
                    HostKey::kKeypad9})
    EXPECT_EQ(MappedKeyCode(map, k), -1) << HostKeyName(k);
  // Digits share device keys with letters: one device key on two PC keys is no conflict.
  const KeyAssignments a = AssignmentsOf(map);
  EXPECT_TRUE(KeyConflicts(a).empty());
  EXPECT_EQ(KeysEntryValue(a, 44) + "|" + KeysEntryValue(a, 50), "B,1|");
}

TEST(KeyMap, EveryPcKeyHasANameThatLeadsBackToIt) {
  for (int k = 1; k < kHostKeyCount; ++k) {
    const auto key = static_cast<HostKey>(k);
    const std::string name(HostKeyName(key));
    ASSERT_FALSE(name.empty()) << k;
    EXPECT_EQ(HostKeyNamed(name), key) << name;
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(HostKeyNamed(lower), key) << lower;
  }
  for (const char* unknown : {"", "F5", "F12", "Backspace", "Tab", "AB", "Keypad10"})
    EXPECT_EQ(HostKeyNamed(unknown), HostKey::kNone) << unknown;
}

TEST(KeyMap, OnePcKeyOnTwoDeviceKeysIsAConflictAndMakesNoMap) {
  KeyAssignments a = AssignmentsOf(DefaultKeyMap());
  a.pcKeys[21].set(static_cast<size_t>(HostKey::kQ));  // Q on 20 and 21
  a.pcKeys[22].set(static_cast<size_t>(HostKey::kF6));
  a.pcKeys[23].set(static_cast<size_t>(HostKey::kF6));  // F6 on 22 and 23
  EXPECT_EQ(KeyConflicts(a), (std::vector<HostKey>{HostKey::kQ, HostKey::kF6}));
  KeyMap map = RemappedMap();
  const KeyMap before = map;
  EXPECT_FALSE(MakeKeyMap(a, &map));
  EXPECT_EQ(map.keyCode, before.keyCode) << "a refused map leaves the old one";
  a.pcKeys[20].reset(static_cast<size_t>(HostKey::kQ));
  a.pcKeys[23].reset();
  EXPECT_TRUE(KeyConflicts(a).empty());
  ASSERT_TRUE(MakeKeyMap(a, &map));
  for (auto [key, code] : {std::pair{HostKey::kQ, 21}, {HostKey::kF6, 22}, {HostKey::kW, 21}})
    EXPECT_EQ(MappedKeyCode(map, key), code) << HostKeyName(key);
}

TEST(KeyMap, SettingsRoundTripKeepsTheRestOfTheFile) {
  const fs::path dir = ScratchDirectory();
  const fs::path ini = dir / "rq4800.ini";
  WriteText(ini, "; mine\r\n[CPU]\r\nFrequency=3000\r\n[Keys]\r\nOther=kept\r\n");
  std::string error;
  ASSERT_TRUE(WriteKeyMap(ini.string(), RemappedMap(), &error)) << error;
  const std::string text = ReadAll(ini);
  for (const char* kept :
       {"; mine\r\n[CPU]\r\nFrequency=3000\r\n", "Other=kept\r\n", "K20=F6\r\n", "K44=B\r\n", "K50=\r\n"})
    EXPECT_NE(text.find(kept), std::string::npos) << kept << " in:\n" << text;
  ProblemCapture problems;
  EXPECT_EQ(ReadKeyMap(ini.string()).keyCode, RemappedMap().keyCode);
  EXPECT_EQ(problems.text, "");
  WriteText(ini, "[Keys]\nK20=Nothing\n");
  EXPECT_EQ(ReadKeyMap(ini.string()).keyCode, DefaultKeyMap().keyCode);
  EXPECT_NE(problems.text.find("K20=Nothing"), std::string::npos) << problems.text;
  // A missing file reads as the defaults.
  EXPECT_EQ(ReadKeyMap((dir / "none.ini").string()).keyCode, DefaultKeyMap().keyCode);
}

TEST(KeyMap, BadEntriesAreReportedAndTheirKeysKeepTheDefaults) {
  struct Case {
    const char* text;
    std::vector<std::pair<HostKey, int>> want;  // PC key -> key code after reading
    size_t problems;
  };
  const std::vector<Case> cases = {
      {"[Keys]\nK20=Foo\n", {{HostKey::kQ, 20}}, 1},
      {"[keys]\nk20 = f6 , home\n", {{HostKey::kF6, 20}, {HostKey::kHome, 20}, {HostKey::kQ, -1}}, 0},
      // A taken from its default key: device key 30 is then pressed by nothing.
      {"[Keys]\nK20=A\n", {{HostKey::kA, 20}, {HostKey::kQ, -1}}, 0},
      // The second entry naming A is refused; 30 keeps its default less A.
      {"[Keys]\nK20=A\nK30=A,F7\n", {{HostKey::kA, 20}, {HostKey::kF7, -1}}, 1},
      {"[Keys]\nK44=\n", {{HostKey::kB, -1}, {HostKey::k1, -1}, {HostKey::kN, 45}}, 0},
      // Entries of no device key are never read; an empty name is a bad entry.
      {"[Keys]\nK99=Q\nK10=W\n", {{HostKey::kQ, 20}, {HostKey::kW, 21}}, 0},
      {"[Keys]\nK44=B,,F6\n", {{HostKey::kB, 44}, {HostKey::k1, 44}, {HostKey::kF6, -1}}, 1},
      {"[Keys]\nK20=Q,F5\n", {{HostKey::kQ, 20}}, 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> problems;
    const KeyMap map = KeyMapFromSettings(c.text, &problems);
    EXPECT_EQ(problems.size(), c.problems) << c.text;
    for (auto [key, code] : c.want) EXPECT_EQ(MappedKeyCode(map, key), code) << c.text << HostKeyName(key);
    EXPECT_TRUE(KeyConflicts(AssignmentsOf(map)).empty());
  }
}

TEST(KeyMap, ARemappedKeyPressesItsDeviceKeyAndTheOldOneNothing) {
  ResourceStore store{.useBuiltin = false, .replacements = {}};
  Machine machine{store};
  KeyState keys;
  const KeyMap map = RemappedMap();
  EXPECT_EQ(KeyDown(machine, keys, map, HostKey::kQ, false), -1);
  EXPECT_EQ(machine.bus.keyWords[2], 0u);
  EXPECT_FALSE(KeyUp(machine, keys, map, HostKey::kQ)) << "Q presses nothing, so its release is none";
  EXPECT_EQ(KeyDown(machine, keys, map, HostKey::kF6, false), 20);
  EXPECT_EQ(machine.bus.keyWords[2], 0x01u);
  EXPECT_EQ(KeyDown(machine, keys, map, HostKey::kA, true), -1) << "Shift held keeps other keys from the device";
  ApplyPendingRelease(machine, keys);
  EXPECT_TRUE(KeyUp(machine, keys, map, HostKey::kF6));
  EXPECT_EQ(machine.bus.keyWords[2], 0u);
}

// A PC key shows its device key pressed on the skin, and its release restores it.
TEST(KeyMap, PcKeysShowThePressedLookAndTakeItAway) {
  Running running;
  Emulator& emulator = running.emulator;
  emulator.keyMap = RemappedMap();
  const Screen& s = emulator.screen;
  const SkinKeyRegion* q = nullptr;
  const SkinKeyRegion* dot = nullptr;
  for (const SkinKeyRegion& k : skinKeyRegions) {
    if (k.keyCode == 20) q = &k;
    if (k.keyCode == 55) dot = &k;
  }
  ASSERT_TRUE(q && dot);
  auto pressedAt = [&s](const SkinKeyRegion& k) {
    const int x = (k.x1 + k.x2) / 2, y = (k.y1 + k.y2) / 2;
    return s.frameBuffer.At(x, y) == s.skinPressed.At(x, y - skin::kPressedTop) &&
           s.frameBuffer.At(x, y) != s.skinNormal.At(x, y);
  };
  auto normal = [&s] {
    for (int y = skin::kKeyboardRestoreTop; y < skin::kFrameHeight; ++y)
      for (int x = 0; x < skin::kFrameWidth; ++x)
        if (s.frameBuffer.At(x, y) != s.skinNormal.At(x, y)) return false;
    return true;
  };
  ASSERT_TRUE(normal());
  EXPECT_EQ(emulator.KeyDown(HostKey::kF6, false), 20);
  EXPECT_TRUE(pressedAt(*q));
  emulator.KeyUp(HostKey::kF6);
  EXPECT_TRUE(normal());
  emulator.KeyDown(HostKey::kQ, false);  // no longer a device key: nothing drawn
  EXPECT_TRUE(normal());
  EXPECT_TRUE(emulator.Character('.'));
  EXPECT_TRUE(pressedAt(*dot));
  emulator.CharacterUp('.');
  EXPECT_TRUE(normal());
}

TEST(RecentFiles, MostRecentFirstEachOnceAtMostTen) {
  RecentFiles recent;
  for (int i = 1; i <= 12; ++i) NoteRecentFile(recent, "/f/" + std::to_string(i) + ".txt");
  ASSERT_EQ(recent.paths.size(), kMaxRecentFiles);
  EXPECT_EQ(recent.paths.front(), "/f/12.txt");
  EXPECT_EQ(recent.paths.back(), "/f/3.txt");
  NoteRecentFile(recent, "/f/./7.txt");  // the same file, spelt otherwise, moves up
  EXPECT_EQ(recent.paths.size(), kMaxRecentFiles);
  EXPECT_EQ(recent.paths.front(), "/f/./7.txt");
  EXPECT_EQ(std::count(recent.paths.begin(), recent.paths.end(), "/f/7.txt"), 0);
  NoteRecentFile(recent, "");
  EXPECT_EQ(recent.paths.front(), "/f/./7.txt");
  EXPECT_TRUE(ForgetRecentFile(recent, "/f/12.txt"));
  EXPECT_FALSE(ForgetRecentFile(recent, "/f/12.txt"));
  EXPECT_EQ(recent.paths.size(), kMaxRecentFiles - 1);
}

TEST(RecentFiles, SettingsRoundTripSkipsEmptySlotsAndRepeats) {
  const fs::path ini = ScratchDirectory() / "rq4800.ini";
  WriteText(ini, "[ROM]\nDirectory=/home\n[Recent]\nFile1=/old/a.txt\nFile2=/old/b.txt\nFile3=/old/c.txt\n");
  RecentFiles recent;
  NoteRecentFile(recent, "/x/with blank.bin");
  NoteRecentFile(recent, "/x/second.txt");
  std::string error;
  ASSERT_TRUE(WriteRecentFiles(ini.string(), recent, &error)) << error;
  const std::string text = ReadAll(ini);
  EXPECT_NE(text.find("[ROM]\nDirectory=/home\n"), std::string::npos);
  EXPECT_NE(text.find("File3=\n"), std::string::npos) << "an older third file does not linger";
  EXPECT_EQ(ReadRecentFiles(ini.string()).paths, recent.paths);
  EXPECT_EQ(RecentFilesFromSettings("[Recent]\nFile2=/a\nFile5=/b\nFile7=/a\nFile11=/c\n").paths,
            (std::vector<std::string>{"/a", "/b"}));
}

TEST(SettingsEntries, ALineBreakInAnyValueLeavesTheFileAsItWas) {
  const fs::path ini = ScratchDirectory() / "rq4800.ini";
  WriteText(ini, "[Recent]\nFile1=/a\n");
  const std::vector<ProfileEntry> entries = {{"File1", "/b"}, {"File2", "two\nlines"}};
  std::string error;
  EXPECT_FALSE(WriteProfileEntries(ini.string(), kRecentSection, entries, &error));
  EXPECT_NE(error.find("File2"), std::string::npos) << error;
  EXPECT_EQ(ReadAll(ini), "[Recent]\nFile1=/a\n");
}

// Read-only: neither the flash image nor a state slot is written.
TEST(ReadOnly, SavesNothingIntoTheDataDirectory) {
  const fs::path dir = ScratchDirectory();
  Running running(dir.string() + "/");
  Emulator& emulator = running.emulator;
  emulator.flashFile.readOnly = true;
  emulator.machine->bus.flash[100] ^= 0xFF;
  std::string error;
  EXPECT_FALSE(emulator.SaveFlash(&error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_FALSE(emulator.SaveStateFile(emulator.StateSlotPath(1), &error));
  EXPECT_TRUE(emulator.FlashUnsaved());
  EXPECT_FALSE(fs::exists(dir / kFlashImageName) || fs::exists(emulator.StateSlotPath(1)));
  emulator.flashFile.readOnly = false;
  EXPECT_TRUE(emulator.SaveFlash(&error)) << error;
  EXPECT_TRUE(fs::exists(dir / kFlashImageName));
}

}  // namespace
}  // namespace rq4800::test

#pragma once
// Which PC key presses which device key, as the user has set it. By default
// it is the virtualKeyTable; the user may move any device key to other PC
// keys (the desktop window's "按键设置..."), and the choice is kept in the
// settings file's section "Keys", one entry per device key of the skin:
//
//   [Keys]
//   K20=Q          device key 20 (Q) is pressed by PC key Q
//   K44=B,1        device key 44 by B and by 1 (several PC keys may share one)
//   K50=           device key 50 by no PC key
//
// One PC key never presses two device keys: the editing form
// (KeyAssignments) may hold such a conflict for a while, but no KeyMap is
// made from it until the user has resolved it. The five characters of
// characterKeyTable reach the device whatever the map says.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/keyboard.h"

namespace rq4800 {

inline constexpr int kKeyCodeCount = 60;
inline constexpr const char* kKeysSection = "Keys";

struct KeyMap {
  std::array<int8_t, kHostKeyCount> keyCode{};  // by HostKey; -1: the PC key presses nothing
};

KeyMap DefaultKeyMap();
// The key code a PC key presses, -1 when none.
int MappedKeyCode(const KeyMap& map, HostKey key);

// The map turned round, as the user edits it: for each key code, the PC
// keys that press it.
struct KeyAssignments {
  std::array<std::bitset<kHostKeyCount>, kKeyCodeCount> pcKeys;
};

KeyAssignments AssignmentsOf(const KeyMap& map);
// The PC keys given to more than one device key, in HostKey order.
std::vector<HostKey> KeyConflicts(const KeyAssignments& assignments);
// The map the assignments describe; false, *map untouched, while a conflict stands.
bool MakeKeyMap(const KeyAssignments& assignments, KeyMap* map);

// The PC key's name in the settings file and in key scripts ("Q", "7",
// "F6", "PageUp", "Esc", "Keypad5"); empty for kNone.
std::string_view HostKeyName(HostKey key);
// The PC key of a name, without regard to case; kNone when unknown.
HostKey HostKeyNamed(std::string_view name);

// The entry name ("K20") and value ("B,1") of one device key.
std::string KeysEntryName(int keyCode);
std::string KeysEntryValue(const KeyAssignments& assignments, int keyCode);

// The map a settings text describes: the defaults, with each device key's
// entry of section "Keys" put in. An entry that names an unknown PC key, or
// a PC key an earlier entry already took, is not used (that device key keeps
// its default PC keys, less any taken by an entry) and its reason goes to
// *problems. Absent entries keep their defaults.
KeyMap KeyMapFromSettings(std::string_view settingsText, std::vector<std::string>* problems);
// The same from the settings file, each problem reported.
KeyMap ReadKeyMap(const std::string& settingsPath);
// Every device key's entry, written in one replacement of the file.
bool WriteKeyMap(const std::string& settingsPath, const KeyMap& map, std::string* error);

// The keyboard handlers of host/keyboard.h through a map. KeyDown returns the
// key code it pressed, -1 when none (an unmapped key, or a key other than
// Shift while Shift is held). KeyUp releases all keys when the PC key is
// mapped and says whether it did.
int KeyDown(Machine& machine, KeyState& keys, const KeyMap& map, HostKey key, bool shiftHeld);
bool KeyUp(Machine& machine, KeyState& keys, const KeyMap& map, HostKey key);

}  // namespace rq4800

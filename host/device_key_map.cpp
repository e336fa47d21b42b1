#include "host/device_key_map.h"

#include <algorithm>
#include <cctype>

#include "core/debug_log.h"
#include "host/settings_entries.h"
#include "host/settings_file.h"
#include "host/skin_layout.h"

namespace rq4800 {

namespace {

struct KeyName {
  HostKey key;
  const char* name;
};

// Letters and digits are named by themselves; these are the others.
constexpr KeyName kNamedKeys[] = {
    {HostKey::kF1, "F1"},         {HostKey::kF2, "F2"},         {HostKey::kF3, "F3"},
    {HostKey::kF4, "F4"},         {HostKey::kUp, "Up"},         {HostKey::kDown, "Down"},
    {HostKey::kLeft, "Left"},     {HostKey::kRight, "Right"},   {HostKey::kPageUp, "PageUp"},
    {HostKey::kPageDown, "PageDown"}, {HostKey::kEnter, "Enter"}, {HostKey::kEscape, "Esc"},
    {HostKey::kSpace, "Space"},   {HostKey::kShift, "Shift"},   {HostKey::kCapsLock, "CapsLock"},
    {HostKey::kF6, "F6"},         {HostKey::kF7, "F7"},         {HostKey::kF9, "F9"},
    {HostKey::kHome, "Home"},     {HostKey::kEnd, "End"},       {HostKey::kInsert, "Insert"},
    {HostKey::kDelete, "Delete"}, {HostKey::kKeypad0, "Keypad0"}, {HostKey::kKeypad1, "Keypad1"},
    {HostKey::kKeypad2, "Keypad2"}, {HostKey::kKeypad3, "Keypad3"}, {HostKey::kKeypad4, "Keypad4"},
    {HostKey::kKeypad5, "Keypad5"}, {HostKey::kKeypad6, "Keypad6"}, {HostKey::kKeypad7, "Keypad7"},
    {HostKey::kKeypad8, "Keypad8"}, {HostKey::kKeypad9, "Keypad9"},
};

constexpr const char* kLetters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
constexpr const char* kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

int IndexOf(HostKey key) { return static_cast<int>(key); }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The PC keys of an entry's value; false with the reason for a name that is
// no PC key.
bool ParseKeyList(std::string_view value, std::bitset<kHostKeyCount>* keys, std::string* reason) {
  keys->reset();
  value = Trimmed(value);
  while (!value.empty()) {
    const size_t comma = value.find(',');
    const std::string_view name = Trimmed(value.substr(0, comma));
    const HostKey key = HostKeyNamed(name);
    if (key == HostKey::kNone) {
      reason->assign(1, '"');
      reason->append(name);
      reason->append("\" is no PC key the emulator knows");
      return false;
    }
    keys->set(static_cast<size_t>(IndexOf(key)));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return true;
}

}  // namespace

KeyMap DefaultKeyMap() {
  KeyMap map;
  map.keyCode.fill(-1);
  for (const VirtualKey& v : virtualKeyTable) {
    int8_t& code = map.keyCode[static_cast<size_t>(IndexOf(v.key))];
    // The table is searched in order: the first pair of a PC key wins.
    if (code < 0) code = static_cast<int8_t>(v.keyCode);
  }
  return map;
}

int MappedKeyCode(const KeyMap& map, HostKey key) {
  const int index = IndexOf(key);
  if (key == HostKey::kNone || index >= kHostKeyCount) return -1;
  return map.keyCode[static_cast<size_t>(index)];
}

KeyAssignments AssignmentsOf(const KeyMap& map) {
  KeyAssignments assignments;
  for (int k = 1; k < kHostKeyCount; ++k) {
    const int code = map.keyCode[static_cast<size_t>(k)];
    if (code >= 0 && code < kKeyCodeCount) assignments.pcKeys[static_cast<size_t>(code)].set(static_cast<size_t>(k));
  }
  return assignments;
}

std::vector<HostKey> KeyConflicts(const KeyAssignments& assignments) {
  std::vector<HostKey> conflicts;
  for (int k = 1; k < kHostKeyCount; ++k) {
    int owners = 0;
    for (const auto& keys : assignments.pcKeys) owners += keys.test(static_cast<size_t>(k)) ? 1 : 0;
    if (owners > 1) conflicts.push_back(static_cast<HostKey>(k));
  }
  return conflicts;
}

bool MakeKeyMap(const KeyAssignments& assignments, KeyMap* map) {
  if (!KeyConflicts(assignments).empty()) return false;
  KeyMap made;
  made.keyCode.fill(-1);
  for (int code = 0; code < kKeyCodeCount; ++code) {
    for (int k = 1; k < kHostKeyCount; ++k) {
      if (assignments.pcKeys[static_cast<size_t>(code)].test(static_cast<size_t>(k))) {
        made.keyCode[static_cast<size_t>(k)] = static_cast<int8_t>(code);
      }
    }
  }
  *map = made;
  return true;
}

std::string_view HostKeyName(HostKey key) {
  const int index = IndexOf(key);
  if (key >= HostKey::kA && key <= HostKey::kZ) return kLetters[index - IndexOf(HostKey::kA)];
  if (key >= HostKey::k0 && key <= HostKey::k9) return kDigits[index - IndexOf(HostKey::k0)];
  for (const KeyName& k : kNamedKeys) {
    if (k.key == key) return k.name;
  }
  return {};
}

HostKey HostKeyNamed(std::string_view name) {
  if (name.empty()) return HostKey::kNone;
  for (int k = 1; k < kHostKeyCount; ++k) {
    if (SameName(name, HostKeyName(static_cast<HostKey>(k)))) return static_cast<HostKey>(k);
  }
  return HostKey::kNone;
}

std::string KeysEntryName(int keyCode) {
  std::string name(1, 'K');
  name += std::to_string(keyCode);
  return name;
}

std::string KeysEntryValue(const KeyAssignments& assignments, int keyCode) {
  std::string value;
  if (keyCode < 0 || keyCode >= kKeyCodeCount) return value;
  for (int k = 1; k < kHostKeyCount; ++k) {
    if (!assignments.pcKeys[static_cast<size_t>(keyCode)].test(static_cast<size_t>(k))) continue;
    if (!value.empty()) value += ',';
    value += HostKeyName(static_cast<HostKey>(k));
  }
  return value;
}

KeyMap KeyMapFromSettings(std::string_view settingsText, std::vector<std::string>* problems) {
  const KeyAssignments defaults = AssignmentsOf(DefaultKeyMap());
  // First the entries as written, then the defaults of the device keys that
  // have none (or a bad one), less the PC keys the entries took.
  KeyAssignments result;
  std::bitset<kHostKeyCount> taken;
  std::bitset<kKeyCodeCount> fromEntry;
  for (const SkinKeyLabel& label : skinKeyLabels) {
    const std::string name = KeysEntryName(label.keyCode);
    const auto value = FindProfileEntry(settingsText, kKeysSection, name);
    if (!value) continue;
    std::bitset<kHostKeyCount> keys;
    std::string reason;
    if (ParseKeyList(*value, &keys, &reason) && (keys & taken).any()) {
      for (int k = 1; k < kHostKeyCount; ++k) {
        if ((keys & taken).test(static_cast<size_t>(k))) {
          reason = std::string(HostKeyName(static_cast<HostKey>(k))) + " already presses another device key";
          break;
        }
      }
    }
    if (!reason.empty()) {
      if (problems) {
        problems->push_back("settings [" + std::string(kKeysSection) + "] " + name + "=" + *value + ": " + reason +
                            "; device key " + std::to_string(label.keyCode) + " keeps its default PC keys");
      }
      continue;
    }
    result.pcKeys[static_cast<size_t>(label.keyCode)] = keys;
    fromEntry.set(static_cast<size_t>(label.keyCode));
    taken |= keys;
  }
  for (int code = 0; code < kKeyCodeCount; ++code) {
    if (!fromEntry.test(static_cast<size_t>(code))) {
      result.pcKeys[static_cast<size_t>(code)] = defaults.pcKeys[static_cast<size_t>(code)] & ~taken;
    }
  }
  KeyMap map = DefaultKeyMap();
  MakeKeyMap(result, &map);  // no PC key was given twice above
  return map;
}

KeyMap ReadKeyMap(const std::string& settingsPath) {
  std::vector<std::string> problems;
  KeyMap map = KeyMapFromSettings(ReadSettingsText(settingsPath), &problems);
  for (const std::string& problem : problems) ReportProblem("%s: %s\n", settingsPath.c_str(), problem.c_str());
  return map;
}

bool WriteKeyMap(const std::string& settingsPath, const KeyMap& map, std::string* error) {
  const KeyAssignments assignments = AssignmentsOf(map);
  std::vector<ProfileEntry> entries;
  for (const SkinKeyLabel& label : skinKeyLabels) {
    entries.push_back({KeysEntryName(label.keyCode), KeysEntryValue(assignments, label.keyCode)});
  }
  return WriteProfileEntries(settingsPath, kKeysSection, entries, error);
}

int KeyDown(Machine& machine, KeyState& keys, const KeyMap& map, HostKey key, bool shiftHeld) {
  if (key != HostKey::kShift && shiftHeld) return -1;
  const int keyCode = MappedKeyCode(map, key);
  PressDeviceKey(machine, keys, keyCode);
  return keyCode;
}

bool KeyUp(Machine& machine, KeyState& keys, const KeyMap& map, HostKey key) {
  if (MappedKeyCode(map, key) < 0) return false;
  ReleaseKeys(machine, keys);
  return true;
}

}  // namespace rq4800

// The settings file: any text, section, key and value. Reading never fails;
// a write of a well-formed entry reads back as written, leaves every other
// entry's value as it was, and changes one line or adds at most two (the
// entry and its section).
//
// The key map and the recent files read from any text are usable: every PC
// key presses a key the matrix has or none, the map written back reads back
// the same without complaint, and the list holds at most ten distinct paths.
//
// Input: section, key and value, each a length byte and bytes; then the text.
#include <algorithm>
#include <set>
#include <vector>

#include "host/device_key_map.h"
#include "host/recent_files.h"
#include "host/settings_file.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

std::string_view Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    // Lines compare without their CRs: the writer ends a new last line in
    // the file's own line ending.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
  }
  return lines;
}

bool HasAny(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

// A name the file's format can hold: one line, no blanks at either end, a key
// that no reader takes for a comment or a section. Any storable value reads
// back as written, quoted where its ends need it.
void CheckKeyMapAndRecentFiles(std::string_view text) {
  std::vector<std::string> problems;
  const KeyMap map = KeyMapFromSettings(text, &problems);
  for (const int8_t code : map.keyCode) {
    FUZZ_REQUIRE(code == -1 || (code >= 0 && code < kKeyCodeCount && keyMatrixTable[code / 10][code % 10] != 0));
  }
  std::string written;
  const KeyAssignments assignments = AssignmentsOf(map);
  for (int code = 0; code < kKeyCodeCount; ++code) {
    const std::optional<std::string> next =
        SetProfileEntry(written, kKeysSection, KeysEntryName(code), KeysEntryValue(assignments, code));
    FUZZ_REQUIRE(next.has_value());
    written = *next;
  }
  std::vector<std::string> again;
  FUZZ_REQUIRE(KeyMapFromSettings(written, &again).keyCode == map.keyCode);
  FUZZ_REQUIRE(again.empty());

  const RecentFiles recent = RecentFilesFromSettings(text);
  FUZZ_REQUIRE(recent.paths.size() <= kMaxRecentFiles);
  FUZZ_REQUIRE(std::set<std::string>(recent.paths.begin(), recent.paths.end()).size() == recent.paths.size());
  FUZZ_REQUIRE(std::none_of(recent.paths.begin(), recent.paths.end(), [](const std::string& p) { return p.empty(); }));
}

bool WellFormed(std::string_view section, std::string_view key) {
  if (section.empty() || key.empty() || Trim(section) != section || Trim(key) != key)
    return false;
  if (HasAny(section, "]\r\n") || HasAny(key, "=\r\n")) return false;
  return key.front() != ';' && key.front() != '[';
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  fuzz::ByteReader in{data, size};
  const std::string section = in.Take(in.Byte() % 16);
  const std::string key = in.Take(in.Byte() % 16);
  const std::string value = in.Take(in.Byte() % 24);
  // A file that ends in bare CRs reads its last value with them, and with
  // them lost once a line follows it; such files are left out.
  std::string text = in.Rest();
  while (!text.empty() && text.back() == '\r') text.pop_back();

  (void)FindProfileEntry(text, section, key);
  CheckKeyMapAndRecentFiles(text);
  // A value that a line cannot hold is refused, and nothing is written; any
  // other reads back exactly, blanks and quotes around it included.
  const std::optional<std::string> stored = SetProfileEntry(text, section, key, value);
  FUZZ_REQUIRE(stored.has_value() == (value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos));
  if (!stored || !WellFormed(section, key)) return 0;
  const std::string& written = *stored;
  FUZZ_REQUIRE(FindProfileEntry(written, section, key) == value);

  // Lines: a common head and tail, between them one old line at most and
  // two new ones at most.
  const std::vector<std::string_view> before = Lines(text), after = Lines(written);
  size_t head = 0, tail = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
    ++tail;
  FUZZ_REQUIRE(before.size() - head - tail <= 1 && after.size() - head - tail <= 2);

  // Every other entry keeps its value (sections and keys as a reader finds them).
  std::string_view current;
  int checked = 0;
  for (std::string_view line : before) {
    const std::string_view t = Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
      current = Trim(t.substr(1, t.find(']') - 1));
      continue;
    }
    const size_t eq = t.find('=');
    if (t.empty() || t.front() == ';' || eq == std::string_view::npos || ++checked > 16) continue;
    const std::string_view otherKey = Trim(t.substr(0, eq));
    // Whether it is the entry written, as the reader matches names.
    std::string probe;
    probe.append("[").append(current).append("]\n").append(otherKey).append("=x\n");
    if (FindProfileEntry(probe, section, key)) continue;
    FUZZ_REQUIRE(FindProfileEntry(text, current, otherKey) == FindProfileEntry(written, current, otherKey));
  }
  return 0;
}

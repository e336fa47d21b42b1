// Key scripts: any text either parses into events that keep to the script's
// rules, or is refused with the number of a line it has and no events. The
// events are then played on a machine and a bare screen, as the headless
// runner plays them: keys never leave the key matrix, and a release leaves
// no key pressed.
#include <algorithm>
#include <cstring>

#include "host/key_script.h"
#include "host/keyboard.h"
#include "host/screen.h"
#include "machine/machine.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rq4800;

namespace {

// After a release every key word is clear, or waits to be cleared after the
// next frame because no frame has seen it yet.
bool KeyWordsReleased(const Machine& machine) {
  for (int w = 0; w < 8; ++w) {
    if (machine.bus.keyWords[w] != 0 && !(machine.keys.releaseWords & (1u << w))) return false;
  }
  return true;
}

// A pressed key shows in its key word as the matrix table says.
bool KeyWordsFromMatrix(const Machine& machine) {
  for (int word = 0; word < 8; ++word) {
    const uint32_t value = machine.bus.keyWords[word];
    if (value == 0) continue;
    bool found = false;
    for (const auto& row : keyMatrixTable)
      for (uint16_t entry : row) found = found || (entry != 0 && entry >> 8 == word && (entry & 0xFF) == value);
    if (!found) return false;
  }
  return true;
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static ResourceStore resources = [] {
    ResourceStore r;
    r.useBuiltin = false;
    return r;
  }();
  static Machine machine(resources);
  static Screen screen = [] {
    Screen s;
    s.frameBuffer = MakeImage(470, 611, 0);
    return s;
  }();

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::vector<KeyScriptEvent> events;
  std::string error;
  if (!ParseKeyScript(text, &events, &error)) {
    FUZZ_REQUIRE(events.empty());
    int line = 0;
    FUZZ_REQUIRE(std::sscanf(error.c_str(), "line %d: ", &line) == 1 && line >= 1 && line <= lines);
    FUZZ_REQUIRE(error.size() > std::strlen("line 1: "));
    return 0;
  }
  using Kind = KeyScriptEvent::Kind;
  for (size_t i = 0; i < events.size(); ++i) {
    const KeyScriptEvent& e = events[i];
    FUZZ_REQUIRE(e.frame >= 0 && e.line >= 1 && e.line <= lines);
    if (i > 0) FUZZ_REQUIRE(events[i - 1].frame < e.frame || (events[i - 1].frame == e.frame && events[i - 1].line < e.line));
    if (e.kind == Kind::kPress) FUZZ_REQUIRE(e.key != HostKey::kNone);
    if (e.kind == Kind::kPressCode) FUZZ_REQUIRE(e.keyCode >= 0 && e.keyCode < 60 && keyMatrixTable[e.keyCode / 10][e.keyCode % 10] != 0);
    if (e.kind == Kind::kCharacter) FUZZ_REQUIRE(e.character != 0 && std::strchr("*+-./", e.character) != nullptr);
    if (e.kind == Kind::kClick) FUZZ_REQUIRE(e.x >= 0 && e.y >= 0);
  }

  ReleaseAllKeys(machine);
  machine.keys = {};
  KeyState& keys = machine.keys;
  bool shiftHeld = false;
  int frame = events.empty() ? 0 : events.front().frame;
  for (const KeyScriptEvent& e : events) {
    // Between frames the releases that waited for a frame take effect.
    if (e.frame != frame) ApplyPendingRelease(machine, keys), frame = e.frame;
    switch (e.kind) {
      case Kind::kPress:
        KeyDown(machine, keys, e.key, shiftHeld);
        shiftHeld = shiftHeld || e.key == HostKey::kShift;
        break;
      case Kind::kPressCode: PressDeviceKey(machine, keys, e.keyCode); break;
      case Kind::kRelease:
        ReleaseKeys(machine, keys);
        shiftHeld = false;
        FUZZ_REQUIRE(KeyWordsReleased(machine));
        break;
      case Kind::kCharacter: FUZZ_REQUIRE(Character(machine, keys, static_cast<unsigned char>(e.character))); break;
      case Kind::kClick: {
        const int code = ButtonDown(machine, keys, screen, e.x, e.y);
        FUZZ_REQUIRE(code == -1 || (code >= 0 && code < 60 && keyMatrixTable[code / 10][code % 10] != 0));
        break;
      }
      case Kind::kUnclick:
        ButtonUp(machine, keys, screen);
        FUZZ_REQUIRE(KeyWordsReleased(machine));
        break;
    }
    FUZZ_REQUIRE(KeyWordsFromMatrix(machine));
  }
  // A script that ends on a release leaves no key down once a frame has run.
  ApplyPendingRelease(machine, keys);
  if (!events.empty() && (events.back().kind == Kind::kRelease || events.back().kind == Kind::kUnclick)) {
    FUZZ_REQUIRE(std::all_of(std::begin(machine.bus.keyWords), std::end(machine.bus.keyWords),
                             [](uint32_t w) { return w == 0; }));
  }
  return 0;
}

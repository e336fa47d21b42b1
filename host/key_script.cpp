#include "host/key_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>

#include "host/device_key_map.h"
#include "host/keyboard.h"

namespace rq4800 {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// A non-negative decimal number that fills the whole word.
bool Number(std::string_view word, int* value) {
  if (word.empty()) return false;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value);
  return ec == std::errc() && end == word.data() + word.size() && *value >= 0;
}

// Returns "" when the words make an event, otherwise the reason.
std::string ParseEvent(const std::vector<std::string_view>& words, KeyScriptEvent* event) {
  using Kind = KeyScriptEvent::Kind;
  if (!Number(words[0], &event->frame)) return "expected a frame number, found \"" + std::string(words[0]) + "\"";
  if (words.size() < 2) return "missing the event after the frame number";
  const std::string_view verb = words[1];
  const size_t arguments = words.size() - 2;
  auto expect = [&](size_t n) -> std::string {
    if (arguments == n) return "";
    return std::string(verb) + " takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s");
  };
  if (SameName(verb, "press")) {
    if (auto e = expect(1); !e.empty()) return e;
    const std::string_view name = words[2];
    if (name.size() > 1 && name[0] == '#') {
      if (!Number(name.substr(1), &event->keyCode) || event->keyCode >= 60 ||
          keyMatrixTable[event->keyCode / 10][event->keyCode % 10] == 0) {
        return "no device key " + std::string(name);
      }
      event->kind = Kind::kPressCode;
      return "";
    }
    event->key = HostKeyNamed(name);
    if (event->key == HostKey::kNone) return "unknown key \"" + std::string(name) + "\"";
    event->kind = Kind::kPress;
    return "";
  }
  if (SameName(verb, "release")) {
    event->kind = Kind::kRelease;
    return expect(0);
  }
  if (SameName(verb, "char")) {
    if (auto e = expect(1); !e.empty()) return e;
    if (words[2].size() != 1 || FindCharacterKey(static_cast<unsigned char>(words[2][0])) < 0) {
      return "char takes one of * + - . /, not \"" + std::string(words[2]) + "\"";
    }
    event->kind = Kind::kCharacter;
    event->character = words[2][0];
    return "";
  }
  if (SameName(verb, "click")) {
    if (auto e = expect(2); !e.empty()) return e;
    if (!Number(words[2], &event->x) || !Number(words[3], &event->y)) return "click takes two numbers X Y";
    event->kind = Kind::kClick;
    return "";
  }
  if (SameName(verb, "unclick")) {
    event->kind = Kind::kUnclick;
    return expect(0);
  }
  return "unknown event \"" + std::string(verb) + "\"";
}

}  // namespace

bool ParseKeyScript(std::string_view text, std::vector<KeyScriptEvent>* events, std::string* error) {
  events->clear();
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    KeyScriptEvent event;
    event.line = lineNumber;
    if (std::string reason = ParseEvent(words, &event); !reason.empty()) {
      if (error) *error = "line " + std::to_string(lineNumber) + ": " + reason;
      events->clear();
      return false;
    }
    events->push_back(event);
  }
  std::stable_sort(events->begin(), events->end(),
                   [](const KeyScriptEvent& a, const KeyScriptEvent& b) { return a.frame < b.frame; });
  return true;
}

}  // namespace rq4800

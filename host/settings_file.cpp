#include "host/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "core/file_io.h"

namespace rq4800 {

namespace {

struct Line {
  std::string_view body;  // without its line ending
  std::string_view end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.push_back({text.substr(start), {}});
      break;
    }
    size_t bodyEnd = nl > start && text[nl - 1] == '\r' ? nl - 1 : nl;
    lines.push_back({text.substr(start, bodyEnd - start), text.substr(bodyEnd, nl + 1 - bodyEnd)});
    start = nl + 1;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view body) {
  std::string_view t = Trim(body);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

struct Entry {
  std::string_view key, value;
};

std::optional<Entry> EntryOf(std::string_view body) {
  std::string_view t = Trim(body);
  if (t.empty() || t.front() == ';') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view value = Trim(t.substr(eq + 1));
  // A value written in quotes reads without them, as the platform's reader does.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return Entry{Trim(t.substr(0, eq)), value};
}

// Blanks or a quote at either end would be lost or taken off on reading.
bool NeedsQuotes(std::string_view value) {
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
  return !value.empty() && (edge(value.front()) || edge(value.back()));
}

FileRead ReadSettings(const std::string& path) { return ReadInputFile(path, kMaxSettingsFileBytes); }

std::string TextOf(const FileRead& file) {
  return file.ok() ? std::string(file.bytes.begin(), file.bytes.end()) : std::string();
}

}  // namespace

std::optional<std::string> FindProfileEntry(std::string_view text, std::string_view section,
                                            std::string_view key) {
  bool inSection = false;
  for (const Line& line : SplitLines(text)) {
    if (auto name = SectionName(line.body)) {
      inSection = SameName(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (auto entry = EntryOf(line.body); entry && SameName(entry->key, key)) {
      return std::string(entry->value);
    }
  }
  return std::nullopt;
}

std::optional<std::string> SetProfileEntry(std::string_view text, std::string_view section, std::string_view key,
                                           std::string_view value) {
  if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return std::nullopt;
  std::vector<Line> lines = SplitLines(text);
  std::string_view newline = "\n";
  for (const Line& line : lines) {
    if (!line.end.empty()) {
      newline = line.end;
      break;
    }
  }
  std::string entryLine = std::string(key) + "=";
  if (NeedsQuotes(value)) {
    entryLine.append("\"").append(value).append("\"");
  } else {
    entryLine.append(value);
  }

  // Find the first matching section: its entry to rewrite, or the line after
  // which a new entry goes (its last entry, or its header when it has none).
  std::optional<size_t> header, replaceAt, lastEntry;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i].body)) {
      if (inSection) break;
      if (SameName(*name, section)) {
        inSection = true;
        header = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (auto entry = EntryOf(lines[i].body)) {
      lastEntry = i;
      if (SameName(entry->key, key)) {
        replaceAt = i;
        break;
      }
    }
  }

  std::string out;
  out.reserve(text.size() + entryLine.size() + section.size() + 8);
  auto emit = [&](std::string_view body, std::string_view end) {
    out.append(body);
    out.append(end);
  };
  if (!header) {
    for (const Line& line : lines) emit(line.body, line.end.empty() ? newline : line.end);
    out.append("[").append(section).append("]").append(newline);
    out.append(entryLine).append(newline);
    return out;
  }
  size_t insertAfter = lastEntry ? *lastEntry : *header;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (replaceAt && i == *replaceAt) {
      emit(entryLine, lines[i].end);
      continue;
    }
    if (!replaceAt && i == insertAfter) {
      emit(lines[i].body, lines[i].end.empty() ? newline : lines[i].end);
      emit(entryLine, newline);
      continue;
    }
    emit(lines[i].body, lines[i].end);
  }
  return out;
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              const std::string& defaultValue) {
  auto value = FindProfileEntry(TextOf(ReadSettings(path)), section, key);
  return value ? *value : defaultValue;
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue) {
  auto value = FindProfileEntry(TextOf(ReadSettings(path)), section, key);
  if (!value) return defaultValue;
  errno = 0;
  long long n = std::strtoll(value->c_str(), nullptr, 10);
  if (errno == ERANGE || n > 2147483647LL || n < -2147483647LL - 1) return 0;
  return static_cast<int>(n);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  const FileRead file = ReadSettings(path);
  if (!file.ok() && file.status != ReadStatus::kMissing) return fail(file.error + "; it was left as it is");
  const std::optional<std::string> text = SetProfileEntry(TextOf(file), section, key, value);
  if (!text) {
    return fail("the value for " + std::string(key) + " in [" + std::string(section) + "] of " + path +
                " holds a line break, which a settings file cannot keep; the old value stays");
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text->data()), text->size());
  std::string reason;
  if (!WriteFileAtomically(path, bytes, &reason)) return fail(reason);
  return true;
}

bool CreateFileIfMissing(const std::string& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return true;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  std::fclose(f);
  return true;
}

}  // namespace rq4800

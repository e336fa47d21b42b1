#pragma once
// The settings file "rq4800.ini": a private-profile text file of "[Section]"
// lines and "Key=Value" entries. Sections and keys match without regard to
// case, blanks around keys and values do not count, and lines starting with
// ';' are comments. A write changes exactly one entry: every other line of
// the file, including sections and entries the program never uses, comments
// and blank lines, stays as the user left it.
//
// Values read back exactly as written: a value with blanks or a quote at
// either end is written in double quotes, and reading takes off one pair of
// matching quotes (" or ') around a value, as the platform's reader does, so
// plain values written by hand read as they are. A value with a line break
// (or a NUL) cannot be kept in a line of text and is refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rq4800 {

// The value of section/key in the text of a settings file, or nothing when
// the entry is absent. The first matching section and entry win.
std::optional<std::string> FindProfileEntry(std::string_view text, std::string_view section,
                                            std::string_view key);

// The text with section/key set to value: an existing entry is rewritten in
// place, a new one goes after the last entry of its section, and a missing
// section is appended at the end. Line endings follow the text's own.
// Nothing when the value cannot be stored (a line break in it).
std::optional<std::string> SetProfileEntry(std::string_view text, std::string_view section, std::string_view key,
                                           std::string_view value);

// A settings file longer than this is not a settings file of ours; it is
// neither read nor rewritten.
constexpr size_t kMaxSettingsFileBytes = 1 << 20;

// File operations. A file that cannot be read (missing, too large, not a
// file) reads as empty, so every entry takes its default.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              const std::string& defaultValue);
// A decimal integer with optional sign; the default only when the entry is
// absent, 0 when its value does not start with a number.
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue);
// Replaces the file atomically (WriteFileAtomically), so a failed write
// leaves the old file whole. A file that exists but cannot be read is left
// as it is rather than rewritten from nothing, and a value that cannot be
// stored leaves the entry's old value. Returns false with the reason in
// *error in these cases.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error = nullptr);

// Makes an empty file at path unless one exists; an existing file is left
// untouched. Returns whether the file exists afterwards.
bool CreateFileIfMissing(const std::string& path);

}  // namespace rq4800

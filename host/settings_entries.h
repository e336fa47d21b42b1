#pragma once
// Several entries of one settings section written together: one reading and
// one atomic replacement of the file instead of one per entry, with the same
// rules as WriteProfileString (host/settings_file.h): every other line stays
// as it was, a file that exists but cannot be read is left alone, and a value
// that cannot be stored leaves the whole file unchanged.
#include <span>
#include <string>
#include <string_view>

namespace rq4800 {

struct ProfileEntry {
  std::string key;
  std::string value;
};

bool WriteProfileEntries(const std::string& path, std::string_view section, std::span<const ProfileEntry> entries,
                         std::string* error = nullptr);

// The whole settings file as text; empty when it cannot be read.
std::string ReadSettingsText(const std::string& path);

}  // namespace rq4800

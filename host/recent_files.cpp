#include "host/recent_files.h"

#include <algorithm>
#include <filesystem>

#include "host/settings_entries.h"
#include "host/settings_file.h"

namespace rq4800 {

namespace {

// "/a/./b" and "/a/b" are one file; the list keeps the first spelling it met.
bool SameFile(const std::string& a, const std::string& b) {
  return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

std::string SlotName(size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

void NoteRecentFile(RecentFiles& recent, const std::string& path) {
  if (path.empty()) return;
  ForgetRecentFile(recent, path);
  recent.paths.insert(recent.paths.begin(), path);
  if (recent.paths.size() > kMaxRecentFiles) recent.paths.resize(kMaxRecentFiles);
}

bool ForgetRecentFile(RecentFiles& recent, const std::string& path) {
  const auto end = std::remove_if(recent.paths.begin(), recent.paths.end(),
                                  [&path](const std::string& p) { return SameFile(p, path); });
  const bool found = end != recent.paths.end();
  recent.paths.erase(end, recent.paths.end());
  return found;
}

RecentFiles RecentFilesFromSettings(std::string_view settingsText) {
  RecentFiles recent;
  for (size_t i = 0; i < kMaxRecentFiles; ++i) {
    const auto value = FindProfileEntry(settingsText, kRecentSection, SlotName(i));
    if (!value || value->empty()) continue;
    const bool seen = std::any_of(recent.paths.begin(), recent.paths.end(),
                                  [&value](const std::string& p) { return SameFile(p, *value); });
    if (!seen) recent.paths.push_back(*value);
  }
  return recent;
}

RecentFiles ReadRecentFiles(const std::string& settingsPath) {
  return RecentFilesFromSettings(ReadSettingsText(settingsPath));
}

bool WriteRecentFiles(const std::string& settingsPath, const RecentFiles& recent, std::string* error) {
  std::vector<ProfileEntry> entries;
  for (size_t i = 0; i < kMaxRecentFiles; ++i) {
    entries.push_back({SlotName(i), i < recent.paths.size() ? recent.paths[i] : std::string()});
  }
  return WriteProfileEntries(settingsPath, kRecentSection, entries, error);
}

}  // namespace rq4800

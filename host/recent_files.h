#pragma once
// The files the user downloaded last, for the desktop window's "最近的文件":
// most recent first, each path once, at most ten. Kept in the settings
// file's section "Recent" as File1 (the most recent) .. File10; a slot
// without a file is written empty.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rq4800 {

inline constexpr size_t kMaxRecentFiles = 10;
inline constexpr const char* kRecentSection = "Recent";

struct RecentFiles {
  std::vector<std::string> paths;  // most recent first
};

// Puts path first; an earlier mention of the same file moves up rather than
// appearing twice, and the oldest beyond ten falls off. Empty paths are not kept.
void NoteRecentFile(RecentFiles& recent, const std::string& path);
// Takes path out of the list; false when it was not in it.
bool ForgetRecentFile(RecentFiles& recent, const std::string& path);

// The list a settings text holds: File1..File10 in order, empty values and
// repeats skipped.
RecentFiles RecentFilesFromSettings(std::string_view settingsText);
RecentFiles ReadRecentFiles(const std::string& settingsPath);
bool WriteRecentFiles(const std::string& settingsPath, const RecentFiles& recent, std::string* error);

}  // namespace rq4800

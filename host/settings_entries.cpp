#include "host/settings_entries.h"

#include <cstdint>
#include <optional>

#include "core/file_io.h"
#include "host/settings_file.h"

namespace rq4800 {

std::string ReadSettingsText(const std::string& path) {
  const FileRead file = ReadInputFile(path, kMaxSettingsFileBytes);
  return file.ok() ? std::string(file.bytes.begin(), file.bytes.end()) : std::string();
}

bool WriteProfileEntries(const std::string& path, std::string_view section, std::span<const ProfileEntry> entries,
                         std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  const FileRead file = ReadInputFile(path, kMaxSettingsFileBytes);
  if (!file.ok() && file.status != ReadStatus::kMissing) return fail(file.error + "; it was left as it is");
  std::string text = file.ok() ? std::string(file.bytes.begin(), file.bytes.end()) : std::string();
  for (const ProfileEntry& entry : entries) {
    std::optional<std::string> changed = SetProfileEntry(text, section, entry.key, entry.value);
    if (!changed) {
      return fail("the value for " + entry.key + " in [" + std::string(section) + "] of " + path +
                  " holds a line break, which a settings file cannot keep; nothing was written");
    }
    text = std::move(*changed);
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  std::string reason;
  if (!WriteFileAtomically(path, bytes, &reason)) return fail(reason);
  return true;
}

}  // namespace rq4800

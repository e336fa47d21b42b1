#include "host/view_settings.h"

#include <charconv>
#include <optional>

#include "core/debug_log.h"
#include "host/settings_file.h"

namespace rq4800 {

namespace {

struct EntryName {
  ViewEntry entry;
  const char* section;
  const char* key;
  int min, max;  // the range of a number; 0..1 for a switch
};

constexpr EntryName kEntries[] = {
    {ViewEntry::kScale, "Window", "Scale", ViewSettings::kMinScale, ViewSettings::kMaxScale},
    {ViewEntry::kSmooth, "Window", "Smooth", 0, 1},
    {ViewEntry::kLcdOnly, "Window", "LcdOnly", 0, 1},
    {ViewEntry::kPictureFolder, "Window", "PictureFolder", 0, 0},
    {ViewEntry::kVolume, "Sound", "Volume", 0, ViewSettings::kMaxVolume},
    {ViewEntry::kMute, "Sound", "Mute", 0, 1},
};

const EntryName& NameOf(ViewEntry entry) {
  for (const EntryName& name : kEntries) {
    if (name.entry == entry) return name;
  }
  return kEntries[0];
}

// The whole value as a number in range; a problem line and nothing otherwise.
std::optional<int> ReadNumber(const std::string& file, const EntryName& name) {
  const std::string text = ReadProfileString(file, name.section, name.key, "");
  if (text.empty()) return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && end == text.data() + text.size() && value >= name.min && value <= name.max) return value;
  ReportProblem("%s: %s=%s in [%s] is not a number from %d to %d; the default is used\n", file.c_str(), name.key,
                text.c_str(), name.section, name.min, name.max);
  return std::nullopt;
}

std::string ValueOf(const ViewSettings& s, ViewEntry entry) {
  switch (entry) {
    case ViewEntry::kScale: return std::to_string(s.scale);
    case ViewEntry::kSmooth: return std::to_string(s.smooth ? 1 : 0);
    case ViewEntry::kLcdOnly: return std::to_string(s.lcdOnly ? 1 : 0);
    case ViewEntry::kPictureFolder: return s.pictureFolder;
    case ViewEntry::kVolume: return std::to_string(s.volume);
    case ViewEntry::kMute: return std::to_string(s.mute ? 1 : 0);
  }
  return {};
}

}  // namespace

ViewSettings ReadViewSettings(const std::string& settingsFile) {
  ViewSettings s;
  if (auto v = ReadNumber(settingsFile, NameOf(ViewEntry::kScale))) s.scale = *v;
  if (auto v = ReadNumber(settingsFile, NameOf(ViewEntry::kSmooth))) s.smooth = *v != 0;
  if (auto v = ReadNumber(settingsFile, NameOf(ViewEntry::kLcdOnly))) s.lcdOnly = *v != 0;
  if (auto v = ReadNumber(settingsFile, NameOf(ViewEntry::kVolume))) s.volume = *v;
  if (auto v = ReadNumber(settingsFile, NameOf(ViewEntry::kMute))) s.mute = *v != 0;
  const EntryName& folder = NameOf(ViewEntry::kPictureFolder);
  s.pictureFolder = ReadProfileString(settingsFile, folder.section, folder.key, "");
  return s;
}

bool WriteViewSetting(const std::string& settingsFile, const ViewSettings& settings, ViewEntry entry,
                      std::string* error) {
  const EntryName& name = NameOf(entry);
  return WriteProfileString(settingsFile, name.section, name.key, ValueOf(settings, entry), error);
}

}  // namespace rq4800

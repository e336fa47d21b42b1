#include "host/language.h"

#include <cctype>

#include "core/debug_log.h"
#include "host/settings_file.h"

namespace rq4800 {

namespace {

struct SettingName {
  LanguageSetting setting;
  const char* text;
};
constexpr SettingName kSettingNames[] = {
    {LanguageSetting::kSystem, "system"},
    {LanguageSetting::kChinese, "zh"},
    {LanguageSetting::kEnglish, "en"},
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The language subtag: "zh" of "zh-Hans-CN", "en" of "en_US.UTF-8".
std::string PrimaryLanguage(std::string_view tag) {
  const size_t end = tag.find_first_of("-_.@");
  return Lower(tag.substr(0, end));
}

}  // namespace

std::optional<LanguageSetting> LanguageSettingFromText(std::string_view text) {
  const std::string lower = Lower(text);
  for (const SettingName& name : kSettingNames) {
    if (lower == name.text) return name.setting;
  }
  return std::nullopt;
}

const char* LanguageSettingText(LanguageSetting setting) {
  for (const SettingName& name : kSettingNames) {
    if (name.setting == setting) return name.text;
  }
  return "system";
}

Language SystemLanguage(const std::vector<std::string>& uiLanguages) {
  bool otherLanguage = false;
  for (const std::string& tag : uiLanguages) {
    const std::string language = PrimaryLanguage(tag);
    if (language == "zh") return Language::kChinese;
    if (language == "en") return Language::kEnglish;
    if (!language.empty() && language != "c" && language != "posix") otherLanguage = true;
  }
  return otherLanguage ? Language::kEnglish : Language::kChinese;
}

Language ChooseLanguage(LanguageSetting setting, const std::vector<std::string>& uiLanguages) {
  switch (setting) {
    case LanguageSetting::kChinese:
      return Language::kChinese;
    case LanguageSetting::kEnglish:
      return Language::kEnglish;
    case LanguageSetting::kSystem:
      break;
  }
  return SystemLanguage(uiLanguages);
}

LanguageSetting ReadLanguageSetting(const std::string& settingsFile) {
  const std::string text = ReadProfileString(settingsFile, kLanguageSection, kLanguageKey, "system");
  if (const std::optional<LanguageSetting> setting = LanguageSettingFromText(text)) return *setting;
  ReportProblem("unknown language \"%s\" under [%s] %s in %s (system, zh or en); the system's language is used\n",
                text.c_str(), kLanguageSection, kLanguageKey, settingsFile.c_str());
  return LanguageSetting::kSystem;
}

bool WriteLanguageSetting(const std::string& settingsFile, LanguageSetting setting, std::string* error) {
  return WriteProfileString(settingsFile, kLanguageSection, kLanguageKey, LanguageSettingText(setting), error);
}

}  // namespace rq4800

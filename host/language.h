#pragma once
// The language of the desktop program's texts. The Chinese texts are the
// program's own (its source texts); an English translation is carried beside
// them. The choice lives in the settings file under [Interface] Language:
//   system (or no entry)  the system's user-interface languages decide
//   zh                    Chinese
//   en                    English
// and is applied when the window is made, so a change takes effect at the
// next start.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rq4800 {

enum class Language { kChinese, kEnglish };
enum class LanguageSetting { kSystem, kChinese, kEnglish };

inline constexpr const char* kLanguageSection = "Interface";
inline constexpr const char* kLanguageKey = "Language";

// "system", "zh", "en" (any case, the codes of the table above); anything
// else is no setting.
std::optional<LanguageSetting> LanguageSettingFromText(std::string_view text);
const char* LanguageSettingText(LanguageSetting setting);

// The system's languages in its order of preference (BCP 47 tags such as
// "zh-CN", "en-GB", or POSIX names such as "zh_TW"): the first Chinese or
// English one decides. Without either, any other real language gets English,
// the translation a reader of neither is likelier to read; the C and POSIX
// locales, which name no language, get the program's own Chinese texts.
Language SystemLanguage(const std::vector<std::string>& uiLanguages);
Language ChooseLanguage(LanguageSetting setting, const std::vector<std::string>& uiLanguages);

// The setting in the settings file; a value that is no setting is reported
// as a problem (naming the file) and followed as "system".
LanguageSetting ReadLanguageSetting(const std::string& settingsFile);
bool WriteLanguageSetting(const std::string& settingsFile, LanguageSetting setting, std::string* error);

}  // namespace rq4800

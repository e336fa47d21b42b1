#include "host/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "host/settings_file.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;

TEST(LanguageChoice, TheSystemsFirstChineseOrEnglishDecidesAndTheSettingOverridesIt) {
  using Tags = std::vector<std::string>;
  struct Row {
    Tags system;
    Language followed;  // by "system"
  };
  const Row rows[] = {
      {{"zh-CN"}, Language::kChinese},
      {{"zh-Hant-TW", "en"}, Language::kChinese},
      {{"zh_TW.UTF-8"}, Language::kChinese},
      {{"en-GB", "zh-CN"}, Language::kEnglish},
      {{"EN_us"}, Language::kEnglish},
      // Neither in the list: a reader of another language gets the translation...
      {{"fr-FR", "de"}, Language::kEnglish},
      // ...but one who listed Chinese after it gets Chinese.
      {{"fr-FR", "zh"}, Language::kChinese},
      // The C and POSIX locales name no language: the program's own texts.
      {{"C"}, Language::kChinese},
      {{"POSIX", "c"}, Language::kChinese},
      {{}, Language::kChinese},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.system.empty() ? std::string("(none)") : row.system.front());
    EXPECT_EQ(ChooseLanguage(LanguageSetting::kSystem, row.system), row.followed);
    EXPECT_EQ(ChooseLanguage(LanguageSetting::kChinese, row.system), Language::kChinese);
    EXPECT_EQ(ChooseLanguage(LanguageSetting::kEnglish, row.system), Language::kEnglish);
  }
}

TEST(LanguageChoice, TheSettingReadsBackAndAnUnknownOneIsReported) {
  const fs::path folder = fs::temp_directory_path() / "rq4800_language_setting";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string file = (folder / "rq4800.ini").string();
  std::ofstream(file) << "[CPU]\nFrequency=3000\n";

  ProblemCapture problems;
  EXPECT_EQ(ReadLanguageSetting(file), LanguageSetting::kSystem);  // no entry
  for (LanguageSetting setting : {LanguageSetting::kEnglish, LanguageSetting::kChinese, LanguageSetting::kSystem}) {
    ASSERT_TRUE(WriteLanguageSetting(file, setting, nullptr));
    EXPECT_EQ(ReadLanguageSetting(file), setting);
  }
  EXPECT_EQ(ReadProfileString(file, "CPU", "Frequency", ""), "3000");  // the rest of the file stays
  EXPECT_EQ(problems.text, "");

  // Written by hand: case does not matter; a value that is no language is
  // named with its file and followed as the system's.
  WriteProfileString(file, kLanguageSection, kLanguageKey, "EN");
  EXPECT_EQ(ReadLanguageSetting(file), LanguageSetting::kEnglish);
  WriteProfileString(file, kLanguageSection, kLanguageKey, "klingon");
  EXPECT_EQ(ReadLanguageSetting(file), LanguageSetting::kSystem);
  EXPECT_NE(problems.text.find("unknown language \"klingon\""), std::string::npos) << problems.text;
  EXPECT_NE(problems.text.find(file), std::string::npos) << problems.text;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace rq4800

#include "host/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rq4800 {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    path = std::filesystem::temp_directory_path() /
           ("rq4800_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
};

TEST(SettingsText, FindsEntriesAsThePrivateProfileReaderDoes) {
  const char* text =
      "; written by hand\n"
      "[Other]\n"
      "Frequency=7\n"
      "[ cpu ]\n"
      "  frequency =  2400  \n"
      "Frequency=9\n"
      "[ROM]\r\n"
      "Directory=\"/home/user/my files\"\r\n"
      ";Skin=old.ski\r\n";
  // Section and key ignore case and blanks; only the first entry counts.
  EXPECT_EQ(FindProfileEntry(text, "CPU", "Frequency"), "2400");
  EXPECT_EQ(FindProfileEntry(text, "other", "FREQUENCY"), "7");
  // Quotes around a value are not part of it; CRLF endings do not leak in.
  EXPECT_EQ(FindProfileEntry(text, "ROM", "Directory"), "/home/user/my files");
  // A commented-out entry and an entry of another section are absent.
  EXPECT_EQ(FindProfileEntry(text, "ROM", "Skin"), std::nullopt);
  EXPECT_EQ(FindProfileEntry(text, "Firmware", "ROM0"), std::nullopt);
  EXPECT_EQ(FindProfileEntry("", "CPU", "Frequency"), std::nullopt);
}

TEST(SettingsText, RewritingOneEntryKeepsEveryOtherLine) {
  const std::string text =
      "; my notes\n"
      "[Firmware]\n"
      "ROM0=dump0.bin\n"
      "\n"
      "[CPU]\n"
      "Frequency=0\n"
      "Turbo=yes\n"
      "\n"
      "[Window]\n"
      "X=10\n";
  EXPECT_EQ(SetProfileEntry(text, "cpu", "FREQUENCY", "3000"),
            "; my notes\n[Firmware]\nROM0=dump0.bin\n\n[CPU]\nFREQUENCY=3000\nTurbo=yes\n\n"
            "[Window]\nX=10\n");
  // A new key goes after the last entry of its section, before the blank
  // line and the next section.
  EXPECT_EQ(SetProfileEntry(text, "Firmware", "Flash", "my.fls"),
            "; my notes\n[Firmware]\nROM0=dump0.bin\nFlash=my.fls\n\n[CPU]\nFrequency=0\nTurbo=yes\n\n"
            "[Window]\nX=10\n");
  // A new section is appended at the end.
  EXPECT_EQ(SetProfileEntry(text, "ROM", "Directory", "/tmp/x"), text + "[ROM]\nDirectory=/tmp/x\n");
}

TEST(SettingsText, WritesIntoEmptyUnterminatedAndCrlfFiles) {
  EXPECT_EQ(SetProfileEntry("", "CPU", "Frequency", "1000"), "[CPU]\nFrequency=1000\n");
  // A last line without its line ending gets one before anything follows it.
  EXPECT_EQ(SetProfileEntry("[CPU]\nOther=1", "CPU", "Frequency", "5"), "[CPU]\nOther=1\nFrequency=5\n");
  EXPECT_EQ(SetProfileEntry("[CPU]\nFrequency=1", "CPU", "Frequency", "5"), "[CPU]\nFrequency=5");
  // An empty section takes the entry right after its header.
  EXPECT_EQ(SetProfileEntry("[CPU]\n[ROM]\nDirectory=a\n", "CPU", "Frequency", "5"),
            "[CPU]\nFrequency=5\n[ROM]\nDirectory=a\n");
  // A file written on the device's home platform keeps its CRLF endings.
  EXPECT_EQ(SetProfileEntry("[ROM]\r\nDirectory=a\r\n", "CPU", "Frequency", "5"),
            "[ROM]\r\nDirectory=a\r\n[CPU]\r\nFrequency=5\r\n");
}

TEST(SettingsFile, IntegersTakeTheDefaultOnlyWhenAbsent) {
  TempFolder dir;
  auto ini = (dir.path / "rq4800.ini").string();
  WriteAll(ini, "[CPU]\nA= 2400 \nB=abc\nC=-7\nD=12MHz\nE=99999999999\n");
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "A", 1), 2400);
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "B", 1), 0);
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "C", 1), -7);
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "D", 1), 12);
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "E", 1), 0);
  EXPECT_EQ(ReadProfileInt(ini, "CPU", "Missing", 42), 42);
  EXPECT_EQ(ReadProfileInt((dir.path / "none.ini").string(), "CPU", "A", 42), 42);
  EXPECT_EQ(ReadProfileString((dir.path / "none.ini").string(), "ROM", "Directory", "dflt"), "dflt");
}

TEST(SettingsFile, WriteBackKeepsTheUsersFileAndFailsCleanly) {
  TempFolder dir;
  auto ini = (dir.path / "rq4800.ini").string();
  WriteAll(ini, "# mine\n[Firmware]\nROM0=a.bin\n[ROM]\nDirectory=/old\n");
  ASSERT_TRUE(WriteProfileString(ini, "ROM", "Directory", "/new"));
  ASSERT_TRUE(WriteProfileString(ini, "CPU", "Frequency", "1000"));
  EXPECT_EQ(ReadAll(ini), "# mine\n[Firmware]\nROM0=a.bin\n[ROM]\nDirectory=/new\n[CPU]\nFrequency=1000\n");
  EXPECT_FALSE(std::filesystem::exists(ini + ".tmp"));

  // A file in a folder that does not exist cannot be written: reported, and
  // nothing is left behind.
  auto lost = (dir.path / "missing" / "rq4800.ini").string();
  EXPECT_FALSE(WriteProfileString(lost, "CPU", "Frequency", "1"));
  EXPECT_FALSE(std::filesystem::exists(dir.path / "missing"));
}

TEST(SettingsFile, CreatingTheFileNeverTruncatesAnExistingOne) {
  TempFolder dir;
  auto ini = (dir.path / "rq4800.ini").string();
  EXPECT_TRUE(CreateFileIfMissing(ini));
  EXPECT_TRUE(std::filesystem::exists(ini));
  EXPECT_EQ(std::filesystem::file_size(ini), 0u);
  WriteAll(ini, "[CPU]\nFrequency=5\n");
  EXPECT_TRUE(CreateFileIfMissing(ini));
  EXPECT_EQ(ReadAll(ini), "[CPU]\nFrequency=5\n");
  EXPECT_FALSE(CreateFileIfMissing((dir.path / "missing" / "x.ini").string()));
}

}  // namespace
}  // namespace rq4800

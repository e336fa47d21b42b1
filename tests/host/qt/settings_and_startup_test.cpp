#include "host/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/debug_log.h"
#include "host/settings_file.h"
#include "machine/resource_store.h"
#include "tests/file_text.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;

TEST(SettingsText, FindsEntriesAsThePrivateProfileReaderDoes) {
  const char* text =
      "; written by hand\n[Other]\nFrequency=7\n"
      "[ cpu ]\n  frequency =  2400  \nFrequency=9\n"
      "[ROM]\r\nDirectory=\"/home/user/my files\"\r\n;Skin=old.ski\r\n";
  // Section and key ignore case and blanks; only the first entry counts.
  EXPECT_EQ(FindProfileEntry(text, "CPU", "Frequency"), "2400");
  EXPECT_EQ(FindProfileEntry(text, "other", "FREQUENCY"), "7");
  // Quotes around a value are not part of it; CRLF endings do not leak in.
  EXPECT_EQ(FindProfileEntry(text, "ROM", "Directory"), "/home/user/my files");
  EXPECT_EQ(FindProfileEntry(text, "ROM", "Skin"), std::nullopt);  // commented out
}

TEST(SettingsText, RewritingOneEntryKeepsEveryOtherLine) {
  const std::string text = "; mine\n[Firmware]\nROM0=a\n\n[CPU]\nFrequency=0\nTurbo=yes\n";
  const std::tuple<std::string, const char*, const char*, std::string> rows[] = {  // before, section, key, after
      {text, "cpu", "FREQUENCY", "; mine\n[Firmware]\nROM0=a\n\n[CPU]\nFREQUENCY=5\nTurbo=yes\n"},
      // A new key goes after the last entry of its section, before the blank line.
      {text, "Firmware", "Flash", "; mine\n[Firmware]\nROM0=a\nFlash=5\n\n[CPU]\nFrequency=0\nTurbo=yes\n"},
      {text, "ROM", "Directory", text + "[ROM]\nDirectory=5\n"},  // a new section goes at the end
      {"", "CPU", "Frequency", "[CPU]\nFrequency=5\n"},
      // A last line without its line ending gets one before anything follows it.
      {"[CPU]\nOther=1", "CPU", "Frequency", "[CPU]\nOther=1\nFrequency=5\n"},
      // An empty section takes the entry right after its header.
      {"[CPU]\n[ROM]\nDirectory=a\n", "CPU", "Frequency", "[CPU]\nFrequency=5\n[ROM]\nDirectory=a\n"},
      // A file with CRLF endings keeps them.
      {"[ROM]\r\nDirectory=a\r\n", "CPU", "Frequency", "[ROM]\r\nDirectory=a\r\n[CPU]\r\nFrequency=5\r\n"},
  };
  for (const auto& [before, section, key, after] : rows) {
    SCOPED_TRACE(before + " / " + key);
    EXPECT_EQ(SetProfileEntry(before, section, key, "5"), after);
  }
}

// Whatever can be stored reads back exactly, a new entry or a rewritten one;
// plain values stay unquoted, as a person would write them.
TEST(SettingsText, ValuesReadBackExactlyAndLineBreaksAreRefused) {
  const std::pair<std::string, std::string> rows[] = {  // value, entry line written
      {"/home/me/my files", "Directory=/home/me/my files"},
      {"", "Directory="},
      {" leading", "Directory=\" leading\""},
      {"trailing\t", "Directory=\"trailing\t\""},
      {"  ", "Directory=\"  \""},
      {"\"quoted\"", "Directory=\"\"quoted\"\""},
      {"'single'", "Directory=\"'single'\""},
      {"\"", "Directory=\"\"\""},
      {"it's", "Directory=it's"},  // a quote inside is no quoting
      {"a = b ; c", "Directory=a = b ; c"},
      {"[not a section]", "Directory=[not a section]"},
  };
  for (const auto& [value, line] : rows) {
    SCOPED_TRACE(value);
    for (const std::string& before : {std::string(), std::string("[ROM]\r\nDirectory=old\r\n")}) {
      const std::optional<std::string> text = SetProfileEntry(before, "ROM", "Directory", value);
      ASSERT_TRUE(text.has_value());
      EXPECT_NE(text->find(line + (before.empty() ? "\n" : "\r\n")), std::string::npos) << *text;
      EXPECT_EQ(FindProfileEntry(*text, "ROM", "Directory"), value);
    }
  }
  for (const std::string& value : {std::string("one\ntwo"), std::string("one\rtwo"), std::string("nul\0", 4)}) {
    EXPECT_EQ(SetProfileEntry("[ROM]\nDirectory=old\n", "ROM", "Directory", value), std::nullopt);
  }
}

// A program folder of its own, prepared as start-up does; the working folder
// is put back afterwards.
struct Startup : ::testing::Test {
  fs::path path = fs::temp_directory_path() /
                  (std::string("rq4800_startup_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::path previousWorkingFolder = fs::current_path();
  FrontEndPaths paths = MakeFrontEndPaths(path.string());
  void SetUp() override {
    fs::remove_all(path);
    fs::create_directories(path);
    PrepareProgramFolder(paths);
  }
  void TearDown() override {
    fs::current_path(previousWorkingFolder);
    fs::remove_all(path);
  }
};

// A 3 GHz counter and a millisecond clock that only move when slept on.
struct FakeClocks final : IPacingClock, IMeasureClock {
  uint64_t ticks = 77, ms = 1000;
  uint64_t Ticks() override { return ticks; }
  uint64_t TicksPerSecond() override { return 3'000'000'000; }
  uint64_t Milliseconds() override { return ms; }
  void Sleep(int milliseconds) override {  // a wait a little longer than asked
    ms += static_cast<uint64_t>(milliseconds) + 1;
    ticks += (static_cast<uint64_t>(milliseconds) + 1) * 3'000'000;
  }
};

// A value already in the file is used as it is (the window's pacing tests
// start with one); 0 or a negative value is measured and written back, and
// the rest of the user's file survives.
TEST_F(Startup, MeasuresTheClockWhenTheFrequencyIsNotPositive) {
  EXPECT_EQ(paths.settingsFile, path.string() + "/rq4800.ini");
  FakeClocks clocks;
  for (const char* value : {"0", "-3000"}) {
    std::ofstream(paths.settingsFile) << "; mine\n[CPU]\nFrequency=" << value << "\n[User]\nNote=keep me\n";
    EXPECT_EQ(SettingsFrequency(paths, clocks, clocks), 3000u);
    EXPECT_EQ(ReadAll(paths.settingsFile), "; mine\n[CPU]\nFrequency=3000\n[User]\nNote=keep me\n");
  }
}

// A data directory that cannot be made means no save can succeed: the user
// hears of it at start rather than at the first save.
TEST_F(Startup, ADataDirectoryThatCannotBeMadeIsReported) {
  ProblemCapture problems;
  PrepareProgramFolder(paths);  // everything in place: nothing to say
  EXPECT_EQ(problems.text, "");
  fs::remove_all(path / "data");
  std::ofstream(path / "data") << "a file in the way";
  PrepareProgramFolder(paths);
  EXPECT_NE(problems.text.find("cannot create the data directory " + paths.dataDirectory), std::string::npos);
  EXPECT_EQ(problems.text.find("settings"), std::string::npos);
}

TEST_F(Startup, WorkingFolderComesFromTheSettingsAndGoesBackAtExit) {
  EnterWorkingFolder(paths);  // no entry: the program folder
  EXPECT_EQ(fs::current_path(), fs::canonical(path));
  fs::create_directories(path / "downloads");
  WriteProfileString(paths.settingsFile, "ROM", "Directory", (path / "downloads").string());
  EnterWorkingFolder(paths);
  EXPECT_EQ(fs::current_path(), fs::canonical(path / "downloads"));
  WriteProfileString(paths.settingsFile, "ROM", "Directory", (path / "gone").string());
  EnterWorkingFolder(paths);  // a folder that has gone away is ignored: the working folder stays
  EXPECT_EQ(fs::current_path(), fs::canonical(path / "downloads"));

  fs::create_directories(path / "texts");
  fs::current_path(path / "texts");
  SaveWorkingFolder(paths);
  EXPECT_EQ(ReadProfileString(paths.settingsFile, "ROM", "Directory", ""), fs::canonical(path / "texts").string());
}

TEST_F(Startup, SettingsThatCannotBeKeptLeaveTheFileAsItWas) {
  WriteProfileString(paths.settingsFile, "ROM", "Directory", "/kept");
  fs::create_directories(path / "line\nbreak");
  fs::current_path(path / "line\nbreak");
  ProblemCapture problems;
  SaveWorkingFolder(paths);
  EXPECT_EQ(ReadProfileString(paths.settingsFile, "ROM", "Directory", ""), "/kept");
  EXPECT_NE(problems.text.find("holds a line break"), std::string::npos) << problems.text;

  // A settings file that is not a file is reported once at start, read as
  // defaults, and never replaced.
  fs::remove(paths.settingsFile);
  fs::create_directories(fs::path(paths.settingsFile) / "mine");
  problems.text.clear();
  PrepareProgramFolder(paths);
  EXPECT_NE(problems.text.find(paths.settingsFile + " is a folder"), std::string::npos) << problems.text;
  std::string error;
  EXPECT_FALSE(WriteProfileString(paths.settingsFile, "CPU", "Frequency", "3000", &error));
  EXPECT_NE(error.find("it was left as it is"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(fs::path(paths.settingsFile) / "mine"));
}

TEST_F(Startup, FirmwareFilesReplaceTheBuiltInImagesOnlyWhenWhole) {
  fs::create_directories(path / "dumps");
  std::vector<char> rom(resource::kRomImageSize, 0x5A), flash(resource::kFlashImageSize, 0x33);
  std::ofstream(path / "dumps" / "rom0.bin", std::ios::binary).write(rom.data(), rom.size());
  std::ofstream(path / "short.bin", std::ios::binary) << "too short";
  std::ofstream(path / "user.fls", std::ios::binary).write(flash.data(), flash.size());
  // Relative names are taken from the program folder, not the working folder.
  std::ofstream(paths.settingsFile) << "[Firmware]\nROM0=dumps/rom0.bin\nROM1=short.bin\nROM3=dumps\nFlash="
                                    << (path / "user.fls").string() << "\n";
  fs::current_path(fs::temp_directory_path());

  ResourceStore store;
  store.useBuiltin = false;
  ProblemCapture problems;
  ApplyFirmwareSettings(store, paths);
  ASSERT_EQ(store.Find(resource::kRom0).size(), resource::kRomImageSize);
  EXPECT_EQ(store.Find(resource::kRom0)[resource::kRomImageSize - 1], 0x5A);
  EXPECT_EQ(store.Find(resource::kDefaultFlash).size(), resource::kFlashImageSize);
  EXPECT_TRUE(store.Find(resource::kRom1).empty() && store.Find(resource::kRom3).empty());
  // A refused file is named with its reason; a folder is refused, not read.
  EXPECT_NE(problems.text.find("short.bin holds 9 bytes, not 4194304 (ROM1 in [Firmware]"), std::string::npos)
      << problems.text;
  EXPECT_NE(problems.text.find("dumps is a folder"), std::string::npos) << problems.text;
}

}  // namespace
}  // namespace rq4800

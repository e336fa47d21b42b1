#include "host/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/debug_log.h"
#include "host/settings_file.h"
#include "machine/resource_store.h"

namespace rq4800 {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A program folder of its own, and the working folder put back afterwards.
struct ProgramFolder {
  std::filesystem::path path;
  std::filesystem::path previousWorkingFolder = std::filesystem::current_path();
  FrontEndPaths paths;
  ProgramFolder() {
    path = std::filesystem::temp_directory_path() /
           (std::string("rq4800_startup_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    paths = MakeFrontEndPaths(path.string());
  }
  ~ProgramFolder() {
    std::filesystem::current_path(previousWorkingFolder);
    std::filesystem::remove_all(path);
  }
};

// A 3 GHz counter and a millisecond clock that only move when slept on.
struct FakeClocks final : IPacingClock, IMeasureClock {
  uint64_t ticks = 77;
  uint64_t ms = 1000;
  int sleeps = 0;
  uint64_t Ticks() override { return ticks; }
  uint64_t TicksPerSecond() override { return 3'000'000'000; }
  uint64_t Milliseconds() override { return ms; }
  void Sleep(int milliseconds) override {
    ++sleeps;
    ms += static_cast<uint64_t>(milliseconds) + 1;  // a wait a little longer than asked
    ticks += (static_cast<uint64_t>(milliseconds) + 1) * 3'000'000;
  }
};

TEST(Startup, PathsLieBesideTheProgram) {
  FrontEndPaths p = MakeFrontEndPaths("/opt/rq");
  EXPECT_EQ(p.programFolder, "/opt/rq/");
  EXPECT_EQ(p.dataDirectory, "/opt/rq/data/");
  EXPECT_EQ(p.settingsFile, "/opt/rq/rq4800.ini");
  EXPECT_EQ(MakeFrontEndPaths("/opt/rq/").settingsFile, "/opt/rq/rq4800.ini");
}

TEST(Startup, CreatesTheDataDirectoryAndAnEmptySettingsFileOnce) {
  ProgramFolder folder;
  PrepareProgramFolder(folder.paths);
  EXPECT_TRUE(std::filesystem::is_directory(folder.path / "data"));
  ASSERT_TRUE(std::filesystem::exists(folder.path / "rq4800.ini"));
  EXPECT_EQ(std::filesystem::file_size(folder.path / "rq4800.ini"), 0u);

  // A second start leaves the user's settings alone.
  std::ofstream(folder.path / "rq4800.ini") << "[CPU]\nFrequency=5\n";
  PrepareProgramFolder(folder.paths);
  EXPECT_EQ(ReadAll(folder.path / "rq4800.ini"), "[CPU]\nFrequency=5\n");
}

TEST(Startup, MeasuresTheClockOnceAndWritesItBack) {
  ProgramFolder folder;
  PrepareProgramFolder(folder.paths);
  std::ofstream(folder.path / "rq4800.ini") << "[User]\nNote=keep me\n";
  FakeClocks clocks;
  EXPECT_EQ(SettingsFrequency(folder.paths, clocks, clocks), 3000u);
  EXPECT_EQ(clocks.sleeps, 1);
  EXPECT_EQ(ReadAll(folder.path / "rq4800.ini"), "[User]\nNote=keep me\n[CPU]\nFrequency=3000\n");

  // The next start reads the value and measures nothing.
  EXPECT_EQ(SettingsFrequency(folder.paths, clocks, clocks), 3000u);
  EXPECT_EQ(clocks.sleeps, 1);

  // 0 and a negative value both ask for a new measurement.
  for (const char* value : {"0", "-3000"}) {
    WriteProfileString(folder.paths.settingsFile, "CPU", "Frequency", value);
    EXPECT_EQ(SettingsFrequency(folder.paths, clocks, clocks), 3000u);
    EXPECT_EQ(ReadProfileString(folder.paths.settingsFile, "CPU", "Frequency", ""), "3000");
  }
  EXPECT_EQ(clocks.sleeps, 3);
}

TEST(Startup, WorkingFolderComesFromTheSettingsAndGoesBackAtExit) {
  ProgramFolder folder;
  PrepareProgramFolder(folder.paths);
  // No entry: the program folder.
  EnterWorkingFolder(folder.paths);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder.path));

  std::filesystem::create_directories(folder.path / "downloads");
  WriteProfileString(folder.paths.settingsFile, "ROM", "Directory", (folder.path / "downloads").string());
  WriteProfileString(folder.paths.settingsFile, "Other", "Key", "value");
  EnterWorkingFolder(folder.paths);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder.path / "downloads"));

  // A folder that has gone away is ignored: the working folder stays.
  WriteProfileString(folder.paths.settingsFile, "ROM", "Directory", (folder.path / "gone").string());
  EnterWorkingFolder(folder.paths);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder.path / "downloads"));

  // The open-file dialog moved to another folder; exit remembers it.
  std::filesystem::create_directories(folder.path / "texts");
  std::filesystem::current_path(folder.path / "texts");
  SaveWorkingFolder(folder.paths);
  EXPECT_EQ(ReadProfileString(folder.paths.settingsFile, "ROM", "Directory", ""),
            std::filesystem::canonical(folder.path / "texts").string());
  EXPECT_EQ(ReadProfileString(folder.paths.settingsFile, "Other", "Key", ""), "value");
}

TEST(Startup, FirmwareFilesReplaceTheBuiltInImagesOnlyWhenWhole) {
  ProgramFolder folder;
  PrepareProgramFolder(folder.paths);
  std::filesystem::create_directories(folder.path / "dumps");
  {
    std::vector<char> rom(resource::kRomImageSize, 0x5A);
    std::ofstream(folder.path / "dumps" / "rom0.bin", std::ios::binary).write(rom.data(), rom.size());
    std::ofstream(folder.path / "short.bin", std::ios::binary) << "too short";
    std::vector<char> flash(resource::kFlashImageSize, 0x33);
    std::ofstream(folder.path / "user.fls", std::ios::binary).write(flash.data(), flash.size());
  }
  // Relative names are taken from the program folder, not the working folder.
  std::ofstream(folder.path / "rq4800.ini") << "[Firmware]\nROM0=dumps/rom0.bin\nROM1=short.bin\n"
                                               "ROM3=missing.bin\nFlash="
                                            << (folder.path / "user.fls").string() << "\n";
  std::filesystem::current_path(std::filesystem::temp_directory_path());

  ResourceStore store;
  store.useBuiltin = false;
  DebugLogCapture log;
  ApplyFirmwareSettings(store, folder.paths);
  ASSERT_EQ(store.Find(resource::kRom0).size(), resource::kRomImageSize);
  EXPECT_EQ(store.Find(resource::kRom0)[4194303], 0x5A);
  EXPECT_EQ(store.Find(resource::kDefaultFlash).size(), resource::kFlashImageSize);
  EXPECT_TRUE(store.Find(resource::kRom1).empty());
  EXPECT_TRUE(store.Find(resource::kRom3).empty());
  // The log names each file that was refused.
  EXPECT_NE(log.text.find("short.bin"), std::string::npos);
  EXPECT_NE(log.text.find("missing.bin"), std::string::npos);
}

}  // namespace
}  // namespace rq4800

// Power-on, resets and the flash image on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800 {
namespace {

namespace fs = std::filesystem;
using test::PatternFlash;
using test::TestMachine;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
std::vector<uint8_t> FlashOf(Machine& m) { return {m.bus.flash.get(), m.bus.flash.get() + BusRQ4800::kFlashSize}; }

test::TestRom ResetAt(int address) {
  test::TestRom rom;
  rom.Vectors(0xE000, address, 0xE000);
  return rom;
}

TEST(PowerOn, TakesAnExactImageFileAndOtherwiseTheDefaultKeepingAnOddFileAside) {
  const fs::path dir = test::ScratchDirectory();
  TestMachine noFile(ResetAt(0x1234), dir.string() + "/");
  EXPECT_EQ(FlashOf(*noFile), PatternFlash(1));
  EXPECT_EQ(noFile->cpu.PC, 0x1234u);
  EXPECT_EQ(noFile->bus.rom[0x400000], 0) << "resource 113 is missing: its range stays";
  WriteFile(dir / kFlashImageName, PatternFlash(2));
  EXPECT_EQ(FlashOf(*TestMachine(ResetAt(0), dir.string())), PatternFlash(2));

  for (int size : {1000, BusRQ4800::kFlashSize + 1}) {
    const std::vector<uint8_t> odd(static_cast<size_t>(size), 0x77);
    WriteFile(dir / kFlashImageName, odd);
    DebugLogCapture log;
    TestMachine machine(ResetAt(0), dir.string());
    EXPECT_EQ(FlashOf(*machine), PatternFlash(1)) << size;
    EXPECT_NE(log.text.find(std::to_string(size)), std::string::npos) << log.text;
    ASSERT_TRUE(SaveFlashImage(*machine));
    ASSERT_TRUE(SaveFlashImage(*machine)) << "only the first save moves a file aside";
    EXPECT_EQ(ReadFile(dir / kFlashImageBackupName), odd);
    EXPECT_EQ(ReadFile(dir / kFlashImageName), PatternFlash(1));
  }
}

TEST(FlashImage, SaveCreatesTheDirectoryAndAFailedSaveLeavesTheOldFileWhole) {
  const fs::path dir = test::ScratchDirectory();
  TestMachine fresh(ResetAt(0), (dir / "data" / "deeper").string());
  std::string error;
  ASSERT_TRUE(SaveFlashImage(*fresh, &error)) << error;
  EXPECT_EQ(ReadFile(dir / "data" / "deeper" / kFlashImageName), PatternFlash(1));
  EXPECT_FALSE(fs::exists(dir / "data" / "deeper" / kFlashImageTempName));

  const std::vector<uint8_t> old = PatternFlash(3);
  WriteFile(dir / kFlashImageName, old);
  TestMachine machine(ResetAt(0), dir.string());
  machine->bus.flash[0] ^= 0xFF;
  fs::create_directories(dir / kFlashImageTempName / "x");  // the temporary cannot be created
  EXPECT_FALSE(SaveFlashImage(*machine, &error));
  EXPECT_NE(error, "");
  EXPECT_FALSE(SaveFlashImage(*TestMachine(ResetAt(0), (dir / kFlashImageName).string())))
      << "the data directory is a file";
  EXPECT_EQ(ReadFile(dir / kFlashImageName), old);

  fs::create_directories(dir / "other" / kFlashImageName / "x");  // a rename cannot replace it
  EXPECT_FALSE(SaveFlashImage(*TestMachine(ResetAt(0), (dir / "other").string())));
  EXPECT_FALSE(fs::exists(dir / "other" / kFlashImageTempName));
  EXPECT_FALSE(SaveFlashImage(*TestMachine(ResetAt(0)))) << "no data directory";
}

TEST(FlashImage, ColdResetInitialiseAndLoadKeepOrReplaceTheFlash) {
  TestMachine machine(ResetAt(0x4321));
  Machine& m = *machine;
  m.bus.flash[5] = 0x12;
  m.bus.ram[0x8000] = 1;
  m.bus.Write(0x0A, 5);
  m.bus.Write(0x00, 7);
  DebugLogCapture log;
  ColdReset(m);
  EXPECT_EQ(m.bus.ram[0x8000], 0);
  EXPECT_EQ(m.bus.Read(0x00), 0);
  EXPECT_EQ(m.bus.window[6], m.bus.rom.get() + 0x4000);
  EXPECT_EQ(m.bus.flash[5], 0x12);

  m.bus.ram[0x8000] = 1;
  m.cpu.PC = 0;
  InitialiseFlash(m);
  EXPECT_EQ(FlashOf(m), PatternFlash(1));
  EXPECT_EQ(m.bus.ram[0x8000], 0);
  EXPECT_EQ(m.cpu.PC, 0x4321u);

  const std::vector<uint8_t> image = PatternFlash(4);
  m.bus.ram[0x8000] = 1;
  EXPECT_FALSE(LoadFlashImageFile(m, image.data(), image.size() - 1));
  EXPECT_EQ(m.bus.ram[0x8000], 1) << "a wrong size does nothing at all";
  EXPECT_TRUE(LoadFlashImageFile(m, image.data(), image.size()));
  EXPECT_EQ(FlashOf(m), image);
  EXPECT_EQ(m.bus.ram[0x8000], 0);
  EXPECT_EQ(log.text, "cold reset\ncold reset\ncold reset\n");
}

TEST(ResourceStore, ReplaceFromFileTakesOnlyAFileOfTheExpectedSize) {
  const fs::path dir = test::ScratchDirectory();
  ResourceStore store;
  store.useBuiltin = false;
  WriteFile(dir / "short.bin", {1, 2, 3});
  DebugLogCapture log;
  EXPECT_FALSE(store.ReplaceFromFile(115, (dir / "missing.bin").string(), 3));
  EXPECT_FALSE(store.ReplaceFromFile(115, (dir / "short.bin").string(), 4));
  EXPECT_TRUE(store.Find(115).empty());
  EXPECT_TRUE(store.ReplaceFromFile(115, (dir / "short.bin").string(), 3));
  EXPECT_EQ(store.Find(115)[2], 3);
}

}  // namespace
}  // namespace rq4800

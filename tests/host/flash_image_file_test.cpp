// The user's flash image file: power-on from it, the save, the backups of
// an image that could not be used, and what a quit would lose.
#include "host/flash_image_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <set>

#include "tests/core/file_size_limit.h"
#include "tests/host/host_fixture.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> FlashOf(Machine& m) { return {m.bus.flash.get(), m.bus.flash.get() + BusRQ4800::kFlashSize}; }

// The names in a folder, to see that no temporary or extra backup is left.
std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// A machine powered on through the image file in dataDirectory, with
// PatternFlash(1) as its default image.
struct ImageMachine {
  ResourceStore resources;
  FlashImageFile file;
  std::unique_ptr<Machine> machine;
  explicit ImageMachine(const std::string& dataDirectory) {
    resources.useBuiltin = false;
    resources.Replace(resource::kRom0, TestRom().image);
    resources.Replace(resource::kDefaultFlash, PatternFlash(1));
    file.dataDirectory = dataDirectory;
    machine = std::make_unique<Machine>(resources);
    PowerOnFromImageFile(file, *machine);
  }
  Machine& operator*() { return *machine; }
  Machine* operator->() { return machine.get(); }
};

TEST(PowerOn, TakesAnExactImageFileAndOtherwiseTheDefaultKeepingTheFileAside) {
  const fs::path dir = test::ScratchDirectory();
  const fs::path image = dir / kFlashImageName;
  WriteBytes(image, PatternFlash(2));
  EXPECT_EQ(FlashOf(*ImageMachine(dir.string() + "/")), PatternFlash(2));
  fs::remove(image);
  {
    ProblemCapture problems;  // no file yet: the first run, nothing to say
    EXPECT_EQ(FlashOf(*ImageMachine(dir.string())), PatternFlash(1));
    EXPECT_EQ(problems.text, "");
  }

  // Each unusable image: the default is used, the user is told why, and the
  // first save moves the file to the next free backup name; the second
  // save finds nothing to move.
  WriteBytes(dir / "rq4800.fls.bak", {1, 2, 3});  // an earlier backup is never replaced
  struct Row {
    const char* what;
    std::function<void()> make;
    std::string reason;
    const char* backup;
  };
  const std::vector<uint8_t> shorter(1000, 0x77), longer(BusRQ4800::kFlashSize + 1, 0x66);
  const Row rows[] = {
      {"short", [&] { WriteBytes(image, shorter); }, "holds 1000 bytes, not 524288", "rq4800.fls.bak1"},
      {"long", [&] { WriteBytes(image, longer); }, "holds 524289 bytes, not 524288", "rq4800.fls.bak2"},
      {"folder", [&] { fs::remove(image), fs::create_directories(image / "inside"); }, "is a folder", "rq4800.fls.bak3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.make();
    ProblemCapture problems;
    ImageMachine machine(dir.string());
    EXPECT_EQ(FlashOf(*machine), PatternFlash(1));
    EXPECT_NE(problems.text.find(image.string() + " " + row.reason), std::string::npos) << problems.text;
    EXPECT_NE(problems.text.find("default image"), std::string::npos) << problems.text;
    ASSERT_TRUE(SaveFlashImage(machine.file, *machine) && SaveFlashImage(machine.file, *machine));
    EXPECT_NE(problems.text.find(row.backup), std::string::npos) << problems.text;
    EXPECT_EQ(ReadBytes(image), PatternFlash(1));
  }
  EXPECT_EQ(ReadBytes(dir / "rq4800.fls.bak"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(ReadBytes(dir / "rq4800.fls.bak1"), shorter);
  EXPECT_EQ(ReadBytes(dir / "rq4800.fls.bak2"), longer);
  EXPECT_TRUE(fs::is_directory(dir / "rq4800.fls.bak3" / "inside"));
  EXPECT_EQ(Names(dir).size(), 5u);
}

TEST(FlashImage, SaveCreatesTheDirectoryAndAFailedSaveLeavesTheOldFileWhole) {
  const fs::path dir = test::ScratchDirectory(), deeper = dir / "data" / "deeper";
  ImageMachine fresh(deeper.string());
  ASSERT_TRUE(SaveFlashImage(fresh.file, *fresh));
  EXPECT_EQ(ReadBytes(deeper / kFlashImageName), PatternFlash(1));
  EXPECT_EQ(Names(deeper), std::set<std::string>{kFlashImageName});

  // A folder of the image's name that appeared after power-on is not replaced.
  ImageMachine machine(dir.string());
  fs::create_directories(dir / kFlashImageName / "mine");
  std::string error;
  EXPECT_FALSE(SaveFlashImage(machine.file, *machine, &error));
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(dir / kFlashImageName / "mine"));

  // A save that fails half-way leaves the old image, and a file that was to
  // go aside comes back under its own name until a save succeeds.
  fs::remove_all(dir / kFlashImageName);
  const std::vector<uint8_t> odd(1000, 0x77);
  WriteBytes(dir / kFlashImageName, odd);
  ProblemCapture problems;
  ImageMachine unusable(dir.string());
  WithFileSizeLimit([&] { EXPECT_FALSE(SaveFlashImage(unusable.file, *unusable, &error)); });
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(dir / kFlashImageName), odd);
  EXPECT_EQ(Names(dir), (std::set<std::string>{"data", kFlashImageName}));
  ASSERT_TRUE(SaveFlashImage(unusable.file, *unusable, &error)) << error;
  EXPECT_EQ(ReadBytes(dir / "rq4800.fls.bak"), odd);
}

// Permissions: an image the user may not read is kept aside like any unusable
// one; one that cannot be moved aside (a folder in a write-protected data
// directory) fails the save rather than be replaced.
TEST(FlashImage, PermissionsKeepTheImageAsideOrFailTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const fs::path dir = test::ScratchDirectory(), image = dir / kFlashImageName;
  WriteBytes(image, PatternFlash(2));
  fs::permissions(image, fs::perms::none);
  ProblemCapture problems;
  ImageMachine unreadable(dir.string());
  EXPECT_EQ(FlashOf(*unreadable), PatternFlash(1));
  EXPECT_NE(problems.text.find("cannot read " + image.string() + ": Permission denied"), std::string::npos)
      << problems.text;
  ASSERT_TRUE(SaveFlashImage(unreadable.file, *unreadable));
  fs::permissions(dir / "rq4800.fls.bak", fs::perms::owner_read);
  EXPECT_EQ(ReadBytes(dir / "rq4800.fls.bak"), PatternFlash(2));

  fs::remove(image);
  fs::create_directories(image);
  ImageMachine machine(dir.string());
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  std::string error;
  EXPECT_FALSE(SaveFlashImage(machine.file, *machine, &error));
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_NE(error.find("Permission denied; nothing was saved"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(image));
}

// A quit loses something exactly when the flash differs from what the file
// holds: unchanged after power-on, changed by the device, safe again once saved.
TEST(FlashImage, UnsavedFollowsTheFileNotTheDefaultImage) {
  const fs::path dir = test::ScratchDirectory();
  ImageMachine machine(dir.string());
  EXPECT_FALSE(FlashUnsaved(machine.file, *machine));
  machine->bus.flash[0x1234] ^= 0xFF;
  EXPECT_TRUE(FlashUnsaved(machine.file, *machine));
  ASSERT_TRUE(SaveFlashImage(machine.file, *machine));
  EXPECT_FALSE(FlashUnsaved(machine.file, *machine));
  InitialiseFlash(*machine);  // the file still holds the saved flash
  EXPECT_TRUE(FlashUnsaved(machine.file, *machine));
}

}  // namespace
}  // namespace rq4800::test

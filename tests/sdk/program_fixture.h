#pragma once
// Programs built with the SDK, run on a whole machine with the built-in
// firmware: downloaded into a small flash file system, started from the
// Files screen as a user would, and read back from the LCD.
#include <gmock/gmock.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/firmware/files_fixture.h"

namespace rq4800::test {

inline std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string SdkBuildDir() { return std::string(RQ4800_BINARY_DIR) + "/sdk/"; }

class ProgramTest : public FilesScreenTest {
 public:
  using FirmwareTest::Label;  // for tests that run the firmware without this fixture

 protected:
  // A fresh machine with these program images downloaded, showing Files.
  void BootWithPrograms(const std::vector<std::vector<uint8_t>>& images) {
    BootWith(SmallFileSystem());
    for (const auto& image : images) ASSERT_TRUE(machine->storage.DownloadBin(image.data(), image.size()).Ok());
    OpenFiles();
  }
  // The built program `name` (in the build's sdk folder), started.
  void StartBuilt(const std::string& file) {
    const auto image = ReadWholeFile(SdkBuildDir() + file);
    ASSERT_FALSE(image.empty()) << file << " was not built";
    BootWithPrograms({image});
    Press(key::kEnter, 20);
  }
  bool InFiles() const { return Line(0).rfind("Files", 0) == 0; }
  bool ProgramRunning() const { return machine->bus.ram[Label("programRunning")] != 0; }
  int LastExit() const { return machine->bus.ram[Label("lastExit")]; }
  // Runs up to `seconds` of device time until the screen shows text.
  bool RunUntilShown(const std::string& text, double seconds) {
    for (int frame = 0; frame < seconds * 50; ++frame) {
      if (ScreenHas(text)) return true;
      Run(1);
    }
    return ScreenHas(text);
  }
};

}  // namespace rq4800::test

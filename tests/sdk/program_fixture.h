#pragma once
// Programs built with the SDK, run on a whole machine with the built-in
// firmware: downloaded into a small flash file system, started from the
// Files screen as a user would, and read back from the LCD.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstring>
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

// A program image written by hand: the header (entry 0x8020, RAM up to
// 0x3000, run in place), then code at bank offset 0x20. A file of `size`
// bytes, by default every bank it spans in full.
struct Image {
  std::vector<uint8_t> bytes;
  explicit Image(int banks = 1, const std::string& name = "", size_t size = 0)
      : bytes(size ? size : static_cast<size_t>(banks) * 0x8000, 0xFF) {
    std::fill(bytes.begin(), bytes.begin() + 32, 0);
    std::memcpy(bytes.data(), "RQPG", 4);
    bytes[4] = 1;                            // format version
    bytes[5] = static_cast<uint8_t>(banks);  // banks spanned
    bytes[6] = 0x20, bytes[7] = 0x80;        // entry 0x8020
    bytes[9] = 0x30;                         // RAM 0x3000; byte 10, the load mode, 0: in place
    std::memcpy(bytes.data() + 16, name.data(), std::min<size_t>(name.size(), 16));
  }
  Image& Code(std::initializer_list<uint8_t> code) {
    std::copy(code.begin(), code.end(), bytes.begin() + 0x20);
    return *this;
  }
};
constexpr uint8_t kRts = 0x60;

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

#pragma once
// The Files screen on a whole machine: a small flash file system to start
// from, downloads into it, and the way into the screen.
#include <gmock/gmock.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/download_file.h"
#include "tests/firmware/firmware_fixture.h"
#include "tests/temp_path.h"

namespace rq4800::test {

// A small file system: bank 0 in use, the core area at 0x4000 or 0x6000, the
// folders the device keeps, none of them with an index block yet.
inline std::vector<uint8_t> SmallFileSystem(size_t core = 0x4000) {
  std::vector<uint8_t> image(resource::kFlashImageSize, 0xFF);
  image[0x4000] = core == 0x4000 ? '*' : 0x00;
  for (int b = 0; b < 64; ++b) std::memcpy(&image[core + 0x400 + 3 * b], "\xFF\xF3\xE6", 3);
  const char* names[] = {"pidf", "bin ", "txt ", "rec ", "bas ", "udf "};
  for (int f = 0; f < 6; ++f) {
    uint8_t* rec = &image[core + 0x1000 + 16 * f];
    rec[0] = 0xB7;
    std::memcpy(rec + 1, names[f], 4);
    rec[5] = 0;
  }
  return image;
}

class FilesScreenTest : public FirmwareTest {
 protected:
  void BootWith(std::vector<uint8_t> flash) {
    resources.Replace(resource::kDefaultFlash, std::move(flash));
    Boot();
  }
  void AddText(const std::string& name, const std::string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    ASSERT_TRUE(machine->storage.DownloadText(bytes, text.size(), name).Ok());
  }
  // A PC file of this name (UTF-8) and contents, downloaded as the desktop
  // program does: the name converted for its folder.
  void DownloadPcFile(const std::string& name, const std::string& contents) {
    // The file keeps its own name (the device's comes from it) in a folder
    // of this process's own.
    const std::filesystem::path folder = test::TempPath("pc-files");
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << contents;
    const DownloadResult result = DownloadFile(*machine, path);
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(result.Ok()) << name << ": " << result.message;
  }
  void OpenFiles() {
    OpenMenuItem(4);
    Run(10);
    ASSERT_THAT(Line(0), ::testing::StartsWith("Files")) << Screen();
  }
  // Character cells the firmware dropped at the LCD's edges; -1 when the
  // label file does not name its count.
  int Clipped() const {
    const int at = Label("clipCount");
    return at < 0 ? -1 : machine->bus.ram[static_cast<size_t>(at)];
  }
  // The only file of a small file system, opened in the viewer.
  void View(const std::string& text) {
    BootWith(SmallFileSystem());
    AddText("view", text);
    OpenFiles();
    Press(key::kEnter, 20);
  }
};

}  // namespace rq4800::test
